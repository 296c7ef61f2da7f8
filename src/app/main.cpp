// gim: the program. Usage: gim [data-folder]; without an argument the current folder is the data folder.
#include "app/features.h"
#include "app/main_window.h"
#include "app/picture_viewer.h"
#include "app/report_window.h"
#include "core/context.h"
#include "core/dispatch.h"
#include "core/operations.h"
#include "core/startup.h"
#include "platform/clock.h"
#include "platform/handover.h"
#include "platform/qt/jpeg_codec.h"
#include "platform/qt/qt_shell.h"
#include "platform/qt/qt_ui.h"
#include "store/spare_parts.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTextStream>
#include <QTranslator>

int main(int argc, char** argv)
{
    // The application object comes first: start-up shows its messages before the main window exists.
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("gim"));
    // Dates, calendars and the standard dialogs speak Spanish whatever the system's language.
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    // Qt's own dialog texts (file dialogs, standard buttons) in Spanish like the rest of the program.
    QTranslator qtSpanish;
    if (qtSpanish.load(QStringLiteral("qtbase_es"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtSpanish);

    const QStringList args = QApplication::arguments();
    const QString dataDir = QDir(args.size() > 1 ? args.at(1) : QDir::currentPath()).absolutePath();
    if (!QDir().mkpath(dataDir)) {
        QTextStream(stderr) << "gim: no se puede usar la carpeta de datos " << dataDir << '\n';
        return 1;
    }

    gim::QtPictureCodec pictureCodec; // outlives the context, which points to it
    gim::QtUi ui;
    gim::QtShell shell;
    gim::SystemClock clock;
    gim::Context ctx(ui, clock, shell);
    ctx.st.BaseDir = dataDir;
    ctx.st.WorkDir = dataDir;
    ctx.codec = &pictureCodec;

    // Each feature registers its operations in the context's registry; a menu item is offered once all
    // of its operations are there.
    gim::OperationRegistry& operations = ctx.Module<gim::OperationRegistry>();
    gim::RegisterFeatures(ctx);

    gim::RunStartupBeforeWindow(ctx);

    gim::Dispatcher dispatcher(ctx, operations, gim::MainCommandTable());
    gim::TGim window(ctx, operations, dispatcher);
    ui.SetParentWindow(&window);
    ui.SetShell(&shell);

    // Listings open report windows in the main window's work area; the window registered the Editar
    // items that hand a row of the newest one back to the entity's edit command.
    gim::HandoverRegistry& handover = ctx.Module<gim::HandoverRegistry>();
    ui.SetReportTarget([&](std::shared_ptr<gim::ReportDocument> doc) {
        gim::ShowReportWindow(window.MdiArea(), std::move(doc), ctx, handover);
    });
    ui.SetReportBatch([&](bool begin) { gim::ReportWindowBatch(window.MdiArea(), begin, ctx, handover); });
    ui.SetReportUpdate([&](const std::shared_ptr<gim::ReportDocument>& doc, const QString& label) {
        gim::UpdateReportWindows(window.MdiArea(), *doc, label, ctx, handover);
    });
    // A double-click on a card's picture opens the picture viewer on its file, over the card.
    ui.SetPictureViewer(
        [&ctx](QWidget* card, const QString& path) { (new gim::PictureViewer(ctx, card))->StartWith(path); });
    // The spare-part card's picture box opens the viewer on the part's folder, proposing its picture name.
    operations.Register(gim::Op::ShowSparePartPicture, [&window](gim::Context& c) {
        auto* viewer = new gim::PictureViewer(c, &window);
        viewer->SetSparePartPictureName(gim::SpareParts(c).SparePartPictureName);
        viewer->Start();
    });
    gim::RunStartupAfterWindow(ctx);
    window.RefreshCaption();
    // Without a window manager nothing maximises; the window then still covers the screen.
    window.setGeometry(window.screen()->availableGeometry());
    window.showMaximized();
    return QApplication::exec();
}
