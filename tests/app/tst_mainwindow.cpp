#include "setfixture.h"

class TestMainWindow : public SetFixture
{
    Q_OBJECT
private slots:
    void initTestCase() { prepare(); }

    void oneImportedSlotIsWrittenToTheByte()
    {
        const QString a = path("a.jpg");
        QVERIFY(testsupport::writeImage(a, 800, 600, 500));
        MainWindow w;
        import(w, a, 0);
        const QString out = path("a-set.xml");
        QVERIFY(w.writeSet(out));
        const QList<QByteArray> lines = contents(out).split('\n');
        QCOMPARE(lines[0], QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r"));
        QCOMPARE(lines[1], QByteArray("<dermatoglyphset>\r"));
        QCOMPARE(lines[2], QByteArray("  <images>\r"));
        QCOMPARE(lines[3], QByteArray("    <image src=\"a.jpg\" xdpi=\"500\" ydpi=\"500\" width=\"800\" height=\"600\" />\r"));
        for (int i = 4; i < 15; ++i)
            QCOMPARE(lines[i], QByteArray("    <image src=\"\" xdpi=\"0\" ydpi=\"0\" width=\"0\" height=\"0\" />\r"));
        QCOMPARE(lines[15], QByteArray("  </images>\r"));
        QCOMPARE(lines[16], QByteArray("<dermatoglyph>\r"));
        QCOMPARE(lines[lines.size() - 2], QByteArray("</dermatoglyphset>\r"));
        QVERIFY(lines.last().isEmpty());
        QCOMPARE(contents(out).count("<dermatoglyph>"), 12);
    }

    void fullSetSurvivesSaveOpenSave()
    {
        MainWindow w;
        makeFullSet(w);
        const QByteArray saved = contents(setPath);
        QCOMPARE(saved.count("src=\"both hands.png\" xdpi=\"600\" ydpi=\"600\" width=\"400\" height=\"300\""), 12);
        QVERIFY(saved.contains("R&amp;D &quot;loop&quot; &lt;2&gt;"));

        MainWindow fresh;
        QVERIFY(fresh.openSet(setPath));
        QCOMPARE(fresh.currentDocumentName(), QString("set.xml"));
        // One decoded image serves all twelve slots.
        for (int i = 1; i < 12; ++i)
            QCOMPARE(fresh.image(i).cacheKey(), fresh.image(0).cacheKey());
        for (int i = 0; i < 12; ++i)
            compareLines(testsupport::sectionText(fresh.editor(i)), testsupport::sectionText(w.editor(i)));
        const QString again = path("again.xml");
        QVERIFY(fresh.writeSet(again));
        QCOMPARE(contents(again), saved);

        // After Open, Save goes to the opened file without asking for a name.
        bool asked = false;
        testsupport::onNextModal([&asked](QWidget* modal) { asked = true; modal->close(); }, 500);
        fresh.editor(1)->setDpi(300, 301);
        QVERIFY(save(fresh));
        QTest::qWait(600);
        QVERIFY(!asked);
        QVERIFY(contents(setPath).contains("xdpi=\"300\" ydpi=\"301\""));
        QVERIFY(writeBytes(setPath, saved));

        // Without its size attributes the set opens the same.
        QByteArray sizeless = saved;
        sizeless.replace(" width=\"400\" height=\"300\"", "");
        const QString sizelessPath = path("sizeless.xml");
        QVERIFY(writeBytes(sizelessPath, sizeless));
        MainWindow third;
        QVERIFY(third.openSet(sizelessPath));
        QVERIFY(third.writeSet(again));
        QCOMPARE(contents(again), saved);
    }

    void setMovedWithoutItsImagesKeepsItsAnnotations()
    {
        MainWindow w;
        makeFullSet(w);
        QTemporaryDir elsewhere;
        const QString moved = elsewhere.filePath("set.xml");
        QVERIFY(QFile::copy(setPath, moved));
        MainWindow reopened;
        QString message;
        testsupport::captureMessageBox(&message);
        QVERIFY(reopened.openSet(moved));
        QVERIFY(message.contains("both hands.png"));
        for (int i = 0; i < 12; ++i) {
            QVERIFY(reopened.image(i).isNull());
            QCOMPARE(reopened.imageName(i), QString("both hands.png"));
            compareLines(testsupport::sectionText(reopened.editor(i)), testsupport::sectionText(w.editor(i)));
        }
    }

    void annotatedSlotsAskBeforeTheyAreCleared()
    {
        MainWindow w;
        import(w, scan);
        auto* finger = static_cast<TDermatoglyphEditor*>(w.editor(0));
        auto* palm = static_cast<TPalmEditor*>(w.editor(10));
        finger->dermatoglyphView()->addLandmark(QPointF(100, 100), Core);
        palm->palmGlyphView()->addTriradius(palmlines::A, QPointF(50, 60));
        auto cancelButton = [&w](const char* name) { w.findChild<QPushButton*>(name)->click(); };

        QString question;
        testsupport::captureMessageBox(&question, QMessageBox::Cancel);
        cancelButton("buttonCancel1L");
        QVERIFY2(question.contains("L1") && !question.contains("LPalm"), qPrintable(question));
        QCOMPARE(finger->dermatoglyphView()->coreItems().size(), 1);
        testsupport::answerMessageBox(QMessageBox::Discard);
        cancelButton("buttonCancel1L");
        QVERIFY(finger->dermatoglyphView()->coreItems().isEmpty());

        // A hand import names the slots it would clear, and Cancel keeps them.
        question.clear();
        testsupport::captureMessageBox(&question, QMessageBox::Cancel);
        QVERIFY(QMetaObject::invokeMethod(&w, "importImageLeft", Q_ARG(QString, path("other.png"))));
        QVERIFY2(question.contains("LPalm") && !question.contains("L1,"), qPrintable(question));
        QVERIFY(palm->palmGlyphView()->triradius(palmlines::A));

        // A slot without annotation asks nothing.
        question.clear();
        testsupport::captureMessageBox(&question, QMessageBox::Cancel);
        cancelButton("buttonCancel4L");
        QTest::qWait(50);
        QVERIFY(question.isEmpty());
    }

    void newAndCancelledSaveAs()
    {
        MainWindow w;
        // The title as shown: an asterisk while work is not saved.
        auto title = [&w] {
            return w.windowTitle().replace("[*]", w.isWindowModified() ? "*" : "");
        };
        import(w, scan);
        // Titles name the set, "Untitled" until it has a name; Ctrl+S saves it.
        QCOMPARE(title(), QString("Ridgemap \u2014 Untitled*"));
        QCOMPARE(w.editor(10)->windowTitle(), QString("LPalm \u2014 Untitled \u2014 Ridgemap"));
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        testsupport::answerFileDialog(path("titled.xml"));
        QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(QFile::exists(path("titled.xml")));
        QCOMPARE(title(), QString("Ridgemap \u2014 titled.xml"));
        QCOMPARE(w.editor(0)->windowTitle(), QString("L1 \u2014 titled.xml \u2014 Ridgemap"));

        // Ctrl+S in an editor saves the whole set, never one print over it.
        auto* editor = static_cast<TDermatoglyphEditor*>(w.editor(0));
        editor->dermatoglyphView()->addLandmark(QPointF(100, 100), Core);
        editor->recordStep();
        QCOMPARE(title(), QString("Ridgemap \u2014 titled.xml*"));
        editor->show();
        editor->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(editor));
        QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(contents(path("titled.xml")).startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<dermatoglyphset>"));
        QVERIFY(contents(path("titled.xml")).contains("<core>\r\n    <point x=\"100\" y=\"100\" />"));
        QCOMPARE(title(), QString("Ridgemap \u2014 titled.xml"));
        // Its own export refuses a set file: it would replace the set by one print.
        QString refusal;
        testsupport::answerFileDialog(path("titled.xml"));
        testsupport::onNextMessageBox([&refusal](QMessageBox* replace) {
            replace->button(QMessageBox::Yes)->click();
            testsupport::captureMessageBox(&refusal);
        });
        editor->findChild<QPushButton*>("buttonExportAnnotation")->click();
        QTRY_VERIFY(refusal.contains("is a set file"));
        QVERIFY(contents(path("titled.xml")).contains("<dermatoglyphset>"));
        editor->hide();

        // Nothing unsaved: Open asks nothing; with work unsaved it asks first.
        QString question;
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        bool asked = false;
        bool shown = false;
        testsupport::onNextModal([&asked, &shown](QWidget* modal) {
            shown = true;
            asked = qobject_cast<QMessageBox*>(modal);
            static_cast<QDialog*>(modal)->reject();
        });
        QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
        QTRY_VERIFY(shown);
        QVERIFY(!asked);
        editor->history()->undo();
        QVERIFY(w.isModified());
        testsupport::captureMessageBox(&question, QMessageBox::Cancel);
        QVERIFY(QMetaObject::invokeMethod(&w, "open"));
        QVERIFY(question.contains("before opening"));
        // The import dialog offers every kind of scan at once, first.
        QStringList filters;
        testsupport::onNextModal([&filters](QWidget* modal) {
            if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
                filters = dialog->nameFilters();
                filters.prepend(dialog->selectedNameFilter());
                dialog->reject();
            }
        });
        w.findChild<QPushButton*>("buttonImport2L")->click();
        QCOMPARE(filters.value(0), QString("Images (*.jpg *.jpeg *.tif *.tiff *.png)"));
        QCOMPARE(filters.mid(2), (QStringList{"*.jpg *.jpeg", "*.tif *.tiff", "*.png"}));
        testsupport::answerMessageBox(QMessageBox::Discard);
        QVERIFY(QMetaObject::invokeMethod(&w, "newFile"));
        QCOMPARE(title(), QString("Ridgemap \u2014 Untitled"));
        import(w, scan);
        // No name yet: Save asks for one, and cancelling it saves nothing.
        testsupport::answerFileDialog(QString());
        QVERIFY(!save(w));
        QVERIFY(w.currentDocumentName().isEmpty());
        // A name without suffix gets the one the Open dialog lists; others stay.
        for (const auto& [typed, written] : {std::pair("named", "named.xml"),
                                             std::pair("kept.set", "kept.set")}) {
            testsupport::answerFileDialog(path(typed));
            QVERIFY(QMetaObject::invokeMethod(&w, "saveAs"));
            QCOMPARE(w.currentDocumentName(), QString(written));
            QVERIFY(contents(path(written)).startsWith("<?xml"));
        }

        // Saved: New asks nothing.
        QVERIFY(QMetaObject::invokeMethod(&w, "newFile"));
        for (int i = 0; i < 12; ++i) {
            QVERIFY(w.image(i).isNull());
            QVERIFY(w.imageName(i).isEmpty());
            QCOMPARE(w.editor(i)->xPpi(), 0);
        }
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
