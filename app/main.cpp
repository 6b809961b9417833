#include "app/mainwindow.h"
#include "app/startup.h"
#include "tables/commandline.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationVersion(RIDGEMAP_VERSION);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (!startup::wantsWindow(arguments)) {
        QCoreApplication application(argc, argv);
        return commandline::run(application.arguments());
    }
    QApplication application(argc, argv);
    MainWindow window;
    window.show();
    // Once the window is up, so questions and failures are shown over it.
    QTimer::singleShot(0, &window, [&window, &application] {
        startup::begin(window, application.arguments());
    });
    return application.exec();
}
