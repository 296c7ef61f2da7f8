#include "masterdata/web_files.h"

#include "core/context.h"
#include "core/drive_paths.h"
#include "core/io_errors.h"
#include "core/record_file.h"
#include "records/cp1252.h"

#include <QDir>

namespace gim {

std::uint8_t WriteWebUploadFile(Context& ctx, const QString& fileName, const QStringList& lines)
{
    const QString folder = WebExchangeFolder(ctx.st.BaseDir);
    if (!QDir().mkpath(folder))
        return IoCode::PathNotFound;
    std::string bytes;
    for (const QString& line : lines)
        bytes += ToCp1252(line) + "\r\n";
    try {
        WriteFileAtomically(ctx, folder + QLatin1Char('/') + fileName, bytes);
    } catch (const IoAbort& e) {
        return e.code();
    }
    return IoCode::Ok;
}

QString WebUploadDisplayName(const QString& fileName)
{
    return QString::fromLatin1(kWebExchangeFolder) + QLatin1Char('\\') + fileName;
}

} // namespace gim
