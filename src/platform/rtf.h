#pragma once

#include <QByteArray>

namespace gim {

class ReportDocument;

// Rich text as the report window saves and loads it. Our own small writer and reader: RTF 1 in
// Windows-1252 with \'xx escapes for the upper half, \uN? for the rest, a font table, a colour table,
// font sizes, bold/italic/underline/strike-out, colours, tab stops, alignment, indents and bullets.

// The document's paragraphs as RTF. Deterministic: same document, same bytes.
QByteArray WriteRtf(const ReportDocument& doc);

// Whether the bytes are RTF (they start with "{\rtf", after an optional UTF-8 mark and blanks). Files
// named .rtf are sometimes plain text, so loaders decide by this, not by the name.
bool LooksLikeRtf(const QByteArray& bytes);

// Replaces the document's paragraphs with the text of RTF bytes: what WriteRtf writes and ordinary
// word-processor RTF (text, fonts, sizes, styles, colours, tabs, alignment, indents); groups it does not
// know (pictures, style sheets, document information, fields' instructions) are skipped. The pen and
// the caption are left as they were. Returns false, changing nothing, when the bytes are not RTF.
bool ReadRtf(const QByteArray& bytes, ReportDocument& doc);

} // namespace gim
