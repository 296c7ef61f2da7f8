#include "core/mailto.h"

#include <QStringList>
#include <QUrl>

namespace gim {

namespace {

QString Encoded(const QString& text, const QByteArray& keep = {})
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text, keep));
}

} // namespace

QString MailtoLink(const QString& address, const QString& subject, const QString& body)
{
    QStringList lines;
    if (!body.isEmpty()) {
        QString text = body;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
            .replace(QLatin1Char('\r'), QLatin1Char('\n'));
        QStringList memoLines = text.split(QLatin1Char('\n'));
        // A break at the very end closes the last line; it does not open an empty one.
        if (text.endsWith(QLatin1Char('\n')))
            memoLines.removeLast();
        for (const QString& line : memoLines)
            lines << Encoded(line);
    }
    return QStringLiteral("mailto:") + Encoded(address.trimmed(), "@,") + QStringLiteral("?Subject=") +
           Encoded(subject) + QStringLiteral("&Body=") + lines.join(QStringLiteral("%0D%0A"));
}

} // namespace gim
