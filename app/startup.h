#ifndef STARTUP_H
#define STARTUP_H

#include <QStringList>

class MainWindow;

// What the program does with its command line when it starts.
namespace startup {

// Whether the arguments (the program first) ask for the window: none, or one set
// file alone, as a file manager starts the program. Any other arguments write
// result tables without a display.
bool wantsWindow(const QStringList& arguments);

// The window's first moves, once it is shown: it offers back work a killed
// session left unsaved, then opens the set the arguments name, if any.
void begin(MainWindow& window, const QStringList& arguments);

}

#endif
