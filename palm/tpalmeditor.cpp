#include "palm/tpalmeditor.h"

#include "annotation/tglyphrecord.h"
#include "palm/tpalmsettings.h"
#include "palm/tpalmview.h"
#include "view/filechoice.h"
#include "view/tablefit.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSettings>
#include <QSignalMapper>
#include <QSpacerItem>
#include <QTableWidget>
#include <QVBoxLayout>

static QSpacerItem* gap()
{
    return new QSpacerItem(0, 12, QSizePolicy::Minimum, QSizePolicy::Fixed);
}

TPalmEditor::TPalmEditor(QWidget* parent)
    : TGlyphEditor(parent)
{
    palmView = new TPalmView;
    view = palmView;
    palmView->setFrameStyle(QFrame::NoFrame);
    centralLayout()->addWidget(palmView);
    panel = new TPalmSettings;
    centralLayout()->addWidget(panel);
    setupConnections();
    connect(palmView, &TPalmView::triradiumChanged, this, &TPalmEditor::triradiumChanged);

    buttonCores = new QPushButton("Add core point(s)");
    buttonTriradia = new QPushButton("Add triradial point(s)");
    buttonRidgeCount = new QPushButton("Add ridge count");
    buttonRadiants = new QPushButton("Trace radiants");
    buttonCentralLines = new QPushButton("Trace central line(s)");
    buttonCancelTriradia = new QPushButton("Cancel triradial point(s)");
    buttonCancelCores = new QPushButton("Cancel core point(s)");
    buttonCancelRidgeCount = new QPushButton("Cancel ridge count");
    buttonCancelRadiants = new QPushButton("Cancel radiants");
    buttonCancelCentralLines = new QPushButton("Cancel central line(s)");
    const QIcon cancelIcon(":/images/cancel.png");
    for (QPushButton* b : {buttonCancelCores, buttonCancelTriradia, buttonCancelRidgeCount,
                           buttonCancelRadiants, buttonCancelCentralLines})
        b->setIcon(cancelIcon);
    for (QPushButton* b : {buttonCores, buttonTriradia, buttonRidgeCount, buttonRadiants,
                           buttonCentralLines})
        b->setCheckable(true);

    toolGroup = new QButtonGroup(this);
    toolGroup->setExclusive(true);
    for (QAbstractButton* b : {static_cast<QAbstractButton*>(buttonTriradia),
                               static_cast<QAbstractButton*>(selectCropButton()),
                               static_cast<QAbstractButton*>(buttonCores),
                               static_cast<QAbstractButton*>(buttonRidgeCount),
                               static_cast<QAbstractButton*>(buttonRadiants),
                               static_cast<QAbstractButton*>(buttonCentralLines)})
        toolGroup->addButton(b);

    triradiusLabels = palmlines::slotLabels();
    table = new QTableWidget(triradiusLabels.size(), 3);

    QVBoxLayout* side = sidePanelLayout();
    side->addItem(gap());
    side->addWidget(buttonCores);
    side->addWidget(buttonTriradia);
    side->addWidget(buttonRidgeCount);
    buttonSuggestRidgePoints = new QPushButton("Suggest ridge points");
    side->addWidget(buttonSuggestRidgePoints);
    side->addItem(gap());
    side->addWidget(buttonRadiants);
    side->addWidget(buttonCentralLines);
    side->addItem(gap());
    side->addWidget(table);
    side->addItem(gap());
    side->addWidget(buttonCancelCores);
    side->addWidget(buttonCancelTriradia);
    side->addWidget(buttonCancelRidgeCount);
    side->addWidget(buttonCancelRadiants);
    side->addWidget(buttonCancelCentralLines);

    connect(buttonTriradia, &QPushButton::toggled, palmView, &TPalmView::addTriradia);
    connect(buttonRidgeCount, &QPushButton::toggled, palmView, &TPalmView::addRidgePoints);
    connect(buttonCancelRidgeCount, &QPushButton::clicked, palmView,
            &TPalmView::cancelRidgePoints);
    connect(buttonCores, &QPushButton::toggled, palmView, &TPalmView::addCores);
    connect(buttonRadiants, &QPushButton::toggled, palmView, &TPalmView::addRadiants);
    connect(buttonCentralLines, &QPushButton::toggled, palmView, &TPalmView::addCentralLines);
    connect(buttonCancelCores, &QPushButton::clicked, palmView, &TPalmView::cancelCores);
    connect(buttonCancelRadiants, &QPushButton::clicked, palmView, &TPalmView::cancelRadiants);
    connect(buttonCancelCentralLines, &QPushButton::clicked, palmView,
            &TPalmView::cancelCentralLines);
    connect(buttonCancelTriradia, &QPushButton::clicked, palmView, &TPalmView::cancelTriradia);

    cancelMapper = new QSignalMapper(this);
    connect(cancelMapper, &QSignalMapper::mappedInt, palmView, &TPalmView::cancelTriradium);

    QStringList headers;
    for (int i = 0; i < triradiusLabels.size(); ++i) {
        auto* cancel = new QPushButton;
        cancel->setIcon(cancelIcon);
        connect(cancel, &QPushButton::clicked, cancelMapper, QOverload<>::of(&QSignalMapper::map));
        cancelMapper->setMapping(cancel, i);
        cancelTriradiusButtons.append(cancel);
        // Ticked by the view while the triradius is placed, never by the user.
        auto* determined = new QCheckBox("determ.");
        determined->setAttribute(Qt::WA_TransparentForMouseEvents);
        determined->setFocusPolicy(Qt::NoFocus);
        determinedBoxes.append(determined);
        presentBoxes.append(new QCheckBox("pres."));
        table->setCellWidget(i, 0, presentBoxes.last());
        table->setCellWidget(i, 1, determined);
        table->setCellWidget(i, 2, cancel);
        headers.append("Triradius " + triradiusLabels.at(i));
    }
    table->setVerticalHeaderLabels(headers);
    table->horizontalHeader()->hide();
    table->setMinimumWidth(225);
    table->setColumnWidth(0, 50);
    table->setColumnWidth(1, 60);
    table->setColumnWidth(2, 40);
    // All seventeen rows show; the side panel scrolls instead of the table.
    tablefit::showAllColumns(table);
    tablefit::showAllRows(table);

    side->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding));

    // The panel's axial boxes, in its order t, t1, t2, t3, tb, follow the
    // "pres." boxes of those slots.
    const QVector<QCheckBox*> axial = panel->axialPresentBoxes();
    const int axialSlots[] = {palmlines::T, palmlines::T1, palmlines::T2, palmlines::T3,
                              palmlines::TB};
    for (int k = 0; k < 5; ++k)
        connect(presentBoxes[axialSlots[k]], &QCheckBox::toggled, axial[k], &QCheckBox::setChecked);

    connect(palmView, &TPalmView::angle, panel, &TPalmSettings::setAngle);

    connect(buttonSuggestRidgePoints, &QPushButton::clicked, palmView,
            &TPalmView::suggestRidgePoints);
    trackActions();
}

QVector<TEditHistory::Action> TPalmEditor::recordedActions()
{
    using H = TEditHistory;
    QVector<H::Action> actions = TGlyphEditor::recordedActions();
    for (QPushButton* b : {buttonCancelCores, buttonCancelTriradia, buttonCancelRidgeCount,
                           buttonCancelRadiants, buttonCancelCentralLines})
        actions.append(H::on(b, &QPushButton::clicked, b->text()));
    for (int i = 0; i < triradiusLabels.size(); ++i) {
        actions.append(H::on(cancelTriradiusButtons[i], &QPushButton::clicked,
                             "Cancel triradius " + triradiusLabels.at(i)));
        actions.append(H::on(presentBoxes[i], &QCheckBox::clicked,
                             "Present triradius " + triradiusLabels.at(i)));
    }
    actions.append(H::on(panel, &TPalmSettings::changed, "Classification"));
    actions.append(H::on(buttonSuggestRidgePoints, &QPushButton::clicked, "Suggest ridge points"));
    return actions;
}

void TPalmEditor::triradiumChanged(int i, bool present)
{
    if (i < 0 || i >= determinedBoxes.size())
        return;
    determinedBoxes[i]->setChecked(present);
    if (present)
        presentBoxes[i]->setChecked(true);
}

QVector<bool> TPalmEditor::presentFlags() const
{
    QVector<bool> flags;
    for (const QCheckBox* box : presentBoxes)
        flags.append(box->isChecked());
    return flags;
}

QVector<bool> TPalmEditor::determinedFlags() const
{
    QVector<bool> flags;
    for (const QCheckBox* box : determinedBoxes)
        flags.append(box->isChecked());
    return flags;
}

TGlyphRecord TPalmEditor::record() const
{
    TGlyphRecord r = palmView->record();
    r.present = presentFlags();
    r.determined = determinedFlags();
    r.settings = panel->record().settings;
    return r;
}

void TPalmEditor::loadAnnotation(const TGlyphRecord& record)
{
    TGlyphEditor::loadAnnotation(record);
    palmView->loadAnnotation(record);
    setTriradiusBoxes(record);
    if (panel->record().settings != record.settings)
        panel->load(record);
}

void TPalmEditor::setTriradiusBoxes(const TGlyphRecord& record)
{
    // Slots the section has no point for are neither present nor placed.
    for (int i = 0; i < presentBoxes.size(); ++i) {
        const bool read = i < record.triradia.size();
        presentBoxes[i]->setChecked(read && record.present.value(i));
        determinedBoxes[i]->setChecked(read && record.determined.value(i));
    }
}

void TPalmEditor::saveFile()
{
    const QString fileName = filechoice::ask(this, *settings, "path", filechoice::Save,
                                             "Save File As..", "*.xml");
    if (fileName.isEmpty())
        return;
    QString error;
    if (!palmView->save(fileName, true, presentFlags(), determinedFlags(), panel, &error))
        reportFailure(QString("The palm annotation could not be saved as %1:\n%2")
                          .arg(fileName, error));
}

void TPalmEditor::exportFile()
{
}

void TPalmEditor::reset()
{
    TGlyphEditor::reset();
    for (int i = 0; i < presentBoxes.size(); ++i) {
        presentBoxes[i]->setChecked(false);
        determinedBoxes[i]->setChecked(false);
    }
    panel->clear();
}
