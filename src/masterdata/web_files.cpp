#include "masterdata/web_files.h"

#include "core/context.h"
#include "core/drive_paths.h"
#include "core/io_errors.h"
#include "core/record_file.h"
#include "records/cp1252.h"

#include <QDir>

namespace gim {

namespace {

IoResult WriteFile(Context& ctx, const QString& fileName, const QStringList& lines)
{
    const QString folder = WebExchangeFolder(ctx.st.BaseDir);
    const QString path = folder + QLatin1Char('/') + fileName;
    if (!QDir().mkpath(folder))
        return {IoCode::PathNotFound, path};
    try {
        WriteFileAtomically(ctx, path, ToCp1252Lines(lines));
    } catch (const IoAbort& e) {
        return {e.code(), path};
    }
    return {IoCode::Ok, path};
}

} // namespace

bool WriteWebUploadFile(Context& ctx, const QString& fileName, const QStringList& lines)
{
    if (!NoteIoResult(ctx, WriteFile(ctx, fileName, lines), Report::Show))
        return false;
    ctx.ui.ShowMessage(QStringLiteral("Se ha generado correctamente el FICHERO en ") +
                       WebUploadDisplayName(fileName));
    return true;
}

QString WebUploadDisplayName(const QString& fileName)
{
    return QString::fromLatin1(kWebExchangeFolder) + QLatin1Char('\\') + fileName;
}

} // namespace gim
