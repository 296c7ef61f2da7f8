#include "exchange/import_gateway.h"

#include "core/texts.h"
#include "core/web_service.h"
#include "platform/report.h"

namespace gim {

ImportGatewayState& ImportGateway(Context& ctx)
{
    return ctx.Module<ImportGatewayState>();
}

QStringList GatewayLineFormat(QStringView line, int lastField)
{
    if (line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    QStringList fields(lastField + 1);
    int number = 0;
    for (const QChar c : line) {
        if (c == QLatin1Char('\t')) {
            ++number;
            if (number > lastField)
                break;
        } else {
            fields[number].append(c);
        }
    }
    return fields;
}

std::optional<std::int64_t> ImportNumber(Context& ctx, ImportFieldKind kind, const QString& text,
                                         std::int64_t minimum, std::int64_t maximum)
{
    const std::int64_t value =
        kind == ImportFieldKind::Cents ? TextToCents(ctx.st, text) : TextToInt64(ctx.st, text);
    if (value < minimum || value > maximum)
        return std::nullopt;
    return value;
}

QStringList SplitImportText(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString& line : lines)
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    return lines;
}

bool StartGatewayImport(Context& ctx, const std::optional<QString>& text)
{
    State& st = ctx.st;
    ImportGatewayState& gw = ImportGateway(ctx);
    st.ExportFlag = 0;
    st.ActionCode = QStringLiteral("i");
    st.OutputCode = QStringLiteral("W");
    gw.Lines.clear();
    gw.Gateway.reset();
    const QString pasted = text ? *text : ctx.ui.ClipboardText();
    const bool ready = !pasted.isEmpty();
    if (!ready) {
        ctx.ui.ShowMessage(QString::fromUtf8(kNoClipboardData));
    } else {
        gw.Gateway = std::make_shared<ReportDocument>(QString::fromUtf8(kGatewayCaption));
        // The photo transfers of imported work orders write their lines here.
        WebServiceOf(ctx).LogPane = gw.Gateway;
        gw.Lines = SplitImportText(pasted);
        for (const QString& line : gw.Lines)
            gw.Gateway->AddLine(line);
        if (!text)
            ctx.ui.SetClipboardText(QString());
    }
    st.InteractiveFlag = gw.Manual ? 1 : 0;
    return ready;
}

void RunGatewayImport(Context& ctx, const ImportJob& job, const std::optional<QString>& text)
{
    State& st = ctx.st;
    ImportGatewayState& gw = ImportGateway(ctx);
    if (job.before)
        job.before(ctx);
    if (StartGatewayImport(ctx, text)) {
        ReportDocument& doc = *gw.Gateway;
        for (qsizetype index = 0; index < gw.Lines.size(); ++index) {
            const QString& line = gw.Lines[index];
            if (!job.lineCaption.isEmpty())
                gw.LineCaption = job.lineCaption;
            st.RecordAddedFlag = 0;
            const bool added = line.size() > job.minimumLength && job.importLine(ctx, line);
            if (index == 0)
                doc.AddLine(QStringLiteral(" "));
            if (added) {
                doc.AddLine(QStringLiteral(" * ") + line);
            } else {
                doc.SetItalic(true);
                doc.AddLine(QStringLiteral("   ") + line);
                doc.SetItalic(false);
            }
            st.RecordAddedFlag = 0;
        }
        if (!job.endText.isEmpty()) {
            doc.AddLine(QString());
            doc.AddLine(job.endText);
        }
    }
    st.ActionCode.clear();
    st.OutputCode.clear();
    st.InteractiveFlag = 1;
    if (job.after)
        job.after(ctx);
    if (gw.Gateway)
        ctx.ui.ShowReport(gw.Gateway);
}

} // namespace gim
