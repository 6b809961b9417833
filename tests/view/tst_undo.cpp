#include "testsupport.h"

#include "annotation/sectionwriter.h"
#include "app/mainwindow.h"
#include "finger/tdermatoglypheditor.h"
#include "finger/tdermatoglyphview.h"
#include "finger/tfingersettings.h"
#include "palm/tpalmeditor.h"
#include "palm/tpalmsettings.h"
#include "palm/tpalmview.h"
#include "view/tgraphicsvertexitem.h"
#include "view/trcline.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QLabel>
#include <QStatusBar>
#include <QDoubleSpinBox>
#include <QSlider>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QUndoStack>
#include <QtTest>

#include <cstdio>
#include <cstring>
#include <functional>

// Drives an editor as the examiner does: mouse on the print, the side panel's
// buttons, the keys.
struct Hand {
    TGlyphEditor* editor;

    QWidget* viewport() const { return editor->glyphView()->viewport(); }
    QPoint at(const QPointF& scenePos) const { return editor->glyphView()->mapFromScene(scenePos); }
    void click(const QPointF& p, Qt::MouseButton button = Qt::LeftButton) const
    {
        QTest::mouseClick(viewport(), button, Qt::NoModifier, at(p));
    }
    void menu(const QString& entry, const QPointF& p, Qt::MouseButton button = Qt::LeftButton) const
    {
        testsupport::chooseMenuEntry(entry);
        click(p, button);
    }
    void drag(const QPointF& from, const QPointF& to) const
    {
        QTest::mousePress(viewport(), Qt::LeftButton, Qt::NoModifier, at(from));
        for (int i = 1; i <= 3; ++i) {
            const QPoint p = at(from + (to - from) * i / 3.0);
            QMouseEvent move(QEvent::MouseMove, p, viewport()->mapToGlobal(p), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(viewport(), &move);
        }
        QTest::mouseRelease(viewport(), Qt::LeftButton, Qt::NoModifier, at(to));
    }
    void press(const char* buttonText) const
    {
        for (QPushButton* b : editor->findChildren<QPushButton*>())
            if (b->text() == buttonText) {
                b->click();
                return;
            }
        QFAIL(buttonText);
    }
    template <typename T> T* child(const char* name) const { return editor->findChild<T*>(name); }
};

struct Step {
    QString name;
    std::function<void()> act;
};

// What the editor would write for state, so a failing comparison shows the section.
static QString text(const TGlyphEditor* editor, const TEditHistory::State& state)
{
    return sectionwriter::text(state.record, editor->kind(), true);
}

// Counts the restores of editor that missed their state, so a test fails on them.
static QSharedPointer<int> countMissedRestores(TGlyphEditor* editor)
{
    auto missed = QSharedPointer<int>::create(0);
    QObject::connect(editor->editHistory(), &TEditHistory::restoreFailed, editor,
                     [missed] { ++*missed; });
    return missed;
}

// Does step, checks it made exactly one entry of the history, undoes it with
// Ctrl+Z and redoes it with Ctrl+Y, comparing what the editor writes each time.
static void checkStep(TGlyphEditor* editor, const Step& step)
{
    const auto missed = countMissedRestores(editor);
    const TEditHistory::State before = editor->editState();
    const int entries = editor->history()->count();
    step.act();
    const TEditHistory::State after = editor->editState();
    QVERIFY2(after != before, qPrintable(step.name + " changed nothing"));
    QVERIFY2(editor->history()->count() == entries + 1, qPrintable(step.name));
    // A menu of the step may have taken the focus; the keys go to the editor.
    editor->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(editor));
    QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(text(editor, editor->editState()), text(editor, before));
    QVERIFY2(editor->editState() == before, qPrintable(step.name + " undone"));
    // Zoom box, slider and view agree after every undo and redo.
    auto* zoom = editor->findChild<QDoubleSpinBox*>("spinBoxScale");
    auto* slider = editor->findChild<QSlider*>("horizontalSlider");
    QVERIFY(qAbs(editor->glyphView()->transform().m11() * 100 - zoom->value()) < 0.01);
    QCOMPARE(slider->value(), int(zoom->value()));
    QTest::keyClick(editor, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(text(editor, editor->editState()), text(editor, after));
    QVERIFY2(editor->editState() == after, qPrintable(step.name + " redone"));
    QVERIFY(qAbs(editor->glyphView()->transform().m11() * 100 - zoom->value()) < 0.01);
    QCOMPARE(*missed, 0);
}

static QImage print()
{
    QImage image(400, 300, QImage::Format_Grayscale8);
    image.fill(230);
    image.setDotsPerMeterX(19685);
    image.setDotsPerMeterY(19685);
    return image;
}

template <typename Editor> static void show(Editor& editor)
{
    editor.show();
    editor.setWindowState(Qt::WindowNoState);
    editor.resize(1100, 800);
    editor.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    editor.importImage(print());
    editor.fitView();
}

class TestUndo : public QObject
{
    Q_OBJECT

    QList<Step> fingerSteps(TDermatoglyphEditor& e, const Hand& hand)
    {
        TDermatoglyphView* view = e.dermatoglyphView();
        auto line = [view]() { return view->coreTriradiusCountLines().value(0); };
        return {
            {"add core", [=, &e] { e.buttonCores->click(); hand.menu("Add core point", {120, 100}); }},
            {"add triradius", [=, &e] { e.buttonTriradia->click(); hand.menu("Add triradial point", {300, 110}); }},
            {"move core", [=, &e] { e.buttonCores->click(); hand.drag(view->coreItems().at(0)->pos(), {140, 80}); }},
            {"add ridge point", [=, &e] { e.buttonRidgeCount->click(); hand.click(line()->line().pointAt(0.4)); }},
            {"second ridge point", [=] { hand.click(line()->line().pointAt(0.7)); }},
            {"delete ridge point", [=] { hand.menu("Delete ridge point", line()->points().at(0)->pos(), Qt::RightButton); }},
            {"third ridge point", [=] { hand.click(line()->line().pointAt(0.55)); }},
            {"pick and delete a ridge point", [=, &e] {
                hand.click(line()->points().at(0)->pos());
                QVERIFY(line()->points().at(0)->isSelected());
                QTest::keyClick(&e, Qt::Key_Delete);
            }},
            {"trace radiant", [=, &e] {
                e.buttonRadiants->click();
                hand.menu("Add radiant", view->triradiusItems().at(0)->pos(), Qt::RightButton);
                hand.click({330, 150});
            }},
            {"second radiant point", [=] { hand.click({350, 180}); }},
            {"escape", [=] { QTest::keyClick(view, Qt::Key_Escape); }},
            {"delete radiants", [=] { hand.menu("Delete radiants", view->triradiusItems().at(0)->pos(), Qt::RightButton); }},
            {"flexion vertex", [=, &e] { e.buttonFlexion->click(); hand.click({40, 250}); }},
            {"second flexion vertex", [=] { hand.click({360, 260}); }},
            {"cancel flexion line", [=] { hand.press("Cancel flexion line"); }},
            {"classification", [=, &e] { QTest::mouseClick(e.findChild<QCheckBox*>("flexionRadial"), Qt::LeftButton); }},
            {"pattern", [=, &e] { QTest::keyClick(e.settingsPanel()->patternBox(), Qt::Key_Down); }},
            {"answer as shown", [=, &e] {
                auto* box = e.findChild<QComboBox*>("termination");
                emit box->activated(box->currentIndex());
            }},
            {"rotate", [=] { hand.child<QSpinBox>("spinBoxRotate")->setValue(30); }},
            {"mirror", [=] { hand.child<QCheckBox>("checkBoxFlip")->click(); }},
            {"resolution", [=] { hand.editor->setDpi(600, 600); }},
            {"calibrate", [=] {
                hand.press("calibrate");
                hand.click({50, 50});
                hand.click({250, 50});
            }},
            {"crop selection", [=] { hand.child<QPushButton>("buttonSelectCrop")->click(); hand.click({20, 20}); }},
            {"second crop point", [=] { hand.click({380, 280}); }},
            {"crop", [=] { hand.child<QPushButton>("buttonCrop")->click(); }},
            {"cancel ridge count", [=] { hand.press("Cancel ridge count"); }},
            {"core at the pointer", [=, &e] {
                QCursor::setPos(hand.viewport()->mapToGlobal(hand.at({60, 200})));
                QTest::keyClick(&e, Qt::Key_C, Qt::ShiftModifier);
            }},
            {"pick and delete a core", [=, &e] {
                e.buttonCores->click();
                hand.click(view->coreItems().at(0)->pos());
                QTest::keyClick(&e, Qt::Key_Delete);
            }},
            {"cancel core points", [=] { hand.press("Cancel core point(s)"); }},
            {"cancel triradial points", [=] { hand.press("Cancel triradial point(s)"); }},
        };
    }

private slots:
    void initTestCase()
    {
        testsupport::isolateSettings();
    }

    void everyFingerStepUndoesAndRedoes()
    {
        TDermatoglyphEditor editor;
        show(editor);
        const Hand hand{&editor};
        QCOMPARE(editor.history()->count(), 0);
        QList<QToolButton*> buttons;
        for (QToolButton* b : editor.findChildren<QToolButton*>())
            if (b->text() == "Undo" || b->text() == "Redo")
                buttons.append(b);
        QToolButton* undo = buttons.value(0);
        QVERIFY(undo && !undo->isEnabled());
        for (const Step& step : fingerSteps(editor, hand)) {
            checkStep(&editor, step);
            if (QTest::currentTestFailed())
                return;
        }
        // The buttons name the step they take back.
        QCOMPARE(buttons.at(0)->toolTip(), QString("Undo Cancel triradial point(s)"));
        buttons.at(0)->click();
        QVERIFY(buttons.at(1)->isEnabled());
        QCOMPARE(buttons.at(1)->toolTip(), QString("Redo Cancel triradial point(s)"));
    }

    void everyPalmStepUndoesAndRedoes()
    {
        TPalmEditor editor;
        show(editor);
        const Hand hand{&editor};
        TPalmView* view = editor.palmGlyphView();
        const QList<Step> steps = {
            {"place a", [&] { editor.triradiaButton()->click(); hand.menu("Add triradius a", {60, 80}); }},
            {"place b", [&] { hand.menu("Add triradius b", {300, 90}); }},
            {"place o1", [&] { hand.menu("Add triradius o1", {200, 250}); }},
            {"ridge point", [&] { editor.ridgeCountButton()->click(); hand.click(view->countLine(0)->line().pointAt(0.5)); }},
            {"core", [&] { editor.coresButton()->click(); hand.menu("Add core point", {150, 200}); }},
            {"move a", [&] { editor.triradiaButton()->click(); hand.drag({60, 80}, {70, 70}); }},
            {"present", [&] { editor.presentBox(palmlines::T)->click(); }},
            {"row cancel", [&] { editor.cancelTriradiusButton(14)->click(); }},
            {"classification", [&] { QTest::keyClick(editor.settingsPanel()->dualBox(3), Qt::Key_Down); }},
            {"custom option", [&] { QTest::keyClick(editor.settingsPanel()->patternOptionBox(4), Qt::Key_Down); }},
            {"custom text", [&] { editor.settingsPanel()->patternTextItem(4)->setText("Lx"); }},
            {"cancel radiants and all triradii", [&] { hand.press("Cancel triradial point(s)"); }},
        };
        for (const Step& step : steps) {
            checkStep(&editor, step);
            if (QTest::currentTestFailed())
                return;
        }
    }

    void longRandomSequenceGoesBackAndForth()
    {
        TDermatoglyphEditor editor;
        show(editor);
        const Hand hand{&editor};
        TDermatoglyphView* view = editor.dermatoglyphView();
        QRandomGenerator random(20261209);
        auto anywhere = [&random]() { return QPointF(20 + random.bounded(360), 20 + random.bounded(260)); };
        const QList<std::function<void()>> actions = {
            [&] { editor.buttonCores->click(); hand.menu("Add core point", anywhere()); },
            [&] { editor.buttonTriradia->click(); hand.menu("Add triradial point", anywhere()); },
            [&] {
                editor.buttonRidgeCount->click();
                if (TRCLine* l = view->coreTriradiusCountLines().value(0, view->coreCoreCountLine()))
                    hand.click(l->line().pointAt(0.1 + random.bounded(80) / 100.0));
            },
            [&] {
                editor.buttonCores->click();
                if (!view->coreItems().isEmpty())
                    hand.drag(view->coreItems().at(0)->pos(), anywhere());
            },
            [&] { editor.buttonFlexion->click(); hand.click(anywhere()); },
            [&] { hand.child<QSpinBox>("spinBoxRotate")->setValue(random.bounded(360)); QTest::qWait(0); },
            [&] { hand.child<QCheckBox>("checkBoxFlip")->click(); },
            [&] { hand.press("Cancel core point(s)"); },
            [&] { QTest::mouseClick(editor.findChild<QCheckBox*>("extralimitalUlnar"), Qt::LeftButton); },
        };
        const auto missed = countMissedRestores(&editor);
        QList<TEditHistory::State> states{editor.editState()};
        for (int i = 0; i < 120; ++i) {
            actions.at(random.bounded(actions.size()))();
            // Turns within a second merge into one step, like the spin box's own.
            if (editor.history()->count() == states.size())
                states.append(editor.editState());
            else if (editor.editState() != states.last())
                states.last() = editor.editState();
        }
        QVERIFY(states.size() > 40);
        QCOMPARE(editor.history()->count(), states.size() - 1);
        for (int i = states.size() - 2; i >= 0; --i) {
            editor.history()->undo();
            QCOMPARE(text(&editor, editor.editState()), text(&editor, states.at(i)));
        }
        for (int i = 1; i < states.size(); ++i) {
            editor.history()->redo();
            QCOMPARE(text(&editor, editor.editState()), text(&editor, states.at(i)));
        }
        QCOMPARE(*missed, 0);
    }

    void traceGoesOnFromTheSameLandmark()
    {
        TDermatoglyphEditor editor;
        show(editor);
        const Hand hand{&editor};
        TDermatoglyphView* view = editor.dermatoglyphView();
        const auto missed = countMissedRestores(&editor);
        // A core put back by undo comes before the traced triradius in the lists.
        editor.buttonTriradia->click();
        hand.menu("Add triradial point", {380, 60});
        editor.buttonCores->click();
        hand.menu("Add core point", {300, 250});
        hand.press("Cancel core point(s)");
        editor.buttonRadiants->click();
        TGraphicsVertexItem* traced = view->triradiusItems().at(0);
        hand.menu("Add radiant", traced->pos(), Qt::RightButton);
        editor.history()->undo();
        QCOMPARE(view->coreItems().size(), 1);
        hand.click({350, 150});
        QCOMPARE(view->tracedLandmark(), traced);
        QCOMPARE(traced->ridgeLines().size(), 1);
        QVERIFY(view->coreItems().at(0)->ridgeLines().isEmpty());

        // Turned half round and back: the left triradius is still the one traced.
        hand.press("Cancel triradial point(s)");
        editor.buttonTriradia->click();
        hand.menu("Add triradial point", {100, 150});
        hand.menu("Add triradial point", {300, 150});
        editor.buttonRadiants->click();
        traced = view->triradiusItems().at(0);
        hand.menu("Add radiant", traced->pos(), Qt::RightButton);
        hand.child<QSpinBox>("spinBoxRotate")->setValue(180);
        editor.history()->undo();
        hand.click({120, 250});
        QCOMPARE(view->tracedLandmark(), traced);
        QCOMPARE(view->triradiusItems().at(0), traced);
        QCOMPARE(traced->ridgeLines().size(), 1);
        QVERIFY(view->triradiusItems().at(1)->ridgeLines().isEmpty());
        QCOMPARE(*missed, 0);
    }

    void suggestedRidgePointsAreOneStep()
    {
        QImage ridges(400, 300, QImage::Format_Grayscale8);
        ridges.fill(235);
        for (int x = 64; x < 336; x += 12)
            for (int y = 0; y < 300; ++y)
                memset(ridges.scanLine(y) + x, 40, 4);
        TPalmEditor editor;
        show(editor);
        editor.importImage(ridges);
        editor.fitView();
        const Hand hand{&editor};
        TPalmView* view = editor.palmGlyphView();
        view->addTriradius(palmlines::A, QPointF(45, 150));
        view->addTriradius(palmlines::B, QPointF(355, 150));
        view->connectPoints();
        editor.startHistory();
        editor.ridgeCountButton()->click();
        hand.menu("Suggest ridge points", {200, 150}, Qt::RightButton);
        QCOMPARE(view->countLine(0)->count(), 23);
        QCOMPARE(editor.history()->count(), 1);
        // The examiner is told what was placed, and sees the ridges under it.
        QVERIFY2(editor.statusBar()->currentMessage().startsWith(
                     "23 ridge points suggested: 23 on a\u2013b."),
                 qPrintable(editor.statusBar()->currentMessage()));
        QCOMPARE(view->countLine(0)->points().at(0)->brush().style(), Qt::NoBrush);
        hand.press("Suggest ridge points");   // nothing more to suggest: no step
        QCOMPARE(editor.history()->count(), 1);
        editor.history()->undo();
        QCOMPARE(view->countLine(0)->count(), 0);
        // The navigator names the sides of a left palm as taken, and mirrored.
        auto* left = editor.findChild<QLabel*>("labelRadial");
        editor.setName("LPalm");
        QCOMPARE(left->text(), QString("\tUlnar side"));
        hand.child<QCheckBox>("checkBoxFlip")->click();
        QCOMPARE(left->text(), QString("\tRadial side"));
        editor.history()->undo();
        QCOMPARE(left->text(), QString("\tUlnar side"));
    }

    void slotCancelIsUndoneInItsEditor()
    {
        QTemporaryDir dir;
        const QString scan = dir.filePath("scan.png");
        QVERIFY(testsupport::writeImage(scan, 400, 300, 500));
        MainWindow w;
        QVERIFY(QMetaObject::invokeMethod(&w, "importImage", Q_ARG(QString, scan), Q_ARG(int, 2)));
        auto* editor = static_cast<TDermatoglyphEditor*>(w.editor(2));
        editor->dermatoglyphView()->addLandmark(QPointF(100, 100), Core);
        editor->recordStep();
        const QString annotated = editor->annotationText();
        testsupport::answerMessageBox(QMessageBox::Discard);
        w.findChild<QPushButton*>("buttonCancel3L")->click();
        QVERIFY(editor->dermatoglyphView()->coreItems().isEmpty());
        editor->history()->undo();
        QCOMPARE(editor->annotationText(), annotated);

        // A new import starts afresh.
        testsupport::answerMessageBox(QMessageBox::Discard);
        QVERIFY(QMetaObject::invokeMethod(&w, "importImage", Q_ARG(QString, scan), Q_ARG(int, 2)));
        QCOMPARE(editor->history()->count(), 0);
    }
};

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
