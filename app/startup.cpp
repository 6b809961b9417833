#include "app/startup.h"

#include "app/mainwindow.h"

namespace startup {

bool wantsWindow(const QStringList& arguments)
{
    return arguments.size() <= 1
           || (arguments.size() == 2 && !arguments.at(1).startsWith(QLatin1Char('-')));
}

void begin(MainWindow& window, const QStringList& arguments)
{
    // Brought back work comes first: the set named may well be the one it was on.
    if (window.offerRecovery())
        return;
    if (arguments.size() == 2)
        window.openSet(arguments.at(1));
}

}
