#include "app/main_window.h"

#include "app/mail_composer.h"
#include "app/picture_viewer.h"
#include "app/report_window.h"
#include "core/context.h"
#include "core/dispatch.h"
#include "core/environment.h"
#include "core/operations.h"
#include "platform/qt/print_preview.h" // picture_viewer.h needs the complete type

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QFontDatabase>
#include <QFontDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QProxyStyle>
#include <QStatusBar>
#include <QWindow>

namespace gim {
namespace {

// A maximised child window keeps its own title bar rather than putting its buttons into the menu bar,
// where they pushed the last menus behind the bar's "»" on a 1,280-pixel screen.
class ChildWindowStyle final : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returned) const override
    {
        if (hint == SH_Workspace_FillSpaceOnMaximize)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returned);
    }
};

const QString kMainHint = QStringLiteral("Seleccione una opción del Menú.Doble clik ratón para ayuda");
const QString kCalendarOn = QStringLiteral("Calendario ON");
const QString kCalendarOff = QStringLiteral("Calendario OFF");

// Takes the keys of some actions for one widget: accepting the shortcut override keeps the window's
// own shortcuts quiet, and the key press that follows triggers the widget's action.
class PaneShortcuts final : public QObject
{
public:
    PaneShortcuts(QWidget* pane, QList<QAction*> actions) : QObject(pane), m_actions(std::move(actions))
    {
        pane->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        auto* key = static_cast<QKeyEvent*>(event);
        QAction* action = Match(key);
        if (!action)
            return QObject::eventFilter(watched, event);
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
        if (action->isEnabled())
            action->trigger();
        return true;
    }

private:
    QAction* Match(const QKeyEvent* key) const
    {
        const QKeySequence pressed(key->keyCombination());
        for (QAction* action : m_actions) {
            if (action && action->shortcut() == pressed)
                return action;
        }
        return nullptr;
    }

    QList<QAction*> m_actions;
};

} // namespace

void ScopeShortcutsToWidget(QWidget* pane, const QList<QAction*>& actions)
{
    new PaneShortcuts(pane, actions);
}

TGim::TGim(Context& ctx, OperationRegistry& registry, Dispatcher& dispatcher, QWidget* parent)
    : QMainWindow(parent), m_ctx(ctx), m_dispatcher(dispatcher), m_printerFont(font()),
      m_printer(std::make_unique<QPrinter>())
{
    setObjectName(QStringLiteral("TGim"));
    setFont(QFont(QStringLiteral("Tahoma")));

    m_childStyle = new ChildWindowStyle;
    m_childStyle->setParent(this);
    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("MainMdiArea"));
    setCentralWidget(m_mdi);
    m_mdi->viewport()->installEventFilter(this);
    m_mdi->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_mdi, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        PreparePopupMenu();
        m_popup->popup(m_mdi->mapToGlobal(pos));
    });

    m_calendar = new QCalendarWidget(m_mdi);
    m_calendar->setObjectName(QStringLiteral("MonthCalendar"));
    m_calendar->setVerticalHeaderFormat(QCalendarWidget::ISOWeekNumbers);
    m_calendar->setFirstDayOfWeek(Qt::Monday);
    m_calendar->setLocale(QLocale(QLocale::Spanish, QLocale::Spain));
    m_calendar->setSelectedDate(ctx.clock.Now().date());
    m_calendar->adjustSize();
    m_calendar->hide();

    m_keyboardHelp = new QPlainTextEdit(m_mdi);
    m_keyboardHelp->setObjectName(QStringLiteral("KeyboardHelp"));
    m_keyboardHelp->setReadOnly(true);
    m_keyboardHelp->setFocusPolicy(Qt::NoFocus);
    m_keyboardHelp->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_keyboardHelp->setPlainText(KeyboardHelpText());
    m_keyboardHelp->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_keyboardHelp->hide();

    statusBar()->showMessage(kMainHint);
    connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& text) {
        if (text.isEmpty())
            statusBar()->showMessage(kMainHint);
    });

    RegisterWindowOperations(registry);
    BuildMenus();
    BuildPopupMenu();

    // F1 answers everywhere in the main window, as the keyboard help says.
    auto* help = new QAction(this);
    help->setShortcut(QKeySequence(Qt::Key_F1));
    connect(help, &QAction::triggered, this, [this] { OpenHelpFile(m_ctx); });
    addAction(help);

    m_dispatcher.SetAfterCommand([this] {
        RefreshCaption();
        RefreshMenus();
    });
    // Every key press that reaches this window first runs the pending deferred edits.
    qApp->installEventFilter(this);

    InitCurrentDate(ctx);
    RefreshCaption();
    RefreshMenus();
}

TGim::~TGim()
{
    qApp->removeEventFilter(this);
    m_dispatcher.SetAfterCommand({});
}

void TGim::RegisterWindowOperations(OperationRegistry& registry)
{
    registry.Register(Op::ShowFontDialog, [this](Context&) {
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, m_printerFont, this);
        if (ok)
            m_printerFont = chosen;
    });
    registry.Register(Op::ShowPrintDialog, [this](Context&) {
        QPrintDialog dialog(m_printer.get(), this);
        dialog.exec();
    });
    registry.Register(Op::CascadeWindows, [this](Context&) { m_mdi->cascadeSubWindows(); });
    // Both windows free themselves when closed.
    registry.Register(Op::ShowPictureViewer,
                      [this](Context& ctx) { (new PictureViewer(ctx, this))->Start(); });
    registry.Register(Op::ShowMailComposer, [this](Context& ctx) { (new MailComposer(ctx, this))->show(); });
    // The Editar items of the newest report window hand its selected row to the entity's edit command.
    for (const PendingEditEntry& entry : kPendingEdits) {
        registry.Register(entry.handOver, [this, item = entry.item](Context& ctx) {
            ReportWindows::Of(m_mdi, ctx, ctx.Module<HandoverRegistry>()).HandOverFromNewest(item);
        });
    }
}

void TGim::BuildMenus()
{
    // Submenus by the captions of their path, so that the items of one submenu share it.
    std::map<QStringList, QMenu*> submenus;
    const CommandTable& table = m_dispatcher.Table();
    for (std::size_t i = 0; i < table.size(); ++i) {
        const CommandItem& item = table[i];
        if (item.popup)
            continue;
        QMenu* parent = nullptr;
        QStringList prefix;
        for (qsizetype level = 0; level + 1 < item.path.size(); ++level) {
            prefix << item.path[level];
            QMenu*& menu = submenus[prefix];
            if (!menu)
                menu = parent ? parent->addMenu(item.path[level]) : menuBar()->addMenu(item.path[level]);
            parent = menu;
        }
        auto* action = new QAction(item.path.last(), parent ? static_cast<QObject*>(parent) : this);
        action->setStatusTip(item.hint);
        const QString& key = m_dispatcher.OwnedShortcut(i);
        if (!key.isEmpty()) {
            action->setShortcut(QKeySequence(key, QKeySequence::PortableText));
            m_menuKeys << action->shortcut();
        }
        connect(action, &QAction::triggered, this, [this, i] { m_dispatcher.Run(i); });
        if (parent)
            parent->addAction(action);
        else
            menuBar()->addAction(action);
        m_actions[i] = action;
        m_byPath[item.PlainPath()] = action;
    }
}

void TGim::BuildPopupMenu()
{
    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("WindowPopup"));
    m_popup->addAction(QStringLiteral("Ventanas"), this, [this] {
        for (QMdiSubWindow* child : m_mdi->subWindowList())
            child->showNormal();
    });
    m_calendarAction = m_popup->addAction(kCalendarOn, this, [this] { ToggleCalendar(); });
    m_popup->addAction(QStringLiteral("Mosaico"), m_mdi, &QMdiArea::tileSubWindows);
    m_popup->addAction(QStringLiteral("Cascada"), m_mdi, &QMdiArea::cascadeSubWindows);
    m_popup->addAction(QStringLiteral("Minimizar"), this, [this] {
        for (QMdiSubWindow* child : m_mdi->subWindowList())
            child->showMinimized();
        if (QMdiSubWindow* active = m_mdi->activeSubWindow())
            active->showMinimized();
    });
    const std::optional<std::size_t> sort = m_dispatcher.Find(QStringLiteral("Ordenar"));
    if (sort) {
        QAction* action = m_popup->addAction(m_dispatcher.Table()[*sort].path.last());
        connect(action, &QAction::triggered, this, [this, index = *sort] { m_dispatcher.Run(index); });
        m_actions[*sort] = action;
        m_byPath[QStringLiteral("Ordenar")] = action;
    }
    m_popup->addAction(QStringLiteral("Cerrar Todas"), m_mdi, &QMdiArea::closeAllSubWindows);
    m_popup->addAction(QStringLiteral("Salir"));
}

void TGim::PreparePopupMenu()
{
    m_keyboardHelp->hide();
    // The window list: one entry per child window, the active one ticked.
    for (QAction* action : m_windowListActions) {
        m_popup->removeAction(action);
        action->deleteLater();
    }
    m_windowListActions.clear();
    const QList<QMdiSubWindow*> children = m_mdi->subWindowList();
    if (children.isEmpty())
        return;
    m_windowListActions << m_popup->addSeparator();
    int number = 1;
    for (QMdiSubWindow* child : children) {
        QAction* action =
            m_popup->addAction(QStringLiteral("&%1 %2").arg(number++).arg(child->windowTitle()));
        action->setCheckable(true);
        action->setChecked(child == m_mdi->activeSubWindow());
        connect(action, &QAction::triggered, m_mdi, [this, child] { m_mdi->setActiveSubWindow(child); });
        m_windowListActions << action;
    }
}

QAction* TGim::Action(const QString& plainPath) const
{
    const auto it = m_byPath.find(plainPath);
    return it == m_byPath.end() ? nullptr : it->second;
}

QList<QMenu*> TGim::Menus() const
{
    QList<QMenu*> menus;
    for (QAction* action : menuBar()->actions()) {
        if (action->menu())
            menus << action->menu();
    }
    return menus;
}

void TGim::RefreshCaption()
{
    setWindowTitle(MainCaption(m_ctx));
}

void TGim::RefreshMenus()
{
    for (const auto& [index, action] : m_actions) {
        action->setEnabled(m_dispatcher.IsEnabled(index));
        action->setText(m_dispatcher.Caption(index));
    }
}

void TGim::ToggleCalendar()
{
    const bool show = !m_calendar->isVisible();
    if (show) {
        m_calendar->adjustSize();
        m_calendar->move(qMax(0, m_mdi->width() - m_calendar->width() - 8), 8);
        m_calendar->raise();
    }
    m_calendar->setVisible(show);
    m_calendarAction->setText(show ? kCalendarOff : kCalendarOn);
}

void TGim::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        m_dispatcher.MainWindowActivated();
        RefreshMenus();
    }
}

void TGim::ReleaseMenuKeys(QMdiSubWindow* child) const
{
    // A child window's own menu ("Close" on Ctrl+F4) must not make a menu key ambiguous: Qt would then
    // fire neither.
    QMenu* menu = child->systemMenu();
    if (!menu)
        return;
    for (QAction* action : menu->actions()) {
        QList<QKeySequence> keys = action->shortcuts();
        const qsizetype before = keys.size();
        keys.removeIf([this](const QKeySequence& key) { return m_menuKeys.contains(key); });
        if (keys.size() != before)
            action->setShortcuts(keys);
    }
}

bool TGim::IsInThisWindow(QObject* object) const
{
    if (object->isWidgetType())
        return static_cast<QWidget*>(object)->window() == this;
    return object == windowHandle();
}

bool TGim::MoveToNextMenuOfLetter(QObject* watched, const QKeyEvent& key)
{
    // Only while one of this menu bar's menus is open: with none open the bar's own letters open the
    // first menu of the letter.
    QMenuBar* bar = menuBar();
    QAction* current = bar->activeAction();
    if (!current || !qobject_cast<QMenu*>(watched) || !(key.modifiers() & Qt::AltModifier))
        return false;
    const QKeySequence letter(Qt::ALT | static_cast<Qt::Key>(key.key()));
    QList<QAction*> sharing;
    for (QAction* action : bar->actions()) {
        if (action->isVisible() && action->isEnabled() && QKeySequence::mnemonic(action->text()) == letter)
            sharing << action;
    }
    if (sharing.isEmpty())
        return false;
    // As the old menus did: the next menu of the letter after the open one, round to the first.
    const qsizetype at = sharing.indexOf(current);
    bar->setActiveAction(sharing[(at + 1) % sharing.size()]);
    return true;
}

bool TGim::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress && MoveToNextMenuOfLetter(watched, *static_cast<QKeyEvent*>(event)))
        return true;
    if (type == QEvent::ShortcutOverride) {
        if (m_dispatcher.HasPendingEdits() && IsInThisWindow(watched))
            m_dispatcher.RunPendingEdits();
        return false;
    }
    if (watched != m_mdi->viewport())
        return QMainWindow::eventFilter(watched, event);
    switch (type) {
    case QEvent::ChildAdded:
    case QEvent::ChildPolished:
        if (auto* child = qobject_cast<QMdiSubWindow*>(static_cast<QChildEvent*>(event)->child())) {
            ReleaseMenuKeys(child);
            if (child->style() != m_childStyle)
                child->setStyle(m_childStyle);
        }
        break;
    case QEvent::MouseButtonPress:
        // Only a press on the bare background: a press in a report window that the window leaves
        // unhandled comes up here too, and the pop-up menu it opens takes the release away.
        if (m_mdi->viewport()->childAt(static_cast<QMouseEvent*>(event)->position().toPoint()))
            break;
        m_keyboardHelp->resize(m_keyboardHelp->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 64,
                               m_keyboardHelp->fontMetrics().lineSpacing() * 17);
        m_keyboardHelp->move(8, 8);
        m_keyboardHelp->raise();
        m_keyboardHelp->show();
        break;
    case QEvent::MouseButtonRelease:
        m_keyboardHelp->hide();
        break;
    case QEvent::MouseButtonDblClick: {
        // The double click opens the help; with the keyboard help still up it also toggles the calendar.
        const bool helpShown = m_keyboardHelp->isVisible();
        OpenHelpFile(m_ctx);
        if (helpShown)
            ToggleCalendar();
        // The help may have shown a message that took the button's release.
        if (QGuiApplication::mouseButtons() != Qt::NoButton)
            m_keyboardHelp->show();
        break;
    }
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace gim
