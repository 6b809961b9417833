#include "app/mainwindow.h"
#include "tables/commandline.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationVersion(RIDGEMAP_VERSION);
    // One set file and nothing else opens it in the window, as a file manager
    // starts the program; any other argument writes result tables without a display.
    const bool setAlone = argc == 2 && argv[1][0] != '-';
    if (argc > 1 && !setAlone) {
        QCoreApplication application(argc, argv);
        return commandline::run(application.arguments());
    }
    QApplication application(argc, argv);
    MainWindow window;
    window.show();
    if (setAlone) {
        const QString set = application.arguments().value(1);
        // Opened once the window is up, so a failure is told over it.
        QTimer::singleShot(0, &window, [&window, set] { window.openSet(set); });
    }
    return application.exec();
}
