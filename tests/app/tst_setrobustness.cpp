#include "setfixture.h"

// Sets that cannot be written, scans that cannot be read, files that name what
// no set should hold: nothing is lost and nothing hangs.
class TestSetRobustness : public SetFixture
{
    Q_OBJECT
private slots:
    void initTestCase() { prepare(); }

    void failedSavesReportAndKeepTheOldFile()
    {
        MainWindow w;
        makeFullSet(w);
        const QByteArray before = contents(setPath);
        QString message;

        testsupport::captureMessageBox(&message);
        QVERIFY(!w.writeSet(path("no such folder/set.xml")));
        QVERIFY(message.contains("could not be saved"));
        QVERIFY(!QFile::exists(path("no such folder")));

        // A disk that runs out of room, as a file size limit: root is not stopped
        // by permissions, but is by this.
        w.editor(0)->setDpi(1200, 1200);
        rlimit old;
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
        rlimit small = old;
        small.rlim_cur = 2048;
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        message.clear();
        testsupport::captureMessageBox(&message);
        const bool written = w.writeSet(setPath);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previousHandler);
        QVERIFY(!written);
        QVERIFY(message.contains("could not be saved"));
        QCOMPARE(contents(setPath), before);
        QCOMPARE(QDir(dir.path()).entryList({"set.xml*"}, QDir::Files), QStringList{"set.xml"});
    }

    void savingIntoALockedFolder()
    {
        QTemporaryDir folder;
        const QString existing = folder.filePath("set.xml");
        QVERIFY(writeBytes(existing, "old"));
        MainWindow w;
        import(w, scan, 0);
        // The file rw-rw-rw-, its folder r-x for all; root, who ignores permissions,
        // saves as "nobody" meanwhile.
        QFile::setPermissions(existing, QFileDevice::Permissions(0x6666));
        QFile::setPermissions(folder.path(), QFileDevice::Permissions(0x5555));
        const bool dropped = geteuid() == 0 && setresuid(65534, 65534, 0) == 0;
        const auto restore = qScopeGuard([&]() {
            if (dropped)
                setresuid(0, 0, 0);
            QFile::setPermissions(folder.path(), QFileDevice::Permissions(0x7700));
        });
        if (QFileInfo(folder.path()).isWritable())
            QSKIP("the folder cannot be locked here");
        // Over an existing writable file the set is written in place, but a new file
        // still needs the folder.
        QString message;
        testsupport::captureMessageBox(&message, QMessageBox::Ok, 500);
        QVERIFY2(w.writeSet(existing), qPrintable(message));
        QVERIFY(contents(existing).contains("src=\"both hands.png\""));
        testsupport::captureMessageBox(&message);
        QVERIFY(!w.writeSet(folder.filePath("new.xml")));
        QVERIFY(message.contains("could not be saved"));
    }

    void setNamingAFifoOrADeviceOpens()
    {
        QTemporaryDir folder;
        const QByteArray fifo = QFile::encodeName(folder.filePath("pipe.png"));
        QCOMPARE(mkfifo(fifo.constData(), 0600), 0);
        QVERIFY(QFile::link("/dev/zero", folder.filePath("zero.png")));
        const QString set = folder.filePath("set.xml");
        QByteArray bytes = bothHandsSet(set);
        for (const char* name : {"pipe.png", "zero.png"})
            bytes.replace(bytes.indexOf("both hands.png"), 14, name);
        QVERIFY(writeBytes(set, bytes));

        // After five seconds a writer sets a read blocked on the FIFO free, so a hang
        // fails the test instead of stopping it.
        std::atomic<bool> done(false);
        std::atomic<bool> hung(false);
        std::thread watchdog([&]() {
            for (int i = 0; !done; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                if (i > 500) {
                    hung = true;
                    ::close(::open(fifo.constData(), O_WRONLY | O_NONBLOCK));
                }
            }
        });
        QString message;
        testsupport::captureMessageBox(&message);
        MainWindow reopened;
        const bool opened = reopened.openSet(set);
        done = true;
        watchdog.join();
        QVERIFY(!hung && opened);
        QVERIFY2(message.contains("pipe.png: Not a regular file")
                     && message.contains("zero.png: Not a regular file"), qPrintable(message));
        QVERIFY(reopened.image(0).isNull() && reopened.image(1).isNull());
    }

    void hostileCoordinatesCostNoMoreThanThePrint()
    {
        // The first print's crop reaches far beyond the print, its crease outline
        // beyond what an int holds; the second's outline spans 7000 pixels and has
        // two thousand cores, each to get its perpendicular.
        QByteArray bytes = bothHandsSet(setPath);
        const QByteArray crop = "  <crop>\r\n  </crop>\r\n";
        bytes.replace(bytes.indexOf(crop), crop.size(),
                      "<crop><point x=\"20\" y=\"30\"/><point x=\"1e300\" y=\"4e9\"/></crop>");
        const QByteArray flexion = "  <flexion>\r\n  </flexion>\r\n";
        bytes.replace(bytes.indexOf(flexion), flexion.size(),
                      "<flexion><point x=\"-3e15\" y=\"-3e15\"/><point x=\"1e300\" y=\"1e300\"/></flexion>");
        QByteArray cores = "<flexion><point x=\"0\" y=\"0\"/><point x=\"7000\" y=\"7000\"/></flexion><core>";
        for (int i = 0; i < 2000; ++i)
            cores += "<point x=\"" + QByteArray::number(i % 400) + "\" y=\"20\"/>";
        const QByteArray empty = "  <flexion>\r\n  </flexion>\r\n  <core>\r\n  </core>\r\n";
        bytes.replace(bytes.indexOf(empty), empty.size(), cores + "</core>");
        QVERIFY(writeBytes(setPath, bytes));

        MainWindow reopened;
        QVERIFY(reopened.openSet(setPath));
        QCOMPARE(reopened.editor(0)->glyphView()->croppedPixmap().size(), QSize(380, 270));
        for (int i = 0; i < 2; ++i) {
            auto* view = static_cast<TDermatoglyphEditor*>(reopened.editor(i))->dermatoglyphView();
            // The axis is fitted to what of the outline lies on the print.
            const QRectF print = view->sceneRect().adjusted(-1, -1, 1, 1);
            QVERIFY2(view->hasFlexionAxis() && print.contains(view->flexionAxis().p1())
                         && print.contains(view->flexionAxis().p2()), qPrintable(QString::number(i)));
            QCOMPARE(view->corePerpendicularItems().size(), i * 2000);
        }
    }

    void failedOpensKeepTheCurrentSet()
    {
        MainWindow w;
        makeFullSet(w);
        QVERIFY(w.openSet(setPath));
        const QByteArray whole = contents(setPath);
        const QString first = testsupport::sectionText(w.editor(0));
        const qint64 imageKey = w.image(0).cacheKey();

        QStringList broken;
        for (int tenth = 0; tenth < 10; ++tenth) {
            const QString cut = path(QString("cut%1.xml").arg(tenth));
            QVERIFY(writeBytes(cut, whole.left(whole.size() * tenth / 10)));
            broken << cut;
        }
        QByteArray foreign = whole;
        foreign.replace("dermatoglyphset>", "fingerprintset>");
        QVERIFY(writeBytes(path("foreign.xml"), foreign));
        broken << path("foreign.xml") << path("missing.xml");

        for (const QString& file : qAsConst(broken)) {
            QString message;
            testsupport::captureMessageBox(&message);
            QVERIFY2(!w.openSet(file), qPrintable(file));
            QVERIFY2(message.startsWith("Error"), qPrintable(file + ": " + message));
            QCOMPARE(w.currentDocumentName(), QString("set.xml"));
            QCOMPARE(w.currentDocumentDir(), dir.path());
            QCOMPARE(w.image(0).cacheKey(), imageKey);
            QCOMPARE(testsupport::sectionText(w.editor(0)), first);
        }
        QVERIFY(w.writeSet(path("after.xml")));
        QCOMPARE(contents(path("after.xml")), whole);
    }

    void importRefusesWhatItCannotShow()
    {
        // A header that claims 100 000 x 100 000 pixels: refused before decoding.
        const QString huge = path("huge.png");
        QVERIFY(writeBytes(huge, pngHeader(100000, 100000)));
        MainWindow w;
        QString message;
        testsupport::captureMessageBox(&message);
        import(w, huge, 3);
        QVERIFY2(message.contains("larger than"), qPrintable(message));
        QVERIFY(w.image(3).isNull());
        QVERIFY(w.imageName(3).isEmpty());

        const QString junk = path("junk.jpg");
        QVERIFY(writeBytes(junk, "not an image"));
        import(w, scan, 0);
        message.clear();
        testsupport::captureMessageBox(&message);
        import(w, junk);
        QVERIFY(message.contains("junk.jpg"));
        QCOMPARE(w.imageName(0), QString("both hands.png"));
        QCOMPARE(w.imageName(11), QString());
    }

    void controlCharactersReadBackOrStayOut()
    {
        // Tab, line feed and carriage return in image names and custom texts come back
        // as they were; other control characters never reach the file.
        const QStringList names = {"tab\there.png", "two\nlines\r.png", "bell\a.png"};
        MainWindow w;
        QString message;
        for (int i = 0; i < names.size(); ++i) {
            QVERIFY(testsupport::writeImage(path(names[i]), 40, 30, 300));
            testsupport::captureMessageBox(&message, QMessageBox::Ok, 500);
            import(w, path(names[i]), i);
        }
        QVERIFY2(message.contains("control character"), qPrintable(message));
        QVERIFY(w.imageName(2).isEmpty());
        TPalmSettings* panel = static_cast<TPalmEditor*>(w.editor(10))->settingsPanel();
        panel->patternOptionBox(0)->setCurrentText("custom");
        panel->patternTextItem(0)->setText(QString("a\tb\nc\r\nd") + QChar(1) + QChar(0xFFFF) + " e");
        const QString typed("a\tb\nc\r\nd e");
        QCOMPARE(panel->patternTextItem(0)->text(), typed);

        QVERIFY(w.writeSet(setPath));
        MainWindow reopened;
        message.clear();
        testsupport::captureMessageBox(&message, QMessageBox::Ok, 500);
        QVERIFY(reopened.openSet(setPath));
        QVERIFY2(message.isEmpty(), qPrintable(message));
        for (int i = 0; i < 2; ++i)
            QVERIFY(reopened.imageName(i) == names[i] && !reopened.image(i).isNull());
        auto* palm = static_cast<TPalmEditor*>(reopened.editor(10));
        QCOMPARE(palm->settingsPanel()->patternTextItem(0)->text(), typed);
    }
};

QTEST_MAIN(TestSetRobustness)
#include "tst_setrobustness.moc"
