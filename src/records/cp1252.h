#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <string_view>

namespace gim {

// Windows-1252 is the code page of every data file and exchange text the old program wrote.
// Qt 6 ships no codec for it, so the table is our own.

// Decodes Windows-1252 bytes. The five unassigned bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the
// control characters of the same value, so that every byte survives a round trip.
QString FromCp1252(std::string_view bytes);
// The same, appended to `text`.
void AppendCp1252(QString& text, std::string_view bytes);

// Encodes to Windows-1252. A character outside the code page becomes '?'.
std::string ToCp1252(const QString& text);

// Lines as the old program's plain-text files hold them: Windows-1252, each ending in CR LF.
std::string ToCp1252Lines(const QStringList& lines);

// One character; returns '?' for characters outside the code page.
char ToCp1252Char(QChar c);

} // namespace gim
