#include "app/mainwindow.h"
#include "tables/commandline.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationVersion(RIDGEMAP_VERSION);
    // With arguments the program writes result tables and needs no display.
    if (argc > 1) {
        QCoreApplication application(argc, argv);
        return commandline::run(application.arguments());
    }
    QApplication application(argc, argv);
    MainWindow window;
    window.show();
    return application.exec();
}
