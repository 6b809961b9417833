#include "finger/tdermatoglypheditor.h"

#include "annotation/tglyphrecord.h"
#include "finger/tdermatoglyphview.h"
#include "finger/tfingersettings.h"
#include "view/filechoice.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSettings>
#include <QSpacerItem>
#include <QVBoxLayout>

TDermatoglyphEditor::TDermatoglyphEditor(QWidget* parent)
    : TGlyphEditor(parent)
{
    fingerView = new TDermatoglyphView;
    fingerView->setFrameStyle(QFrame::NoFrame);
    view = fingerView;
    centralLayout()->addWidget(fingerView);
    panel = new TFingerSettings;
    centralLayout()->addWidget(panel);
    setupConnections();

    auto tool = [](const QString& text) {
        auto* button = new QPushButton(text);
        button->setCheckable(true);
        return button;
    };
    auto cancel = [](const QString& text) {
        return new QPushButton(QIcon(":/images/cancel.png"), text);
    };
    buttonFlexion = tool("Delimit flexion crease");
    buttonCores = tool("Add core point(s)");
    buttonTriradia = tool("Add triradial point(s)");
    buttonRidgeCount = tool("Add ridge count");
    buttonRadiants = tool("Trace radiants");
    buttonCentralLines = tool("Trace central line(s)");
    buttonCancelFlexion = cancel("Cancel flexion line");
    buttonCancelCores = cancel("Cancel core point(s)");
    buttonCancelTriradia = cancel("Cancel triradial point(s)");
    buttonCancelRidgeCount = cancel("Cancel ridge count");
    buttonCancelRadiants = cancel("Cancel radiants");
    buttonCancelCentralLines = cancel("Cancel central line(s)");

    QVBoxLayout* side = sidePanelLayout();
    auto gap = [side]() { side->addItem(new QSpacerItem(0, 12, QSizePolicy::Minimum, QSizePolicy::Fixed)); };
    gap();
    for (QPushButton* b : {buttonFlexion, buttonCores, buttonTriradia, buttonRidgeCount})
        side->addWidget(b);
    buttonSuggestRidgePoints = new QPushButton("Suggest ridge points");
    side->addWidget(buttonSuggestRidgePoints);
    gap();
    side->addWidget(buttonRadiants);
    side->addWidget(buttonCentralLines);
    gap();
    for (QPushButton* b : {buttonCancelFlexion, buttonCancelCores, buttonCancelTriradia,
                           buttonCancelRidgeCount, buttonCancelRadiants, buttonCancelCentralLines})
        side->addWidget(b);

    toolGroup = new QButtonGroup(this);
    for (QPushButton* b : {buttonFlexion, buttonCores, buttonTriradia, buttonRidgeCount,
                           buttonRadiants, buttonCentralLines, selectCropButton()})
        toolGroup->addButton(b);

    connect(buttonFlexion, &QPushButton::toggled, fingerView, &TDermatoglyphView::paintFlex);
    connect(buttonCores, &QPushButton::toggled, fingerView, &TDermatoglyphView::addCores);
    connect(buttonTriradia, &QPushButton::toggled, fingerView, &TDermatoglyphView::addTriradia);
    connect(buttonRidgeCount, &QPushButton::toggled, fingerView, &TDermatoglyphView::addRidgePoints);
    connect(buttonRadiants, &QPushButton::toggled, fingerView, &TDermatoglyphView::addRadiants);
    connect(buttonCentralLines, &QPushButton::toggled, fingerView,
            &TDermatoglyphView::addCentralLines);

    connect(buttonCancelRidgeCount, &QPushButton::clicked, fingerView,
            &TDermatoglyphView::cancelRidgePoints);
    connect(buttonCancelFlexion, &QPushButton::clicked, fingerView,
            &TDermatoglyphView::cancelFlexionLine);
    connect(buttonCancelCores, &QPushButton::clicked, fingerView, &TDermatoglyphView::cancelCores);
    connect(buttonCancelTriradia, &QPushButton::clicked, fingerView,
            &TDermatoglyphView::cancelTriradia);
    connect(buttonCancelRadiants, &QPushButton::clicked, fingerView,
            &TDermatoglyphView::cancelRadiants);
    connect(buttonCancelCentralLines, &QPushButton::clicked, fingerView,
            &TDermatoglyphView::cancelCentralLines);

    connect(fingerView, &TDermatoglyphView::count, panel, &TFingerSettings::updatePanels);

    connect(buttonSuggestRidgePoints, &QPushButton::clicked, fingerView,
            &TDermatoglyphView::suggestRidgePoints);

    side->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding));
    trackActions();
}

QVector<TEditHistory::Action> TDermatoglyphEditor::recordedActions()
{
    using H = TEditHistory;
    QVector<H::Action> actions = TGlyphEditor::recordedActions();
    for (QPushButton* b : {buttonCancelFlexion, buttonCancelCores, buttonCancelTriradia,
                           buttonCancelRidgeCount, buttonCancelRadiants, buttonCancelCentralLines})
        actions.append(H::on(b, &QPushButton::clicked, b->text()));
    actions.append(H::on(panel, &TFingerSettings::changed, "Classification"));
    actions.append(H::on(buttonSuggestRidgePoints, &QPushButton::clicked, "Suggest ridge points"));
    return actions;
}

TGlyphRecord TDermatoglyphEditor::record() const
{
    TGlyphRecord r = fingerView->record();
    r.settings = panel->record().settings;
    return r;
}

void TDermatoglyphEditor::loadAnnotation(const TGlyphRecord& record)
{
    TGlyphEditor::loadAnnotation(record);
    fingerView->loadAnnotation(record);
    if (panel->record().settings != record.settings)
        panel->load(record);
}

void TDermatoglyphEditor::saveFile()
{
    const QString fileName = filechoice::ask(this, *settings, "path", filechoice::Save,
                                             "Save File As..", "*.xml");
    if (fileName.isEmpty())
        return;
    fingerView->save(fileName, panel, true);
}

void TDermatoglyphEditor::exportFile()
{
}

void TDermatoglyphEditor::reset()
{
    TGlyphEditor::reset();
    // Tracing radiants or central lines usually goes on over the next print.
    uncheck({buttonCores, buttonTriradia, buttonRidgeCount, buttonFlexion});
    panel->clear();
}
