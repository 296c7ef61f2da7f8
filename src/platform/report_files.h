#pragma once

#include "platform/handover.h"

#include <QByteArray>
#include <QString>

namespace gim {

class ReportDocument;

// Files of the report window, without widgets: loading, saving, exports and the exchange files of the
// web synchronisation.

// Plain text as the loader reads it: UTF-8 when the bytes are valid UTF-8 (a leading mark is dropped),
// Windows-1252 otherwise.
QString DecodePlainText(const QByteArray& bytes);

// Replaces the document's paragraphs with plain text, one paragraph per line, in the current pen.
void SetPlainText(ReportDocument& doc, const QString& text);

// Loads a file into the document's text: RTF when the content is RTF, plain text otherwise, whatever
// the name says (some files named .rtf are plain text). False when the file cannot be read.
bool LoadReportFile(const QString& path, ReportDocument& doc);

// Saves the document as RTF; the old file stays whole until the new one is complete.
bool SaveReportRtf(const QString& path, const ReportDocument& doc);

// The document as a tab-separated sheet for the spreadsheet: UTF-8 with a byte-order mark (so the
// spreadsheet recognises the encoding), one row per paragraph ending in '\n', columns split at TABs. A
// field starting with a quote is quoted, its quotes doubled, so the spreadsheet does not eat them.
QByteArray CsvBytes(const ReportDocument& doc);

// Writes export bytes to a new file "<stem>-XXXXXX.<suffix>" in `folder` (created when missing) and
// returns its absolute path; empty on failure. The file is left for the application that opens it.
QString WriteExportFile(const QString& folder, const QString& stem, const QString& suffix,
                        const QByteArray& bytes);

// The load of the exchange files that the web synchronisation has just fetched.
struct ExchangeLoad
{
    bool pending = false; // the Partes or OrdenesT flag was set: the load does not ask for a file
    bool loaded = false;  // a file replaced the text
    QString text;         // the text loaded (Windows-1252 decoded)
};
// For each item whose flag is set and whose map names an exchange file, in the order of the flags, loads
// <environment> + that file from the exchange folder (a later file replacing an earlier one); a missing
// file clears its flag and loads nothing.
ExchangeLoad LoadExchangeFiles(const HandoverRegistry& handover, EditFlags& flags, const QString& environment,
                               const QString& exchangeFolder);

} // namespace gim
