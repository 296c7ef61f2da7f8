#pragma once

#include <QString>

namespace gim {

// The "mailto:" link the mail composer hands to the desktop's mail program:
// "mailto:" + address + "?Subject=" + subject + "&Body=" + the message's lines joined by "%0D%0A".
// Every text is percent-encoded as UTF-8 (RFC 6068), so "&", "#", "?", "%", "+" and accented letters
// reach the mail program as typed; the address keeps "@" and "," (several recipients). An empty message
// gives "&Body=" and nothing after it; a line break at the end of the message adds no empty line.
QString MailtoLink(const QString& address, const QString& subject, const QString& body);

} // namespace gim
