#include "app/features.h"
#include "app/main_window.h"
#include "app/report_window.h"
#include "core/dispatch.h"
#include "core/environment.h"
#include "core/operations.h"
#include "core/record_file.h"
#include "masterdata/masterdata_operations.h"
#include "platform/qt/chart_sheets.h"
#include "platform/qt/jpeg_codec.h"
#include "platform/report_files.h"
#include "platform/rtf.h"
#include "records/record_bytes.h" // readable QString failures
#include "support/scripted_ui_check.h"
#include "support/test_context.h"

#include <QAbstractBarSeries>
#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPageSize>
#include <QPercentBarSeries>
#include <QPieSeries>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStackedBarSeries>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>
#include <QValueAxis>
#include <cmath>
#include <gtest/gtest.h>
#include <set>

namespace gim {
namespace {

QString DataFile(const char* name)
{
    return QStringLiteral(GIM_TEST_DATA_DIR "/") + QLatin1String(name);
}

QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::shared_ptr<ReportDocument> Listing()
{
    auto doc = std::make_shared<ReportDocument>(QStringLiteral("MAQUINAS DE PORTAL"));
    doc->SetTabStops({20, 80, 340});
    doc->SetStyle(FontStyle::Bold);
    doc->SetFontSize(13);
    doc->AddLine(QStringLiteral("\tFIRMA\tPORTAL"));
    doc->AddLine(QStringLiteral("\r"));
    doc->SetStyle(FontStyle::Normal);
    doc->SetFontSize(10);
    doc->AddColumns({QStringLiteral("1"), QStringLiteral("M1"), QStringLiteral("Prensa hidráulica 5 €")});
    doc->SetColour(kReportBlue);
    doc->SetStyle(FontStyle::Italic | FontStyle::Underline | FontStyle::StrikeOut);
    doc->AddColumns({QStringLiteral("2"), QStringLiteral("M2"), QStringLiteral("Torno")});
    doc->saveSubFolder = QStringLiteral("\\Informes");
    return doc;
}

// Six weekly series on both charts, weeks 1 to 52, series k worth k * week.
std::shared_ptr<ReportDocument> ChartListing()
{
    auto doc = std::make_shared<ReportDocument>(QStringLiteral("GRAFICO"));
    for (ReportChart* chart : {&doc->barChart, &doc->lineChart}) {
        chart->title << QStringLiteral("COMPRAS REPUESTOS  PORTAL");
        for (int k = 0; k < 6; ++k) {
            chart->series[static_cast<std::size_t>(k)].title = QStringLiteral("Serie %1").arg(k + 1);
            for (int week = 1; week <= 52; ++week)
                chart->series[static_cast<std::size_t>(k)].points.emplace_back(week, (k + 1) * week);
        }
    }
    doc->barChart.series[5].title = QStringLiteral(" "); // the graph left series 6 unnamed
    doc->barChart.series[5].active = false;
    doc->pie.slices.push_back({QStringLiteral("Averías"), 30, kPieSliceColours[0]});
    doc->pie.slices.push_back({QStringLiteral("Preventivo"), 70, kPieSliceColours[1]});
    doc->ShowSheet(ReportSheet::Barras);
    doc->ShowSheet(ReportSheet::Lineas);
    doc->ShowSheet(ReportSheet::Tarta);
    return doc;
}

class ReportWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        tc.ctx.st.CurrentEnvironment = QStringLiteral("PORTAL");
        tc.ctx.st.BaseDir = base();
        tc.ctx.st.WorkDir = base();
        ASSERT_TRUE(QDir().mkpath(base()));
        windows.Hooks().exportFolder = tc.dir.filePath(QStringLiteral("exportar"));
        windows.Hooks().openMailComposer = [this] { ++mailOpened; };
        windows.Hooks().openPictureViewer = [this](const QString& folder, const QString& file) {
            viewerCalls << folder + QLatin1Char('|') + file;
        };
        windows.Hooks().previewChart = [this](QWidget* chart, QWidget*) { previewed = chart; };
    }
    void TearDown() override
    {
        for (TEditorRTF* w : windows.OpenWindows())
            delete w;
    }
    QString base() const { return tc.dir.filePath(QStringLiteral("datos")); }

    TEditorRTF* Open(std::shared_ptr<ReportDocument> doc = Listing()) { return windows.Show(std::move(doc)); }

    static void SelectLine(TEditorRTF* w, int line)
    {
        QTextCursor c(w->Texto()->document()->findBlockByNumber(line));
        c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        w->Texto()->setTextCursor(c);
    }

    template <typename T> static T* Child(TEditorRTF* w, const char* name)
    {
        T* child = w->findChild<T*>(QLatin1String(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    // The hand-over as the program has it: every feature registered its item's map.
    static HandoverRegistry& ProgramHandover(Context& ctx)
    {
        RegisterFeatures(ctx);
        return ctx.Module<HandoverRegistry>();
    }

    test::TestContext tc;
    HandoverRegistry& handover = ProgramHandover(tc.ctx);
    ReportWindows windows{tc.ctx, handover, nullptr};
    int mailOpened = 0;
    QStringList viewerCalls;
    QWidget* previewed = nullptr;
};

// A report window in the main window's work area.
class ReportInMainWindowTest : public ::testing::Test
{
protected:
    ReportInMainWindowTest()
    {
        tc.ctx.st.CurrentEnvironment = QStringLiteral("PORTAL");
        BuildDataFileNames(tc.ctx);
        InitCurrentDate(tc.ctx);
        RegisterMainWindowOperations(registry);
        window = std::make_unique<TGim>(tc.ctx, registry, dispatcher);
        window->resize(1200, 800);
        window->show();
        QApplication::processEvents();
    }

    test::TestContext tc;
    OperationRegistry registry;
    Dispatcher dispatcher{tc.ctx, registry, MainCommandTable()};
    HandoverRegistry handover;
    std::unique_ptr<TGim> window;
};

// The report opens with the keys in its text: Ctrl+End reaches the end without a click first.
TEST_F(ReportInMainWindowTest, TheReportTextHasTheKeysWhenItOpens)
{
    TEditorRTF* w = ShowReportWindow(window->MdiArea(), Listing(), tc.ctx, handover);
    QApplication::setActiveWindow(window.get());
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), w->Texto());
    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
    QApplication::sendEvent(QApplication::focusWidget(), &end);
    EXPECT_TRUE(w->Texto()->textCursor().atEnd());
}

// A folder where the machine file should be: the listing says so instead of listing nothing in silence.
TEST_F(ReportInMainWindowTest, AFolderInPlaceOfTheMachineFileIsSaidByItsListing)
{
    RegisterMasterdata(registry, tc.ctx);
    ASSERT_TRUE(QDir(tc.ctx.st.WorkDir).mkdir(QStringLiteral("PORTAL.MQW")));
    tc.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
    tc.ui.ExpectReport(QStringLiteral("MAQUINAS DE PORTAL"));
    ASSERT_TRUE(dispatcher.Run(*dispatcher.Find(QStringLiteral("Máquinas > Listado > Máquinas"))));
    EXPECT_SCRIPT_DONE(tc.ui);
}

// A right-click in the report text is the pane's (its pop-up menu), never a press on the main window's
// background: the keyboard help stays hidden, before and after the menu closes.
TEST_F(ReportInMainWindowTest, ARightClickInTheReportShowsNoKeyboardHelp)
{
    TEditorRTF* w = ShowReportWindow(window->MdiArea(), Listing(), tc.ctx, handover);
    QApplication::processEvents();
    QWidget* pane = w->Texto()->viewport();
    const QPointF at(30, 30);
    QMouseEvent press(QEvent::MouseButtonPress, at, pane->mapToGlobal(at), Qt::RightButton, Qt::RightButton,
                      Qt::NoModifier);
    QApplication::sendEvent(pane, &press);
    EXPECT_FALSE(window->KeyboardHelp()->isVisible());
    w->EditMenu()->close();
    QApplication::processEvents();
    EXPECT_FALSE(window->KeyboardHelp()->isVisible());
}

// ---- Text
// --------------------------------------------------------------------------------------------------

TEST_F(ReportWindowTest, ShowsTheListingWithItsStylesAndTabs)
{
    TEditorRTF* w = Open();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("MAQUINAS DE PORTAL"));
    EXPECT_EQ(w->Texto()->toPlainText(),
              QStringLiteral("\tFIRMA\tPORTAL\n\n1\tM1\tPrensa hidráulica 5 €\n2\tM2\tTorno"));
    EXPECT_TRUE(w->PaneDocument().SameText(*Listing()));

    const QTextBlock first = w->Texto()->document()->firstBlock();
    const QList<QTextOption::Tab> tabs = first.blockFormat().tabPositions();
    ASSERT_EQ(tabs.size(), 3);
    EXPECT_DOUBLE_EQ(tabs[0].position, 20 * 96.0 / 72); // points at 96 dpi
    EXPECT_DOUBLE_EQ(tabs[2].position, 340 * 96.0 / 72);
    const QTextCharFormat bold = first.begin().fragment().charFormat();
    EXPECT_EQ(bold.fontWeight(), QFont::Bold);
    EXPECT_EQ(bold.fontPointSize(), 13);
    const QTextCharFormat last = w->Texto()->document()->lastBlock().begin().fragment().charFormat();
    EXPECT_TRUE(last.fontItalic());
    EXPECT_TRUE(last.fontUnderline());
    EXPECT_TRUE(last.fontStrikeOut());
    EXPECT_EQ(last.foreground().color(), QColor(0, 0, 255));

    // On creation only the text sheet shows.
    EXPECT_TRUE(w->SheetVisible(ReportSheet::Documento));
    for (ReportSheet s : {ReportSheet::Grafico, ReportSheet::Barras, ReportSheet::Lineas, ReportSheet::Tarta,
                          ReportSheet::Fotos})
        EXPECT_FALSE(w->SheetVisible(s));
    EXPECT_EQ(w->Doc()->tabText(0), QStringLiteral("Documento"));
    EXPECT_EQ(w->Doc()->tabText(5), QStringLiteral("Fotos"));
    EXPECT_EQ(w->SaveSubFolder(), QStringLiteral("\\Informes"));
    EXPECT_EQ(w->SaveFileName(), QStringLiteral("*.rtf"));
}

// A listing of 100,000 machines: the window shows before the text is laid out, the end of the text is
// reached from the keyboard, and the last row and the total are on screen there.
TEST_F(ReportWindowTest, AHundredThousandLinesShowAtOnceAndScrollToTheTotal)
{
    auto doc = std::make_shared<ReportDocument>(QStringLiteral("MAQUINAS DE PORTAL"));
    doc->SetTabStops({20, 80, 340, 440, 510, 580, 650});
    doc->SetStyle(FontStyle::Bold);
    doc->SetFontSize(13);
    doc->AddLine(QStringLiteral("\tFIRMA\tPORTAL"));
    doc->SetFontSize(10);
    doc->AddLine(QStringLiteral("Nº\tCODIGO\tDENOMINACION\tMODELO\tNºSERIE\tCUENTA\tUBICACIÓN\tDISPONIBLE"));
    doc->SetStyle(FontStyle::Normal);
    for (int i = 1; i <= 100000; ++i)
        doc->AddLine(QString::number(i) + QStringLiteral("\tM") + QString::number(i) +
                     QStringLiteral("\tPRENSA\tP-20\t123\tCUENTA1\tNAVE 2\tSI"));
    doc->SetColour(kReportBlue);
    doc->SetStyle(FontStyle::Bold);
    doc->AddLine(QStringLiteral("\tNUMERO DE MÁQUINAS CODIFICADAS EN PORTAL =100000"));

    TEditorRTF* w = Open(doc);
    w->resize(900, 650);
    QTextEdit* pane = w->Texto();
    QApplication::processEvents();
    ASSERT_EQ(pane->document()->blockCount(), 100003);
    // Laid out as far as the screen needs, not to the end.
    const int shownHeight = pane->verticalScrollBar()->maximum();

    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
    QApplication::sendEvent(pane, &end);
    QApplication::processEvents();
    const int fullHeight = pane->verticalScrollBar()->maximum();
    EXPECT_LT(shownHeight * 10, fullHeight);
    EXPECT_GE(pane->verticalScrollBar()->value() + pane->fontMetrics().height(), fullHeight);

    const QRect view = pane->viewport()->rect();
    const QTextBlock bottom = pane->cursorForPosition(QPoint(4, view.bottom() - 4)).block();
    EXPECT_EQ(bottom.text(), QStringLiteral("\tNUMERO DE MÁQUINAS CODIFICADAS EN PORTAL =100000"));
    EXPECT_EQ(bottom.blockNumber(), 100002);
    const QTextBlock lastRow = bottom.previous();
    EXPECT_EQ(lastRow.text(), QStringLiteral("100000\tM100000\tPRENSA\tP-20\t123\tCUENTA1\tNAVE 2\tSI"));
    EXPECT_TRUE(view.contains(pane->cursorRect(QTextCursor(lastRow)).center()));
    EXPECT_EQ(bottom.begin().fragment().charFormat().foreground().color(), QColor(0, 0, 255));

    // Every code stands under its heading, the six-digit numbers' too; what is saved has the grown stop.
    auto codeX = [&](const QTextBlock& b) {
        QTextCursor at(b);
        at.setPosition(b.position() + static_cast<int>(b.text().indexOf(QLatin1Char('\t'))) + 1);
        return pane->cursorRect(at).x();
    };
    EXPECT_EQ(codeX(lastRow), codeX(pane->document()->findBlockByNumber(1)));

    // The whole text is still there for saving and the hand-over.
    const ReportDocument pane2 = w->PaneDocument();
    EXPECT_EQ(pane2.Text(), doc->Text());
    EXPECT_GT(pane2.ParagraphOf(pane2.Lines()[2]).tabStops[0], 20 * 20);
}

TEST_F(ReportWindowTest, UserEditsAreWhatIsSaved)
{
    TEditorRTF* w = Open();
    SelectLine(w, 2);
    w->Action(QStringLiteral("Negrita"))->trigger();
    const ReportDocument pane = w->PaneDocument();
    EXPECT_TRUE(pane.StyleOf(pane.Lines()[2].runs[0]).bold);
    EXPECT_FALSE(w->Document().StyleOf(w->Document().Lines()[2].runs[0]).bold); // the listing as handed over
}

TEST_F(ReportWindowTest, EveryParagraphSettingAndStyleSurvivesThePane)
{
    auto doc = std::make_shared<ReportDocument>(QStringLiteral("X"));
    doc->SetTabStops({65, 125, 290});
    doc->SetFontName(QStringLiteral("Courier New"));
    doc->SetFontHalfPoints(17);
    doc->SetColour(kReportOlive);
    doc->AddLine(QStringLiteral("8,5 puntos\tcon tabulador"));
    doc->SetTextStyle(ReportTextStyle{});
    doc->SetAlignment(ReportAlignment::Center);
    doc->AddLine(QStringLiteral("centrado"));
    doc->SetAlignment(ReportAlignment::Justify);
    doc->SetIndents(36, -18);
    doc->SetBullet(true);
    doc->AddLine(QStringLiteral("punto uno"));
    doc->AddLine(QStringLiteral("punto dos"));
    doc->SetBullet(false);
    doc->SetIndents(0, 0);
    doc->SetAlignment(ReportAlignment::Right);
    doc->AddLine(QStringLiteral("a la derecha "));
    doc->SetBold(true);
    doc->Append(QStringLiteral("y en negrita"));
    doc->SetAlignment(ReportAlignment::Left);
    doc->AddLine(QStringLiteral("\fsalto de página"));
    TEditorRTF* w = Open(doc);
    const ReportDocument pane = w->PaneDocument();
    EXPECT_TRUE(pane.SameText(*doc)) << pane.Transcript().toStdString();
    EXPECT_EQ(w->Texto()->document()->findBlockByNumber(2).textList(),
              w->Texto()->document()->findBlockByNumber(3).textList()); // one list, two points
    EXPECT_EQ(w->Texto()->document()->lastBlock().blockFormat().pageBreakPolicy(),
              QTextFormat::PageBreak_AlwaysAfter);
}

TEST_F(ReportWindowTest, ToolBarFormatsTheSelectionAndShowsItsStyle)
{
    TEditorRTF* w = Open();
    auto style = [&](int line) {
        const ReportDocument pane = w->PaneDocument();
        return pane.StyleOf(pane.Lines()[static_cast<std::size_t>(line)].runs[0]);
    };
    auto paragraph = [&](int line) {
        const ReportDocument pane = w->PaneDocument();
        return pane.ParagraphOf(pane.Lines()[static_cast<std::size_t>(line)]);
    };
    SelectLine(w, 2);
    for (const char* name : {"Subrayado", "Cursiva", "Tachado"})
        w->Action(QLatin1String(name))->trigger();
    EXPECT_TRUE(style(2).underline);
    EXPECT_TRUE(style(2).italic);
    EXPECT_TRUE(style(2).strikeOut);
    QLineEdit* size = Child<QLineEdit>(w, "Puntos");
    size->setText(QStringLiteral("14"));
    emit size->returnPressed();
    EXPECT_EQ(style(2).halfPoints, 28);
    windows.Hooks().chooseFont = [](QFont& font, QWidget*) {
        font = QFont(QStringLiteral("Courier New"), 9);
        return true;
    };
    w->Action(QStringLiteral("TiposLetras"))->trigger();
    EXPECT_EQ(style(2).fontName, QStringLiteral("Courier New"));
    EXPECT_EQ(style(2).halfPoints, 18);

    w->Action(QStringLiteral("Centrar"))->trigger();
    EXPECT_EQ(paragraph(2).alignment, ReportAlignment::Center);
    w->Action(QStringLiteral("AlinearDerecha"))->trigger();
    EXPECT_EQ(paragraph(2).alignment, ReportAlignment::Right);
    w->Action(QStringLiteral("AlinearIzquierda"))->trigger();
    EXPECT_EQ(paragraph(2).alignment, ReportAlignment::Left);
    w->Action(QStringLiteral("AumentarSangrado"))->trigger();
    w->Action(QStringLiteral("AumentarSangrado"))->trigger();
    EXPECT_EQ(paragraph(2).leftIndent, 400);
    w->Action(QStringLiteral("ReducirSangrado"))->trigger();
    EXPECT_EQ(paragraph(2).leftIndent, 200);
    w->Action(QStringLiteral("Marcado"))->trigger();
    EXPECT_TRUE(paragraph(2).bullet);
    w->Action(QStringLiteral("Marcado"))->trigger();
    EXPECT_FALSE(paragraph(2).bullet);

    // The tool bar shows the style where the caret stands.
    QTextCursor c(w->Texto()->document()->firstBlock());
    c.movePosition(QTextCursor::Right);
    w->Texto()->setTextCursor(c);
    EXPECT_TRUE(w->Action(QStringLiteral("Negrita"))->isChecked());
    EXPECT_FALSE(w->Action(QStringLiteral("Cursiva"))->isChecked());
    EXPECT_EQ(size->text(), QStringLiteral("13"));

    w->Action(QStringLiteral("SeleccTodo"))->trigger();
    EXPECT_EQ(w->Texto()->textCursor().selectedText().size(), w->Texto()->document()->characterCount() - 1);
}

TEST_F(ReportWindowTest, SubFolderFallsBackToTheOneTheListingSetWhenTheWindowOpened)
{
    auto doc = Listing();
    doc->saveSubFolder.clear();
    tc.ctx.st.CurrentSubFolder = QStringLiteral("\\Maquinas");
    TEditorRTF* a = Open(doc);
    tc.ctx.st.CurrentSubFolder = QStringLiteral("\\Gamas");
    TEditorRTF* b = Open(Listing());
    EXPECT_EQ(a->SaveSubFolder(), QStringLiteral("\\Maquinas"));
    EXPECT_EQ(b->SaveSubFolder(), QStringLiteral("\\Informes"));
}

// ---- Windows
// -----------------------------------------------------------------------------------------------

TEST_F(ReportWindowTest, NewestIsTheNewestStillOpen)
{
    EXPECT_EQ(tc.ctx.st.EditorOpenFlag, 0);
    TEditorRTF* a = Open();
    TEditorRTF* b = Open();
    TEditorRTF* c = Open();
    EXPECT_EQ(windows.Newest(), c);
    EXPECT_EQ(tc.ctx.st.EditorOpenFlag, 1);

    delete c;
    EXPECT_EQ(windows.Newest(), b);
    delete a; // closing an older window keeps the newest
    EXPECT_EQ(windows.Newest(), b);
    EXPECT_EQ(tc.ctx.st.EditorOpenFlag, 1);
    b->CloseWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(windows.Newest(), nullptr);
    EXPECT_EQ(tc.ctx.st.EditorOpenFlag, 0);
}

TEST_F(ReportWindowTest, InTheMdiAreaWindowsOpenMaximisedAndLeaveTheListWhenClosed)
{
    QMdiArea area;
    TEditorRTF* a = ShowReportWindow(&area, Listing(), tc.ctx, handover);
    TEditorRTF* b = ShowReportWindow(&area, Listing(), tc.ctx, handover);
    ReportWindows& list = ReportWindows::Of(&area, tc.ctx, handover);
    EXPECT_EQ(list.OpenWindows(), (std::vector<TEditorRTF*>{a, b}));
    ASSERT_EQ(area.subWindowList().size(), 2);
    EXPECT_TRUE(area.subWindowList()[1]->isMaximized());
    EXPECT_EQ(area.subWindowList()[1]->windowTitle(), QStringLiteral("MAQUINAS DE PORTAL"));

    b->Action(QStringLiteral("Salir"))->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(area.subWindowList().size(), 1);
    EXPECT_EQ(list.Newest(), a);
    EXPECT_EQ(tc.ctx.st.EditorOpenFlag, 1);
    a->CloseWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(list.Newest(), nullptr);
    EXPECT_EQ(tc.ctx.st.EditorOpenFlag, 0);
}

TEST_F(ReportWindowTest, InTheMdiAreaOnlyTheActiveWindowHoldsItsKeys)
{
    QMdiArea area;
    area.show();
    TEditorRTF* const shown[] = {ShowReportWindow(&area, Listing(), tc.ctx, handover),
                                 ShowReportWindow(&area, Listing(), tc.ctx, handover)};
    // The pane's keys, and Ctrl+F4 on the Close item of the window's system menu.
    for (const int active : {1, 0}) {
        area.setActiveSubWindow(area.subWindowList()[active]);
        for (const int i : {0, 1}) {
            const bool held = i == active;
            EXPECT_EQ(shown[i]->Action(QStringLiteral("Editar.Partes"))->shortcut(),
                      held ? QKeySequence(QStringLiteral("Ctrl+Alt+P")) : QKeySequence());
            EXPECT_EQ(area.subWindowList()[i]->systemMenu()->actions().last()->shortcuts().contains(
                          QKeySequence(QStringLiteral("Ctrl+F4"))),
                      held);
        }
    }
    shown[0]->CloseWindow(); // the keys pass to the window left
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    EXPECT_EQ(shown[1]->Action(QStringLiteral("SalirMenu"))->shortcut(),
              QKeySequence(QStringLiteral("Ctrl+S")));
}

TEST_F(ReportWindowTest, ABatchOpensItsWindowsBehindAndBringsUpOnlyTheLast)
{
    QMdiArea area;
    area.show();
    ReportWindowBatch(&area, true, tc.ctx, handover);
    TEditorRTF* a = ShowReportWindow(&area, Listing(), tc.ctx, handover);
    a->Foto1()->setUpdatesEnabled(false); // a widget that switched its own drawing off keeps it off
    TEditorRTF* b =
        ShowReportWindow(&area, std::make_shared<ReportDocument>(QStringLiteral("B")), tc.ctx, handover);
    EXPECT_FALSE(area.subWindowList()[1]->isMaximized());
    ReportWindowBatch(&area, false, tc.ctx, handover);
    const QList<QMdiSubWindow*> subs = area.subWindowList();
    ASSERT_EQ(subs.size(), 2);
    EXPECT_EQ(subs[0]->widget(), a);
    EXPECT_TRUE(subs[0]->isEnabled() && subs[1]->isEnabled());
    EXPECT_FALSE(subs[0]->isMaximized());
    EXPECT_TRUE(subs[1]->isMaximized());
    EXPECT_EQ(area.activeSubWindow(), subs[1]);
    EXPECT_EQ(subs[1]->windowTitle(), QStringLiteral("B"));
    EXPECT_FALSE(subs[1]->windowFlags() & Qt::WindowStaysOnTopHint);
    // A listing without charts builds them only when they are asked for.
    EXPECT_EQ(b->findChild<WeekChartView*>(), nullptr);
    EXPECT_EQ(b->Chart2()->objectName(), QStringLiteral("Chart2"));
    EXPECT_EQ(b->Doc()->tabText(static_cast<int>(ReportSheet::Lineas)), QStringLiteral("Lineas"));
    // Nothing of the batch is drawn before its end; then the area is drawn with the last window's text,
    // which holds the keys.
    struct PaintWatch final : QObject
    {
        bool painted = false;
        bool eventFilter(QObject*, QEvent* e) override
        {
            painted = painted || e->type() == QEvent::Paint;
            return false;
        }
    } watch;
    b->Texto()->viewport()->installEventFilter(&watch);
    EXPECT_FALSE(area.updatesEnabled());
    for (int i = 0; i < 50 && !watch.painted; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(area.updatesEnabled());
    EXPECT_TRUE(watch.painted);
    EXPECT_TRUE(a->Texto()->viewport()->updatesEnabled() && !a->Foto1()->updatesEnabled());
    EXPECT_EQ(b->Action(QStringLiteral("Copiar"))->shortcut(), QKeySequence(QStringLiteral("Ctrl+C")));
}

TEST_F(ReportWindowTest, ABatchIntoAnAreaNotShownLeavesItNotShown)
{
    QMdiArea area;
    ReportWindowBatch(&area, true, tc.ctx, handover);
    ShowReportWindow(&area, Listing(), tc.ctx, handover);
    ShowReportWindow(&area, Listing(), tc.ctx, handover);
    ReportWindowBatch(&area, false, tc.ctx, handover);
    EXPECT_FALSE(area.isVisible());
    EXPECT_EQ(area.subWindowList().size(), 2);
}

TEST_F(ReportWindowTest, MainWindowHandOverLooksOnlyAtTheNewest)
{
    TEditorRTF* older = Open();
    TEditorRTF* newer = Open();
    SelectLine(older, 2);
    EXPECT_FALSE(windows.HandOverFromNewest(EditItem::Gamas)); // the newest has no selection
    EXPECT_EQ(tc.ctx.st.PendingEditFlags[PendingEditIndex(EditItem::Gamas)], 0);

    // The older window's own Editar items still hand its rows over.
    older->Action(QStringLiteral("Editar.Gamas"))->trigger();
    EXPECT_EQ(handover.Buffer(EditItem::Gamas).at(QStringLiteral("Frequency")), QStringLiteral("M1"));

    SelectLine(newer, 3);
    EXPECT_TRUE(windows.HandOverFromNewest(EditItem::Gamas));
    EXPECT_EQ(handover.Buffer(EditItem::Gamas).at(QStringLiteral("Frequency")), QStringLiteral("M2"));
}

TEST_F(ReportWindowTest, OpeningAWindowEmptiesTheHandOverTextFields)
{
    TEditorRTF* w = Open();
    SelectLine(w, 2);
    w->Action(QStringLiteral("Editar.Gamas"))->trigger();
    EXPECT_EQ(handover.Buffer(EditItem::Gamas).at(QStringLiteral("Description")), QString());
    handover.HandOver(tc.ctx.st.PendingEditFlags, EditItem::Gamas,
                      QStringLiteral("1\t1M\tP\t20\tME\tEngrase"));
    Open();
    EXPECT_EQ(handover.Buffer(EditItem::Gamas).at(QStringLiteral("Description")), QString());
    EXPECT_EQ(handover.Buffer(EditItem::Gamas).at(QStringLiteral("Frequency")), QStringLiteral("1M"));
}

// ---- Editar
// ------------------------------------------------------------------------------------------------

TEST_F(ReportWindowTest, EveryEditarItemHandsTheSelectedRowOver)
{
    const char* const names[] = {"Partes",    "Gamas",   "Repara",         "Averías", "OrdenesT",
                                 "R.Almacén", "Compras", "Procedimientos", "Energías"};
    const char keys[] = "PGRVOACEN";
    auto doc = std::make_shared<ReportDocument>(QStringLiteral("FILAS"));
    doc->AddLine(QStringLiteral("cabecera"));
    doc->AddLine(QStringLiteral("7\tM1ME\tX2\t30\tEL\tDescripción\t49\t2026\tJuan\tTexto\tY\tZ"));
    TEditorRTF* w = Open(doc);
    for (int i = 0; i < 9; ++i) {
        const EditItemInfo& info = EditMenuItems()[static_cast<std::size_t>(i)];
        QAction* action = w->Action(QStringLiteral("Editar.") + QString::fromUtf8(names[i]));
        ASSERT_NE(action, nullptr) << names[i];
        EXPECT_EQ(action->shortcut(), QKeySequence(Qt::CTRL | Qt::ALT | static_cast<Qt::Key>(keys[i])))
            << names[i];

        tc.ctx.st.PendingEditFlags.fill(0);
        SelectLine(w, 1);
        action->trigger();
        EXPECT_EQ(tc.ctx.st.PendingEditFlags[PendingEditIndex(info.item)], 1) << names[i];
        EXPECT_FALSE(handover.Buffer(info.item).empty()) << names[i];
        EXPECT_FALSE(w->Texto()->textCursor().hasSelection()) << names[i];
        EXPECT_EQ(w->Texto()->textCursor().position(), 0) << names[i];
        EXPECT_EQ(windows.Newest(), w) << names[i]; // the window stays open
    }
    EXPECT_EQ(handover.Buffer(EditItem::Partes).at(QStringLiteral("Codigo")), QStringLiteral("X2"));
    w->Texto()->setTextCursor(QTextCursor(w->Texto()->document()->firstBlock())); // no selection: the row
    w->Action(QStringLiteral("Editar.Partes"))->trigger();
    EXPECT_EQ(handover.Buffer(EditItem::Partes).at(QStringLiteral("Codigo")), QString());
    EXPECT_EQ(handover.Buffer(EditItem::RAlmacen).at(QStringLiteral("Codigo")),
              QString()); // "M1ME": too short
    EXPECT_EQ(handover.Buffer(EditItem::Procedimientos).at(QStringLiteral("MachineCode")), QString());
    EXPECT_EQ(handover.Buffer(EditItem::Procedimientos).at(QStringLiteral("Inst")), QStringLiteral("ME"));
}

TEST_F(ReportWindowTest, EditarKeysWorkInThePane)
{
    TEditorRTF* w = Open();
    SelectLine(w, 2);
    QKeyEvent over(QEvent::ShortcutOverride, Qt::Key_O, Qt::ControlModifier | Qt::AltModifier);
    QCoreApplication::sendEvent(w->Texto(), &over);
    EXPECT_TRUE(over.isAccepted());
    QKeyEvent press(QEvent::KeyPress, Qt::Key_O, Qt::ControlModifier | Qt::AltModifier);
    QCoreApplication::sendEvent(w->Texto(), &press);
    EXPECT_EQ(tc.ctx.st.PendingEditFlags[PendingEditIndex(EditItem::OrdenesT)], 1);
    EXPECT_EQ(handover.Buffer(EditItem::OrdenesT).at(QStringLiteral("Number")), QStringLiteral("M1"));
}

TEST_F(ReportWindowTest, PopUpMenuHasItsItemsAndClearsThePendingEdits)
{
    TEditorRTF* w = Open();
    tc.ctx.st.PendingEditFlags.fill(1);
    w->OpenEditMenu(QPoint(10, 10));
    for (auto f : tc.ctx.st.PendingEditFlags)
        EXPECT_EQ(f, 0);
    w->EditMenu()->hide();

    QStringList items;
    for (QAction* a : w->EditMenu()->actions())
        items << a->text() + QLatin1Char(' ') + a->shortcut().toString(QKeySequence::PortableText);
    EXPECT_EQ(items, (QStringList{"&Copiar Ctrl+C", "&Pegar Ctrl+V", "&Borrar Ctrl+X", "&Imprimir Ctrl+P",
                                  "&Deshacer Ctrl+Z", "&Editar ", "Se&lecci Todo Ctrl+T", "&Más Info Ctrl+M",
                                  "&Foto Ctrl+F", "&Salir Ctrl+S"}));
    QStringList editar;
    for (QAction* a : w->EditMenu()->actions()[5]->menu()->actions())
        editar << a->text();
    EXPECT_EQ(editar, (QStringList{"&Partes", "&Gamas", "&Repara", "A&verías", "&OrdenesT", "R.&Almacén",
                                   "&Compras", "Proc&edimientos", "E&nergías"}));
}

// ---- Files
// -------------------------------------------------------------------------------------------------

TEST_F(ReportWindowTest, SaveAsksForTheFileThenConfirmsAndWritesRtf)
{
    ASSERT_TRUE(QDir().mkpath(base() + QStringLiteral("/INFORMES")));
    TEditorRTF* w = Open();
    const QString path = base() + QStringLiteral("/INFORMES/maquinas.rtf");
    tc.ui.ExpectChooseFile(path).ExpectYesNo(QStringLiteral("Salvar ") + path + QLatin1Char('?'), true);
    w->Action(QStringLiteral("Salvar"))->trigger();
    EXPECT_SCRIPT_DONE(tc.ui);
    ASSERT_EQ(tc.ui.FileRequests().size(), 1u);
    const FileDialogRequest& r = tc.ui.FileRequests()[0];
    EXPECT_TRUE(r.save);
    EXPECT_EQ(r.caption, QStringLiteral("Salvar Informe"));
    EXPECT_EQ(r.folder, base() + QStringLiteral("/INFORMES")); // "\Informes" found whatever its case
    EXPECT_EQ(r.fileName, QStringLiteral("*.rtf"));
    EXPECT_EQ(r.filters, QStringList{QStringLiteral("Ficheros Texto (*.rtf)")});
    EXPECT_EQ(ReadBytes(path), WriteRtf(w->PaneDocument()));
    EXPECT_TRUE(ReadBytes(path).contains("Prensa hidr\\'e1ulica 5 \\'80"));

    // "No" writes nothing.
    QFile::remove(path);
    tc.ui.ExpectChooseFile(path).ExpectYesNo(QStringLiteral("Salvar ") + path + QLatin1Char('?'), false);
    w->Commands().Save();
    EXPECT_FALSE(QFile::exists(path));
    tc.ui.ExpectChooseFile(std::nullopt);
    w->Commands().Save();
    EXPECT_SCRIPT_DONE(tc.ui);
}

TEST_F(ReportWindowTest, LoadReplacesThePaneWithRtfOrPlainText)
{
    TEditorRTF* w = Open();
    const QString rtf = DataFile("word_processor.rtf");
    tc.ui.ExpectChooseFile(rtf).ExpectYesNo(QStringLiteral("Cargar Fichero ") + rtf + QLatin1Char('?'), true);
    w->Action(QStringLiteral("Cargar"))->trigger();
    EXPECT_EQ(w->Texto()->document()->firstBlock().text(), QStringLiteral("Informe de revisión"));
    EXPECT_EQ(w->Texto()->document()->blockCount(), 6);
    const FileDialogRequest& r = tc.ui.FileRequests().back();
    EXPECT_FALSE(r.save);
    EXPECT_EQ(r.caption, QStringLiteral("Cargar Fichero TEXTO"));
    EXPECT_EQ(r.fileName, QStringLiteral("*.*"));
    EXPECT_EQ(r.filters, (QStringList{QStringLiteral("Ficheros Texto (*.rtf)"),
                                      QStringLiteral("Ficheros Texto (*.txt)")}));

    const QString plain = DataFile("plain_named.rtf");
    tc.ui.ExpectChooseFile(plain).ExpectYesNo(QStringLiteral("Cargar Fichero ") + plain + QLatin1Char('?'),
                                              true);
    w->Commands().Load();
    EXPECT_EQ(w->Texto()->toPlainText(), QStringLiteral("M1\tPrensa hidráulica\nM2\tTorno de 1.500 €\n"
                                                        "ALMACEN_\tALMACÉN REPUESTOS Y MATERIALES"));
    EXPECT_SCRIPT_DONE(tc.ui);
}

TEST_F(ReportWindowTest, AWindowOfTheWebSynchronisationLoadsTheExchangeFileAtOnce)
{
    const QString folder = tc.dir.filePath(QStringLiteral("CopiaSeg/VeltWeb"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile f(folder + QStringLiteral("/PORTAL_PD.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("1\t000123\tM1\t07/12/2026\tRevisi\xF3n\r\n2\t000124\tM2\t07/12/2026\tEngrase\r\n");
    f.close();
    tc.ctx.st.PendingEditFlags[PendingEditIndex(EditItem::Partes)] = 1;

    TEditorRTF* w =
        windows.Show(std::make_shared<ReportDocument>(QStringLiteral("Importar Partes VELTRANO WEB")));
    const QString expected =
        QStringLiteral("1\t000123\tM1\t07/12/2026\tRevisión\n2\t000124\tM2\t07/12/2026\tEngrase");
    EXPECT_EQ(w->Texto()->toPlainText(), expected);
    EXPECT_EQ(tc.ui.ClipboardText(), expected); // the import gateway takes it from there
    EXPECT_EQ(w->StatusText(), QString());

    // The daily-report file gone: the flag is cleared and nothing reaches the clipboard.
    tc.ui.SetClipboardText(QString());
    QFile::remove(folder + QStringLiteral("/PORTAL_PD.txt"));
    TEditorRTF* empty = windows.Show(std::make_shared<ReportDocument>());
    EXPECT_EQ(empty->Texto()->toPlainText(), QString());
    EXPECT_EQ(tc.ctx.st.PendingEditFlags[PendingEditIndex(EditItem::Partes)], 0);
    EXPECT_EQ(tc.ui.ClipboardText(), QString());
    EXPECT_SCRIPT_DONE(tc.ui);
}

TEST_F(ReportWindowTest, ExportsWriteAFileAndOpenItWithTheDesktop)
{
    auto doc = std::make_shared<ReportDocument>(QStringLiteral("X"));
    doc->AddLine(QStringLiteral("\tCODIGO\tNOMBRE"));
    doc->AddLine(QStringLiteral("1\tM1\tVálvula 1/2\""));
    doc->AddLine(QStringLiteral("2\t\"M2\"\t5 €"));
    TEditorRTF* w = Open(doc);

    w->Action(QStringLiteral("Excel"))->trigger();
    ASSERT_EQ(tc.shell.calls.size(), 1);
    const QString csv = tc.shell.calls[0].mid(5);
    EXPECT_TRUE(tc.shell.calls[0].startsWith(QStringLiteral("path:") + windows.Hooks().exportFolder +
                                             QLatin1Char('/')));
    EXPECT_TRUE(csv.endsWith(QStringLiteral(".csv")));
    EXPECT_EQ(ReadBytes(csv), QByteArray("\xEF\xBB\xBF"
                                         "\tCODIGO\tNOMBRE\n"
                                         "1\tM1\tV\xC3\xA1lvula 1/2\"\n"
                                         "2\t\"\"\"M2\"\"\"\t5 \xE2\x82\xAC\n"));
    EXPECT_EQ(tc.ui.ClipboardText(),
              QStringLiteral("\tCODIGO\tNOMBRE\n1\tM1\tVálvula 1/2\"\n2\t\"M2\"\t5 €"));

    w->Action(QStringLiteral("Word"))->trigger();
    ASSERT_EQ(tc.shell.calls.size(), 2);
    const QString rtf = tc.shell.calls[1].mid(5);
    EXPECT_TRUE(rtf.endsWith(QStringLiteral(".rtf")));
    EXPECT_EQ(ReadBytes(rtf), WriteRtf(w->PaneDocument()));

    // No application to open it: said, not swallowed (the message names the new file).
    tc.shell.result = false;
    w->Commands().ExportWord();
    ASSERT_EQ(tc.ui.Failures().size(), 1) << tc.ui.Failures().join("\n").toStdString();
    EXPECT_TRUE(tc.ui.Failures()[0].contains(QStringLiteral("MESSAGE 'No se ha podido abrir ") +
                                             windows.Hooks().exportFolder + QStringLiteral("/informe-")));
}

TEST_F(ReportWindowTest, PrintsThePaneWithItsDocumentTitle)
{
    TEditorRTF* w = Open();
    const QString pdf = tc.dir.filePath(QStringLiteral("informe.pdf"));
    int dialogs = 0;
    bool accept = false;
    windows.Hooks().printSetup = [&](QPrinter& printer, QWidget*) {
        ++dialogs;
        EXPECT_EQ(printer.docName(), QStringLiteral("Editor RTF"));
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return accept;
    };
    w->Action(QStringLiteral("Imprimir"))->trigger();
    EXPECT_EQ(dialogs, 1);
    EXPECT_FALSE(QFile::exists(pdf)); // cancelled set-up prints nothing

    accept = true;
    w->Commands().Print(w);
    const QByteArray bytes = ReadBytes(pdf);
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_TRUE(bytes.contains("Editor RTF") ||
                bytes.contains(QByteArray::fromHex("0045006400690074006f0072")));

    // Ctrl+P prints straight away, no dialog.
    const QString direct = tc.dir.filePath(QStringLiteral("directo.pdf"));
    windows.Hooks().directPrinter = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(direct);
    };
    w->Action(QStringLiteral("ImprimirDirecto"))->trigger();
    EXPECT_EQ(dialogs, 2);
    EXPECT_TRUE(ReadBytes(direct).startsWith("%PDF"));
}

// The machine listing's tab stops reach 650 points, past an A4 page: the printout still holds every
// column of every row.
TEST_F(ReportWindowTest, APrintedListingHoldsAllItsColumns)
{
    auto doc = std::make_shared<ReportDocument>(QStringLiteral("MAQUINAS DE PORTAL"));
    doc->SetTabStops({20, 80, 340, 440, 510, 580, 650});
    doc->SetStyle(FontStyle::Bold);
    doc->AddLine(QStringLiteral("Nº\tCODIGO\tDENOMINACION\tMODELO\tNºSERIE\tCUENTA\tUBICACIÓN\tDISPONIBLE"));
    doc->SetStyle(FontStyle::Normal);
    for (int i = 1; i <= 40; ++i)
        doc->AddLine(
            QString::number(i) +
            QStringLiteral("\tM%1\tPRENSA HIDRAULICA\tPH-200\tS-%1\tCTA%1X\tNAVE%1Z\tDISP%1").arg(i));
    TEditorRTF* w = Open(doc);
    const QString pdf = tc.dir.filePath(QStringLiteral("maquinas.pdf"));
    windows.Hooks().directPrinter = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(QPageLayout::Portrait);
    };
    w->Commands().PrintDirect();

    QProcess toText;
    toText.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(toText.waitForFinished(60000)) << "pdftotext (poppler-utils) is needed";
    ASSERT_EQ(toText.exitCode(), 0);
    const QString printed = QString::fromUtf8(toText.readAllStandardOutput());
    QStringList lines = printed.split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = line.simplified();
    EXPECT_TRUE(
        lines.contains(QStringLiteral("Nº CODIGO DENOMINACION MODELO NºSERIE CUENTA UBICACIÓN DISPONIBLE")))
        << printed.toStdString();
    for (int i = 1; i <= 40; ++i)
        EXPECT_TRUE(lines.contains(
            QStringLiteral("%1 M%1 PRENSA HIDRAULICA PH-200 S-%1 CTA%1X NAVE%1Z DISP%1").arg(i)))
            << i;
}

// Without a printer the listing would be sent nowhere; the user is told instead.
TEST_F(ReportWindowTest, DirectPrintWithoutAPrinterSaysSo)
{
    if (!QPrinterInfo::availablePrinters().isEmpty())
        GTEST_SKIP() << "a printer is installed";
    TEditorRTF* w = Open();
    tc.ui.ExpectMessage(QStringLiteral("NO HAY IMPRESORA INSTALADA"));
    w->Action(QStringLiteral("ImprimirDirecto"))->trigger();
    EXPECT_SCRIPT_DONE(tc.ui);
}

TEST_F(ReportWindowTest, MailCopiesTheTextAndOpensTheComposer)
{
    TEditorRTF* w = Open();
    w->Action(QStringLiteral("Mail"))->trigger();
    EXPECT_EQ(mailOpened, 1);
    EXPECT_EQ(tc.ui.ClipboardText(), w->Texto()->toPlainText());
}

// ---- Look-ups
// ----------------------------------------------------------------------------------------------

class ReportLookupTest : public ReportWindowTest
{
protected:
    void SetUp() override
    {
        ReportWindowTest::SetUp();
        BuildDataFileNames(tc.ctx);
        BuildFirmFileNames(tc.ctx);
        TMachineRecord m{};
        m.Codigo = "M1";
        m.Denominacion = QStringLiteral("PRENSA HIDRÁULICA");
        StoreRecords(tc.ctx, tc.ctx.st.FileName(DataFile::Machine), std::vector<TMachineRecord>{m});
        TPersonnelRecord p{};
        p.Matricula = "000123";
        p.Nombre = QStringLiteral("JOSÉ");
        p.Apellidos = QStringLiteral("PÉREZ");
        StoreRecords(tc.ctx, tc.ctx.st.PersonnelFileName, std::vector<TPersonnelRecord>{p});
        auto doc = std::make_shared<ReportDocument>(QStringLiteral("X"));
        doc->AddLine(QStringLiteral("M1"));
        doc->AddLine(QStringLiteral("000123"));
        doc->AddLine(QStringLiteral("plano.jpg"));
        doc->AddLine(QStringLiteral("nada"));
        doc->saveSubFolder = QStringLiteral("\\Maquinas");
        w = Open(doc);
    }
    void Select(int line) { SelectLine(w, line); }
    TEditorRTF* w = nullptr;
};

TEST_F(ReportLookupTest, MoreInfoFindsMachinesPicturesAndPeople)
{
    tc.ui.ExpectMessage(QStringLiteral("PRENSA HIDRÁULICA"));
    Select(0);
    w->Action(QStringLiteral("MasInfo"))->trigger();

    tc.ui.ExpectMessage(QStringLiteral("JOSÉ PÉREZ"));
    Select(1);
    w->Commands().MoreInfo();

    const QString procedures = base() + QStringLiteral("/PROCEDIM/PORTAL");
    ASSERT_TRUE(QDir().mkpath(procedures));
    QFile(procedures + QStringLiteral("/#plano.jpg")).open(QIODevice::WriteOnly);
    Select(2);
    w->Commands().MoreInfo();
    EXPECT_EQ(viewerCalls, QStringList{procedures + QStringLiteral("|#plano.jpg")});
    EXPECT_EQ(tc.ctx.st.CurrentSubFolder, QStringLiteral("\\procedim\\PORTAL\\"));

    // Photos come before procedures.
    const QString photos = base() + QStringLiteral("/FOTOS/PORTAL");
    ASSERT_TRUE(QDir().mkpath(photos));
    QFile(photos + QStringLiteral("/plano.jpg")).open(QIODevice::WriteOnly);
    w->Commands().MoreInfo();
    EXPECT_EQ(viewerCalls.back(), photos + QStringLiteral("|plano.jpg"));
    EXPECT_EQ(tc.ctx.st.CurrentSubFolder, QStringLiteral("\\FOTOS\\PORTAL\\"));

    Select(3); // neither machine, picture nor person: nothing is shown
    w->Commands().MoreInfo();
    EXPECT_SCRIPT_DONE(tc.ui);
}

TEST_F(ReportLookupTest, CtrlClickInThePaneLooksTheSelectionUp)
{
    Select(0);
    tc.ui.ExpectMessage(QStringLiteral("PRENSA HIDRÁULICA"));
    QMouseEvent click(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                      Qt::ControlModifier);
    QCoreApplication::sendEvent(w->Texto()->viewport(), &click);
    EXPECT_TRUE(w->Texto()->textCursor().hasSelection()); // the click did not move the selection
    EXPECT_SCRIPT_DONE(tc.ui);
}

TEST_F(ReportLookupTest, PhotoShowsThePictureOfTheSelectedCode)
{
    const QString folder = base() + QStringLiteral("/MAQUINAS/PORTAL");
    ASSERT_TRUE(QDir().mkpath(folder));
    QImage image(16, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(WriteJpeg(image, folder + QStringLiteral("/#M1.jpg")));

    Select(0);
    w->Action(QStringLiteral("Foto"))->trigger();
    EXPECT_TRUE(w->SheetVisible(ReportSheet::Fotos));
    EXPECT_EQ(w->Doc()->currentIndex(), static_cast<int>(ReportSheet::Fotos));
    EXPECT_EQ(w->PhotoFile(), folder + QStringLiteral("/#M1.jpg"));
    EXPECT_EQ(w->Foto1()->pixmap().size(), QSize(16, 8));

    // Again: the folder does not grow with each use.
    w->ShowPhoto();
    EXPECT_EQ(w->PhotoFile(), folder + QStringLiteral("/#M1.jpg"));

    tc.ui.ExpectMessage(QStringLiteral("No existe Foto asignada"));
    Select(3);
    w->ShowPhoto();
    EXPECT_SCRIPT_DONE(tc.ui);

    w->Action(QStringLiteral("FotoBarra"))->trigger();
    EXPECT_EQ(viewerCalls.back(), folder.left(folder.size() - 7) + QLatin1Char('|'));
    EXPECT_EQ(tc.ctx.st.CurrentSubFolder, QStringLiteral("\\Maquinas"));
}

// ---- Charts
// ------------------------------------------------------------------------------------------------

class ReportChartTest : public ReportWindowTest
{
protected:
    void SetUp() override
    {
        ReportWindowTest::SetUp();
        older = Open(ChartListing());
        newer = Open(ChartListing());
    }
    TEditorRTF* older = nullptr;
    TEditorRTF* newer = nullptr;
};

template <typename T> int CountSeries(WeekChartView* chart)
{
    int n = 0;
    for (QAbstractSeries* s : chart->DrawnSeries())
        n += qobject_cast<T*>(s) != nullptr ? 1 : 0;
    return n;
}

TEST_F(ReportChartTest, SheetsAndSeriesFollowTheDocument)
{
    EXPECT_TRUE(newer->SheetVisible(ReportSheet::Barras));
    EXPECT_TRUE(newer->SheetVisible(ReportSheet::Lineas));
    EXPECT_TRUE(newer->SheetVisible(ReportSheet::Tarta));
    EXPECT_FALSE(newer->SheetVisible(ReportSheet::Grafico));
    EXPECT_EQ(newer->Chart1()->LeftAxis()->titleText(), QStringLiteral("MINUTOS / %"));
    EXPECT_EQ(newer->Chart2()->LeftAxis()->titleText(), QStringLiteral("MINUTOS/ %"));
    EXPECT_EQ(newer->Chart1()->BottomAxis()->titleText(), QStringLiteral("SEMANAS"));
    EXPECT_EQ(newer->Chart1()->TitleText(), QStringLiteral("COMPRAS REPUESTOS  PORTAL"));
    EXPECT_EQ(newer->Chart1()->BottomRange(), (AxisRange{0.5, 52.5}));
    // Series 6, left unnamed, is off and its box hidden.
    EXPECT_EQ(newer->Chart1()->BarSetOf(5), nullptr);
    EXPECT_FALSE(Child<QCheckBox>(newer, "SR6")->isChecked());
    EXPECT_TRUE(Child<QCheckBox>(newer, "SR6")->isHidden());
    EXPECT_FALSE(Child<QCheckBox>(newer, "SR5")->isHidden());
    ASSERT_NE(newer->Chart1()->BarSetOf(2), nullptr);
    EXPECT_EQ(newer->Chart1()->BarSetOf(2)->at(10), 30); // series 3, week 10
    Child<QCheckBox>(newer, "dim3")->setChecked(false);  // flat colours: the set's colour is its brush's
    EXPECT_EQ(newer->Chart1()->BarSetOf(2)->color(), QColor(255, 128, 64));
    EXPECT_EQ(newer->Chart3()->Series()->name(), QStringLiteral("LineSeries7"));
    EXPECT_EQ(newer->Chart3()->Series()->count(), 2);
    EXPECT_EQ(Child<QRadioButton>(newer, "AlLado")->isChecked(), true);
}

TEST_F(ReportChartTest, ArrangementButtonsActOnTheNewestWindow)
{
    Child<QRadioButton>(older, "Apilado")->click();
    EXPECT_EQ(newer->Chart1()->Arrangement(), BarArrangement::Stacked);
    EXPECT_EQ(CountSeries<QStackedBarSeries>(newer->Chart1()), 1);
    EXPECT_EQ(older->Chart1()->Arrangement(), BarArrangement::SideBySide);

    Child<QRadioButton>(newer, "Porcentual")->click();
    EXPECT_EQ(CountSeries<QPercentBarSeries>(newer->Chart1()), 1);
    EXPECT_EQ(newer->Chart1()->LeftRange(), (AxisRange{0, 100}));

    Child<QRadioButton>(newer, "Normal")->click(); // one series per set: the bars overlap
    EXPECT_EQ(CountSeries<QBarSeries>(newer->Chart1()), 5);
    // Each on a hidden axis that follows the week axis, so that every series' bars stand on the week.
    newer->Chart1()->ZoomPercent(80);
    const AxisRange weeks = newer->Chart1()->BottomRange();
    std::set<double> offsets;
    for (QAbstractSeries* series : newer->Chart1()->DrawnSeries()) {
        auto* axis = qobject_cast<QValueAxis*>(series->attachedAxes().at(0));
        ASSERT_NE(axis, nullptr);
        EXPECT_FALSE(axis->isVisible());
        EXPECT_NEAR(axis->max() - axis->min(), weeks.max - weeks.min, 1e-9);
        offsets.insert(std::round((axis->min() - weeks.min) * 1000) / 1000);
    }
    EXPECT_EQ(offsets, (std::set<double>{-0.4, -0.2, 0, 0.2, 0.4}));

    Child<QRadioButton>(newer, "AlLado")->click();
    EXPECT_EQ(CountSeries<QBarSeries>(newer->Chart1()), 1);
    EXPECT_EQ(qobject_cast<QBarSeries*>(newer->Chart1()->DrawnSeries()[0])->count(), 5);
}

TEST_F(ReportChartTest, SeriesBoxesSwitchTheNewestWindowsSeries)
{
    Child<QCheckBox>(older, "sr2")->setChecked(false);
    EXPECT_FALSE(newer->Chart1()->SeriesActive(1));
    EXPECT_FALSE(newer->Chart2()->SeriesActive(1));
    EXPECT_EQ(newer->Chart1()->BarSetOf(1), nullptr);
    EXPECT_FALSE(newer->Chart2()->DrawnSeries()[1]->isVisible());
    EXPECT_TRUE(older->Chart1()->SeriesActive(1));

    Child<QCheckBox>(older, "sr2")->setChecked(true);
    EXPECT_TRUE(newer->Chart1()->SeriesActive(1));
    Child<QCheckBox>(newer, "SR6")->setChecked(true);
    EXPECT_TRUE(newer->Chart1()->SeriesActive(5));
}

TEST_F(ReportChartTest, ValueMarksFollowThisBoxOnTheNewestCharts)
{
    Child<QCheckBox>(older, "Valores")->setChecked(true);
    EXPECT_TRUE(newer->Chart1()->MarksVisible());
    EXPECT_TRUE(newer->Chart2()->MarksVisible());
    EXPECT_TRUE(qobject_cast<QAbstractBarSeries*>(newer->Chart1()->DrawnSeries()[0])->isLabelsVisible());
    EXPECT_TRUE(qobject_cast<QLineSeries*>(newer->Chart2()->DrawnSeries()[0])->pointLabelsVisible());
    EXPECT_FALSE(older->Chart1()->MarksVisible());

    // The menu item toggles this window's box.
    older->Action(QStringLiteral("GrafValores"))->trigger();
    EXPECT_FALSE(Child<QCheckBox>(older, "Valores")->isChecked());
    EXPECT_FALSE(newer->Chart1()->MarksVisible());
}

TEST_F(ReportChartTest, ThreeDAndPointMarkersActOnTheirOwnWindow)
{
    EXPECT_TRUE(Child<QCheckBox>(older, "dim3")->isChecked());
    EXPECT_EQ(older->Chart1()->BarSetOf(0)->brush().style(), Qt::LinearGradientPattern);
    older->Action(QStringLiteral("Graf3Dim"))->trigger();
    EXPECT_FALSE(older->Chart1()->Is3D());
    EXPECT_FALSE(older->Chart2()->Is3D());
    EXPECT_FALSE(older->Chart3()->Is3D());
    EXPECT_EQ(older->Chart1()->BarSetOf(0)->brush().style(), Qt::SolidPattern);
    EXPECT_TRUE(newer->Chart1()->Is3D());

    Child<QCheckBox>(older, "point")->setChecked(true);
    EXPECT_TRUE(older->Chart2()->PointMarkers());
    EXPECT_TRUE(qobject_cast<QLineSeries*>(older->Chart2()->DrawnSeries()[0])->pointsVisible());
    EXPECT_FALSE(newer->Chart2()->PointMarkers());

    // The menu's "&Puntos" toggles the newest window's box.
    older->Action(QStringLiteral("GrafPuntos"))->trigger();
    EXPECT_TRUE(Child<QCheckBox>(newer, "point")->isChecked());
    EXPECT_TRUE(newer->Chart2()->PointMarkers());
    EXPECT_TRUE(Child<QCheckBox>(older, "point")->isChecked());
}

TEST_F(ReportChartTest, ZoomButtonsAndMenuActOnTheirOwnCharts)
{
    WeekChartView* bars = older->Chart1();
    const AxisRange home = bars->BottomRange();
    const double pie = older->Chart3()->PieSize();
    Child<QPushButton>(older, "BitBtn3")->click(); // Zoom In: 80 % of the range
    EXPECT_NEAR(bars->BottomRange().max - bars->BottomRange().min, 52 * 0.8, 1e-9);
    EXPECT_NEAR((bars->BottomRange().max + bars->BottomRange().min) / 2, 26.5, 1e-9);
    EXPECT_NEAR(older->Chart2()->BottomRange().max - older->Chart2()->BottomRange().min, 52 * 0.8, 1e-9);
    EXPECT_GT(older->Chart3()->PieSize(), pie);
    EXPECT_EQ(newer->Chart1()->BottomRange(), home);

    older->Action(QStringLiteral("GrafZoomOut"))->trigger(); // ZoomOut: 110 %
    EXPECT_NEAR(bars->BottomRange().max - bars->BottomRange().min, 52 * 0.8 * 1.1, 1e-9);
    older->Action(QStringLiteral("GrafResetZoom"))->trigger();
    EXPECT_EQ(bars->BottomRange(), home);
    EXPECT_DOUBLE_EQ(older->Chart3()->PieSize(), pie);
    older->Action(QStringLiteral("GrafZoomIn"))->trigger();
    EXPECT_NEAR(bars->BottomRange().max - bars->BottomRange().min, 52 * 0.8, 1e-9);
}

TEST_F(ReportChartTest, ShiftButtonsMoveTheNewestWindowsAxes)
{
    auto shift = [&](const char* name) { Child<QToolButton>(older, name)->click(); };
    const AxisRange x = newer->Chart1()->BottomRange();
    shift("Izquierda"); // s = 52 * 10 % = 5.2 towards lower values
    EXPECT_NEAR(newer->Chart1()->BottomRange().min, x.min - 5.2, 1e-9);
    EXPECT_NEAR(newer->Chart1()->BottomRange().max, x.max - 5.2, 1e-9);
    EXPECT_NEAR(newer->Chart2()->BottomRange().min, x.min - 5.2, 1e-9);
    EXPECT_EQ(older->Chart1()->BottomRange(), x);
    shift("Derecha");
    EXPECT_NEAR(newer->Chart1()->BottomRange().min, x.min - 5.2 + 5.2, 1e-9);

    const AxisRange y = newer->Chart1()->LeftRange();
    const AxisRange r = newer->Chart1()->RightRange();
    shift("Abajo");
    const double s = (y.max - y.min) / 10;
    EXPECT_NEAR(newer->Chart1()->LeftRange().min, y.min - s, 1e-9);
    EXPECT_NEAR(newer->Chart1()->RightRange().max, r.max - (r.max - r.min) / 10, 1e-9);
    shift("Arriba");
    EXPECT_NEAR(newer->Chart1()->LeftRange().max, y.max - s + (y.max - s - (y.min - s)) / 10, 1e-9);
    for (const char* hint : {"Desplazamientoi zquierda", "Desplazamiento derecha", "Desplazamiento abajo",
                             "Desplazamiento arriba", "Página anterior", "Página siguiente"}) {
        bool found = false;
        for (QToolButton* b : older->findChildren<QToolButton*>())
            found = found || b->toolTip() == QString::fromUtf8(hint);
        EXPECT_TRUE(found) << hint;
    }
}

TEST_F(ReportChartTest, PagesSplitTheWeeksOfTheirOwnCharts)
{
    QSpinBox* pages = Child<QSpinBox>(older, "paginas");
    EXPECT_EQ(pages->value(), 0);
    EXPECT_EQ(older->Chart1()->PointsPerPage(), 52);
    pages->setValue(2);
    EXPECT_EQ(older->Chart1()->PointsPerPage(), 26);
    EXPECT_EQ(older->Chart2()->PageCount(), 2);
    EXPECT_EQ(older->Chart1()->BottomRange(), (AxisRange{0.5, 26.5}));
    Child<QToolButton>(older, "PaginaSiguiente")->click();
    EXPECT_EQ(older->Chart1()->Page(), 2);
    EXPECT_EQ(older->Chart2()->BottomRange(), (AxisRange{26.5, 52.5}));
    Child<QToolButton>(older, "PaginaSiguiente")->click(); // no page 3
    EXPECT_EQ(older->Chart1()->Page(), 2);
    Child<QToolButton>(older, "PaginaAnterior")->click();
    Child<QToolButton>(older, "PaginaAnterior")->click();
    EXPECT_EQ(older->Chart1()->Page(), 1);
    pages->setValue(3); // 52 div 3 = 17 weeks a page
    EXPECT_EQ(older->Chart1()->PageCount(), 4);
    pages->setValue(0);
    EXPECT_EQ(older->Chart1()->PointsPerPage(), 52);
    EXPECT_EQ(newer->Chart1()->PointsPerPage(), 52);
}

TEST_F(ReportChartTest, RenamingTitlesAndAxesActsOnTheNewestWindow)
{
    newer->Chart1()->SetLeftAxisTitle(QStringLiteral("OTRO"));
    const QString caption = QStringLiteral("EDICION SELECTIVA NOMBRES DE EJES ");
    const QString prompt = QStringLiteral("INTRODUCIR NUEVO NOMBRE");
    tc.ui.ExpectInput(caption, prompt, QStringLiteral("NUEVO TITULO"));
    older->Action(QStringLiteral("GrafTitulo"))->trigger();
    EXPECT_EQ(newer->Chart1()->TitleText(), QStringLiteral("NUEVO TITULO"));
    EXPECT_EQ(newer->Chart2()->TitleText(), QStringLiteral("NUEVO TITULO"));
    EXPECT_EQ(older->Chart1()->TitleText(), QStringLiteral("COMPRAS REPUESTOS  PORTAL"));

    // Cancel keeps the default: this window's present text, which then goes to the newest window.
    tc.ui.ExpectInputCancel(caption, prompt);
    older->Action(QStringLiteral("GrafEjeIzquierdo"))->trigger();
    EXPECT_EQ(newer->Chart1()->LeftAxis()->titleText(), QStringLiteral("MINUTOS / %"));
    EXPECT_EQ(newer->Chart2()->Model().leftAxisTitle, QStringLiteral("MINUTOS / %"));

    tc.ui.ExpectInput(caption, prompt, QStringLiteral("Nº PEDIDOS"));
    older->Action(QStringLiteral("GrafEjeDerecho"))->trigger();
    EXPECT_EQ(newer->Chart2()->RightAxis()->titleText(), QStringLiteral("Nº PEDIDOS"));
    tc.ui.ExpectInput(caption, prompt, QStringLiteral("SEMANAS DEL AÑO"));
    older->Action(QStringLiteral("GrafAbcisas"))->trigger();
    EXPECT_EQ(newer->Chart1()->BottomAxis()->titleText(), QStringLiteral("SEMANAS DEL AÑO"));
    EXPECT_EQ(older->Chart1()->BottomAxis()->titleText(), QStringLiteral("SEMANAS"));
    EXPECT_SCRIPT_DONE(tc.ui);
}

TEST_F(ReportChartTest, SavingAChartAsBitmap)
{
    const QString name = tc.dir.filePath(QStringLiteral("grafico"));
    const QString caption = QStringLiteral("GRABAR GRAFICOS Formato *.bmp ");
    const QString prompt = QStringLiteral("Gráfico de Barras/Líneas/Tarta B/L/T");
    tc.ctx.st.AnswerCode = QStringLiteral("S");
    tc.ui.ExpectChooseFile(name + QStringLiteral(".bmp"))
        .ExpectYesNo(QStringLiteral("Salvar ") + name + QStringLiteral(".bmp"), true)
        .ExpectInput(caption, prompt, QStringLiteral("L"));
    older->Action(QStringLiteral("GrafSalvar"))->trigger();
    EXPECT_EQ(tc.ui.FileRequests().back().fileName, QStringLiteral("*.bmp"));
    const QByteArray bmp = ReadBytes(name + QStringLiteral(".bmp"));
    EXPECT_TRUE(bmp.startsWith("BM"));
    EXPECT_EQ(tc.ctx.st.AnswerCode, QStringLiteral("S")); // the command's own answer code is left alone

    // Answers compare exactly: "b" is not "B", and nothing is saved.
    QFile::remove(name + QStringLiteral(".bmp"));
    tc.ui.ExpectChooseFile(name)
        .ExpectYesNo(QStringLiteral("Salvar ") + name + QStringLiteral(".bmp"), true)
        .ExpectInput(caption, prompt, QStringLiteral("b"));
    older->Charts()->SaveChart();
    EXPECT_FALSE(QFile::exists(name + QStringLiteral(".bmp")));

    tc.ui.ExpectChooseFile(name).ExpectYesNo(QStringLiteral("Salvar ") + name + QStringLiteral(".bmp"),
                                             false);
    older->Charts()->SaveChart();
    EXPECT_FALSE(QFile::exists(name + QStringLiteral(".bmp")));
    EXPECT_SCRIPT_DONE(tc.ui);
}

TEST_F(ReportChartTest, PrintingAndCopyingAChart)
{
    const QString prompt = QStringLiteral("Gráfico de Barras/Líneas/Tarta B/L/T");
    tc.ui.ExpectInput(QStringLiteral("IMPRESIÓN DE GRAFICOS "), prompt, QStringLiteral("T"));
    older->Action(QStringLiteral("GrafImprimir"))->trigger();
    EXPECT_EQ(previewed, older->Chart3());
    tc.ui.ExpectInput(QStringLiteral("IMPRESIÓN DE GRAFICOS "), prompt, QStringLiteral("X"));
    older->Charts()->PrintChart();
    EXPECT_EQ(previewed, older->Chart2()); // any other answer: the lines
    tc.ui.ExpectInputCancel(QStringLiteral("IMPRESIÓN DE GRAFICOS "), prompt);
    older->Charts()->PrintChart();
    EXPECT_EQ(previewed, older->Chart1()); // the default "B"

    QPrinter printer;
    const QString pdf = tc.dir.filePath(QStringLiteral("grafico.pdf"));
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    older->Chart1()->resize(640, 480);
    PrintWidget(older->Chart1(), printer);
    EXPECT_TRUE(ReadBytes(pdf).startsWith("%PDF"));

    QGuiApplication::clipboard()->clear();
    tc.ui.ExpectInput(QStringLiteral("COPIA EN MEMORIA"), prompt, QStringLiteral("B"));
    older->Action(QStringLiteral("GrafCopiar"))->trigger();
    EXPECT_FALSE(QGuiApplication::clipboard()->image().isNull());
    EXPECT_SCRIPT_DONE(tc.ui);
}

TEST_F(ReportChartTest, ClickingASeries)
{
    tc.ui.ExpectMessage(QStringLiteral("Series3 en la semana: 11"));
    older->Charts()->OnSeriesClicked(older->Chart1(), 2, 10, Qt::ControlModifier);

    // Without Ctrl the clicked series moves one place earlier; the first stays.
    older->Charts()->OnSeriesClicked(older->Chart1(), 2, 10, Qt::NoModifier);
    EXPECT_EQ(older->Chart1()->SeriesOrder(), (std::vector<int>{0, 2, 1, 3, 4, 5}));
    older->Charts()->OnSeriesClicked(older->Chart1(), 0, 0, Qt::NoModifier);
    EXPECT_EQ(older->Chart1()->SeriesOrder(), (std::vector<int>{0, 2, 1, 3, 4, 5}));
    // On the lines Ctrl makes no difference.
    older->Charts()->OnSeriesClicked(older->Chart2(), 4, 3, Qt::ControlModifier);
    EXPECT_EQ(older->Chart2()->SeriesOrder(), (std::vector<int>{0, 1, 2, 4, 3, 5}));
    EXPECT_EQ(qobject_cast<QLineSeries*>(older->Chart2()->DrawnSeries()[3])->name(),
              QStringLiteral("Serie 5"));

    // A real click on a bar reaches the same place through the chart's signal (keys released first:
    // earlier tests may have left Ctrl down).
    QWidget keys;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
    QCoreApplication::sendEvent(&keys, &press);
    auto* bars = qobject_cast<QAbstractBarSeries*>(older->Chart1()->DrawnSeries()[0]);
    emit bars->clicked(10, older->Chart1()->BarSetOf(3));
    EXPECT_EQ(older->Chart1()->SeriesOrder(), (std::vector<int>{0, 2, 3, 1, 4, 5}));
    EXPECT_SCRIPT_DONE(tc.ui);
}

TEST_F(ReportChartTest, ChartMenuHasItsItems)
{
    QStringList items;
    for (QAction* a : older->Charts()->Menu()->actions())
        items << a->text();
    EXPECT_EQ(items, (QStringList{"&3Dim", "&Puntos", "&Valores", "Zoom&In", "&ResetZoom", "Zoom&Out",
                                  "&Salvar", "Im&primir", "&Copiar", "&Edición"}));
    QStringList names;
    for (QAction* a : older->Charts()->Menu()->actions().back()->menu()->actions())
        names << a->text();
    EXPECT_EQ(names, (QStringList{"&Titulo", "Eje &Izquierdo", "Eje &Derecho", "&Abcisas"}));
}

} // namespace
} // namespace gim
