#ifndef FILECHOICE_H
#define FILECHOICE_H

#include <QString>

class QSettings;
class QWidget;

// The one way the program asks for a file: in the folder a setting remembers, and
// remembering the folder of the file chosen.
namespace filechoice {

enum Mode { Open, Save };

// Asks for a file in the folder settings keeps under key (the home folder at
// first); empty when the dialog is cancelled. The chosen file's folder is kept
// under key unless remember is false. When suffix is given, a name typed without
// one gets it before the dialog asks about replacing a file. proposed is the
// name the dialog offers first.
QString ask(QWidget* parent, QSettings& settings, const QString& key, Mode mode,
            const QString& caption, const QString& filter, bool remember = true,
            const QString& suffix = QString(), const QString& proposed = QString());

}

#endif
