#pragma once

#include <QFont>
#include <QKeySequence>
#include <QList>
#include <QMainWindow>
#include <QPrinter>
#include <map>
#include <memory>

class QAction;
class QCalendarWidget;
class QKeyEvent;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPlainTextEdit;
class QStyle;

namespace gim {

struct Context;
class Dispatcher;
class OperationRegistry;

// The main window: a maximised multiple-document window whose menu bar is built from the command table,
// with the keyboard help shown while a mouse button is held on its empty area, a hidden month calendar,
// and a pop-up menu for the child windows. Every command goes through the dispatcher.
//
// Object names, for tests: "MainMdiArea", "MonthCalendar", "KeyboardHelp", "WindowPopup".
class TGim final : public QMainWindow
{
    Q_OBJECT

public:
    // Registers the window's own operations (ShowFontDialog, ShowPrintDialog, CascadeWindows,
    // ShowPictureViewer, ShowMailComposer) and the report windows' Editar hand-overs (EditarPartes, ...).
    TGim(Context& ctx, OperationRegistry& registry, Dispatcher& dispatcher, QWidget* parent = nullptr);
    ~TGim() override;

    // The area that holds the child windows (report windows, picture viewer).
    QMdiArea* MdiArea() const { return m_mdi; }
    // The menu action of an item by its plain path ("Máquinas > Listado > Máquinas"); nullptr if none.
    QAction* Action(const QString& plainPath) const;
    // The top-level menus in order.
    QList<QMenu*> Menus() const;
    QMenu* PopupMenu() const { return m_popup; }
    QAction* CalendarAction() const { return m_calendarAction; }
    QCalendarWidget* Calendar() const { return m_calendar; }
    QPlainTextEdit* KeyboardHelp() const { return m_keyboardHelp; }

    // The font and printer the listings print with, as "Fuentes" and "Impresoras" left them.
    const QFont& PrinterFont() const { return m_printerFont; }
    QPrinter& Printer() { return *m_printer; }

    // The caption from the program's state.
    void RefreshCaption();
    // Enabled state and captions of every item, as when the window becomes active.
    void RefreshMenus();
    // "Calendario ON" / "Calendario OFF".
    void ToggleCalendar();
    // Fills the pop-up menu for the moment it opens (the window list changes).
    void PreparePopupMenu();

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    void BuildPopupMenu();
    void RegisterWindowOperations(OperationRegistry& registry);
    bool IsInThisWindow(QObject* object) const;
    void ReleaseMenuKeys(QMdiSubWindow* child) const;
    bool MoveToNextMenuOfLetter(QObject* watched, const QKeyEvent& key);

    Context& m_ctx;
    Dispatcher& m_dispatcher;
    QMdiArea* m_mdi = nullptr;
    QStyle* m_childStyle = nullptr; // the child windows' look: their own title bar when maximised
    QMenu* m_popup = nullptr;
    QAction* m_calendarAction = nullptr;
    QList<QAction*> m_windowListActions;
    QCalendarWidget* m_calendar = nullptr;
    QPlainTextEdit* m_keyboardHelp = nullptr;
    std::map<std::size_t, QAction*> m_actions; // by command-table index
    std::map<QString, QAction*> m_byPath;
    QList<QKeySequence> m_menuKeys; // the keys the menu items own
    QFont m_printerFont;
    std::unique_ptr<QPrinter> m_printer;
};

// Keeps the keys of `actions` for `pane` while the focus is in it: there they trigger these actions,
// elsewhere in the window the main menu's items with the same keys. The report window's pane uses it
// for its Editar keys that also stand on main-menu items.
void ScopeShortcutsToWidget(QWidget* pane, const QList<QAction*>& actions);

} // namespace gim
