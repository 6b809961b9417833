#include "testsupport.h"

#include "view/tglypheditor.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QtTest/QTest>

namespace testsupport {

void isolateSettings()
{
    static QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    // Recovery copies too go to a folder of this test's own.
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.path() + "/data"));
}

// Each try schedules the next as a fresh copy, so nothing refers to itself and
// every step is freed once its timer has fired.
static void pollStep(const std::function<bool()>& attempt, QElapsedTimer timer, int timeoutMs)
{
    if (attempt() || timer.elapsed() > timeoutMs)
        return;
    QTimer::singleShot(10, [attempt, timer, timeoutMs]() { pollStep(attempt, timer, timeoutMs); });
}

static void poll(std::function<bool()> attempt, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    QTimer::singleShot(0, [attempt, timer, timeoutMs]() { pollStep(attempt, timer, timeoutMs); });
}

void onNextModal(std::function<void(QWidget*)> action, int timeoutMs)
{
    poll([action]() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return false;
        action(modal);
        return true;
    }, timeoutMs);
}

void onNextMessageBox(std::function<void(QMessageBox*)> action, int timeoutMs)
{
    poll([action]() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return false;
        action(box);
        return true;
    }, timeoutMs);
}

void answerMessageBox(int standardButton)
{
    onNextMessageBox([standardButton](QMessageBox* box) {
        QAbstractButton* b = box->button(QMessageBox::StandardButton(standardButton));
        // A box with buttons of its own: Discard and Cancel stand for its
        // destructive and rejecting ones.
        for (QAbstractButton* own : box->buttons()) {
            const QMessageBox::ButtonRole role = box->buttonRole(own);
            if (!b && ((standardButton == QMessageBox::Discard && role == QMessageBox::DestructiveRole)
                       || (standardButton == QMessageBox::Cancel && role == QMessageBox::RejectRole)))
                b = own;
        }
        if (b)
            b->click();
        else
            box->reject();
    });
}

void captureMessageBox(QString* text, int standardButton, int timeoutMs)
{
    onNextMessageBox([text, standardButton](QMessageBox* box) {
        if (text)
            *text = box->text() + (box->informativeText().isEmpty() ? QString()
                                                                     : "\n" + box->informativeText());
        QAbstractButton* b = box->button(QMessageBox::StandardButton(standardButton));
        if (b)
            b->click();
        else
            box->reject();
    }, timeoutMs);
}

void answerFileDialog(const QString& fileName)
{
    onNextModal([fileName](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        if (!dialog)
            return;
        if (fileName.isEmpty()) {
            dialog->reject();
            return;
        }
        auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
        if (edit)
            edit->setText(fileName);
        else
            dialog->selectFile(fileName);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

void chooseMenuEntry(const QString& text, QStringList* entries, QList<bool>* enabled)
{
    poll([text, entries, enabled]() {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return false;
        QAction* chosen = nullptr;
        for (QAction* a : menu->actions()) {
            if (a->isSeparator())
                continue;
            if (entries)
                entries->append(a->text());
            if (enabled)
                enabled->append(a->isEnabled());
            if (a->text() == text && a->isEnabled())
                chosen = a;
        }
        if (chosen) {
            // Return on the active entry goes the same way as a click: QMenu::exec
            // then returns that action.
            menu->setActiveAction(chosen);
            QTest::keyClick(menu, Qt::Key_Return);
        } else {
            menu->close();
        }
        return true;
    }, 5000);
}

QString sectionText(TGlyphEditor* editor)
{
    QString text;
    QTextStream out(&text);
    editor->writeAnnotation(out);
    out.flush();
    return text;
}

bool writeImage(const QString& path, int width, int height, int ppi, QImage::Format format)
{
    QImage image(width, height, format);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.setPen(Qt::black);
        for (int x = 0; x < width; x += 6)
            p.drawLine(x, 0, x + height / 3, height);
    }
    const int dotsPerMeter = qRound(ppi / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image.save(path);
}

}
