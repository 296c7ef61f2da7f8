#include "platform/report_files.h"

#include "platform/handover.h"
#include "platform/report.h"
#include "platform/rtf.h"
#include "records/cp1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTemporaryFile>

namespace gim {

namespace {

std::optional<QByteArray> ReadWholeFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return f.readAll();
}

} // namespace

QString DecodePlainText(const QByteArray& bytes)
{
    QByteArray body = bytes;
    if (body.startsWith("\xEF\xBB\xBF"))
        body.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(body);
    if (!utf8.hasError())
        return text;
    return FromCp1252(std::string_view(body.constData(), static_cast<std::size_t>(body.size())));
}

void SetPlainText(ReportDocument& doc, const QString& text)
{
    doc.ClearText();
    if (!text.isEmpty())
        doc.AddLine(text);
}

bool LoadReportFile(const QString& path, ReportDocument& doc)
{
    const std::optional<QByteArray> bytes = ReadWholeFile(path);
    if (!bytes)
        return false;
    if (!ReadRtf(*bytes, doc))
        SetPlainText(doc, DecodePlainText(*bytes));
    return true;
}

bool SaveReportRtf(const QString& path, const ReportDocument& doc)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = WriteRtf(doc);
    if (f.write(bytes) != bytes.size())
        return false;
    return f.commit();
}

QByteArray CsvBytes(const ReportDocument& doc)
{
    QString text;
    for (const ReportLine& line : doc.Lines()) {
        const QString row = line.Text();
        if (row.contains(QLatin1Char('"'))) {
            const QStringList fields = row.split(QLatin1Char('\t'));
            bool first = true;
            for (const QString& f : fields) {
                if (!first)
                    text += QLatin1Char('\t');
                first = false;
                if (f.startsWith(QLatin1Char('"'))) {
                    QString quoted = f;
                    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
                    text += QLatin1Char('"') + quoted + QLatin1Char('"');
                } else {
                    text += f;
                }
            }
        } else {
            text += row;
        }
        text += QLatin1Char('\n');
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

QString WriteExportFile(const QString& folder, const QString& stem, const QString& suffix,
                        const QByteArray& bytes)
{
    if (!QDir().mkpath(folder))
        return {};
    QTemporaryFile f(QDir(folder).filePath(stem + QStringLiteral("-XXXXXX.") + suffix));
    f.setAutoRemove(false);
    if (!f.open())
        return {};
    const bool written = f.write(bytes) == bytes.size() && f.flush();
    const QString path = QFileInfo(f.fileName()).absoluteFilePath();
    f.close();
    if (!written) {
        QFile::remove(path);
        return {};
    }
    return path;
}

ExchangeLoad LoadExchangeFiles(const HandoverRegistry& handover, EditFlags& flags, const QString& environment,
                               const QString& exchangeFolder)
{
    ExchangeLoad result;
    result.pending = handover.ExchangePending(flags);
    for (std::size_t flag = 0; flag < kEditItemCount; ++flag) {
        const QString& file = handover.Map(static_cast<EditItem>(flag)).exchangeFile;
        if (flags[flag] != 1 || file.isEmpty())
            continue;
        const std::optional<QByteArray> bytes =
            ReadWholeFile(exchangeFolder + QLatin1Char('/') + environment + file);
        if (!bytes) {
            flags[flag] = 0;
            continue;
        }
        result.loaded = true;
        result.text =
            FromCp1252(std::string_view(bytes->constData(), static_cast<std::size_t>(bytes->size())));
    }
    return result;
}

} // namespace gim
