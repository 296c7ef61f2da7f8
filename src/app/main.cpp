// gim: the program. Usage: gim [data-folder]; without an argument the current folder is the data folder.
#include "core/context.h"
#include "core/dispatch.h"
#include "core/operations.h"
#include "core/startup.h"
#include "platform/clock.h"
#include "platform/qt/main_window.h"
#include "platform/qt/qt_shell.h"
#include "platform/qt/qt_ui.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTextStream>

int main(int argc, char** argv)
{
    // The application object comes first: start-up shows its messages before the main window exists.
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("gim"));

    const QStringList args = QApplication::arguments();
    const QString dataDir = QDir(args.size() > 1 ? args.at(1) : QDir::currentPath()).absolutePath();
    if (!QDir().mkpath(dataDir)) {
        QTextStream(stderr) << "gim: no se puede usar la carpeta de datos " << dataDir << '\n';
        return 1;
    }

    gim::QtUi ui;
    gim::QtShell shell;
    gim::SystemClock clock;
    gim::Context ctx(ui, clock, shell);
    ctx.st.BaseDir = dataDir;
    ctx.st.WorkDir = dataDir;

    // Each feature registers its operations in the context's registry; a menu item is offered once all
    // of its operations are there.
    gim::OperationRegistry& operations = ctx.Module<gim::OperationRegistry>();
    gim::RegisterMainWindowOperations(operations);

    gim::RunStartupBeforeWindow(ctx);

    gim::Dispatcher dispatcher(ctx, operations);
    gim::TGim window(ctx, operations, dispatcher);
    ui.SetParentWindow(&window);
    gim::RunStartupAfterWindow(ctx);
    window.RefreshCaption();
    // Without a window manager nothing maximises; the window then still covers the screen.
    window.setGeometry(window.screen()->availableGeometry());
    window.showMaximized();
    return QApplication::exec();
}
