#include "view/tannotationeditor.h"

#include "annotation/setfile.h"
#include "view/editorkeys.h"
#include "view/filechoice.h"
#include "view/tannotationview.h"

#include <QAction>
#include <QButtonGroup>
#include <QFileInfo>
#include <QSettings>
#include <QStatusBar>
#include <QTableWidgetItem>
#include <QPushButton>
#include <QVBoxLayout>

TAnnotationEditor::TAnnotationEditor(QWidget* parent)
    : TGlyphEditor(parent)
{
}

QPushButton* TAnnotationEditor::toolButton(const QString& text)
{
    auto* button = new QPushButton(text);
    button->setCheckable(true);
    return button;
}

QPushButton* TAnnotationEditor::cancelButton(const QString& text)
{
    return new QPushButton(QIcon(":/images/cancel.png"), text);
}

void TAnnotationEditor::setupTools(TAnnotationView* annotations, QPushButton* ownTool,
                                   QPushButton* ownCancel)
{
    buttonCores = toolButton("Add core point(s)");
    buttonTriradia = toolButton("Add triradial point(s)");
    buttonRidgeCount = toolButton("Add ridge count");
    buttonRadiants = toolButton("Trace radiants");
    buttonCentralLines = toolButton("Trace central line(s)");
    buttonSuggestRidgePoints = new QPushButton("Suggest ridge points");
    buttonSuggestLandmarks = new QPushButton("Suggest landmarks");
    buttonCancelCores = cancelButton("Cancel core point(s)");
    buttonCancelTriradia = cancelButton("Cancel triradial point(s)");
    buttonCancelRidgeCount = cancelButton("Cancel ridge count");
    buttonCancelRadiants = cancelButton("Cancel radiants");
    buttonCancelCentralLines = cancelButton("Cancel central line(s)");

    toolGroup = new QButtonGroup(this);
    QList<QPushButton*> placing = {buttonCores, buttonTriradia, buttonRidgeCount, buttonRadiants,
                                   buttonCentralLines};
    if (ownTool)
        placing.prepend(ownTool);
    for (QPushButton* b : qAsConst(placing)) {
        toolGroup->addButton(b);
        addTool(b);
    }
    toolGroup->addButton(selectCropButton());
    addToolSeparator();
    addTool(buttonSuggestLandmarks);
    addTool(buttonSuggestRidgePoints);

    using namespace editorkeys;
    const QList<QPair<QPushButton*, Id>> keys = {
        {buttonCores, Cores}, {buttonTriradia, Triradii}, {buttonRidgeCount, RidgeCount},
        {buttonRadiants, Radiants}, {buttonCentralLines, CentralLines},
        {buttonSuggestRidgePoints, SuggestRidgePoints}, {buttonSuggestLandmarks, SuggestLandmarks}};
    for (const auto& k : keys)
        bindKey(k.first, key(k.second), description(k.second));
    // The picked landmark or ridge point goes, as one step.
    addKeys({key(DeleteMark)}, [this, annotations] {
        beginStep();
        annotations->deleteSelectedMark();
        endStep();
    });

    connect(buttonCores, &QPushButton::toggled, annotations, &TAnnotationView::addCores);
    connect(buttonTriradia, &QPushButton::toggled, annotations, &TAnnotationView::addTriradia);
    connect(buttonRidgeCount, &QPushButton::toggled, annotations,
            &TAnnotationView::addRidgePoints);
    connect(buttonRadiants, &QPushButton::toggled, annotations, &TAnnotationView::addRadiants);
    connect(buttonCentralLines, &QPushButton::toggled, annotations,
            &TAnnotationView::addCentralLines);
    connect(buttonSuggestRidgePoints, &QPushButton::clicked, annotations,
            &TAnnotationView::suggestRidgePoints);
    connect(annotations, &TAnnotationView::suggested, this, &TAnnotationEditor::tell);
    connect(buttonSuggestLandmarks, &QPushButton::clicked, this, [this] { tell(suggestLandmarks()); });
    connect(buttonCancelRidgeCount, &QPushButton::clicked, annotations,
            &TAnnotationView::cancelRidgePoints);
    connect(buttonCancelRadiants, &QPushButton::clicked, annotations,
            &TAnnotationView::cancelRadiants);
    connect(buttonCancelCentralLines, &QPushButton::clicked, annotations,
            &TAnnotationView::cancelCentralLines);

    auto* page = new QWidget;
    deleteLayout = new QVBoxLayout(page);
    deleteLayout->setContentsMargins(0, 0, 0, 0);
    cancels = {buttonCancelCores, buttonCancelTriradia, buttonCancelRidgeCount,
               buttonCancelRadiants, buttonCancelCentralLines};
    if (ownCancel)
        cancels.prepend(ownCancel);
    for (QPushButton* b : qAsConst(cancels))
        deleteLayout->addWidget(b);
    deleteLayout->addStretch();
    addPage(page, "Delete marks");
}

QVector<TEditHistory::Action> TAnnotationEditor::recordedActions()
{
    using H = TEditHistory;
    QVector<H::Action> actions = TGlyphEditor::recordedActions();
    for (QPushButton* b : qAsConst(cancels))
        actions.append(H::on(b, &QPushButton::clicked, b->text()));
    actions.append(H::on(buttonSuggestRidgePoints, &QPushButton::clicked, "Suggest ridge points"));
    actions.append(H::on(buttonSuggestLandmarks, &QPushButton::clicked, "Suggest landmarks"));
    return actions;
}

void TAnnotationEditor::saveFile()
{
    const QString slot = itemName->text();
    const QString set = itemFile->text().isEmpty() ? QString("Untitled")
                                                   : QFileInfo(itemFile->text()).completeBaseName();
    const QString fileName = filechoice::ask(this, *settings, "path", filechoice::Save,
                                             "Export the annotation of " + slot, "*.xml", true,
                                             "xml", set + "-" + slot + ".xml");
    if (fileName.isEmpty())
        return;
    if (setfile::isSetFile(fileName)) {
        reportFailure(QString("%1 is a set file. Writing this print's annotation over it would "
                              "replace the whole set by one print; choose another name.")
                          .arg(QFileInfo(fileName).fileName()));
        return;
    }
    QString error;
    if (!sectionwriter::writeFile(fileName, record(), kind(), &error))
        reportFailure(QString("The annotation of %1 could not be saved as %2:\n%3")
                          .arg(slot, fileName, error));
}

bool TAnnotationEditor::isRightHand() const
{
    return itemName->text().startsWith(QLatin1Char('R'));
}

void TAnnotationEditor::tell(const QString& text)
{
    statusBar()->showMessage(text, messageMilliseconds);
}

void TAnnotationEditor::uncheckPlacingTools()
{
    uncheck({buttonCores, buttonTriradia, buttonRidgeCount});
}
