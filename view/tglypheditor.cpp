#include "view/tglypheditor.h"
#include "ui_tglypheditor.h"

#include "annotation/tglyphrecord.h"
#include "view/printimage.h"
#include "view/tglyphview.h"
#include "view/timageitem.h"

#include <QButtonGroup>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QScrollBar>
#include <QSettings>
#include <QTextStream>

TGlyphEditor::TGlyphEditor(QWidget* parent)
    : QMainWindow(parent),
      ui(new Ui::GlyphEditor)
{
    ui->setupUi(this);
}

TGlyphEditor::~TGlyphEditor()
{
    delete ui;
}

QHBoxLayout* TGlyphEditor::centralLayout() const
{
    return ui->horizontalLayout_3;
}

QVBoxLayout* TGlyphEditor::sidePanelLayout() const
{
    return ui->verticalLayout;
}

QPushButton* TGlyphEditor::selectCropButton() const
{
    return ui->buttonSelectCrop;
}

void TGlyphEditor::setupConnections()
{
    connect(view, &TGlyphView::resized, ui->graphicsView_2, &TGraphicsPreview::fitRect);
    connect(ui->buttonFitInView, &QPushButton::clicked, this, &TGlyphEditor::fitView);
    connect(ui->horizontalSlider, &QSlider::valueChanged, this, &TGlyphEditor::setSpinValue);
    connect(ui->spinBoxScale, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
            &TGlyphEditor::setSliderValue);
    connect(ui->spinBoxScale, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
            &TGlyphEditor::setScale);

    ui->graphicsView_2->setView(view);

    connect(ui->buttonSelectCrop, &QPushButton::toggled, view, &TGlyphView::selectCrop);
    connect(ui->buttonCrop, &QPushButton::clicked, view, &TGlyphView::crop);
    connect(ui->spinBoxRotate, QOverload<int>::of(&QSpinBox::valueChanged), view,
            &TGlyphView::rotate);
    connect(ui->checkBoxFlip, &QCheckBox::toggled, view, &TGlyphView::flip);
    connect(ui->buttonCancelSelection, &QPushButton::clicked, view, &TGlyphView::cancelSelection);
    connect(ui->spinBoxRotate, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &TGlyphEditor::updatePreview);
    connect(ui->checkBoxFlip, &QCheckBox::toggled, this, &TGlyphEditor::updatePreview);
    connect(ui->buttonCrop, &QPushButton::clicked, this, &TGlyphEditor::cropUpdatePreview);

    connect(ui->actionExit, &QAction::triggered, this, &TGlyphEditor::close);
    connect(ui->actionOpen, &QAction::triggered, this, &TGlyphEditor::openFile);
    connect(ui->actionSave, &QAction::triggered, this, &TGlyphEditor::saveFile);
    connect(ui->actionExport, &QAction::triggered, this, &TGlyphEditor::exportFile);
    connect(ui->actionImportImage, &QAction::triggered, this,
            QOverload<>::of(&TGlyphEditor::importImage));

    connect(view, &TGlyphView::sceneRectChanged, this, &TGlyphEditor::sceneRectChanged);
    connect(view, &TGlyphView::cropped, this, &TGlyphEditor::disableCrop);
    connect(view, &TGlyphView::ppichanged, this, &TGlyphEditor::setDpi);

    settings = new QSettings("Vintrel", "Ridgemap", this);
    ui->menuBar->hide();
    ui->buttonFitInView->setIcon(QIcon(":/images/fit.png"));
    ui->buttonSelectCrop->setIcon(QIcon(":/images/selection.png"));
    ui->buttonCancelSelection->setIcon(QIcon(":/images/cancel.png"));
    ui->buttonCrop->setIcon(QIcon(":/images/crop.png"));

    itemName = new QTableWidgetItem;
    itemFile = new QTableWidgetItem;
    spinBoxXPpi = new QSpinBox;
    spinBoxYPpi = new QSpinBox;
    itemXSpacing = new QTableWidgetItem;
    itemYSpacing = new QTableWidgetItem;
    spinBoxDistance = new QSpinBox;
    buttonCalibrate = new QPushButton("calibrate");
    buttonExport = new QPushButton("export");
    buttonCalibrate->setCheckable(true);
    connect(buttonCalibrate, &QPushButton::toggled, view, &TGlyphView::calibrate);
    connect(view, &TGlyphView::calibrated, this, &TGlyphEditor::calibrate);
    for (QTableWidgetItem* item : {itemName, itemFile, itemXSpacing, itemYSpacing})
        item->setFlags(item->flags() & ~(Qt::ItemIsSelectable | Qt::ItemIsEditable));
    for (QSpinBox* box : {spinBoxXPpi, spinBoxYPpi, spinBoxDistance}) {
        box->setLayoutDirection(Qt::RightToLeft);
        box->setMaximum(10000);
    }
    spinBoxDistance->setMinimum(1);
    ui->tableWidget->setItem(0, 0, itemName);
    ui->tableWidget->setItem(1, 0, itemFile);
    ui->tableWidget->setCellWidget(2, 0, spinBoxXPpi);
    ui->tableWidget->setCellWidget(3, 0, spinBoxYPpi);
    ui->tableWidget->setItem(4, 0, itemXSpacing);
    ui->tableWidget->setItem(5, 0, itemYSpacing);
    ui->tableWidget->setCellWidget(6, 0, spinBoxDistance);
    ui->tableWidget->setCellWidget(7, 0, buttonCalibrate);
    ui->tableWidget->setCellWidget(8, 0, buttonExport);

    connect(buttonExport, &QPushButton::clicked, this, &TGlyphEditor::exportScreenshot);
    connect(spinBoxXPpi, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &TGlyphEditor::updateSpacing);
    connect(spinBoxYPpi, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &TGlyphEditor::updateSpacing);
    connect(spinBoxXPpi, QOverload<int>::of(&QSpinBox::valueChanged), view, &TGlyphView::setXDpi);
    connect(spinBoxYPpi, QOverload<int>::of(&QSpinBox::valueChanged), view, &TGlyphView::setYDpi);

    ui->labelRadial->setText("\tRadial side");
    ui->labelUlnar->setText("\tUlnar side");
}

void TGlyphEditor::setName(const QString& name)
{
    itemName->setText(name);
}

void TGlyphEditor::setFileName(const QString& name)
{
    itemFile->setText(name);
}

int TGlyphEditor::xPpi() const
{
    return spinBoxXPpi->value();
}

int TGlyphEditor::yPpi() const
{
    return spinBoxYPpi->value();
}

QGraphicsScene* TGlyphEditor::scene() const
{
    return view->glyphScene();
}

TImageItem* TGlyphEditor::pixmapItem() const
{
    return view->pixmapItem();
}

void TGlyphEditor::openFile()
{
}

void TGlyphEditor::setDpi(int h, int v)
{
    spinBoxXPpi->setValue(h);
    spinBoxYPpi->setValue(v);
}

void TGlyphEditor::updateSpacing()
{
    const int x = spinBoxXPpi->value();
    const int y = spinBoxYPpi->value();
    itemXSpacing->setText(x != 0 ? QString::number(25.4 / x, 'g', 6) : QString());
    itemYSpacing->setText(y != 0 ? QString::number(25.4 / y, 'g', 6) : QString());
}

void TGlyphEditor::calibrate(double distance)
{
    const int ppi = int(distance / spinBoxDistance->value() * 25.4);
    spinBoxXPpi->setValue(ppi);
    spinBoxYPpi->setValue(ppi);
    buttonCalibrate->setChecked(false);
}

void TGlyphEditor::setSliderValue(double value)
{
    ui->horizontalSlider->setValue(int(value));
}

void TGlyphEditor::setSpinValue(int value)
{
    ui->spinBoxScale->setValue(value);
}

void TGlyphEditor::setScale(double percent)
{
    const double factor = view->transform().inverted().m11() * percent / 100.0;
    view->scale(factor, factor);
}

void TGlyphEditor::fitView()
{
    view->fitInView();
    ui->spinBoxScale->setValue(view->transform().m11() * 100);
}

void TGlyphEditor::cropUpdatePreview()
{
    updatePreview();
    view->fitInView();
    ui->spinBoxScale->setValue(view->transform().m11() * 100);
}

void TGlyphEditor::disableCrop()
{
    ui->buttonSelectCrop->setEnabled(false);
    ui->buttonCrop->setEnabled(false);
    ui->buttonCancelSelection->setEnabled(false);
}

void TGlyphEditor::updatePreview()
{
    ui->graphicsView_2->setView(view);
    ui->graphicsView_2->showImageOf(view->pixmapItem());
    ui->graphicsView_2->setItem(view->pixmapItem());
    ui->graphicsView_2->fitRect();
}

void TGlyphEditor::importImage()
{
    const QString dir = settings->value("path", QDir::homePath()).toString();
    const QString fileName = QFileDialog::getOpenFileName(this, "Import image", dir,
                                                          "*.jpg;;*.tif;;*.png");
    if (fileName.isEmpty())
        return;
    settings->setValue("path", QFileInfo(fileName).absolutePath());
    QString error;
    const QImage image = printimage::load(fileName, &error);
    // An unreadable scan leaves the print that is shown untouched.
    if (image.isNull()) {
        reportFailure(QString("Cannot import the image %1:\n%2").arg(fileName, error));
        return;
    }
    reset();
    view->setImage(image, fileName);
    updatePreview();
    markPristine();
}

void TGlyphEditor::importImage(const QString& fileName)
{
    reset();
    view->openImage(fileName);
    updatePreview();
    markPristine();
}

void TGlyphEditor::importImage(const QImage& image)
{
    reset();
    view->setImage(image);
    updatePreview();
    markPristine();
}

QString TGlyphEditor::annotationText()
{
    QString text;
    QTextStream out(&text);
    writeAnnotation(out);
    out.flush();
    return text;
}

void TGlyphEditor::markPristine()
{
    pristineText = annotationText();
    pristineXPpi = xPpi();
    pristineYPpi = yPpi();
}

bool TGlyphEditor::hasAnnotation()
{
    return annotationText() != pristineText || xPpi() != pristineXPpi || yPpi() != pristineYPpi;
}

void TGlyphEditor::exportScreenshot()
{
    QSettings exportSettings("Vintrel", "Ridgemap");
    const QString dir = exportSettings.value("export_path", QDir::homePath()).toString();
    const QString fileName = QFileDialog::getSaveFileName(this, "Export screenshot", dir,
                                                          "*.png;;*.jpg;;*.tif");
    if (fileName.isEmpty())
        return;
    exportSettings.setValue("export_path", QFileInfo(fileName).absolutePath());
    const double z = ui->horizontalSlider->value() / 100.0;
    const QRectF sceneRect = view->sceneRect();
    QPixmap rendered((sceneRect.size() * z).toSize());
    rendered.fill(Qt::white);
    {
        QPainter painter(&rendered);
        painter.setRenderHint(QPainter::Antialiasing);
        view->glyphScene()->render(&painter, QRectF(rendered.rect()), sceneRect, Qt::KeepAspectRatio);
    }
    const QRectF s = view->selectionRect();
    QPixmap shot;
    // Without an outline the whole print is the screenshot.
    if (s.isEmpty())
        shot = rendered;
    else
        shot = rendered.copy(QRect((s.topLeft() * z).toPoint(),
                                   (s.size() * z).toSize() + QSize(5, 5)));
    if (!shot.save(fileName))
        reportFailure(QString("The screenshot could not be saved as %1.").arg(fileName));
}

void TGlyphEditor::uncheck(const QList<QAbstractButton*>& buttons)
{
    for (QAbstractButton* button : buttons) {
        QButtonGroup* group = button->group();
        const bool exclusive = group && group->exclusive();
        if (exclusive)
            group->setExclusive(false);
        button->setChecked(false);
        if (exclusive)
            group->setExclusive(true);
    }
}

void TGlyphEditor::reportFailure(const QString& text)
{
    QMessageBox::warning(this, "Ridgemap", text);
}

void TGlyphEditor::reset()
{
    view->reset();
    uncheck({ui->buttonSelectCrop});
    ui->buttonSelectCrop->setEnabled(true);
    ui->buttonCrop->setEnabled(true);
    ui->buttonCancelSelection->setEnabled(true);
    ui->spinBoxRotate->setValue(0);
    ui->checkBoxFlip->setChecked(false);
    updatePreview();
    spinBoxXPpi->setValue(0);
    spinBoxYPpi->setValue(0);
    spinBoxDistance->setValue(0);
    itemXSpacing->setText(QString());
    itemYSpacing->setText(QString());
}

void TGlyphEditor::loadAnnotation(const TGlyphRecord& record)
{
    view->loadImageState(record);
    const int shownAngle = ui->spinBoxRotate->value();
    {
        // The view is turned and mirrored already; the controls only follow it,
        // instead of rebuilding display and navigator once for each of them.
        const QSignalBlocker flipBlocker(ui->checkBoxFlip);
        const QSignalBlocker rotateBlocker(ui->spinBoxRotate);
        ui->checkBoxFlip->setChecked(record.flip);
        ui->spinBoxRotate->setValue(record.angle);
    }
    // An angle outside the box's range: the view takes the value the box moved to.
    const int angle = ui->spinBoxRotate->value();
    if (angle != shownAngle && angle != view->rotation())
        view->rotate(angle);
    updatePreview();
}
