#include "app/main_window.h"

#include "app/features.h"
#include "core/command_table.h"
#include "core/dispatch.h"
#include "core/environment.h"
#include "core/operations.h"
#include "shortcut_keys.h"
#include "support/test_context.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

namespace gim {
namespace {

const char* const kTopMenus[] = {
    "&Máquinas",     "Proced&imientos", "&Gamas",      "Plánin&g",     "&Historial MP", "&Averías",
    "&Reparaciones", "OT/Prspues&tos",  "Pre&dictivo", "&Energías",    "Repuest&os",    "Compra&s",
    "&Costes",       "Persona&l",       "&Partes",     "Pro&veedores", "&Utiles"};

class MainWindow : public ::testing::Test
{
protected:
    MainWindow()
    {
        t.ctx.st.CurrentEnvironment = QStringLiteral("PORTAL");
        t.ctx.st.DriveText = QStringLiteral("C:");
        BuildDataFileNames(t.ctx);
        InitCurrentDate(t.ctx);
        RegisterMainWindowOperations(registry);
        window = std::make_unique<TGim>(t.ctx, registry, dispatcher);
        window->resize(1200, 800);
        window->show();
        Activate();
    }

    void Activate()
    {
        window->activateWindow();
        QApplication::setActiveWindow(window.get());
        QApplication::processEvents();
    }

    // Recording operations for everything the menu uses that nothing registered; conditions false.
    void FakeEverything()
    {
        for (const CommandItem& item : MainCommandTable()) {
            for (const Requirement& name : item.Requirements()) {
                if (registry.Has(name))
                    continue;
                if (const Op* op = std::get_if<Op>(&name))
                    registry.Register(*op,
                                      [this, op = *op](Context&) { log << QString::fromLatin1(Name(op)); });
                else
                    registry.RegisterCondition(std::get<Cond>(name), [](const Context&) { return false; });
            }
        }
        window->RefreshMenus();
    }

    // Leaf paths of the menu bar with their captions as shown.
    QStringList MenuPaths(QMenu* menu, const QString& prefix) const
    {
        QStringList paths;
        for (QAction* action : menu->actions()) {
            const QString path = prefix + QStringLiteral(" > ") + action->text();
            if (action->menu())
                paths << MenuPaths(action->menu(), path);
            else
                paths << path;
        }
        return paths;
    }

    test::TestContext t;
    OperationRegistry registry;
    Dispatcher dispatcher{t.ctx, registry, MainCommandTable()};
    std::unique_ptr<TGim> window;
    QStringList log;
};

TEST_F(MainWindow, ShowsEveryMenuAndItemOfTheCommandTableWithItsKey)
{
    const QList<QMenu*> menus = window->Menus();
    ASSERT_EQ(menus.size(), static_cast<qsizetype>(std::size(kTopMenus)));
    QStringList shown;
    for (qsizetype i = 0; i < menus.size(); ++i) {
        EXPECT_EQ(menus[i]->title(), QString::fromUtf8(kTopMenus[i]));
        shown << MenuPaths(menus[i], menus[i]->title());
    }
    QStringList expected;
    for (std::size_t i = 0; i < dispatcher.Table().size(); ++i) {
        const CommandItem& item = dispatcher.Table()[i];
        if (item.popup)
            continue;
        QStringList path = item.path;
        path.last() = dispatcher.Caption(i);
        expected << path.join(QStringLiteral(" > "));
        QAction* action = window->Action(item.PlainPath());
        ASSERT_NE(action, nullptr) << item.PlainPath().toStdString();
        EXPECT_EQ(action->shortcut(), QKeySequence(dispatcher.OwnedShortcut(i)))
            << item.PlainPath().toStdString();
        EXPECT_EQ(action->statusTip(), item.hint);
    }
    EXPECT_EQ(shown, expected);
    // The backup items show the drive once the window is active.
    EXPECT_TRUE(shown.contains(QStringLiteral("&Utiles > &Copia Seg. > &Hacer > &C:/CopiaSeg")));
    EXPECT_EQ(window->Action(QStringLiteral("Personal > Edición > Matrícula"))->shortcut(), QKeySequence());
    EXPECT_TRUE(
        window->windowTitle().startsWith(QStringLiteral("GESTION INTEGRAL DE MANTENIMIENTO DE PORTAL")));
}

TEST_F(MainWindow, OnlyItemsWhoseOperationsAreRegisteredAreEnabled)
{
    QStringList enabled;
    for (const CommandItem& item : dispatcher.Table()) {
        QAction* action = window->Action(item.PlainPath());
        ASSERT_NE(action, nullptr);
        if (action->isEnabled())
            enabled << item.PlainPath();
    }
    EXPECT_EQ(enabled,
              (QStringList{"Partes > Fichero > Descripción Partes", "Utiles > Fuentes", "Utiles > Impresoras",
                           "Utiles > Imagenes", "Utiles > Entorno  > Acceso",
                           "Utiles > Copia Seg. > Hacer > Examinar", "Utiles > Ficheros", "Utiles > Ayuda",
                           "Utiles > Mensajes", "Utiles > Informes", "Utiles > Cerca de"}));

    registry.Register(Op::AddMachines, [](Context&) {});
    registry.Register(Op::SortMachineFile, [](Context&) {});
    QWidget other;
    other.show();
    other.activateWindow();
    QApplication::setActiveWindow(&other);
    QApplication::processEvents();
    Activate();
    EXPECT_TRUE(window->Action(QStringLiteral("Máquinas > Alta"))->isEnabled());
}

TEST_F(MainWindow, EveryKeyFiresItsOwnItemOnce)
{
    FakeEverything();
    registry.Register(Op::LoadEnvironment, [this](Context&) { log << QStringLiteral("LoadEnvironment"); });
    QStringList fired;
    for (const CommandItem& item : dispatcher.Table()) {
        if (QAction* action = window->Action(item.PlainPath()))
            QObject::connect(action, &QAction::triggered,
                             [&fired, path = item.PlainPath()] { fired << path; });
    }
    // A child window open, as a report window would be: its own keys take none of the menu's.
    auto* child = window->MdiArea()->addSubWindow(new QPlainTextEdit);
    child->show();
    QApplication::processEvents();

    int keys = 0;
    for (std::size_t i = 0; i < dispatcher.Table().size(); ++i) {
        const QString& key = dispatcher.OwnedShortcut(i);
        if (key.isEmpty())
            continue;
        ++keys;
        fired.clear();
        log.clear();
        test::PressShortcut(child->widget(), QKeySequence(key));
        const QString path = dispatcher.Table()[i].PlainPath();
        EXPECT_EQ(fired, QStringList{path}) << key.toStdString();
        EXPECT_FALSE(log.isEmpty()) << path.toStdString();
    }
    EXPECT_EQ(keys, 37);

    fired.clear();
    test::PressShortcut(window->MdiArea(), QKeySequence(QStringLiteral("Shift+F10")));
    EXPECT_EQ(fired, QStringList{"Personal > Alta > Expediente"});
}

TEST_F(MainWindow, TheReportPaneKeepsItsKeysWhileItHasTheFocus)
{
    FakeEverything();
    auto* pane = new QPlainTextEdit;
    auto* handOver = new QAction(pane);
    handOver->setShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+P")));
    int handedOver = 0;
    QObject::connect(handOver, &QAction::triggered, [&] { ++handedOver; });
    ScopeShortcutsToWidget(pane, {handOver});
    auto* child = window->MdiArea()->addSubWindow(pane);
    child->show();
    pane->setFocus();
    QApplication::processEvents();

    test::PressShortcut(pane, QKeySequence(QStringLiteral("Ctrl+Alt+P")));
    EXPECT_EQ(handedOver, 1);
    EXPECT_FALSE(log.contains("LaunchWeeklyPlan"));

    test::PressShortcut(window->MdiArea(), QKeySequence(QStringLiteral("Ctrl+Alt+P")));
    EXPECT_EQ(handedOver, 1);
    EXPECT_TRUE(log.contains("LaunchWeeklyPlan"));
}

TEST_F(MainWindow, AKeyPressRunsThePendingEditBeforeTheKeysOwnCommand)
{
    FakeEverything();
    t.ctx.st.PendingEditFlags[1] = 1; // Gamas
    test::PressShortcut(window->MdiArea(), QKeySequence(Qt::Key_A));
    EXPECT_EQ(log, (QStringList{"LoadOperationList", "EditOperations"}));
    EXPECT_FALSE(dispatcher.HasPendingEdits());

    log.clear();
    t.ctx.st.PendingEditFlags[8] = 1; // Energías
    test::PressShortcut(window->MdiArea(), QKeySequence(Qt::Key_F2));
    EXPECT_EQ(log, (QStringList{"LoadEnergyReadings", "EditEnergyReadings", "SortEnergyReadings",
                                "LoadMachineList", "ListMachines", "FreeMachineList"}));
}

TEST_F(MainWindow, ImagenesAndMensajesOpenThePictureViewerAndTheMailComposer)
{
    // The viewer opens on its open dialog, as from any menu; the user cancels it.
    t.ui.ExpectChooseFile(std::nullopt);
    window->Action(QStringLiteral("Utiles > Imagenes"))->trigger();
    QWidget* viewer = window->findChild<QWidget*>(QStringLiteral("TForm1"));
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(t.ui.Verify(), QString());

    t.ui.SetClipboardText(QStringLiteral("INFORME DE MANTENIMIENTO"));
    window->Action(QStringLiteral("Utiles > Mensajes"))->trigger();
    QWidget* composer = window->findChild<QWidget*>(QStringLiteral("TForm2"));
    ASSERT_NE(composer, nullptr);
    EXPECT_TRUE(composer->isVisible());
    EXPECT_EQ(composer->windowTitle(), QStringLiteral("Emisor de Mail "));
    viewer->close();
    composer->close();
}

TEST_F(MainWindow, BecomingActiveSwitchesCardsBackOn)
{
    t.ctx.st.InteractiveFlag = 0;
    QWidget other;
    other.show();
    other.activateWindow();
    QApplication::setActiveWindow(&other);
    QApplication::processEvents();
    EXPECT_EQ(t.ctx.st.InteractiveFlag, 0);
    Activate();
    EXPECT_EQ(t.ctx.st.InteractiveFlag, 1);
}

TEST_F(MainWindow, ThePopupMenuListsTheWindowsAndTogglesTheCalendar)
{
    auto* child = window->MdiArea()->addSubWindow(new QPlainTextEdit);
    child->setWindowTitle(QStringLiteral("LIBRO DE MAQUINAS"));
    child->show();
    window->PreparePopupMenu();
    QStringList texts;
    for (QAction* action : window->PopupMenu()->actions()) {
        if (!action->isSeparator())
            texts << action->text();
    }
    EXPECT_EQ(texts, (QStringList{"Ventanas", "Calendario ON", "Mosaico", "Cascada", "Minimizar", "Ordenar",
                                  "Cerrar Todas", "Salir", "&1 LIBRO DE MAQUINAS"}));
    EXPECT_FALSE(window->Action(QStringLiteral("Ordenar"))->isEnabled());

    QCalendarWidget* calendar = window->Calendar();
    EXPECT_FALSE(calendar->isVisible());
    EXPECT_EQ(calendar->verticalHeaderFormat(), QCalendarWidget::ISOWeekNumbers);
    EXPECT_EQ(calendar->selectedDate(), QDate(2026, 12, 7));
    window->CalendarAction()->trigger();
    EXPECT_TRUE(calendar->isVisible());
    EXPECT_EQ(window->CalendarAction()->text(), "Calendario OFF");
    window->CalendarAction()->trigger();
    EXPECT_FALSE(calendar->isVisible());
    EXPECT_EQ(window->CalendarAction()->text(), "Calendario ON");
}

// "&Gamas" and "Plánin&g" share their letter: each press of Alt+G moves on to the next of them, round.
TEST_F(MainWindow, AMenuLetterTwoMenusShareMovesOnWithEachPress)
{
    QMenuBar* bar = window->menuBar();
    auto opened = [bar]() -> QString {
        return bar->activeAction() ? bar->activeAction()->text() : QString();
    };
    auto pressAltG = [&] {
        QWidget* target = QApplication::activePopupWidget() ? QApplication::activePopupWidget()
                                                            : static_cast<QWidget*>(window->MdiArea());
        test::PressShortcut(target, QKeySequence(Qt::ALT | Qt::Key_G));
        QApplication::processEvents();
    };
    pressAltG();
    EXPECT_EQ(opened(), QStringLiteral("&Gamas"));
    pressAltG();
    EXPECT_EQ(opened(), QStringLiteral("Plánin&g"));
    pressAltG();
    EXPECT_EQ(opened(), QStringLiteral("&Gamas"));
    // A letter only one menu has opens it straight away.
    test::PressShortcut(QApplication::activePopupWidget(), QKeySequence(Qt::ALT | Qt::Key_M));
    QApplication::processEvents();
    EXPECT_EQ(opened(), QStringLiteral("&Máquinas"));
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
}

// The month calendar, like the whole program, speaks Spanish.
TEST_F(MainWindow, TheCalendarSpeaksSpanish)
{
    QCalendarWidget* calendar = window->Calendar();
    EXPECT_EQ(calendar->locale().language(), QLocale::Spanish);
    EXPECT_EQ(calendar->locale().monthName(12), QStringLiteral("diciembre"));
    EXPECT_EQ(calendar->locale().dayName(1, QLocale::ShortFormat), QStringLiteral("lun"));
}

TEST_F(MainWindow, TheKeyboardHelpShowsOnlyWhileAButtonIsHeld)
{
    QWidget* area = window->MdiArea()->viewport();
    const QPointF at(50, 50);
    QMouseEvent press(QEvent::MouseButtonPress, at, area->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(area, &press);
    EXPECT_TRUE(window->KeyboardHelp()->isVisible());
    EXPECT_EQ(window->KeyboardHelp()->toPlainText(), KeyboardHelpText());
    QMouseEvent release(QEvent::MouseButtonRelease, at, area->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(area, &release);
    EXPECT_FALSE(window->KeyboardHelp()->isVisible());
}

TEST_F(MainWindow, TheCaptionFollowsTheStateAfterEachCommand)
{
    registry.Register(Op::AddMachines, [](Context& ctx) { ctx.st.FirmName = QStringLiteral("FABRICA"); });
    registry.Register(Op::SortMachineFile, [](Context&) {});
    window->RefreshMenus();
    window->Action(QStringLiteral("Máquinas > Alta"))->trigger();
    EXPECT_EQ(window->windowTitle(), MainCaption(t.ctx));
    EXPECT_TRUE(window->windowTitle().endsWith(QStringLiteral("FABRICA")));
}

} // namespace
} // namespace gim
