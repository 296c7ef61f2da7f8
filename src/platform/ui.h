#pragma once

#include "platform/card.h"
#include "platform/line_printer.h"
#include "platform/week_graph.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <tl/expected.hpp>
#include <vector>

namespace gim {

class ReportDocument;

struct FileDialogRequest
{
    bool save = false;
    QString caption;
    QString folder;      // absolute folder to start in
    QString fileName;    // proposed name
    QStringList filters; // "Ficheros RTF (*.rtf)"
    // The patterns match whatever the case of the names' letters.
    bool anyLetterCase = false;
};

// A picture drawn step by step on a panel of its size, in a window of its own.
struct PictureWindow
{
    QString caption;
    int width = 0;
    int height = 0;
    std::vector<GraphOp> picture;
};

// The button that closed a picture window.
enum class PictureWindowResult { Print, Save, Exit };

// Every interaction with the user goes through this interface. The Qt backend shows real dialogs;
// ScriptedUi answers from a script in tests.
class Ui
{
public:
    virtual ~Ui() = default;

    // One-line prompt. Cancel returns `defaultValue` unchanged, as the old input box did; callers rely on
    // it ("#" and "N" defaults).
    virtual QString InputBox(const QString& caption, const QString& prompt, const QString& defaultValue) = 0;
    virtual void ShowMessage(const QString& text) = 0;
    // Yes/No message box; true = Yes.
    virtual bool AskYesNo(const QString& text) = 0;
    // A confirmation with the buttons Aceptar and Cancelar; true = Aceptar.
    virtual bool AskOkCancel(const QString& text) = 0;
    // Shows a modal card; returns the modal result code.
    virtual int RunCard(const CardSpec& spec, CardState& state) = 0;
    // Hands a finished listing over to a new report window.
    virtual void ShowReport(std::shared_ptr<ReportDocument> report) = 0;
    // A report window already shown on `report` shows the lines added to it since, and `label` in its
    // label (an import's gateway window while the lines are read). Backends without windows ignore it.
    virtual void UpdateReport(const std::shared_ptr<ReportDocument>& report, const QString& label)
    {
        (void)report;
        (void)label;
    }
    // Report windows opened one after another without the user in between (one per letter): the backend
    // may open them behind each other and bring up only the last. The calls pair and may nest.
    virtual void BeginReportBatch() {}
    virtual void EndReportBatch() {}
    // Open or save dialog; nullopt when cancelled. The result is an absolute path.
    virtual std::optional<QString> ChooseFile(const FileDialogRequest& request) = 0;
    virtual QString ClipboardText() = 0;
    virtual void SetClipboardText(const QString& text) = 0;

    // The date-range picker "Selección de un rango de fechas", preset to start and end (callers pass
    // today, or the date they start from). True with the chosen range when closed with OK; false with start
    // and end unchanged when its window was closed: the caller decides what an unchanged range means.
    virtual bool PickDateRange(QDate& start, QDate& end) = 0;

    // The progress window of a long load or transfer ("Avance Carga Datos" when the caption is empty).
    // Beginning again replaces a window still open; positions are held to 0..maximum.
    virtual void BeginProgress(const QString& caption, int maximum) = 0;
    virtual void SetProgress(int position) = 0;
    virtual void EndProgress() = 0;
    // Asked often while the program waits on another party (a transfer): lets the windows repaint, gives
    // the open progress window a "Cancelar" button and tells whether the user pressed it.
    virtual bool ProgressCancelled() { return false; }
    // The main window's status-bar text (the bytes of a transfer so far).
    virtual void ShowStatus(const QString& text) = 0;

    // The printer that listings printed line by line go to; its Begin asks for the printer.
    virtual LinePrinter& TextPrinter() = 0;

    // The chart window: the picture over the buttons "&IMPRIMIR", "SAL&VAR" and "&SALIR", shown modally.
    // &IMPRIMIR prints the window before it closes.
    virtual PictureWindowResult ShowPictureWindow(const PictureWindow& window) = 0;
    // Writes the window's picture to `path`, as JPEG or BMP by its extension; the reason when it fails.
    virtual tl::expected<void, QString> SavePicture(const PictureWindow& window, const QString& path) = 0;

    // The web search window "Navegador Internet" (not modal) with `address` in its address box; `go`
    // presses its "Ir" at once, which opens the address in the desktop's browser. A `startPage` is
    // opened first, as the page the window starts at.
    virtual void ShowWebSearch(const QString& address, bool go, const QString& startPage = QString()) = 0;
};

// Keeps a batch of report windows open for its lifetime, also when the command is abandoned.
class ReportBatch final
{
public:
    explicit ReportBatch(Ui& ui) : m_ui(ui) { m_ui.BeginReportBatch(); }
    ~ReportBatch() { m_ui.EndReportBatch(); }
    ReportBatch(const ReportBatch&) = delete;
    ReportBatch& operator=(const ReportBatch&) = delete;

private:
    Ui& m_ui;
};

} // namespace gim
