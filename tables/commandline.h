#ifndef COMMANDLINE_H
#define COMMANDLINE_H

#include <QStringList>

// The program without its window: the result tables of a whole study, written
// from set files named on the command line, with no display needed.
namespace commandline {

// Runs the command line (arguments as the application object gives them, the
// program first). Returns the exit status: 0 when every set was read, 1 when one
// was not or a table could not be written, 2 when the arguments are wrong.
int run(const QStringList& arguments);

}

#endif
