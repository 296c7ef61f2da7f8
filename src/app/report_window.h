#pragma once

#include "app/report_commands.h"
#include "platform/handover.h"
#include "platform/qt/chart_panel.h"
#include "platform/report.h"

#include <QIcon>
#include <QKeySequence>
#include <QMdiArea>
#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QFontComboBox;
class QLabel;
class QLineEdit;
class QMdiSubWindow;
class QMenu;
class QPrinter;
class QTabWidget;
class QTextCharFormat;
class QTextEdit;
class QToolBar;

namespace gim {

struct Context;
class PieChartView;
class TEditorRTF;
class WeekChartView;
class WeekGraphView;

// What the report windows need beyond the Context. Every hook has a working default; tests replace the
// dialogs that would block, before the windows open.
struct ReportWindowHooks
{
    // The print button's printer dialog; false = cancelled. Default: QPrintDialog.
    std::function<bool(QPrinter&, QWidget* parent)> printSetup;
    // Direct printing (Ctrl+P) goes to the default printer; called to adjust the printer first.
    std::function<void(QPrinter&)> directPrinter;
    // The charts' "Im&primir": a print preview of the chart. Default: QPrintPreviewDialog.
    std::function<void(QWidget* chart, QWidget* parent)> previewChart;
    // "Tipos Letras"; false = cancelled. Default: QFontDialog.
    std::function<bool(QFont& font, QWidget* parent)> chooseFont;
    // The mail composer, opened after the text went to the clipboard. Default: MailComposer.
    std::function<void()> openMailComposer;
    // The picture viewer on a file of a folder, or (file empty) on its open dialog. Default: PictureViewer.
    std::function<void(const QString& folder, const QString& file)> openPictureViewer;
    // Where the word-processor and spreadsheet exports are written; empty: "gim" in the temporary folder.
    QString exportFolder;
};

// The report windows of one main window, in the order they were opened. "Newest" is the newest window
// still open: a closed window leaves the list at once, so nothing ever refers to a window that is gone.
// EditorOpenFlag is 1 while any window is open.
class ReportWindows final : public QObject
{
    Q_OBJECT

public:
    // `area` may be null: the windows are then top-level (tests).
    ReportWindows(Context& ctx, HandoverRegistry& handover, QMdiArea* area, QObject* parent = nullptr);
    ~ReportWindows() override;

    // The windows of an MDI area, created on first use and owned by the area.
    static ReportWindows& Of(QMdiArea* area, Context& ctx, HandoverRegistry& handover);

    // Opens a window on the document: maximised in the area, sheets as the document says, and when the
    // web synchronisation has just fetched an exchange file, that file loaded at once.
    TEditorRTF* Show(std::shared_ptr<ReportDocument> doc);
    // The windows showing `doc` show it as it stands now, with `label` in their label.
    void Update(const ReportDocument& doc, const QString& label);
    TEditorRTF* Newest() const;
    // Between these, windows open in their places behind each other, and the last is then maximised and
    // activated as a window opened alone is. Pairs nest.
    void BeginBatch();
    void EndBatch();
    std::vector<TEditorRTF*> OpenWindows() const;
    // For the main window's edit handlers: when the newest window's pane has a selection, runs its Editar
    // item on it. Returns whether it did.
    bool HandOverFromNewest(EditItem item);

    Context& Ctx() const { return m_ctx; }
    HandoverRegistry& Handover() const { return m_handover; }
    ReportWindowHooks& Hooks() { return m_hooks; }
    QMdiArea* Area() const { return m_area; }

private:
    friend class TEditorRTF;
    void Add(TEditorRTF* window);
    void HoldAreaUpdates();
    void ReleaseAreaUpdates();
    static void EnableUpdatesUnmarked(QWidget* widget);
    QMdiSubWindow* AddBatchWindow(TEditorRTF* window);
    void ShareTitleBarIcons(QMdiSubWindow* sub);
    static void FireZeroTimers(TEditorRTF* window);
    void HoldCloseKeys(QMdiSubWindow* sub, bool held);
    void Remove(TEditorRTF* window);
    void GiveKeys(TEditorRTF* window);

    Context& m_ctx;
    HandoverRegistry& m_handover;
    QPointer<QMdiArea> m_area;
    // Whether the windows live in a work area; kept apart from m_area, which a closing area clears first.
    bool m_inArea = false;
    ReportWindowHooks m_hooks;
    std::vector<QPointer<TEditorRTF>> m_windows;
    int m_batch = 0;
    std::vector<QPointer<QMdiSubWindow>> m_batchWindows;
    // Whether the area's updates are off until the loop turns (or the batch ends).
    bool m_holdingUpdates = false;
    // The one window of the area whose pane keys are registered with Qt (see TEditorRTF::HoldKeys).
    QPointer<TEditorRTF> m_keyed;
    // The title-bar menu button's picture, then the system menu's items with their pictures, as the
    // first window of the area had them.
    std::vector<std::pair<QString, QIcon>> m_titleBarIcons;
    // The system menu's Close item and its keys, as the first window of the area had them.
    QString m_closeItem;
    QList<QKeySequence> m_closeKeys;
};

// Opens a report window in the main window's MDI area: what Ui::ShowReport does on the desktop.
TEditorRTF* ShowReportWindow(QMdiArea* area, std::shared_ptr<ReportDocument> doc, Context& ctx,
                             HandoverRegistry& handover);
// What Ui::BeginReportBatch (begin) and Ui::EndReportBatch do on the desktop.
void ReportWindowBatch(QMdiArea* area, bool begin, Context& ctx, HandoverRegistry& handover);
// What Ui::UpdateReport does on the desktop.
void UpdateReportWindows(QMdiArea* area, const ReportDocument& doc, const QString& label, Context& ctx,
                         HandoverRegistry& handover);

// "EDITOR DE INFORMES": the rich-text pane of a listing with its tool bar, pop-up menu and chart sheets;
// the tool bar and the menu run the report commands on the pane. Object names follow the old form, so
// tests and style sheets find the controls: the pane "Texto", the page control "Doc", the image "panel",
// the photo "foto1", and the charts with their controls (ChartPanel).
class TEditorRTF final : public QWidget
{
    Q_OBJECT

public:
    TEditorRTF(std::shared_ptr<ReportDocument> doc, ReportWindows& windows, QWidget* parent = nullptr);
    ~TEditorRTF() override;

    // The listing as it was handed over, and the pane's text as it stands now (with the user's edits).
    const ReportDocument& Document() const { return *m_doc; }
    ReportDocument PaneDocument() const { return m_commands->PaneDocument(); }
    // Where "Sal&var" proposes to save, kept per window.
    const QString& SaveSubFolder() const { return m_commands->SubFolder(); }
    const QString& SaveFileName() const { return m_commands->FileName(); }
    ReportCommands& Commands() const { return *m_commands; }

    QTextEdit* Texto() const { return m_text; }
    QTabWidget* Doc() const { return m_tabs; }
    // The charts are built when first shown or asked for: most listings never show them, and a window
    // holding its charts costs megabytes.
    ChartPanel* Charts() const;
    WeekChartView* Chart1() const { return Charts()->Chart1(); }
    WeekChartView* Chart2() const { return Charts()->Chart2(); }
    PieChartView* Chart3() const { return Charts()->Chart3(); }
    WeekGraphView* Panel() const { return m_panel; }
    // The picture the Fotos sheet shows.
    const QString& PhotoFile() const { return m_photoFile; }
    QLabel* Foto1() const { return m_photo; }
    QToolBar* ToolBar() const { return m_toolBar; }
    QMenu* EditMenu() const { return m_editMenu; }
    // An action of the tool bar or the menus by its object name ("Salvar", "Editar.Partes", ...).
    QAction* Action(const QString& name) const;
    bool SheetVisible(ReportSheet sheet) const;
    void ShowSheet(ReportSheet sheet, bool visible);
    QString StatusText() const;
    void SetStatusText(const QString& text);

    // What the window's own items run; the report commands are Commands(), the charts' Charts().
    void ShowPhoto();
    void HandOver(EditItem item);
    void CloseWindow();
    // The pane's pop-up menu: opening it clears the nine pending-edit flags.
    void OpenEditMenu(const QPoint& globalPos);
    // Qt keeps one map of every key of every window, and each key added costs in proportion to the keys
    // already there: a command opening a window per letter would cost the square of the letters. So in a
    // work area only the active window holds its pane keys; the others give them back until activated.
    void HoldKeys(bool held);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildToolBar();
    void BuildEditMenu();
    void BuildSheets();
    void BuildCharts();
    QAction* NewAction(const QString& name, const QString& text, const QKeySequence& key = {});
    void UpdateToolBar();
    void MergeFormat(const QTextCharFormat& format);
    void MoveIndent(int points);
    void ToggleBullet();
    void ChooseFont();
    bool SetPhoto(const QString& path);

    std::shared_ptr<ReportDocument> m_doc;
    QPointer<ReportWindows> m_windows;
    Context& m_ctx;
    std::unique_ptr<ReportCommands> m_commands;
    QString m_photoFile;
    QList<QAction*> m_paneKeys;
    // The keys of m_paneKeys, in the same order, kept while the window does not hold them.
    QList<QKeySequence> m_keys;
    bool m_keysHeld = false;
    bool m_updatingToolBar = false;

    QToolBar* m_toolBar = nullptr;
    QLabel* m_status = nullptr;
    QFontComboBox* m_fontName = nullptr;
    QLineEdit* m_fontSize = nullptr;
    QTabWidget* m_tabs = nullptr;
    QTextEdit* m_text = nullptr;
    WeekGraphView* m_panel = nullptr;
    ChartPanel* m_charts = nullptr;
    // The pages of the sheets Barras, Lineas and Tarta, which take the charts once built.
    std::array<QWidget*, 3> m_chartPages{};
    QLabel* m_photo = nullptr;
    QMenu* m_editMenu = nullptr;
};

} // namespace gim
