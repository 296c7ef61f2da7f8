#include "app/report_window.h"

#include "app/main_window.h"
#include "app/report_commands.h"
#include "core/context.h"
#include "platform/qt/chart_panel.h"
#include "platform/qt/chart_sheets.h"
#include "platform/qt/jpeg_codec.h"
#include "platform/qt/report_text.h"
#include "platform/qt/week_graph_painter.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFontComboBox>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextList>
#include <QTimer>
#include <QTimerEvent>
#include <QToolBar>
#include <QVBoxLayout>

namespace gim {

namespace {

constexpr int kIndentStepPoints = 10;

} // namespace

// ---- ReportWindows -------------------------------------------------------------------------------------

ReportWindows::ReportWindows(Context& ctx, HandoverRegistry& handover, QMdiArea* area, QObject* parent)
    : QObject(parent), m_ctx(ctx), m_handover(handover), m_area(area), m_inArea(area != nullptr)
{
    setObjectName(QStringLiteral("ReportWindows"));
    if (m_area)
        connect(m_area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
            // Nothing active (the application lost the focus): the last active window keeps its keys.
            if (auto* window = sub ? qobject_cast<TEditorRTF*>(sub->widget()) : nullptr)
                GiveKeys(window);
        });
}

ReportWindows::~ReportWindows() = default;

ReportWindows& ReportWindows::Of(QMdiArea* area, Context& ctx, HandoverRegistry& handover)
{
    if (auto* existing = area->findChild<ReportWindows*>(QString(), Qt::FindDirectChildrenOnly))
        return *existing;
    return *new ReportWindows(ctx, handover, area, area);
}

TEditorRTF* ReportWindows::Show(std::shared_ptr<ReportDocument> doc)
{
    if (!doc)
        doc = std::make_shared<ReportDocument>();
    auto* window = new TEditorRTF(std::move(doc), *this);
    if (m_area) {
        HoldAreaUpdates();
        QMdiSubWindow* sub = m_batch > 0 ? AddBatchWindow(window) : m_area->addSubWindow(window);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->setWindowTitle(window->windowTitle());
        ShareTitleBarIcons(sub);
        HoldCloseKeys(sub, false);
        if (m_batch > 0) {
            sub->show();
            // Qt looks through every pending event for one to merge each time a widget asks for its
            // layout, and through every running timer each time one stops; the events and the zero
            // timers of a batch's windows, left to the end, would cost the square of the windows. Each
            // window's are dealt with as it opens; the area stays undrawn till the end.
            QCoreApplication::sendPostedEvents();
            FireZeroTimers(window);
        } else {
            sub->showMaximized();
            GiveKeys(window);
        }
    } else {
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    }
    // The text takes the keys at once: PageDown and Ctrl+End work without a click first.
    if (m_batch == 0 || !m_area)
        window->Texto()->setFocus(Qt::ActiveWindowFocusReason);
    // A window opened by the web synchronisation loads the exchange file at once.
    if (m_handover.ExchangePending(m_ctx.st.PendingEditFlags))
        window->Commands().Load();
    window->SetStatusText(QString());
    return window;
}

void ReportWindows::ShareTitleBarIcons(QMdiSubWindow* sub)
{
    // Every window of the area loads its own copies of the style's pictures for its title bar and its
    // system menu, some 40 KB: a command opening one window per letter would keep thousands of copies.
    // The windows share the first window's. Their menus are built alike; a menu that is not keeps its own.
    const QList<QAction*> actions = sub->systemMenu() ? sub->systemMenu()->actions() : QList<QAction*>();
    if (m_titleBarIcons.empty()) {
        m_titleBarIcons.emplace_back(QString(),
                                     sub->style()->standardIcon(QStyle::SP_TitleBarMenuButton, nullptr, sub));
        for (const QAction* action : actions)
            m_titleBarIcons.emplace_back(action->text(), action->icon());
    }
    if (static_cast<std::size_t>(actions.size()) + 1 != m_titleBarIcons.size())
        return;
    for (qsizetype i = 0; i < actions.size(); ++i) {
        const auto& [text, icon] = m_titleBarIcons[static_cast<std::size_t>(i) + 1];
        if (actions[i]->text() != text)
            return;
        if (!icon.isNull())
            actions[i]->setIcon(icon);
    }
    // The title bar's menu button: the same picture the window would load for itself.
    sub->setWindowIcon(m_titleBarIcons.front().second);
}

void ReportWindows::FireZeroTimers(TEditorRTF* window)
{
    // The pane's scroll bars start zero timers as the window is laid out; what the next turn of the
    // loop would do with them is done now.
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher)
        return;
    for (QScrollBar* bar : {window->Texto()->horizontalScrollBar(), window->Texto()->verticalScrollBar()})
        for (const QAbstractEventDispatcher::TimerInfo& timer : dispatcher->registeredTimers(bar))
            if (timer.interval == 0) {
                QTimerEvent event(timer.timerId);
                QCoreApplication::sendEvent(bar, &event);
            }
}

QMdiSubWindow* ReportWindows::AddBatchWindow(TEditorRTF* window)
{
    // Qt's work area is quadratic in its windows twice over: raising a window scans every window against
    // the list of windows unless the new one stays on top, and activating one makes every other window
    // work out its title bar. So a window of a batch comes in staying on top (and then stops), and
    // marked disabled, which keeps it from being activated when shown; the batch's end enables them all
    // and activates the last. Only the frame is marked: setEnabled would send every widget of the window
    // a state change, which builds an accessibility object for each.
    //
    // The area also places each window it is given where it overlaps the others least, looking at every
    // window it holds; an area not on screen leaves that for when it is shown. The batch's first window
    // is placed; the others are added as to an area not on screen and cover the work area, where each
    // new one is the first under the pointer (Qt looks for the widget under it as a window's scroll bars
    // come and go). The command lays them out when the batch ends.
    QMdiSubWindow* sub = nullptr;
    if (m_batchWindows.empty() || !m_area->isVisible()) {
        sub = m_area->addSubWindow(window, Qt::SubWindow | Qt::WindowStaysOnTopHint);
    } else {
        m_area->setAttribute(Qt::WA_WState_Visible, false);
        struct Shown
        {
            QMdiArea* area;
            ~Shown() { area->setAttribute(Qt::WA_WState_Visible, true); }
        } shown{m_area};
        sub = m_area->addSubWindow(window, Qt::SubWindow | Qt::WindowStaysOnTopHint);
    }
    sub->setWindowFlags(sub->windowFlags() & ~Qt::WindowStaysOnTopHint);
    sub->setAttribute(Qt::WA_Disabled);
    sub->setGeometry(m_area->viewport()->rect());
    m_batchWindows.emplace_back(sub);
    return sub;
}

void ReportWindows::BeginBatch()
{
    if (++m_batch == 1 && m_area)
        HoldAreaUpdates();
}

void ReportWindows::EndBatch()
{
    if (m_batch == 0 || --m_batch > 0)
        return;
    QMdiSubWindow* last = nullptr;
    for (const QPointer<QMdiSubWindow>& sub : m_batchWindows)
        if (sub) {
            sub->setAttribute(Qt::WA_Disabled, false);
            // A widget put straight into the frame while it was marked took the mark as disabled.
            for (QWidget* child : sub->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
                if (child->testAttribute(Qt::WA_Disabled) && !child->testAttribute(Qt::WA_ForceDisabled))
                    child->setEnabled(true);
            last = sub.data();
        }
    m_batchWindows.clear();
    // The last window comes up as a window opened by itself does.
    if (last) {
        last->showMaximized();
        if (auto* window = qobject_cast<TEditorRTF*>(last->widget())) {
            GiveKeys(window);
            window->Texto()->setFocus(Qt::ActiveWindowFocusReason);
        }
    }
    if (m_holdingUpdates)
        QTimer::singleShot(0, this, [this] { ReleaseAreaUpdates(); });
}

void ReportWindows::HoldAreaUpdates()
{
    // Every window opened while the area is maximised makes the area switch its updates off and on again,
    // which walks the widgets of every open window: a command opening one window per letter would cost
    // the square of the letters. The area draws nothing until the event loop turns anyway, so its updates
    // stay off from the first window of a command to the next turn of the loop, and it is drawn once.
    // A batch holds them from its beginning to its end.
    if (!m_area->updatesEnabled())
        return;
    m_area->setUpdatesEnabled(false);
    m_holdingUpdates = true;
    QTimer::singleShot(0, this, [this] { ReleaseAreaUpdates(); });
}

void ReportWindows::ReleaseAreaUpdates()
{
    if (m_batch > 0 || !m_holdingUpdates)
        return;
    m_holdingUpdates = false;
    if (!m_area)
        return;
    // Switching the area's updates on marks every widget below it for drawing, one by one, and Qt then
    // looks, for each one, at every window stacked above it: the square of a batch's windows. So the
    // windows wait while the area comes back; then the whole work area is marked as to be drawn anew, by
    // a bare widget over it shown and gone again, which draws every widget inside the mark; and the
    // windows come back without a mark of their own.
    std::vector<QMdiSubWindow*> waiting;
    for (QMdiSubWindow* sub : m_area->subWindowList())
        if (!sub->testAttribute(Qt::WA_ForceUpdatesDisabled)) {
            sub->setAttribute(Qt::WA_ForceUpdatesDisabled);
            waiting.push_back(sub);
        }
    m_area->setUpdatesEnabled(true);
    {
        // A child of the main window, not of the area, which would take its going as a window closed.
        QWidget* viewport = m_area->viewport();
        QWidget cover(viewport->window());
        cover.setGeometry(QRect(viewport->mapTo(viewport->window(), QPoint()), viewport->size()));
        cover.show();
    }
    for (QMdiSubWindow* sub : waiting) {
        sub->setAttribute(Qt::WA_ForceUpdatesDisabled, false);
        EnableUpdatesUnmarked(sub);
    }
}

void ReportWindows::EnableUpdatesUnmarked(QWidget* widget)
{
    // What QWidget::setUpdatesEnabled does for the widgets that only follow their parent, without the
    // update() of each: a widget that switched its own off keeps them off.
    if (widget->isWindow() || widget->testAttribute(Qt::WA_ForceUpdatesDisabled) ||
        !widget->testAttribute(Qt::WA_UpdatesDisabled))
        return;
    widget->setAttribute(Qt::WA_UpdatesDisabled, false);
    for (QObject* child : widget->children())
        if (child->isWidgetType())
            EnableUpdatesUnmarked(static_cast<QWidget*>(child));
}

void ReportWindows::Update(const ReportDocument& doc, const QString& label)
{
    for (TEditorRTF* window : OpenWindows())
        if (&window->Document() == &doc) {
            SetPaneText(*window->Texto(), doc);
            window->Texto()->moveCursor(QTextCursor::End);
            window->SetStatusText(label);
        }
}

TEditorRTF* ReportWindows::Newest() const
{
    for (auto it = m_windows.rbegin(); it != m_windows.rend(); ++it)
        if (*it)
            return it->data();
    return nullptr;
}

std::vector<TEditorRTF*> ReportWindows::OpenWindows() const
{
    std::vector<TEditorRTF*> open;
    for (const auto& w : m_windows)
        if (w)
            open.push_back(w.data());
    return open;
}

bool ReportWindows::HandOverFromNewest(EditItem item)
{
    TEditorRTF* newest = Newest();
    if (!newest || !newest->Texto()->textCursor().hasSelection())
        return false;
    newest->HandOver(item);
    return true;
}

void ReportWindows::Add(TEditorRTF* window)
{
    m_windows.emplace_back(window);
    m_ctx.st.EditorOpenFlag = 1;
}

void ReportWindows::Remove(TEditorRTF* window)
{
    std::erase_if(m_windows,
                  [window](const QPointer<TEditorRTF>& w) { return w.isNull() || w.data() == window; });
    m_ctx.st.EditorOpenFlag = m_windows.empty() ? 0 : 1;
    // The keys pass to the window the area activates next; failing that, to the newest.
    if (m_keyed == window || m_keyed.isNull()) {
        m_keyed = nullptr;
        if (m_inArea)
            QTimer::singleShot(0, this, [this] {
                if (m_keyed.isNull())
                    GiveKeys(Newest());
            });
    }
}

void ReportWindows::GiveKeys(TEditorRTF* window)
{
    if (m_keyed == window)
        return;
    const auto subOf = [](TEditorRTF* w) {
        return w ? qobject_cast<QMdiSubWindow*>(w->parentWidget()) : nullptr;
    };
    if (m_keyed) {
        m_keyed->HoldKeys(false);
        HoldCloseKeys(subOf(m_keyed), false);
    }
    m_keyed = window;
    if (window) {
        window->HoldKeys(true);
        HoldCloseKeys(subOf(window), true);
    }
}

void ReportWindows::HoldCloseKeys(QMdiSubWindow* sub, bool held)
{
    // The Close item of a window's system menu answers the standard close keys (Ctrl+F4), in the active
    // window only; yet Qt's one map of keys holds every window's, and each window activated, shown or
    // closed walks that map. So, like the pane keys, only the keyed window holds them.
    if (!sub || !sub->systemMenu())
        return;
    const QList<QAction*> actions = sub->systemMenu()->actions();
    if (m_closeItem.isEmpty())
        for (const QAction* action : actions)
            if (!action->shortcuts().isEmpty()) {
                m_closeItem = action->text();
                m_closeKeys = action->shortcuts();
                break;
            }
    for (QAction* action : actions)
        if (!m_closeItem.isEmpty() && action->text() == m_closeItem) {
            action->setShortcuts(held ? m_closeKeys : QList<QKeySequence>());
            return;
        }
}

TEditorRTF* ShowReportWindow(QMdiArea* area, std::shared_ptr<ReportDocument> doc, Context& ctx,
                             HandoverRegistry& handover)
{
    return ReportWindows::Of(area, ctx, handover).Show(std::move(doc));
}

void ReportWindowBatch(QMdiArea* area, bool begin, Context& ctx, HandoverRegistry& handover)
{
    ReportWindows& windows = ReportWindows::Of(area, ctx, handover);
    if (begin)
        windows.BeginBatch();
    else
        windows.EndBatch();
}

void UpdateReportWindows(QMdiArea* area, const ReportDocument& doc, const QString& label, Context& ctx,
                         HandoverRegistry& handover)
{
    ReportWindows::Of(area, ctx, handover).Update(doc, label);
}

// ---- TEditorRTF ----------------------------------------------------------------------------------------

TEditorRTF::TEditorRTF(std::shared_ptr<ReportDocument> doc, ReportWindows& windows, QWidget* parent)
    : QWidget(parent), m_doc(std::move(doc)), m_windows(&windows), m_ctx(windows.Ctx())
{
    setObjectName(QStringLiteral("TEditorRTF"));
    setWindowTitle(m_doc->caption.isEmpty() ? QStringLiteral("EDITOR DE INFORMES") : m_doc->caption);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("ToolBar"));
    layout->addWidget(m_toolBar);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("Doc"));
    layout->addWidget(m_tabs, 1);

    BuildSheets();
    BuildToolBar();
    BuildEditMenu();
    ScopeShortcutsToWidget(m_text, m_paneKeys);
    // A window of a work area takes its keys when activated; a window of its own holds them always.
    if (!windows.Area())
        HoldKeys(true);
    // Whatever gives the window the focus (its work area activating it) hands it to the text, not to the
    // first control of the tool bar.
    setFocusProxy(m_text);

    windows.Add(this);
    windows.Handover().ClearForNewWindow();
    resize(900, 650);
}

TEditorRTF::~TEditorRTF()
{
    if (m_windows)
        m_windows->Remove(this);
    // The tool bar would hand its own widgets back before deleting them, and each hand-back walks the
    // focus chain of every window open: closing many windows would cost the square of them.
    delete m_fontName;
    delete m_fontSize;
    delete m_status;
}

QAction* TEditorRTF::NewAction(const QString& name, const QString& text, const QKeySequence& key)
{
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    if (!key.isEmpty()) {
        // The pane takes these keys (ScopeShortcutsToWidget); elsewhere they stay the main menu's. The
        // context goes first: each change re-registers the key in Qt's map of every key of every window.
        // The key itself is set by HoldKeys.
        action->setShortcutContext(Qt::WidgetShortcut);
        m_paneKeys << action;
        m_keys << key;
    }
    return action;
}

void TEditorRTF::HoldKeys(bool held)
{
    if (held == m_keysHeld)
        return;
    m_keysHeld = held;
    for (qsizetype i = 0; i < m_paneKeys.size(); ++i)
        m_paneKeys[i]->setShortcut(held ? m_keys[i] : QKeySequence());
}

QAction* TEditorRTF::Action(const QString& name) const
{
    return findChild<QAction*>(name);
}

void TEditorRTF::BuildSheets()
{
    // Documento
    m_text = new QTextEdit(this);
    m_text->setObjectName(QStringLiteral("Texto"));
    m_text->setLineWrapMode(QTextEdit::NoWrap);
    m_text->setAcceptRichText(true);
    m_text->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_text, &QTextEdit::customContextMenuRequested, this,
            [this](const QPoint& pos) { OpenEditMenu(m_text->viewport()->mapToGlobal(pos)); });
    m_text->viewport()->installEventFilter(this);
    m_commands = std::make_unique<ReportCommands>(m_ctx, *m_windows, *m_text, *m_doc);
    SetPaneText(*m_text, *m_doc);
    m_tabs->addTab(m_text, QStringLiteral("Documento"));

    // Grafico
    m_panel = new WeekGraphView(this);
    m_panel->setObjectName(QStringLiteral("panel"));
    m_panel->SetGraph(m_doc->weekGraph);
    m_tabs->addTab(m_panel, QStringLiteral("Grafico"));

    // Barras, Lineas, Tarta: empty pages until the charts are built.
    for (std::size_t i = 0; i < m_chartPages.size(); ++i) {
        m_chartPages[i] = new QWidget(this);
        auto* page = new QVBoxLayout(m_chartPages[i]);
        page->setContentsMargins(0, 0, 0, 0);
    }
    m_tabs->addTab(m_chartPages[0], QStringLiteral("Barras"));
    m_tabs->addTab(m_chartPages[1], QStringLiteral("Lineas"));
    m_tabs->addTab(m_chartPages[2], QStringLiteral("Tarta"));

    // Fotos
    auto* scroll = new QScrollArea(this);
    m_photo = new QLabel(scroll);
    m_photo->setObjectName(QStringLiteral("foto1"));
    m_photo->setAlignment(Qt::AlignCenter);
    scroll->setWidget(m_photo);
    scroll->setWidgetResizable(true);
    m_tabs->addTab(scroll, QStringLiteral("Fotos"));
    if (!m_doc->photoFile.isEmpty()) {
        const tl::expected<QImage, QString> picture = ReadPicture(m_doc->photoFile);
        if (picture) {
            m_photo->setPixmap(QPixmap::fromImage(*picture));
            m_photoFile = m_doc->photoFile;
        }
    }

    for (std::size_t s = 0; s < kReportSheetCount; ++s)
        ShowSheet(static_cast<ReportSheet>(s), m_doc->SheetVisible(static_cast<ReportSheet>(s)));
}

ChartPanel* TEditorRTF::Charts() const
{
    if (!m_charts)
        const_cast<TEditorRTF*>(this)->BuildCharts();
    return m_charts;
}

void TEditorRTF::BuildCharts()
{
    // Barras: the bar chart and every chart control; Lineas and Tarta: the line chart and the pie.
    ChartPanel::Links links;
    links.newest = [this] {
        TEditorRTF* newest = m_windows ? m_windows->Newest() : nullptr;
        return (newest ? newest : this)->Charts();
    };
    links.saveFolder = [this] { return m_commands->DialogFolder(); };
    links.previewChart = m_windows ? m_windows->Hooks().previewChart : nullptr;
    m_charts = new ChartPanel(*m_doc, m_ctx.ui, std::move(links), this);
    m_chartPages[0]->layout()->addWidget(m_charts);
    m_chartPages[1]->layout()->addWidget(m_charts->Chart2());
    m_chartPages[2]->layout()->addWidget(m_charts->Chart3());
}

void TEditorRTF::BuildToolBar()
{
    auto toggle = [this](const char* name, const char* text, auto apply) {
        QAction* a = NewAction(QLatin1String(name), QString::fromUtf8(text));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, apply);
        m_toolBar->addAction(a);
        return a;
    };
    QFont bold;
    bold.setBold(true);
    toggle("Negrita", "N", [this](bool on) {
        QTextCharFormat f;
        f.setFontWeight(on ? QFont::Bold : QFont::Normal);
        MergeFormat(f);
    })->setFont(bold);
    toggle("Subrayado", "S", [this](bool on) {
        QTextCharFormat f;
        f.setFontUnderline(on);
        MergeFormat(f);
    });
    toggle("Cursiva", "C", [this](bool on) {
        QTextCharFormat f;
        f.setFontItalic(on);
        MergeFormat(f);
    });
    toggle("Tachado", "T", [this](bool on) {
        QTextCharFormat f;
        f.setFontStrikeOut(on);
        MergeFormat(f);
    });
    m_toolBar->addSeparator();

    auto plain = [this](const char* name, const char* text, const char* hint, auto run) {
        QAction* a = NewAction(QLatin1String(name), QString::fromUtf8(text));
        if (hint)
            a->setToolTip(QString::fromUtf8(hint));
        connect(a, &QAction::triggered, this, run);
        m_toolBar->addAction(a);
        return a;
    };
    plain("Imprimir", "Imprimir", "Lanzar Impresión", [this] { m_commands->Print(this); });
    plain("Marcado", "•", "Marcado", [this] { ToggleBullet(); });
    plain("AumentarSangrado", "→|", "Aumentar Sangrado", [this] { MoveIndent(kIndentStepPoints); });
    plain("ReducirSangrado", "|←", "Reducir Sangrado", [this] { MoveIndent(-kIndentStepPoints); });
    plain("AlinearIzquierda", "I", nullptr, [this] { m_text->setAlignment(Qt::AlignLeft); });
    plain("Centrar", "C", nullptr, [this] { m_text->setAlignment(Qt::AlignHCenter); });
    plain("AlinearDerecha", "D", nullptr, [this] { m_text->setAlignment(Qt::AlignRight); });
    plain("TiposLetras", "Tipos Letras", "Tipos Letras", [this] { ChooseFont(); });

    m_fontName = new QFontComboBox(m_toolBar);
    m_fontName->setObjectName(QStringLiteral("TipoLetra"));
    // The list lets go of its first model as it is built, leaving an object to be deleted when the
    // event loop turns; a batch would keep one waiting per window, and Qt walks past every one each
    // time it sends the posted events, which costs the square of the windows. They go at once.
    const QList<QObject*> inList = m_fontName->findChildren<QObject*>();
    for (const QPointer<QObject>& object : std::vector<QPointer<QObject>>(inList.begin(), inList.end()))
        if (object)
            QCoreApplication::sendPostedEvents(object, QEvent::DeferredDelete);
    m_toolBar->addWidget(m_fontName);
    connect(m_fontName, &QFontComboBox::currentFontChanged, this, [this](const QFont& font) {
        if (m_updatingToolBar)
            return;
        QTextCharFormat f;
        f.setFontFamilies(QStringList{font.family()});
        MergeFormat(f);
    });
    m_fontSize = new QLineEdit(m_toolBar);
    m_fontSize->setObjectName(QStringLiteral("Puntos"));
    m_fontSize->setMaximumWidth(40);
    m_toolBar->addWidget(m_fontSize);
    connect(m_fontSize, &QLineEdit::returnPressed, this, [this] {
        bool ok = false;
        const double size = m_fontSize->text().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
        if (!ok || size <= 0)
            return;
        QTextCharFormat f;
        f.setFontPointSize(size);
        MergeFormat(f);
    });
    m_toolBar->addSeparator();

    plain("FotoBarra", "&Foto", nullptr, [this] { m_commands->OpenPictures(); });
    plain("Mail", "&Mail", nullptr, [this] { m_commands->Mail(); });
    plain("Salir", "&Salir", nullptr, [this] { CloseWindow(); });
    plain("Salvar", "Sal&var", nullptr, [this] { m_commands->Save(); });
    plain("Cargar", "&Cargar", nullptr, [this] { m_commands->Load(); });
    plain("Word", "&W", nullptr, [this] { m_commands->ExportWord(); });
    plain("Excel", "&Ex", nullptr, [this] { m_commands->ExportSpreadsheet(); });

    m_status = new QLabel(m_toolBar);
    m_status->setObjectName(QStringLiteral("Etiqueta"));
    m_toolBar->addWidget(m_status);

    connect(m_text, &QTextEdit::currentCharFormatChanged, this, [this] { UpdateToolBar(); });
    connect(m_text, &QTextEdit::cursorPositionChanged, this, [this] { UpdateToolBar(); });
    UpdateToolBar();
}

void TEditorRTF::BuildEditMenu()
{
    m_editMenu = new QMenu(this);
    m_editMenu->setObjectName(QStringLiteral("Editmenu"));
    auto item = [this](const char* name, const char* text, const QKeySequence& key, auto run) {
        QAction* a = NewAction(QLatin1String(name), QString::fromUtf8(text), key);
        connect(a, &QAction::triggered, this, run);
        m_editMenu->addAction(a);
        return a;
    };
    item("Copiar", "&Copiar", QKeySequence(Qt::CTRL | Qt::Key_C), [this] { m_text->copy(); });
    item("Pegar", "&Pegar", QKeySequence(Qt::CTRL | Qt::Key_V), [this] { m_text->paste(); });
    item("Borrar", "&Borrar", QKeySequence(Qt::CTRL | Qt::Key_X), [this] { m_text->cut(); });
    item("ImprimirDirecto", "&Imprimir", QKeySequence(Qt::CTRL | Qt::Key_P),
         [this] { m_commands->PrintDirect(); });
    item("Deshacer", "&Deshacer", QKeySequence(Qt::CTRL | Qt::Key_Z), [this] { m_text->undo(); });
    QMenu* edit = m_editMenu->addMenu(QStringLiteral("&Editar"));
    edit->setObjectName(QStringLiteral("Editar"));
    for (const EditItemInfo& info : EditMenuItems()) {
        const QString caption = QString::fromUtf8(info.caption);
        QAction* a = NewAction(QStringLiteral("Editar.") + QString(caption).remove(QLatin1Char('&')), caption,
                               QKeySequence(Qt::CTRL | Qt::ALT | static_cast<Qt::Key>(info.key)));
        const EditItem which = info.item;
        connect(a, &QAction::triggered, this, [this, which] { HandOver(which); });
        edit->addAction(a);
    }
    item("SeleccTodo", "Se&lecci Todo", QKeySequence(Qt::CTRL | Qt::Key_T), [this] { m_text->selectAll(); });
    item("MasInfo", "&Más Info", QKeySequence(Qt::CTRL | Qt::Key_M), [this] { m_commands->MoreInfo(); });
    item("Foto", "&Foto", QKeySequence(Qt::CTRL | Qt::Key_F), [this] { ShowPhoto(); });
    item("SalirMenu", "&Salir", QKeySequence(Qt::CTRL | Qt::Key_S), [this] { CloseWindow(); });
}

bool TEditorRTF::SheetVisible(ReportSheet sheet) const
{
    return m_tabs->isTabVisible(static_cast<int>(sheet));
}

void TEditorRTF::ShowSheet(ReportSheet sheet, bool visible)
{
    if (visible && !m_charts &&
        (sheet == ReportSheet::Barras || sheet == ReportSheet::Lineas || sheet == ReportSheet::Tarta))
        BuildCharts();
    m_tabs->setTabVisible(static_cast<int>(sheet), visible);
    if (!m_tabs->isTabVisible(m_tabs->currentIndex()))
        for (int i = 0; i < m_tabs->count(); ++i)
            if (m_tabs->isTabVisible(i)) {
                m_tabs->setCurrentIndex(i);
                break;
            }
}

QString TEditorRTF::StatusText() const
{
    return m_status->text();
}

void TEditorRTF::SetStatusText(const QString& text)
{
    m_status->setText(text);
}

// ---- Text tools ----------------------------------------------------------------------------------------

void TEditorRTF::MergeFormat(const QTextCharFormat& format)
{
    m_text->mergeCurrentCharFormat(format);
}

void TEditorRTF::MoveIndent(int points)
{
    QTextCursor cursor = m_text->textCursor();
    QTextBlockFormat f = cursor.blockFormat();
    f.setLeftMargin(std::max(0.0, f.leftMargin() + points * 20 / kTwipsPerPixel));
    cursor.setBlockFormat(f);
}

void TEditorRTF::ToggleBullet()
{
    QTextCursor cursor = m_text->textCursor();
    if (QTextList* list = cursor.currentList()) {
        QTextBlock block = cursor.block();
        list->remove(block);
        QTextBlockFormat f = cursor.blockFormat();
        f.setIndent(0);
        cursor.setBlockFormat(f);
        return;
    }
    cursor.createList(QTextListFormat::ListDisc);
}

void TEditorRTF::ChooseFont()
{
    QFont font = m_text->currentFont();
    const auto& hook = m_windows ? m_windows->Hooks().chooseFont : nullptr;
    bool accepted = false;
    if (hook) {
        accepted = hook(font, this);
    } else {
        font = QFontDialog::getFont(&accepted, font, this);
    }
    if (!accepted)
        return;
    QTextCharFormat f;
    f.setFont(font);
    MergeFormat(f);
}

void TEditorRTF::UpdateToolBar()
{
    m_updatingToolBar = true;
    const QTextCharFormat f = m_text->currentCharFormat();
    const ReportTextStyle s = StyleOf(f, m_text->document()->defaultFont());
    m_fontName->setCurrentFont(QFont(s.fontName));
    m_fontSize->setText(QString::number(s.PointSize()));
    Action(QStringLiteral("Negrita"))->setChecked(s.bold);
    Action(QStringLiteral("Subrayado"))->setChecked(s.underline);
    Action(QStringLiteral("Cursiva"))->setChecked(s.italic);
    Action(QStringLiteral("Tachado"))->setChecked(s.strikeOut);
    m_updatingToolBar = false;
}

void TEditorRTF::ShowPhoto()
{
    // The window's folder and the environment, worked out afresh each time: repeated use must not keep
    // lengthening the folder.
    const QString folder = m_commands->DataFolder(m_commands->SubFolder() + QLatin1Char('\\') +
                                                  m_ctx.st.CurrentEnvironment + QLatin1Char('\\'));
    const QString path = folder + QStringLiteral("/#") + m_commands->SelectedText() + QStringLiteral(".jpg");
    if (!QFileInfo(path).isFile()) {
        m_ctx.ui.ShowMessage(QStringLiteral("No existe Foto asignada"));
        return;
    }
    if (!SetPhoto(path))
        return;
    ShowSheet(ReportSheet::Fotos, true);
    m_tabs->setCurrentIndex(static_cast<int>(ReportSheet::Fotos));
}

bool TEditorRTF::SetPhoto(const QString& path)
{
    const tl::expected<QImage, QString> picture = ReadPicture(path);
    if (!picture) {
        m_ctx.ui.ShowMessage(picture.error());
        return false;
    }
    m_photo->setPixmap(QPixmap::fromImage(*picture));
    m_photoFile = path;
    return true;
}

void TEditorRTF::HandOver(EditItem item)
{
    if (m_windows)
        m_windows->Handover().HandOver(m_ctx.st.PendingEditFlags, item, m_commands->HandedRow());
    QTextCursor cursor = m_text->textCursor();
    cursor.movePosition(QTextCursor::Start);
    m_text->setTextCursor(cursor);
}

void TEditorRTF::CloseWindow()
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

void TEditorRTF::OpenEditMenu(const QPoint& globalPos)
{
    m_ctx.st.PendingEditFlags.fill(0);
    m_editMenu->popup(globalPos);
}

bool TEditorRTF::eventFilter(QObject* watched, QEvent* event)
{
    // Ctrl + mouse button on the pane looks the selection up, leaving the selection as it is.
    if (watched == m_text->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->modifiers() & Qt::ControlModifier) {
            m_commands->MoreInfo();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace gim
