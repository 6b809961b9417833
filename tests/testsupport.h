#ifndef TESTSUPPORT_H
#define TESTSUPPORT_H

#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>

class QMessageBox;
class QWidget;
class TGlyphEditor;

// Shared helpers for the QtTest executables: isolated settings, answering modal
// dialogs and menus from inside the test, and small synthetic images.
namespace testsupport {

// Points QSettings and the data folder (recovery copies) at a fresh temporary
// folder, so no test reads or writes the user's real settings or another test's
// files. Call before the first QSettings is made.
void isolateSettings();

// Runs action on the next modal widget (message box, file dialog) once it is up.
void onNextModal(std::function<void(QWidget*)> action, int timeoutMs = 5000);
// Runs action on the next message box once it is up (other modal widgets before
// it are left alone).
void onNextMessageBox(std::function<void(QMessageBox*)> action, int timeoutMs = 5000);
// Presses the button of the next message box that has the given standard button.
void answerMessageBox(int standardButton);
// Remembers the text of the next message box shown within timeoutMs and presses the
// given button.
void captureMessageBox(QString* text, int standardButton = 0x00000400 /* Ok */,
                       int timeoutMs = 5000);
// Types fileName into the next file dialog and accepts it; empty cancels it.
void answerFileDialog(const QString& fileName);
// Chooses the entry with this text in the next popup menu; empty closes it.
// The texts of all its entries (and whether each is enabled) are stored if asked.
void chooseMenuEntry(const QString& text, QStringList* entries = nullptr,
                     QList<bool>* enabled = nullptr);

// The section the editor writes into a set file.
QString sectionText(TGlyphEditor* editor);

// A gray test image with a recorded resolution, written to path in the format its
// suffix names.
bool writeImage(const QString& path, int width, int height, int ppi,
                QImage::Format format = QImage::Format_Grayscale8);

}

#endif
