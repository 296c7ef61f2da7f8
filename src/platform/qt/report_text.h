#pragma once

#include "platform/report.h"

class QFont;
class QTextCharFormat;
class QTextDocument;

namespace gim {

// Between a report and the text document its pane shows and edits, with no widget involved. Tab stops and
// indents are kept in twips; on screen one pixel is 15 twips (96 dpi).
inline constexpr double kTwipsPerPixel = 15.0; // 1440 twips an inch, 96 pixels an inch

// The document's paragraphs into a text document (tab stops, indents, alignment, bullets, run styles),
// and back.
void RenderReportText(const ReportDocument& doc, QTextDocument& text);
void ReadReportText(const QTextDocument& text, ReportDocument& doc);

// The style of a run of the text; what a format leaves unset is the text's default font.
ReportTextStyle StyleOf(const QTextCharFormat& f, const QFont& defaultFont);

} // namespace gim
