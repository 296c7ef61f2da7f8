// gim: the program. Usage: gim [data-folder]; without an argument the current folder is the data folder.
#include "core/context.h"
#include "core/environment.h"
#include "core/startup.h"
#include "platform/clock.h"
#include "platform/qt/qt_shell.h"
#include "platform/qt/qt_ui.h"

#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QMdiArea>
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

    gim::RunStartupBeforeWindow(ctx);

    QMainWindow window;
    auto* mdi = new QMdiArea(&window);
    window.setCentralWidget(mdi);
    ui.SetParentWindow(&window);
    gim::RunStartupAfterWindow(ctx);
    window.setWindowTitle(gim::MainCaption(ctx));
    window.showMaximized();
    return QApplication::exec();
}
