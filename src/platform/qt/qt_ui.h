#pragma once

#include "platform/ui.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

namespace gim {

class ProgressWindow;
class Shell;
class QtLinePrinter;

// The desktop backend of Ui: modal Qt dialogs with Spanish buttons. It works before the main window
// exists (start-up shows messages); once there is one, SetParentWindow centres the dialogs on it.
//
// Object names, for tests and style sheets: "InputBox", "MessageBox", "YesNoBox", "FileDialog"; cards
// carry their form name.
class QtUi final : public Ui
{
public:
    QtUi();
    ~QtUi() override;

    void SetParentWindow(QWidget* parent) { m_parent = parent; }
    // Where finished listings go: the main window opens a report window in its work area.
    using ReportTarget = std::function<void(std::shared_ptr<ReportDocument>)>;
    void SetReportTarget(ReportTarget target) { m_reportTarget = std::move(target); }
    // Where a shown listing's new lines and label go (UpdateReport).
    using ReportUpdate = std::function<void(const std::shared_ptr<ReportDocument>&, const QString& label)>;
    void SetReportUpdate(ReportUpdate update) { m_reportUpdate = std::move(update); }
    // Where a batch of report windows begins (true) and ends (false).
    using ReportBatchHook = std::function<void(bool begin)>;
    void SetReportBatch(ReportBatchHook hook) { m_reportBatch = std::move(hook); }
    QWidget* ParentWindow() const { return m_parent; }
    // What opens the program's picture viewer on a file over a card (the viewer needs the context, which
    // is made after this backend).
    using PictureViewerOpener = std::function<void(QWidget* card, const QString& path)>;
    void SetPictureViewer(PictureViewerOpener opener) { m_pictureViewer = std::move(opener); }

    QString InputBox(const QString& caption, const QString& prompt, const QString& defaultValue) override;
    // The box carries the application's name as its title.
    void ShowMessage(const QString& text) override;
    bool AskYesNo(const QString& text) override;
    bool AskOkCancel(const QString& text) override;
    int RunCard(const CardSpec& spec, CardState& state) override;
    void ShowReport(std::shared_ptr<ReportDocument> report) override;
    // Shows the window's new state at once: the work goes on in this thread.
    void UpdateReport(const std::shared_ptr<ReportDocument>& report, const QString& label) override;
    void BeginReportBatch() override;
    void EndReportBatch() override;
    std::optional<QString> ChooseFile(const FileDialogRequest& request) override;
    QString ClipboardText() override;
    void SetClipboardText(const QString& text) override;
    bool PickDateRange(QDate& start, QDate& end) override;
    void BeginProgress(const QString& caption, int maximum) override;
    void SetProgress(int position) override;
    void EndProgress() override;
    bool ProgressCancelled() override;
    // On the parent window's status bar, when it is the main window.
    void ShowStatus(const QString& text) override;
    // The line printer asks for its printer over the parent window.
    LinePrinter& TextPrinter() override;
    PictureWindowResult ShowPictureWindow(const PictureWindow& window) override;
    tl::expected<void, QString> SavePicture(const PictureWindow& window, const QString& path) override;
    // The web search window hands its addresses to `shell`, which SetShell names.
    void SetShell(Shell* shell) { m_shell = shell; }
    void ShowWebSearch(const QString& address, bool go, const QString& startPage = QString()) override;

private:
    QPointer<QWidget> m_parent;
    ReportTarget m_reportTarget;
    ReportUpdate m_reportUpdate;
    ReportBatchHook m_reportBatch;
    PictureViewerOpener m_pictureViewer;
    Shell* m_shell = nullptr;
    QPointer<ProgressWindow> m_progress;
    QElapsedTimer m_progressPaint;
    std::unique_ptr<QtLinePrinter> m_linePrinter;
};

} // namespace gim
