#include "palm/tpalmsettings.h"
#include "ui_tpalmsettings.h"

#include "annotation/palmformula.h"
#include "annotation/sectionformat.h"
#include "annotation/sectionwriter.h"
#include "annotation/tglyphrecord.h"
#include "view/answerlook.h"
#include "view/tablefit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QSignalMapper>
#include <QStyle>
#include <QTableWidgetItem>

#include <memory>
#include <vector>

enum { RowD = 0, RowA = 3, Rows = 5, PatternRows = 8 };

static QComboBox* comboBox(const QStringList& texts)
{
    auto* box = new QComboBox;
    box->addItems(texts);
    return box;
}

static QComboBox* terminationBox()
{
    auto* box = new QComboBox;
    for (const QString& code : palmformula::terminationCodes())
        box->addItem(code, palmformula::terminationValue(code));
    return box;
}

static QTableWidgetItem* readOnlyItem()
{
    auto* item = new QTableWidgetItem;
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

static void setEditable(QTableWidgetItem* item, bool editable)
{
    item->setFlags(editable ? item->flags() | Qt::ItemIsEditable
                            : item->flags() & ~Qt::ItemIsEditable);
}

TPalmSettings::TPalmSettings(QWidget* parent)
    : QWidget(parent),
      ui(new Ui::TPalmSettings),
      dualMapper(new QSignalMapper(this)),
      patternMapper(new QSignalMapper(this))
{
    ui->setupUi(this);

    QTableWidget* mainLines = ui->tableMainLines;
    for (int i = 0; i < Rows; ++i) {
        dualBoxes.append(comboBox(palmformula::lineKinds()));
        firstTerminationBoxes.append(terminationBox());
        secondTerminationBoxes.append(terminationBox());
        secondTerminationBoxes.last()->setEnabled(false);
        mainLines->setCellWidget(i, 0, dualBoxes.last());
        mainLines->setCellWidget(i, 1, firstTerminationBoxes.last());
        mainLines->setCellWidget(i, 2, secondTerminationBoxes.last());
    }
    mainLines->setColumnWidth(0, 70);
    mainLines->setColumnWidth(1, 45);
    mainLines->setColumnWidth(2, 45);

    for (int i = 0; i < 5; ++i) {
        auto* box = new QCheckBox;
        // Follows the triradius table of the editor; the user does not set it here.
        box->setAttribute(Qt::WA_TransparentForMouseEvents);
        box->setFocusPolicy(Qt::NoFocus);
        axialBoxes.append(box);
        ui->tableAxialTriradii->setCellWidget(0, i, box);
        ui->tableAxialTriradii->setColumnWidth(i, 35);
    }

    for (int i = 0; i < 4; ++i) {
        palmarPatternBoxes.append(comboBox(palmformula::predefinedPatterns(i)));
        interdigitalPatternBoxes.append(comboBox(palmformula::predefinedPatterns(i + 4)));
    }
    QTableWidget* patterns = ui->tablePalmPatterns;
    for (int i = 0; i < PatternRows; ++i) {
        patternOptionBoxes.append(comboBox(palmformula::patternOptions()));
        patternTextItems.append(readOnlyItem());
        patterns->setCellWidget(i, 0, patternOptionBoxes.last());
        patterns->setCellWidget(i, 1, predefinedPatternBox(i));
        patterns->setItem(i, 2, patternTextItems.last());
    }
    patterns->setColumnWidth(0, 80);
    patterns->setColumnWidth(1, 45);
    patterns->setColumnWidth(2, 45);

    formulaItem = readOnlyItem();
    ui->tableSummary->setItem(0, 0, formulaItem);
    for (int i = 0; i < 4; ++i) {
        mainLineIndexItems.append(readOnlyItem());
        ui->tableSummary->setItem(i + 1, 0, mainLineIndexItems.last());
    }
    angleItem = readOnlyItem();
    ui->tableSummary->setItem(5, 0, angleItem);
    ui->tableSummary->setColumnWidth(0, 450);

    const auto indexChanged = QOverload<int>::of(&QComboBox::currentIndexChanged);
    // Connected first, so whatever follows a change (the formula, a step of the
    // history) reads the classification as it is now.
    for (QComboBox* box : findChildren<QComboBox*>())
        connect(box, indexChanged, this, [this] { recorded.reset(); });
    connect(patterns, &QTableWidget::cellChanged, this, [this] { recorded.reset(); });
    for (int i = 0; i < Rows; ++i) {
        connect(dualBoxes[i], indexChanged, dualMapper, QOverload<>::of(&QSignalMapper::map));
        dualMapper->setMapping(dualBoxes[i], i);
    }
    connect(dualMapper, &QSignalMapper::mappedInt, this, &TPalmSettings::updateDual);
    for (int i = 0; i < PatternRows; ++i) {
        connect(patternOptionBoxes[i], indexChanged, patternMapper,
                QOverload<>::of(&QSignalMapper::map));
        patternMapper->setMapping(patternOptionBoxes[i], i);
    }
    connect(patternMapper, &QSignalMapper::mappedInt, this, &TPalmSettings::updatePattern);
    for (int row : {int(RowD), int(RowA)})
        for (QComboBox* box : {dualBoxes[row], firstTerminationBoxes[row],
                               secondTerminationBoxes[row]})
            connect(box, indexChanged, this, &TPalmSettings::updateMainLineIndex);
    for (QComboBox* box : findChildren<QComboBox*>())
        connect(box, indexChanged, this, &TPalmSettings::updateFormula);
    for (QCheckBox* box : qAsConst(axialBoxes))
        connect(box, &QCheckBox::toggled, this, &TPalmSettings::updateFormula);
    // Characters a file cannot hold are dropped as they are typed or pasted, so the
    // set stays readable and the text reads back as it is shown.
    connect(patterns, &QTableWidget::cellChanged, this, [this](int row, int column) {
        QTableWidgetItem* item = patternTextItems.value(row);
        if (column == 2 && item && !sectionformat::isStorable(item->text()))
            item->setText(sectionformat::storable(item->text()));
    });
    connect(patterns, &QTableWidget::cellChanged, this, &TPalmSettings::updateFormula);

    patternOptionBoxes[1]->setCurrentIndex(palmformula::NotAvailable);
    patternOptionBoxes[3]->setCurrentIndex(palmformula::NotAvailable);

    // Choosing an entry in any box of a row answers the row, the entry shown
    // included; this comes before the change is announced, so the step recorded
    // holds the answer.
    linesAnswered.fill(true, Rows);
    patternsAnswered.fill(true, PatternRows);
    const auto activated = QOverload<int>::of(&QComboBox::activated);
    for (int i = 0; i < Rows; ++i)
        for (QComboBox* box : {dualBoxes[i], firstTerminationBoxes[i], secondTerminationBoxes[i]})
            connect(box, activated, this, [this, i] { setLineAnswered(i, true); });
    for (int i = 0; i < PatternRows; ++i)
        for (QComboBox* box : {patternOptionBoxes[i], predefinedPatternBox(i)})
            connect(box, activated, this, [this, i] { setPatternAnswered(i, true); });
    clearAnswers();

    for (QComboBox* box : findChildren<QComboBox*>())
        connect(box, activated, this, &TPalmSettings::changed);
    connect(patterns, &QTableWidget::cellChanged, this, &TPalmSettings::changed);
    fitToContents();
}

void TPalmSettings::fitToContents()
{
    // Every box reads whole and no table scrolls; the panel is as wide as the
    // widest table, and a long formula wraps instead of being cut.
    int width = 0;
    for (QTableWidget* table : {ui->tableMainLines, ui->tableAxialTriradii, ui->tablePalmPatterns}) {
        width = qMax(width, tablefit::showAllColumns(table));
        tablefit::showAllRows(table);
    }
    QTableWidget* summary = ui->tableSummary;
    summary->horizontalHeader()->setStretchLastSection(true);
    summary->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    summary->setWordWrap(true);
    summary->setMinimumWidth(0);
    summary->setColumnWidth(0, qMax(80, width - summary->verticalHeader()->sizeHint().width()));
    tablefit::showAllRows(summary);
    const QMargins margins = ui->verticalLayout->contentsMargins();
    setFixedWidth(width + margins.left() + margins.right()
                  + style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4);
}

void TPalmSettings::fitSummary()
{
    // A long formula wraps: its row is as high as the lines it takes, which only
    // a shown panel knows (a set opens while the panel is out of sight).
    ui->tableSummary->resizeRowToContents(0);
    tablefit::showAllRows(ui->tableSummary);
}

void TPalmSettings::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    fitSummary();
}

void TPalmSettings::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitSummary();
}

TPalmSettings::~TPalmSettings()
{
    delete ui;
}

QComboBox* TPalmSettings::predefinedPatternBox(int row) const
{
    return row < 4 ? palmarPatternBoxes.value(row) : interdigitalPatternBoxes.value(row - 4);
}

QString TPalmSettings::formula() const
{
    return formulaItem->text();
}

QString TPalmSettings::mainLineIndex(int i) const
{
    return mainLineIndexItems.value(i) ? mainLineIndexItems.at(i)->text() : QString();
}

QString TPalmSettings::angleText() const
{
    return angleItem->text();
}

void TPalmSettings::setAngle(bool present, double angle)
{
    angleItem->setText(present ? QString::number(angle, 'g', 6) + QChar(0x00B0) : QString());
}

void TPalmSettings::updateDual(int i)
{
    secondTerminationBoxes[i]->setEnabled(dualBoxes[i]->currentIndex() != 0);
}

void TPalmSettings::updatePattern(int i)
{
    const int option = patternOptionBoxes[i]->currentIndex();
    {
        // Whether the text can be typed is no change of the classification: the
        // step of the option box records the option with its answer.
        const QSignalBlocker quiet(ui->tablePalmPatterns);
        setEditable(patternTextItems[i], option == palmformula::Custom);
    }
    predefinedPatternBox(i)->setEnabled(option == palmformula::Predefined);
}

QVector<palmformula::Termination> TPalmSettings::terminations() const
{
    QVector<palmformula::Termination> lines;
    for (int i = 0; i < Rows; ++i)
        lines.append({dualBoxes[i]->currentIndex() == 1, firstTerminationBoxes[i]->currentText(),
                      secondTerminationBoxes[i]->currentText()});
    return lines;
}

void TPalmSettings::updateMainLineIndex()
{
    const QStringList indices = palmformula::mainLineIndices(terminations());
    for (int i = 0; i < 4; ++i)
        mainLineIndexItems[i]->setText(indices.at(i));
}

void TPalmSettings::updateFormula()
{
    // Boxes change while the constructor is still filling the tables.
    if (patternTextItems.size() < PatternRows || !formulaItem)
        return;
    QVector<bool> axial;
    for (QCheckBox* box : qAsConst(axialBoxes))
        axial.append(box->isChecked());
    QVector<palmformula::Pattern> patterns;
    for (int i = 0; i < PatternRows; ++i)
        patterns.append({patternOptionBoxes[i]->currentIndex(),
                         predefinedPatternBox(i)->currentText(), patternTextItems[i]->text()});
    formulaItem->setText(palmformula::formula(terminations(), axial, patterns));
    formulaItem->setToolTip(formulaItem->text());
    fitSummary();
}

void TPalmSettings::setLineAnswered(int row, bool answered)
{
    if (linesAnswered.at(row) == answered)
        return;
    linesAnswered[row] = answered;
    recorded.reset();
    for (QComboBox* box : {dualBoxes[row], firstTerminationBoxes[row], secondTerminationBoxes[row]})
        answerlook::show(box, answered);
}

void TPalmSettings::setPatternAnswered(int row, bool answered)
{
    if (patternsAnswered.at(row) == answered)
        return;
    patternsAnswered[row] = answered;
    recorded.reset();
    for (QComboBox* box : {patternOptionBoxes[row], predefinedPatternBox(row)})
        answerlook::show(box, answered);
}

void TPalmSettings::clearAnswers()
{
    const palmformula::Classification c = palmformula::cleared();
    for (int i = 0; i < Rows; ++i)
        setLineAnswered(i, c.linesAnswered.at(i));
    for (int i = 0; i < PatternRows; ++i)
        setPatternAnswered(i, c.patternsAnswered.at(i));
}

TGlyphRecord TPalmSettings::record() const
{
    if (recorded)
        return *recorded;
    TGlyphRecord r;
    const QStringList mainLineTypes = palmformula::terminationTypes();
    const QStringList patternTypes = palmformula::patternTypes();
    for (int i = 0; i < Rows; ++i)
        r.settings.insert(mainLineTypes[i], {dualBoxes[i]->currentText(),
                                             firstTerminationBoxes[i]->currentText(),
                                             secondTerminationBoxes[i]->currentText()});
    for (int i = 0; i < PatternRows; ++i)
        r.settings.insert(patternTypes[i], {patternOptionBoxes[i]->currentText(),
                                            predefinedPatternBox(i)->currentText(),
                                            patternTextItems[i]->text()});
    // Only when some row is unanswered, so a palm whose every row was chosen
    // reads as it always did.
    if (linesAnswered.contains(false) || patternsAnswered.contains(false))
        r.settings.insert("answered", {sectionformat::answerFlags(linesAnswered),
                                       sectionformat::answerFlags(patternsAnswered)});
    recorded = r;
    return r;
}

void TPalmSettings::saveSettings(QTextStream& out) const
{
    sectionwriter::writeSettings(out, record(), sectionwriter::Palm);
}

void TPalmSettings::load(const TGlyphRecord& record)
{
    // The rule the result tables read by, from what the boxes show now.
    palmformula::Classification now;
    now.terminations = terminations();
    for (int i = 0; i < PatternRows; ++i)
        now.patterns.append({patternOptionBoxes[i]->currentIndex(),
                             predefinedPatternBox(i)->currentText(), patternTextItems[i]->text()});
    const palmformula::Classification c = palmformula::loadedClassification(record.settings, now);
    for (int i = 0; i < Rows; ++i) {
        const palmformula::Termination& t = c.terminations.at(i);
        dualBoxes[i]->setCurrentIndex(t.dual ? 1 : 0);
        firstTerminationBoxes[i]->setCurrentText(t.first);
        secondTerminationBoxes[i]->setCurrentText(t.second);
    }
    for (int i = 0; i < PatternRows; ++i) {
        const palmformula::Pattern& p = c.patterns.at(i);
        patternOptionBoxes[i]->setCurrentIndex(p.option);
        predefinedPatternBox(i)->setCurrentText(p.predefined);
        if (patternTextItems[i]->text() != p.custom)
            patternTextItems[i]->setText(p.custom);
        setPatternAnswered(i, c.patternsAnswered.at(i));
    }
    for (int i = 0; i < Rows; ++i)
        setLineAnswered(i, c.linesAnswered.at(i));
    // A box that already showed the loaded text signals nothing; the summary
    // must follow the loaded classification even when nothing changed.
    updateMainLineIndex();
    updateFormula();
}

void TPalmSettings::clear()
{
    recorded.reset();
    {
        // One update for the whole panel instead of one per box.
        std::vector<std::unique_ptr<QSignalBlocker>> quiet;
        for (QComboBox* box : findChildren<QComboBox*>())
            quiet.push_back(std::make_unique<QSignalBlocker>(box));
        const QSignalBlocker patternsQuiet(ui->tablePalmPatterns);
        for (QComboBox* box : findChildren<QComboBox*>())
            box->setCurrentIndex(0);
        for (QTableWidgetItem* item : qAsConst(patternTextItems))
            item->setText(QString());
        patternOptionBoxes[1]->setCurrentIndex(palmformula::NotAvailable);
        patternOptionBoxes[3]->setCurrentIndex(palmformula::NotAvailable);
        for (int i = 0; i < Rows; ++i)
            updateDual(i);
        for (int i = 0; i < PatternRows; ++i)
            updatePattern(i);
    }
    clearAnswers();
    angleItem->setText(QString());
    formulaItem->setText(QString());
    for (QTableWidgetItem* item : qAsConst(mainLineIndexItems))
        item->setText(QString());
}
