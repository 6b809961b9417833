#include "finger/tfingersettings.h"

#include "annotation/fingerchoices.h"
#include "annotation/sectionformat.h"
#include "annotation/sectionwriter.h"
#include "annotation/tglyphrecord.h"
#include "view/answerlook.h"

#include "ui_tfingersettings.h"

#include <QLabel>
#include <QStyle>

TFingerSettings::TFingerSettings(QWidget* parent)
    : QWidget(parent),
      ui(new Ui::TFingerSettings)
{
    ui->setupUi(this);
    // The pattern comes first: it is what a print is classified by at a glance.
    auto* patternLabel = new QLabel("Pattern");
    patternLabel->setFont(ui->label->font());
    pattern = new QComboBox;
    pattern->setObjectName("pattern");
    pattern->addItem("not classified");
    pattern->addItems(fingerchoices::patterns());
    ui->verticalLayout_2->insertWidget(0, patternLabel);
    ui->verticalLayout_2->insertWidget(1, pattern);
    questions = {ui->rotationInner, ui->rotationOuter, ui->rotation,
                 ui->terminationRadial, ui->terminationUlnar, ui->termination};
    answered.fill(false, questions.size());
    for (QComboBox* box : {ui->rotationInner, ui->rotationOuter, ui->rotation})
        box->addItems(fingerchoices::rotations());
    for (QComboBox* box : {ui->terminationRadial, ui->terminationUlnar, ui->termination})
        box->addItems(fingerchoices::terminations());
    for (int i = 0; i < questions.size(); ++i)
        answerlook::show(questions.at(i), false);
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
    // Choosing an entry answers the question, the entry shown included; this comes
    // before the change is announced, so the step recorded holds the answer.
    for (int i = 0; i < questions.size(); ++i)
        connect(questions.at(i), QOverload<int>::of(&QComboBox::activated), this,
                [this, i] { setAnswered(i, true); });
    // Any change of a box, by the examiner or by a load, makes the record anew.
    for (QCheckBox* box : findChildren<QCheckBox*>())
        connect(box, &QCheckBox::toggled, this, [this] { recorded.reset(); });
    for (QComboBox* box : findChildren<QComboBox*>())
        connect(box, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                [this] { recorded.reset(); });
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

bool TFingerSettings::isAnswered(const QComboBox* box) const
{
    const int i = questions.indexOf(const_cast<QComboBox*>(box));
    return i >= 0 && answered.at(i);
}

void TFingerSettings::setAnswered(int question, bool on)
{
    if (answered.at(question) == on)
        return;
    answered[question] = on;
    recorded.reset();
    answerlook::show(questions.at(question), on);
}

void TFingerSettings::clear()
{
    for (int i = 0; i < questions.size(); ++i) {
        questions.at(i)->setCurrentIndex(0);
        setAnswered(i, false);
    }
    pattern->setCurrentIndex(0);
    for (QCheckBox* box : {ui->flexionRadial, ui->flexionUlnar, ui->extralimitalRadial,
                           ui->extralimitalUlnar})
        box->setChecked(false);
    updatePanels(0, 0);
}

static QString flag(const QCheckBox* box)
{
    return box->isChecked() ? "1" : "0";
}

TGlyphRecord TFingerSettings::record() const
{
    if (recorded)
        return *recorded;
    TGlyphRecord r;
    r.settings.insert("flexion", {flag(ui->flexionRadial), flag(ui->flexionUlnar), QString()});
    r.settings.insert("extralimital",
                      {flag(ui->extralimitalRadial), flag(ui->extralimitalUlnar), QString()});
    r.settings.insert("rotation", {ui->rotationInner->currentText(),
                                   ui->rotationOuter->currentText(), ui->rotation->currentText()});
    r.settings.insert("termination",
                      {ui->terminationRadial->currentText(), ui->terminationUlnar->currentText(),
                       ui->termination->currentText()});
    // Only what differs from a classification whose every box was chosen, so such a
    // section reads as it always did.
    if (pattern->currentIndex() > 0)
        r.settings.insert("pattern", {pattern->currentText()});
    if (answered.contains(false))
        r.settings.insert("answered", {sectionformat::answerFlags(answered.mid(0, 3)),
                                       sectionformat::answerFlags(answered.mid(3, 3))});
    recorded = r;
    return r;
}

void TFingerSettings::saveSettings(QTextStream& out) const
{
    sectionwriter::writeSettings(out, record(), sectionwriter::Finger);
}

void TFingerSettings::load(const TGlyphRecord& record)
{
    fingerchoices::Classification now;
    const QCheckBox* flexion[2] = {ui->flexionRadial, ui->flexionUlnar};
    const QCheckBox* extralimital[2] = {ui->extralimitalRadial, ui->extralimitalUlnar};
    QComboBox* rotation[3] = {ui->rotationInner, ui->rotationOuter, ui->rotation};
    QComboBox* termination[3] = {ui->terminationRadial, ui->terminationUlnar, ui->termination};
    for (int i = 0; i < 2; ++i) {
        now.flexion[i] = flexion[i]->isChecked();
        now.extralimital[i] = extralimital[i]->isChecked();
    }
    for (int i = 0; i < 3; ++i) {
        now.rotation[i] = rotation[i]->currentText();
        now.termination[i] = termination[i]->currentText();
    }
    now.pattern = pattern->currentIndex() > 0 ? pattern->currentText() : QString();
    // The rule the result tables read by, from what the boxes show now.
    const fingerchoices::Classification c =
        fingerchoices::loadedClassification(record.settings, now);
    ui->flexionRadial->setChecked(c.flexion[0]);
    ui->flexionUlnar->setChecked(c.flexion[1]);
    ui->extralimitalRadial->setChecked(c.extralimital[0]);
    ui->extralimitalUlnar->setChecked(c.extralimital[1]);
    for (int i = 0; i < 3; ++i) {
        rotation[i]->setCurrentText(c.rotation[i]);
        termination[i]->setCurrentText(c.termination[i]);
        setAnswered(i, c.rotationAnswered[i]);
        setAnswered(i + 3, c.terminationAnswered[i]);
    }
    pattern->setCurrentIndex(qMax(0, pattern->findText(c.pattern)));
}
