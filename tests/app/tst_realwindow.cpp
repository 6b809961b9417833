#include "testsupport.h"

#include "app/mainwindow.h"
#include "view/tglyphview.h"

#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

// The exit status ctest reads as "skipped".
static const int skipped = 77;

static QPushButton* button(QWidget* window, const QString& text)
{
    const QList<QPushButton*> buttons = window->findChildren<QPushButton*>();
    for (QPushButton* b : buttons)
        if (b->text() == text)
            return b;
    return nullptr;
}

// Drives the program as an examiner would, in a real X window: the clicks go to
// the editors' viewports and the menus they open.
class TestRealWindow : public QObject
{
    Q_OBJECT

    static void press(QWidget* window, const QString& text)
    {
        QPushButton* b = button(window, text);
        QVERIFY2(b, qPrintable(text));
        QTest::mouseClick(b, Qt::LeftButton);
    }

    // Clicks the entry of the next popup menu once the menu is on the screen;
    // each try schedules the next as a fresh copy, so nothing keeps itself alive.
    static void clickMenuEntry(const QString& text, int triesLeft = 500)
    {
        QTimer::singleShot(triesLeft == 500 ? 0 : 10, [text, triesLeft]() {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu || !menu->windowHandle() || !menu->windowHandle()->isExposed()) {
                if (triesLeft > 0)
                    clickMenuEntry(text, triesLeft - 1);
                return;
            }
            for (QAction* a : menu->actions()) {
                if (a->text() == text) {
                    const QPoint centre = menu->actionGeometry(a).center();
                    QTest::mouseMove(menu, centre);
                    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, centre);
                    return;
                }
            }
            menu->close();
        });
    }

    static void clickAt(TGlyphEditor* editor, const QPointF& scenePos,
                        const QString& menuEntry = QString())
    {
        TGlyphView* view = editor->glyphView();
        if (!menuEntry.isEmpty())
            clickMenuEntry(menuEntry);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                          view->mapFromScene(scenePos));
        QTest::qWait(20);
    }

    // The scene point of the screen pixel nearest to the line at fraction t, so
    // that a click there lands on the line whatever the magnification.
    static QPointF nearestOnScreen(TGlyphEditor* editor, const QLineF& line, double t)
    {
        const TGlyphView* view = editor->glyphView();
        const QPoint centre = view->mapFromScene(line.pointAt(t));
        QPointF best = line.pointAt(t);
        double bestDistance = 1e9;
        for (int dx = -2; dx <= 2; ++dx) {
            for (int dy = -2; dy <= 2; ++dy) {
                const QPointF p = view->mapToScene(centre + QPoint(dx, dy));
                const double d = qAbs((line.dx() * (p.y() - line.y1()) - line.dy() * (p.x() - line.x1()))
                                      / line.length());
                if (d < bestDistance) {
                    bestDistance = d;
                    best = p;
                }
            }
        }
        return best;
    }

    static void openEditor(TGlyphEditor* editor)
    {
        editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(editor));
        editor->fitView();
    }

private slots:
    void initTestCase()
    {
        testsupport::isolateSettings();
        QCOMPARE(QGuiApplication::platformName(), QString("xcb"));
    }

    void annotateSaveAndReopen()
    {
        QTemporaryDir dir;
        const QString scan = dir.filePath("hands.png");
        QVERIFY(testsupport::writeImage(scan, 800, 600, 500));

        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(QMetaObject::invokeMethod(&w, "importImage", Q_ARG(QString, scan)));

        TGlyphEditor* finger = w.editor(0);
        openEditor(finger);
        press(finger, "Add core point(s)");
        clickAt(finger, QPointF(300, 150), "Add core point");
        press(finger, "Add triradial point(s)");
        clickAt(finger, QPointF(500, 400), "Add triradial point");
        press(finger, "Add ridge count");
        const QLineF counted(QPointF(300, 150), QPointF(500, 400));
        clickAt(finger, nearestOnScreen(finger, counted, 0.25));
        clickAt(finger, nearestOnScreen(finger, counted, 0.75));
        clickAt(finger, nearestOnScreen(finger, counted, 0.5));
        press(finger, "Delimit flexion crease");
        clickAt(finger, QPointF(100, 500));
        clickAt(finger, QPointF(400, 520));
        clickAt(finger, QPointF(700, 510));
        press(finger, "Delimit flexion crease");
        const QString fingerSection = testsupport::sectionText(finger);
        QVERIFY(fingerSection.contains("<core>"));
        QVERIFY(fingerSection.contains("<triradium>"));
        QVERIFY(fingerSection.contains("<flexion>"));
        QVERIFY2(fingerSection.count("<point") == 3 + 1 + 1 + 3, qPrintable(fingerSection));

        TGlyphEditor* palm = w.editor(10);
        openEditor(palm);
        press(palm, "Add triradial point(s)");
        const QStringList names = {"a", "b", "c", "d", "t"};
        for (int i = 0; i < names.size(); ++i)
            clickAt(palm, QPointF(100 + 150 * i, i == 4 ? 500 : 100),
                    "Add triradius " + names[i]);
        const QString palmSection = testsupport::sectionText(palm);
        QCOMPARE(palmSection.count("p=\"1\" d=\"1\""), 5);

        const QString setPath = dir.filePath("set.xml");
        testsupport::answerFileDialog(setPath);
        bool saved = false;
        QMetaObject::invokeMethod(&w, "save", Q_RETURN_ARG(bool, saved));
        QVERIFY(saved);
        QCOMPARE(w.currentDocumentName(), QString("set.xml"));

        MainWindow fresh;
        fresh.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fresh));
        QVERIFY(fresh.openSet(setPath));
        QCOMPARE(testsupport::sectionText(fresh.editor(0)), fingerSection);
        QCOMPARE(testsupport::sectionText(fresh.editor(10)), palmSection);
        QCOMPARE(fresh.image(0).size(), QSize(800, 600));

        testsupport::answerMessageBox(QMessageBox::Discard);
        fresh.close();
        testsupport::answerMessageBox(QMessageBox::Discard);
        w.close();
        QVERIFY(!finger->isVisible());
    }
};

// Starts a private X server for the test and returns its pid, or 0.
static pid_t startXvfb(const QString& xvfb, QByteArray* display)
{
    int fds[2];
    if (pipe(fds) != 0)
        return 0;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const QByteArray fd = QByteArray::number(fds[1]);
        execl(xvfb.toLocal8Bit().constData(), "Xvfb", "-displayfd", fd.constData(), "-screen",
              "0", "1600x1200x24", "-nolisten", "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    // The server writes its number and a newline once it is ready; the pipe
    // stays open until then, or the server dies of the broken pipe.
    QByteArray number;
    char c = 0;
    while (pid > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (number.isEmpty()) {
        if (pid > 0)
            kill(pid, SIGTERM);
        return 0;
    }
    *display = ":" + number;
    return pid;
}

int main(int argc, char** argv)
{
    const QString xvfb = QStandardPaths::findExecutable("Xvfb");
    if (xvfb.isEmpty()) {
        std::puts("SKIP: Xvfb is not installed, so the real-window test cannot run.");
        return skipped;
    }
    QByteArray display;
    const pid_t server = startXvfb(xvfb, &display);
    if (!server) {
        std::puts("SKIP: Xvfb did not start, so the real-window test cannot run.");
        return skipped;
    }
    qputenv("DISPLAY", display);
    qputenv("QT_QPA_PLATFORM", "xcb");
    int status;
    {
        QApplication app(argc, argv);
        TestRealWindow test;
        status = QTest::qExec(&test, argc, argv);
    }
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
    return status;
}

#include "tst_realwindow.moc"
