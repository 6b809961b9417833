#include "finger/tfingersettings.h"

#include "annotation/sectionformat.h"
#include "annotation/tglyphrecord.h"
#include "annotation/fingerchoices.h"

#include "ui_tfingersettings.h"

#include <QStyle>

TFingerSettings::TFingerSettings(QWidget* parent)
    : QWidget(parent),
      ui(new Ui::TFingerSettings)
{
    ui->setupUi(this);
    for (QComboBox* box : {ui->rotationInner, ui->rotationOuter, ui->rotation})
        box->addItems(fingerchoices::rotations());
    for (QComboBox* box : {ui->terminationRadial, ui->terminationUlnar, ui->termination})
        box->addItems(fingerchoices::terminations());
    // As wide as the questions are with every one of them shown, so no box is cut
    // and nothing scrolls sideways.
    updatePanels(2, 2);
    ui->rotation->show();
    ui->termination->show();
    const QMargins margins = ui->verticalLayout->contentsMargins();
    setFixedWidth(ui->scrollAreaWidgetContents->sizeHint().width() + margins.left()
                  + margins.right() + style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    ui->scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    updatePanels(0, 0);
    for (QCheckBox* box : findChildren<QCheckBox*>())
        connect(box, &QCheckBox::clicked, this, &TFingerSettings::changed);
    for (QComboBox* box : findChildren<QComboBox*>())
        connect(box, QOverload<int>::of(&QComboBox::activated), this, &TFingerSettings::changed);
}

TFingerSettings::~TFingerSettings()
{
    delete ui;
}

void TFingerSettings::updatePanels(int cores, int triradia)
{
    // Two triradii mean a whorl-like pattern: one core has a single rotation,
    // two cores have an inner and an outer one.
    const bool singleRotation = cores == 1 && triradia == 2;
    const bool pairedRotation = cores == 2 && triradia == 2;
    ui->labelRotation->setVisible(singleRotation || pairedRotation);
    ui->rotation->setVisible(singleRotation);
    ui->labelInner->setVisible(pairedRotation);
    ui->rotationInner->setVisible(pairedRotation);
    ui->labelOuter->setVisible(pairedRotation);
    ui->rotationOuter->setVisible(pairedRotation);

    const bool singleTermination = cores == 1;
    const bool pairedTermination = cores == 2;
    ui->labelTermination->setVisible(singleTermination || pairedTermination);
    ui->termination->setVisible(singleTermination);
    ui->labelRadial->setVisible(pairedTermination);
    ui->terminationRadial->setVisible(pairedTermination);
    ui->labelUlnar->setVisible(pairedTermination);
    ui->terminationUlnar->setVisible(pairedTermination);
}

void TFingerSettings::clear()
{
    for (QComboBox* box : {ui->rotationInner, ui->rotationOuter, ui->rotation,
                           ui->terminationRadial, ui->terminationUlnar, ui->termination})
        box->setCurrentIndex(0);
    for (QCheckBox* box : {ui->flexionRadial, ui->flexionUlnar, ui->extralimitalRadial,
                           ui->extralimitalUlnar})
        box->setChecked(false);
    updatePanels(0, 0);
}

static QString flag(const QCheckBox* box)
{
    return box->isChecked() ? "1" : "0";
}

void TFingerSettings::saveSettings(QTextStream& out) const
{
    using sectionformat::writeSetting;
    writeSetting(out, "flexion", {flag(ui->flexionRadial), flag(ui->flexionUlnar)});
    writeSetting(out, "extralimital",
                 {flag(ui->extralimitalRadial), flag(ui->extralimitalUlnar)});
    writeSetting(out, "rotation", {ui->rotationInner->currentText(),
                                   ui->rotationOuter->currentText(), ui->rotation->currentText()});
    writeSetting(out, "termination",
                 {ui->terminationRadial->currentText(), ui->terminationUlnar->currentText(),
                  ui->termination->currentText()});
}

// A text that is not one of the box's items leaves the box as it is.
static void choose(QComboBox* box, const QString& text)
{
    if (box->findText(text) >= 0)
        box->setCurrentText(text);
}

void TFingerSettings::load(const TGlyphRecord& record)
{
    QStringList list = record.setting("flexion");
    if (list.size() > 1) {
        ui->flexionRadial->setChecked(list.at(0) == "1");
        ui->flexionUlnar->setChecked(list.at(1) == "1");
    }
    list = record.setting("extralimital");
    if (list.size() > 1) {
        ui->extralimitalRadial->setChecked(list.at(0) == "1");
        ui->extralimitalUlnar->setChecked(list.at(1) == "1");
    }
    list = record.setting("rotation");
    if (list.size() > 2) {
        choose(ui->rotationInner, list.at(0));
        choose(ui->rotationOuter, list.at(1));
        choose(ui->rotation, list.at(2));
    }
    list = record.setting("termination");
    if (list.size() > 2) {
        choose(ui->terminationRadial, list.at(0));
        choose(ui->terminationUlnar, list.at(1));
        choose(ui->termination, list.at(2));
    }
}
