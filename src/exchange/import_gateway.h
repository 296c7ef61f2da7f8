#pragma once

#include "exchange/import_format.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace gim {

class ReportDocument;

inline constexpr const char* kGatewayCaption = "Pasarela Imformes Veltrano";
inline constexpr const char* kNoClipboardData = "No hay DATOS en el Portapapeles";

// The import unit's variables, kept for the life of the program.
struct ImportGatewayState
{
    bool Manual = true; // the import window's Manual box: cards are shown for each line
    // The gateway window of the last import: the pasted lines, one " " line after the first line's turn,
    // then one echo per line (" * " added, italic "   " not added) and a table's end text.
    std::shared_ptr<ReportDocument> Gateway;
    QStringList Lines;   // the pasted lines, read by the loop; echo lines are never read back
    QString LineCaption; // the gateway window's Label2
};

ImportGatewayState& ImportGateway(Context& ctx);

// Pasted text as hard lines: a LF ends a line and a CR before it is dropped (CRLF and LF texts give the
// same lines); a text ending in a line break has no empty line after it.
QStringList SplitImportText(const QString& text);

// Sets the import mode (ActionCode "i", OutputCode "W", ExportFlag 0) and takes `text`, or else the
// clipboard's text, into a new gateway window, shown at once; the clipboard is emptied. Without text: the
// message "No hay DATOS en el Portapapeles" and false. InteractiveFlag follows the Manual box either way.
bool StartGatewayImport(Context& ctx, const std::optional<QString>& text = std::nullopt);

// A table's whole import: its steps before the loop, the gateway start, each line parsed, added and
// echoed, then ActionCode and OutputCode cleared, InteractiveFlag 1 and the table's closing steps (also
// when no text was there; its rewrites only when a line was stored). The gateway window follows the echo
// while the lines are read, with the table's Label2 caption.
void RunGatewayImport(Context& ctx, const ImportJob& job, const std::optional<QString>& text = std::nullopt);

} // namespace gim
