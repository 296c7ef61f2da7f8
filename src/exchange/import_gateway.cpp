#include "exchange/import_gateway.h"

#include "core/io_errors.h"
#include "core/texts.h"
#include "core/web_service.h"
#include "platform/report.h"

#include <algorithm>
#include <chrono>

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
                                         std::int64_t minimum, std::int64_t maximum, QString* reason)
{
    const auto refuse = [reason](const char* why) {
        if (reason)
            *reason = QString::fromUtf8(why);
        return std::nullopt;
    };
    // A field the line leaves empty keeps 0.
    if (text.isEmpty())
        return minimum <= 0 && maximum >= 0 ? std::optional<std::int64_t>(0) : refuse(kNumberOutOfRange);
    const bool cents = kind == ImportFieldKind::Cents;
    const Int64Parse parsed = cents ? ParseCents(text) : ParseInt64(text);
    ctx.st.ValErrorPos = parsed.errorPos;
    if (parsed.errorPos != 0) {
        // Digits alone (after blanks and a sign) that still do not read are too many for 64 bits.
        QStringView digits(text);
        while (digits.startsWith(u' '))
            digits = digits.mid(1);
        if (digits.startsWith(u'-') || digits.startsWith(u'+'))
            digits = digits.mid(1);
        const bool tooLong = !digits.isEmpty() && std::all_of(digits.begin(), digits.end(),
                                                              [](QChar c) { return c >= u'0' && c <= u'9'; });
        return refuse(tooLong ? kNumberOutOfRange : kBadNumber);
    }
    if (parsed.value < minimum || parsed.value > maximum)
        return refuse(kNumberOutOfRange);
    return parsed.value;
}

QString ImportText(const QString& text, int width)
{
    QString kept;
    kept.reserve(text.size());
    int bytes = 0;
    for (qsizetype i = 0; i < text.size() && (width <= 0 || bytes < width); ++i, ++bytes) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            kept += c;
            kept += text[++i];
            continue;
        }
        kept += c.unicode() < 0x20 || c.unicode() == 0x7F ? QLatin1Char(' ') : c;
    }
    return kept;
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
        // Shown before the first line is read: a long import is seen to go on.
        ctx.ui.ShowReport(gw.Gateway);
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
    int stored = 0;
    gw.LineCaption.clear();
    if (StartGatewayImport(ctx, text)) {
        ReportDocument& doc = *gw.Gateway;
        // The window follows the echo a few times a second, not at every line.
        auto shown = std::chrono::steady_clock::now();
        const auto show = [&](bool now) {
            if (!now && std::chrono::steady_clock::now() - shown < std::chrono::milliseconds(250))
                return;
            ctx.ui.UpdateReport(gw.Gateway, gw.LineCaption);
            shown = std::chrono::steady_clock::now();
        };
        for (qsizetype index = 0; index < gw.Lines.size(); ++index) {
            const QString& line = gw.Lines[index];
            if (!job.lineCaption.isEmpty())
                gw.LineCaption = job.lineCaption;
            st.RecordAddedFlag = 0;
            st.RefusalReason.clear();
            bool added = false;
            QString reason;
            try {
                added = line.size() > job.minimumLength && job.importLine(ctx, line, reason);
            } catch (const IoAbort&) {
                // An answer that ends the import (a number mistyped at a prompt) stored nothing of this
                // line: it and the lines after it go back to the clipboard, not lost with the import.
                const QStringList unread = gw.Lines.mid(index);
                ctx.ui.SetClipboardText(unread.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
                ctx.ui.ShowMessage(QStringLiteral("IMPORTACIÓN INTERRUMPIDA: %1 LÍNEAS SIN LEER QUEDAN EN EL "
                                                  "PORTAPAPELES")
                                       .arg(unread.size()));
                show(true);
                throw;
            }
            // The add routine's own reason where the line's fields passed.
            if (!added && reason.isEmpty())
                reason = st.RefusalReason;
            if (index == 0)
                doc.AddLine(QStringLiteral(" "));
            if (added) {
                doc.AddLine(QStringLiteral(" * ") + line);
                ++stored;
            } else {
                doc.SetItalic(true);
                doc.AddLine(QStringLiteral("   ") + line +
                            (reason.isEmpty() ? QString() : QStringLiteral("  ") + reason));
                doc.SetItalic(false);
            }
            show(false);
            st.RecordAddedFlag = 0;
        }
        if (!job.endText.isEmpty()) {
            doc.AddLine(QString());
            doc.AddLine(job.endText);
        }
        show(true);
    }
    st.ActionCode.clear();
    st.OutputCode.clear();
    st.InteractiveFlag = 1;
    if (job.after)
        job.after(ctx);
    // Nothing stored, nothing to rewrite: a new environment has no file to sort yet.
    if (job.sort && stored > 0)
        job.sort(ctx);
}

} // namespace gim
