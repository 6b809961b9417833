#include "testsupport.h"

#include "app/mainwindow.h"
#include "app/startup.h"
#include "app/tsetrecovery.h"
#include "finger/tdermatoglypheditor.h"
#include "finger/tdermatoglyphview.h"

#include <QApplication>
#include <QBuffer>
#include <QDateTime>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <cstdio>

// The child's part: an examiner's session that imports a scan and places a core
// every tenth of a second, telling each step and its time, until it is killed.
static int annotateUntilKilled(const QString& scan)
{
    MainWindow window;
    QMetaObject::invokeMethod(&window, "importImage", Q_ARG(QString, scan), Q_ARG(int, 0));
    auto* editor = static_cast<TDermatoglyphEditor*>(window.editor(0));
    int step = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ++step;
        editor->dermatoglyphView()->addLandmark(QPointF(5 + step % 390, 5 + step / 390 * 10), Core);
        editor->recordStep();
        std::printf("step %d %lld\n", step, QDateTime::currentMSecsSinceEpoch());
        std::fflush(stdout);
    });
    timer.start(100);
    return QApplication::exec();
}

// The set's text as saving would write it, declaration included.
static QByteArray setText(const MainWindow& window)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QTextStream out(&buffer);
    out.setCodec("UTF-8");
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
    window.writeSetTo(out);
    out.flush();
    return bytes;
}

class TestRecovery : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void initTestCase() { testsupport::isolateSettings(); }

    void killedSessionComesBackWithItsLastCopy()
    {
        const QString scan = dir.filePath("finger.png");
        QVERIFY(testsupport::writeImage(scan, 400, 300, 500));
        // A copy every second instead of every half minute, here and in the child.
        qputenv("RIDGEMAP_RECOVERY_SECONDS", "1");
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {"--annotate-until-killed", scan});
        QVERIFY(child.waitForStarted());
        QList<QPair<int, qint64>> steps;
        while (steps.size() < 30 && child.waitForReadyRead(5000))
            while (child.canReadLine()) {
                const QList<QByteArray> words = child.readLine().trimmed().split(' ');
                steps.append({words.value(1).toInt(), words.value(2).toLongLong()});
            }
        QVERIFY(steps.size() >= 30);
        ::kill(pid_t(child.processId()), SIGKILL);
        const qint64 killed = QDateTime::currentMSecsSinceEpoch();
        QVERIFY(child.waitForFinished());

        const QList<TSetRecovery::Copy> copies = TSetRecovery::leftBehind();
        QCOMPARE(copies.size(), 1);
        const QByteArray copy = copies.first().text.toUtf8();
        QVERIFY(copies.first().set.isEmpty());

        MainWindow window;
        QString offer;
        testsupport::onNextMessageBox([&offer](QMessageBox* box) {
            offer = box->text();
            for (QAbstractButton* b : box->buttons())
                if (b->text() == "Restore")
                    b->click();
        });
        startup::begin(window, {"ridgemap"});
        QVERIFY(offer.contains("a new set"));
        // What comes back is the last copy, byte for byte, and still unsaved.
        QCOMPARE(setText(window), copy);
        QVERIFY(window.isModified());
        // It holds every step taken more than a copy's interval before the kill.
        int older = 0;
        for (const auto& step : steps)
            if (step.second < killed - TSetRecovery::interval())
                older = step.first;
        auto* editor = static_cast<TDermatoglyphEditor*>(window.editor(0));
        QVERIFY2(editor->dermatoglyphView()->coreItems().size() >= older,
                 qPrintable(QString("%1 cores, %2 steps").arg(editor->dermatoglyphView()->coreItems().size()).arg(older)));
        QVERIFY(older > 10);
        // Taken back: the next start offers nothing; a clean close leaves nothing.
        QVERIFY(TSetRecovery::leftBehind().isEmpty());
        testsupport::answerMessageBox(QMessageBox::Discard);
        QVERIFY(window.close());
        QVERIFY(QDir(TSetRecovery::folder()).entryList({"*.xml"}, QDir::Files).isEmpty());
    }

    void setNamedAloneOpensInTheWindow()
    {
        const QString scan = dir.filePath("alone.png");
        QVERIFY(testsupport::writeImage(scan, 40, 30, 300));
        const QString set = dir.filePath("alone.xml");
        {
            MainWindow window;
            QVERIFY(QMetaObject::invokeMethod(&window, "importImage", Q_ARG(QString, scan), Q_ARG(int, 3)));
            QVERIFY(window.writeSet(set));
        }
        QVERIFY(startup::wantsWindow({"ridgemap", set}));
        QVERIFY(startup::wantsWindow({"ridgemap"}));
        QVERIFY(!startup::wantsWindow({"ridgemap", "--results", "-", set}));
        QVERIFY(!startup::wantsWindow({"ridgemap", set, set}));
        MainWindow window;
        startup::begin(window, {"ridgemap", set});
        QCOMPARE(window.currentDocumentName(), QString("alone.xml"));
        QCOMPARE(window.imageName(3), QString("alone.png"));
        QVERIFY(!window.isModified());
    }
};

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    // The child keeps its copies where the parent test looks (its data folder
    // comes with the environment).
    if (argc == 3 && QByteArray(argv[1]) == "--annotate-until-killed")
        return annotateUntilKilled(QString::fromLocal8Bit(argv[2]));
    TestRecovery test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_recovery.moc"
