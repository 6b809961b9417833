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

TPalmEditor::TPalmEditor(QWidget* parent)
    : TAnnotationEditor(parent)
{
    palmView = new TPalmView;
    view = palmView;
    palmView->setFrameStyle(QFrame::NoFrame);
    centralLayout()->addWidget(palmView);
    panel = new TPalmSettings;
    setupConnections();
    connect(palmView, &TPalmView::triradiumChanged, this, &TPalmEditor::triradiumChanged);
    triradiusLabels = palmlines::slotLabels();
    table = new QTableWidget(triradiusLabels.size(), 3);
    const QIcon cancelIcon(":/images/cancel.png");
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
    addPage(table, "Triradii");
    addPage(panel, "Classification");
    setupTools(palmView);
    connect(buttonCancelCores, &QPushButton::clicked, palmView, &TPalmView::cancelCores);
    connect(buttonCancelTriradia, &QPushButton::clicked, palmView, &TPalmView::cancelTriradia);

    // The panel's axial boxes, in its order t, t1, t2, t3, tb, follow the
    // "pres." boxes of those slots.
    const QVector<QCheckBox*> axial = panel->axialPresentBoxes();
    const int axialSlots[] = {palmlines::T, palmlines::T1, palmlines::T2, palmlines::T3,
                              palmlines::TB};
    for (int k = 0; k < 5; ++k)
        connect(presentBoxes[axialSlots[k]], &QCheckBox::toggled, axial[k], &QCheckBox::setChecked);

    connect(palmView, &TPalmView::angle, panel, &TPalmSettings::setAngle);

    trackActions();
}

QVector<TEditHistory::Action> TPalmEditor::recordedActions()
{
    using H = TEditHistory;
    QVector<H::Action> actions = TAnnotationEditor::recordedActions();
    for (int i = 0; i < triradiusLabels.size(); ++i) {
        actions.append(H::on(cancelTriradiusButtons[i], &QPushButton::clicked,
                             "Cancel triradius " + triradiusLabels.at(i)));
        actions.append(H::on(presentBoxes[i], &QCheckBox::clicked,
                             "Present triradius " + triradiusLabels.at(i)));
    }
    actions.append(H::on(panel, &TPalmSettings::changed, "Classification"));
    return actions;
}

QString TPalmEditor::suggestLandmarks()
{
    return palmView->suggestLandmarks(isRightHand());
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

void TPalmEditor::reset()
{
    TGlyphEditor::reset();
    for (int i = 0; i < presentBoxes.size(); ++i) {
        presentBoxes[i]->setChecked(false);
        determinedBoxes[i]->setChecked(false);
    }
    panel->clear();
}
