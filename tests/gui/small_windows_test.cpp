#include "app/mail_composer.h"
#include "app/picture_viewer.h"
#include "platform/qt/calendar_dialog.h"
#include "platform/qt/jpeg_codec.h"
#include "platform/qt/print_preview.h"
#include "platform/qt/progress_window.h"
#include "platform/qt/web_search_window.h"
#include "platform/qt/week_graph_painter.h"
#include "support/scripted_ui_check.h"
#include "support/test_context.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace gim {
namespace {

const QDate kToday(2026, 12, 7);

// Runs the posted deletions of windows that closed themselves.
void FlushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

QImage Picture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(200, 180, 160));
    return image;
}

// ---- Date-range picker
// -------------------------------------------------------------------------------------

TEST(CalendarDialogTest, OpensOnThePresetRangeAndClicksSetIt)
{
    CalendarDialog dialog(kToday, kToday);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Selección de un rango de fechas"));
    auto* start = dialog.findChild<QDateEdit*>(QStringLiteral("DTPic1"));
    auto* end = dialog.findChild<QDateEdit*>(QStringLiteral("DTPic2"));
    ASSERT_TRUE(start && end);
    EXPECT_EQ(start->date(), kToday);
    EXPECT_EQ(end->date(), kToday);
    EXPECT_EQ(start->displayFormat(), QStringLiteral("dd/MM/yyyy"));

    dialog.ClickDay(QDate(2026, 12, 1), false); // a new range on one day
    EXPECT_EQ(dialog.RangeStart(), QDate(2026, 12, 1));
    EXPECT_EQ(dialog.RangeEnd(), QDate(2026, 12, 1));
    dialog.ClickDay(QDate(2026, 12, 15), true); // Shift extends it
    EXPECT_EQ(dialog.RangeStart(), QDate(2026, 12, 1));
    EXPECT_EQ(dialog.RangeEnd(), QDate(2026, 12, 15));
    EXPECT_EQ(start->date(), QDate(2026, 12, 1));
    EXPECT_EQ(end->date(), QDate(2026, 12, 15));
    auto* calendar = dialog.findChild<QCalendarWidget*>(QStringLiteral("MonthC1"));
    ASSERT_NE(calendar, nullptr);
    EXPECT_EQ(calendar->dateTextFormat(QDate(2026, 12, 10)).background(), dialog.palette().highlight());
    EXPECT_EQ(calendar->dateTextFormat(QDate(2026, 12, 16)).background(), QBrush());
    dialog.ClickDay(QDate(2026, 11, 20), true); // before the start: the start moves
    EXPECT_EQ(dialog.RangeStart(), QDate(2026, 11, 20));
    EXPECT_EQ(dialog.RangeEnd(), QDate(2026, 12, 15));

    // The date pickers move the ends; a start past the end takes the end along.
    end->setDate(QDate(2026, 12, 31));
    EXPECT_EQ(dialog.RangeEnd(), QDate(2026, 12, 31));
    start->setDate(QDate(2027, 1, 10));
    EXPECT_EQ(dialog.RangeStart(), QDate(2027, 1, 10));
    EXPECT_EQ(dialog.RangeEnd(), QDate(2027, 1, 10));

    QStringList shown;
    dialog.SetMessageSink([&](const QString& text) { shown << text; });
    dialog.ClickDay(QDate(2026, 12, 1), false);
    dialog.ClickDay(QDate(2026, 12, 7), true);
    dialog.findChild<QPushButton*>(QStringLiteral("Mostrar"))->click();
    EXPECT_EQ(shown, QStringList({QStringLiteral("01/12/2026 - 07/12/2026")}));
    EXPECT_TRUE(dialog.isVisible()); // showing the range does not close the picker

    dialog.findChild<QPushButton*>(QStringLiteral("OK"))->click();
    EXPECT_EQ(dialog.result(), int(QDialog::Accepted));
}

TEST(CalendarDialogTest, OkUntouchedGivesThePresetAndTheCloseBoxChangesNothing)
{
    QDate start = kToday, end = kToday;
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CalendarDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QPushButton*>(QStringLiteral("OK"))->click();
    });
    EXPECT_TRUE(RunDateRangeDialog(nullptr, start, end));
    EXPECT_EQ(start, kToday);
    EXPECT_EQ(end, kToday);

    start = QDate(2026, 1, 5);
    end = QDate(2026, 2, 5);
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CalendarDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->ClickDay(QDate(2026, 3, 3), false);
        dialog->reject(); // the close box
    });
    EXPECT_FALSE(RunDateRangeDialog(nullptr, start, end));
    EXPECT_EQ(start, QDate(2026, 1, 5));
    EXPECT_EQ(end, QDate(2026, 2, 5));
}

// ---- Progress window
// ---------------------------------------------------------------------------------------

TEST(ProgressWindowTest, CaptionRangeAndPosition)
{
    ProgressWindow window;
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Avance Carga Datos"));
    auto* bar = window.findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 2500);
    EXPECT_EQ(bar->toolTip(), QStringLiteral("Indicador de situación del proceso ."));

    window.SetCaption(QStringLiteral("AVANCE CARGA DE DATOS PARTES DIARIOS"));
    window.SetMaximum(120);
    window.SetPosition(60);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("AVANCE CARGA DE DATOS PARTES DIARIOS"));
    EXPECT_EQ(window.Position(), 60);
    window.SetPosition(500);
    EXPECT_EQ(window.Position(), 120);
    window.SetMaximum(0);
    EXPECT_EQ(window.Maximum(), 1);

    // While a transfer waits: "Cancelar" (and the close box) cancel; the caller's own close does not.
    window.AllowCancel();
    window.CancelButton()->click();
    EXPECT_TRUE(window.isModal() && window.Cancelled() && !window.close() && window.isVisible());
    window.Finish();
    EXPECT_FALSE(window.isVisible());
}

// ---- Mail composer
// -----------------------------------------------------------------------------------------

TEST(MailComposerTest, PastesTheReportOnceAndSendsAnEncodedLink)
{
    test::TestContext t;
    t.ui.SetClipboardText(QStringLiteral("Informe & resumen\nLínea #2"));
    QPointer<MailComposer> composer = new MailComposer(t.ctx);
    composer->show();
    EXPECT_EQ(composer->windowTitle(), QStringLiteral("Emisor de Mail "));
    EXPECT_EQ(composer->Subject()->text(), QStringLiteral("Asunto"));
    EXPECT_EQ(composer->SendButton()->text(), QStringLiteral("&Conectar"));
    EXPECT_EQ(composer->Message()->toPlainText(), QStringLiteral("Informe & resumen\nLínea #2"));
    EXPECT_EQ(t.ctx.st.CurrentYear, 2026); // the date state was refreshed

    // Coming back to the window does not paste the text again.
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(composer, &activate);
    composer->hide();
    composer->show();
    EXPECT_EQ(composer->Message()->toPlainText(), QStringLiteral("Informe & resumen\nLínea #2"));

    EXPECT_FALSE(composer->SendButton()->isEnabled());
    composer->Address()->setText(QStringLiteral("jefe@planta.es"));
    EXPECT_TRUE(composer->SendButton()->isEnabled());
    composer->Address()->clear();
    EXPECT_FALSE(composer->SendButton()->isEnabled());
    composer->Address()->setText(QStringLiteral("jefe@planta.es"));
    composer->Subject()->setText(QStringLiteral("Averías"));
    composer->SendButton()->click();
    EXPECT_EQ(t.shell.calls,
              QStringList({QStringLiteral("url:mailto:jefe@planta.es?Subject=Aver%C3%ADas"
                                          "&Body=Informe%20%26%20resumen%0D%0AL%C3%ADnea%20%232")}));
    EXPECT_TRUE(composer->isVisible());

    composer->close();
    FlushDeletes();
    EXPECT_TRUE(composer.isNull());
}

// ---- Web search window
// -------------------------------------------------------------------------------------

TEST(WebSearchWindowTest, OpensPagesInTheBrowserAndWalksTheHistory)
{
    test::RecordingShell shell;
    QPointer<WebSearchWindow> window = new WebSearchWindow(shell);
    window->show();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Navegador Internet"));
    for (const char* name : {"Anterior", "Posterior", "Actualiza", "Ir", "Salir"})
        EXPECT_NE(window->findChild<QPushButton*>(QString::fromLatin1(name)), nullptr) << name;

    window->AddressBox()->setEditText(QStringLiteral("www.uno.es"));
    window->findChild<QPushButton*>(QStringLiteral("Ir"))->click();
    window->Navigate(QStringLiteral("https://dos.es/buscar?q=bomba"));
    window->findChild<QPushButton*>(QStringLiteral("Anterior"))->click();
    window->findChild<QPushButton*>(QStringLiteral("Actualiza"))->click();
    window->findChild<QPushButton*>(QStringLiteral("Posterior"))->click();
    window->Forward(); // nothing ahead
    EXPECT_EQ(shell.calls,
              QStringList({QStringLiteral("url:http://www.uno.es"),
                           QStringLiteral("url:https://dos.es/buscar?q=bomba"),
                           QStringLiteral("url:http://www.uno.es"), QStringLiteral("url:http://www.uno.es"),
                           QStringLiteral("url:https://dos.es/buscar?q=bomba")}));
    EXPECT_EQ(window->AddressBox()->count(), 2);
    EXPECT_EQ(window->AddressBox()->currentText(), QStringLiteral("https://dos.es/buscar?q=bomba"));

    // Going back and then somewhere new drops what lay ahead.
    window->Back();
    window->Navigate(QStringLiteral("tres.es"));
    EXPECT_EQ(window->History(),
              QStringList({QStringLiteral("http://www.uno.es"), QStringLiteral("http://tres.es")}));
    window->Navigate(QStringLiteral("   "));
    EXPECT_EQ(window->History().size(), 2);
    shell.result = false;
    window->Navigate(QStringLiteral("cuatro.es"));
    EXPECT_EQ(window->StatusText(),
              "No hay un navegador de Internet en este ordenador para abrir http://cuatro.es");

    window->findChild<QPushButton*>(QStringLiteral("Salir"))->click();
    FlushDeletes();
    EXPECT_TRUE(window.isNull());
}

// ---- Weekly graph
// ------------------------------------------------------------------------------------------

TEST(WeekGraphViewTest, DrawsTheGraphPixelsWhereTheGeometrySaysAndFollowsItsSize)
{
    ReportWeekGraph graph;
    graph.title = QStringLiteral("CARGA");
    graph.names = {QStringLiteral("Uno"), QStringLiteral(" "), QStringLiteral(" "),
                   QStringLiteral(" "),   QStringLiteral(" "), QStringLiteral(" ")};
    graph.maxValue = 100;
    graph.weeks.assign(53, TWeekGraphRecord{});
    graph.weeks[10].Value1 = 100;

    const QImage image = RenderWeekGraph(graph, QSize(1200, 800));
    EXPECT_EQ(image.pixel(685, 400), qRgb(0x80, 0, 0)); // 100 % dot of week 30
    EXPECT_EQ(image.pixel(685, 464), qRgb(0x80, 0, 0)); // 80 % dot
    EXPECT_EQ(image.pixel(285, 400), qRgb(0xFF, 0, 0)); // series 1 at 100 in week 10
    EXPECT_EQ(image.pixel(283, 400), qRgb(0xFF, 0, 0)); // its cross
    EXPECT_EQ(image.pixel(285, 398), qRgb(0xFF, 0, 0));
    EXPECT_EQ(image.pixel(600, 600), qRgb(0xFF, 0xFF, 0xFF)); // the plot is white
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0));              // the frame
    EXPECT_EQ(image.pixel(3, 3), qRgb(0, 0, 0));

    WeekGraphView view;
    view.resize(600, 400);
    view.show();
    view.SetGraph(graph);
    const QImage shown = view.Snapshot();
    EXPECT_EQ(shown.size(), QSize(600, 400));
    const WeekGraphGeometry g = ComputeWeekGraphGeometry(600, 400, 100);
    EXPECT_EQ(shown.pixel(g.WeekX(30), g.mid), qRgb(0x80, 0, 0));

    view.SetGraph(std::nullopt);
    EXPECT_EQ(view.Snapshot().pixel(0, 0), qRgb(0xFF, 0xFF, 0xFF));
    graph.maxValue = 0;
    view.SetGraph(graph);
    EXPECT_EQ(view.Snapshot().pixel(0, 0), qRgb(0xFF, 0xFF, 0xFF));
}

// ---- Print preview
// -----------------------------------------------------------------------------------------

TEST(PrintPreviewTest, PlacementIsStrictlyInsideThePage)
{
    const PreviewPlacement p = PlacePreview(QSize(101, 101), QSize(225, 225), 2);
    EXPECT_EQ(p.target, QRect(10, 10, 90, 90));
    EXPECT_TRUE(p.fits);
    EXPECT_FALSE(PlacePreview(QSize(100, 101), QSize(225, 225), 2).fits); // the edge reached exactly
    EXPECT_FALSE(PlacePreview(QSize(101, 100), QSize(225, 225), 2).fits);
    EXPECT_EQ(PlacePreview(QSize(500, 500), QSize(7, 7), 1).target, QRect(10, 10, 1, 1)); // 7 / 5
}

TEST(PrintPreviewTest, ScaleStepsMessagesOrientationAndPrint)
{
    QStringList messages;
    QPointer<PrintPreview> preview = new PrintPreview(Picture(2000, 1500));
    preview->SetMessageSink([&](const QString& text) { messages << text; });
    preview->Open();
    EXPECT_EQ(preview->windowTitle(), QStringLiteral("Vista Previa Impresión"));
    EXPECT_EQ(preview->Printer().pageLayout().orientation(), QPageLayout::Landscape); // wider than high
    EXPECT_EQ(preview->findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("2 Aumentos"));
    const QSize page = preview->Page().size();
    EXPECT_GT(page.width(), page.height());
    // The picture at 2/5: 800 x 600 from (10, 10).
    EXPECT_EQ(preview->Page().pixel(20, 20), qRgb(200, 180, 160));
    EXPECT_EQ(preview->Page().pixel(808, 608), qRgb(200, 180, 160));
    EXPECT_EQ(preview->Page().pixel(812, 612), qRgb(255, 255, 255));

    preview->findChild<QPushButton*>(QStringLiteral("ScaleMinusButton"))->click();
    EXPECT_EQ(preview->Scale(), 1);
    preview->Reduce();
    EXPECT_EQ(preview->Scale(), 1); // never below 1
    EXPECT_EQ(preview->ScaleText(), QStringLiteral("1 Aumentos"));
    EXPECT_TRUE(messages.isEmpty());

    // Enlarging until the picture no longer fits: the message, a blank page, the scale kept.
    while (messages.isEmpty() && preview->Scale() < 100)
        preview->findChild<QPushButton*>(QStringLiteral("ScalePlusButton"))->click();
    EXPECT_EQ(messages, QStringList({QStringLiteral("Escala demasiado grande para el papel")}));
    const int tooLarge = preview->Scale();
    EXPECT_EQ(preview->Page().pixel(20, 20), qRgb(255, 255, 255));
    EXPECT_FALSE(PlacePreview(page, QSize(2000, 1500), tooLarge).fits);
    EXPECT_TRUE(PlacePreview(page, QSize(2000, 1500), tooLarge - 1).fits);
    preview->Reduce();
    EXPECT_EQ(preview->Page().pixel(20, 20), qRgb(200, 180, 160));

    // Marking and blanking an area of the page.
    preview->Press(QPoint(15, 15));
    preview->Release(QPoint(40, 40));
    EXPECT_EQ(preview->Page().pixel(15, 20), qRgb(255, 0, 0));
    preview->BlankSelection();
    EXPECT_EQ(preview->Page().pixel(25, 25), qRgb(255, 255, 255));

    QTemporaryDir dir;
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(dir.path() + QStringLiteral("/vista.pdf"));
    preview->PrintTo(pdf);
    EXPECT_GT(QFileInfo(dir.path() + QStringLiteral("/vista.pdf")).size(), 1000);

    preview->findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
    FlushDeletes();
    EXPECT_TRUE(preview.isNull());

    PrintPreview portrait(Picture(300, 400));
    EXPECT_EQ(portrait.Printer().pageLayout().orientation(), QPageLayout::Portrait);
}

// ---- Picture viewer
// ----------------------------------------------------------------------------------------

class PictureViewerTest : public ::testing::Test
{
protected:
    PictureViewerTest()
    {
        t.ctx.st.CurrentSubFolder = QStringLiteral("\\Maquinas\\PORTAL\\");
        t.ctx.st.PhotoFileName = QStringLiteral("#BOMBA01.jpg");
        folder = t.dir.path() + QStringLiteral("/MAQUINAS/PORTAL");
        EXPECT_TRUE(QDir().mkpath(folder));
        source = folder + QStringLiteral("/original.bmp");
        EXPECT_TRUE(WritePicture(Picture(80, 60), source).has_value());
        viewer = new PictureViewer(t.ctx);
    }
    ~PictureViewerTest() override
    {
        if (viewer)
            viewer->close();
        FlushDeletes();
    }

    test::TestContext t;
    QString folder;
    QString source;
    QPointer<PictureViewer> viewer;
};

TEST_F(PictureViewerTest, LoadsFromTheCallersFolderWhateverItsCase)
{
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("IMAGENES Y ESQUEMAS"));
    t.ui.ExpectChooseFile(source);
    viewer->Start();
    EXPECT_SCRIPT_DONE(t.ui);
    ASSERT_EQ(t.ui.FileRequests().size(), 1u);
    EXPECT_EQ(t.ui.FileRequests()[0].folder, folder);
    EXPECT_EQ(t.ui.FileRequests()[0].fileName, QStringLiteral("#BOMBA01.jpg"));
    EXPECT_FALSE(t.ui.FileRequests()[0].save);
    EXPECT_EQ(viewer->Picture().size(), QSize(80, 60));
    EXPECT_EQ(viewer->Label(), QStringLiteral("original"));
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("Visualizar Imagen - (") + source + QLatin1Char(')'));

    viewer->MoveTo(QPoint(3, 4));
    EXPECT_EQ(viewer->windowTitle(), source + QStringLiteral("          Posición en x=3,y=4"));

    // A ".jpeg" file is offered but not loaded.
    const QString jpeg = folder + QStringLiteral("/otra.jpeg");
    ASSERT_TRUE(WriteJpeg(Picture(10, 10), jpeg).has_value());
    EXPECT_TRUE(viewer->LoadFile(jpeg));
    EXPECT_TRUE(viewer->Picture().isNull());

    // A cancelled dialog keeps what is shown.
    viewer->LoadFile(source);
    t.ui.ExpectChooseFile(std::nullopt);
    viewer->Load();
    EXPECT_EQ(viewer->Picture().size(), QSize(80, 60));
}

TEST_F(PictureViewerTest, LinesAndTextsCanBeUndone)
{
    viewer->StartWith(source);
    const QImage before = viewer->Picture();
    viewer->SetPenColor(Qt::blue);
    viewer->Press(QPoint(10, 30));
    viewer->Release(QPoint(70, 30), true); // Ctrl held: a line
    EXPECT_EQ(viewer->Picture().pixel(40, 30), qRgb(0, 0, 255));
    viewer->Undo();
    EXPECT_EQ(viewer->Picture(), before);

    viewer->MoveTo(QPoint(20, 20));
    t.ui.ExpectInput(QStringLiteral("IMAGENES Y ESQUEMAS"), QStringLiteral("INTRODUZCA TEXTO"),
                     QStringLiteral("OK"));
    viewer->WriteText();
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_NE(viewer->Picture(), before);
    viewer->Undo();
    EXPECT_EQ(viewer->Picture(), before);

    // Without Ctrl the release only marks the area; erasing it fills it white.
    viewer->Press(QPoint(5, 5));
    viewer->Release(QPoint(25, 25), false);
    EXPECT_EQ(viewer->Picture(), before);
    EXPECT_EQ(viewer->Selection(), QRect(QPoint(5, 5), QPoint(25, 25)));
    viewer->EraseSelection();
    EXPECT_EQ(viewer->Picture().pixel(15, 15), qRgb(255, 255, 255));
    viewer->Undo();
    EXPECT_EQ(viewer->Picture(), before);
}

TEST_F(PictureViewerTest, ZoomEditsAnAreaAndFixesItBack)
{
    viewer->StartWith(source);
    viewer->Press(QPoint(0, 0));
    viewer->Release(QPoint(39, 29), false);
    viewer->ZoomEdit();
    EXPECT_EQ(viewer->Picture().size(), QSize(80, 60));
    viewer->SetPenColor(Qt::black);
    viewer->Press(QPoint(0, 20));
    viewer->Release(QPoint(79, 20), true); // a line across the enlarged area
    viewer->ZoomFix();
    EXPECT_EQ(viewer->Picture().size(), QSize(80, 60));
    EXPECT_LT(qRed(viewer->Picture().pixel(20, 10)), 150);           // the line, at half size, in the area
    EXPECT_EQ(viewer->Picture().pixel(60, 45), qRgb(200, 180, 160)); // outside the area untouched
}

TEST_F(PictureViewerTest, SavesThePhotoUnderItsNameAndClearsTheCodes)
{
    viewer->StartWith(source);
    t.ctx.st.PhotoAssignFlag = 1;
    t.ctx.st.OutputCode = QStringLiteral("S");
    const QString target = folder + QStringLiteral("/#BOMBA01.jpg");
    t.ui.ExpectChooseFile(target);
    viewer->Save();
    EXPECT_SCRIPT_DONE(t.ui);
    ASSERT_EQ(t.ui.FileRequests().size(), 1u);
    const FileDialogRequest& r = t.ui.FileRequests()[0];
    EXPECT_TRUE(r.save);
    EXPECT_EQ(r.folder, folder);
    EXPECT_EQ(r.fileName, QStringLiteral("#BOMBA01.jpg"));
    EXPECT_TRUE(t.ctx.st.OutputCode.isEmpty());
    const auto saved = ReadJpeg(target);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->size(), QSize(80, 60));
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("Visualizar Imagen - (") + target + QLatin1Char(')'));

    // A BMP keeps the working picture exactly, without the label.
    t.ctx.st.PhotoAssignFlag = 0;
    const QString bmp = folder + QStringLiteral("/copia.bmp");
    t.ui.ExpectChooseFile(bmp);
    viewer->Save();
    EXPECT_EQ(t.ui.FileRequests()[1].fileName, QStringLiteral("#BOMBA01.jpg")); // the last picture's name
    const auto copy = ReadPicture(bmp);
    ASSERT_TRUE(copy.has_value());
    EXPECT_EQ(copy->convertToFormat(QImage::Format_RGB32), viewer->Picture());

    // The spare-part card's name is proposed while OutputCode is "W".
    t.ctx.st.OutputCode = QStringLiteral("W");
    viewer->SetSparePartPictureName(QStringLiteral("01ABC123.jpg"));
    t.ui.ExpectChooseFile(std::nullopt);
    viewer->Save();
    EXPECT_EQ(t.ui.FileRequests()[2].fileName, QStringLiteral("01ABC123.jpg"));
    EXPECT_TRUE(t.ctx.st.OutputCode.isEmpty());

    // It goes before the photo's name too; the photo still becomes the picture's name.
    t.ctx.st.PhotoAssignFlag = 1;
    t.ctx.st.OutputCode = QStringLiteral("W");
    t.ui.ExpectChooseFile(std::nullopt);
    viewer->Save();
    EXPECT_EQ(t.ui.FileRequests()[3].fileName, QStringLiteral("01ABC123.jpg"));
    EXPECT_EQ(viewer->PictureFileName(), folder + QStringLiteral("/#BOMBA01.jpg"));
    EXPECT_TRUE(t.ctx.st.OutputCode.isEmpty());
    EXPECT_SCRIPT_DONE(t.ui);

    viewer->close();
    FlushDeletes();
    EXPECT_TRUE(viewer.isNull());
    EXPECT_EQ(t.ctx.st.PhotoAssignFlag, 0);
}

TEST_F(PictureViewerTest, MenuFitAndPrintPreview)
{
    viewer->StartWith(source);
    for (const char* item :
         {"Ajuste a la &Imagen", "&Editar", "&Fijar", "&Edición", "A&dquirir (*.jpg;*.bmp)", "&Copiar",
          "&Pegar", "&Borrar", "&Deshacer", "I&mprimir Imagen", "&Recuperar Imagen", "Sal&var Imagen"})
        EXPECT_NE(viewer->Action(QString::fromUtf8(item)), nullptr) << item;
    EXPECT_EQ(viewer->Action(QStringLiteral("&Copiar"))->shortcut(), QKeySequence(QStringLiteral("Ctrl+C")));

    viewer->Action(QStringLiteral("Ajuste a la &Imagen"))->trigger();
    EXPECT_TRUE(viewer->FitToPicture());

    viewer->Action(QStringLiteral("I&mprimir Imagen"))->trigger();
    ASSERT_NE(viewer->Preview(), nullptr);
    EXPECT_EQ(viewer->Preview()->windowTitle(), QStringLiteral("Vista Previa Impresión"));
    EXPECT_EQ(viewer->Preview()->Printer().pageLayout().orientation(), QPageLayout::Landscape);
    viewer->Preview()->close();
    FlushDeletes();
    EXPECT_EQ(viewer->Preview(), nullptr);
}

} // namespace
} // namespace gim
