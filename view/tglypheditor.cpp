#include "view/tglypheditor.h"
#include "ui_tglypheditor.h"

#include "annotation/tglyphrecord.h"
#include "scan/printimage.h"
#include "view/editorkeys.h"
#include "view/filechoice.h"
#include "view/screenshot.h"
#include "view/tglyphview.h"
#include "view/tresolutiontable.h"
#include "view/timageitem.h"
#include "view/tzoomcontrol.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QSettings>
#include <QStatusBar>
#include <QTextStream>

TGlyphEditor::TGlyphEditor(QWidget* parent)
    : QMainWindow(parent),
      ui(new Ui::GlyphEditor)
{
    ui->setupUi(this);
}

QHBoxLayout* TGlyphEditor::centralLayout() const
{
    return ui->horizontalLayout_3;
}

QPushButton* TGlyphEditor::selectCropButton() const
{
    return ui->buttonSelectCrop;
}

TGlyphEditor::~TGlyphEditor()
{
    // The history goes first: clearing it reports to the buttons, which go next.
    delete steps;
    delete ui;
}

void TGlyphEditor::setupConnections()
{
    connect(view, &TGlyphView::resized, ui->graphicsView_2, &TGraphicsPreview::fitRect);
    connect(ui->buttonFitInView, &QPushButton::clicked, this, &TGlyphEditor::fitView);
    zoom = new TZoomControl(view, ui->horizontalSlider, ui->spinBoxScale, this);

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

    auto* table = new TResolutionTable(ui->tableWidget, this);
    itemName = table->itemName;
    itemFile = table->itemFile;
    spinBoxXPpi = table->spinBoxXPpi;
    spinBoxYPpi = table->spinBoxYPpi;
    itemXSpacing = table->itemXSpacing;
    itemYSpacing = table->itemYSpacing;
    spinBoxDistance = table->spinBoxDistance;
    buttonCalibrate = table->buttonCalibrate;
    buttonExport = table->buttonExport;
    resolutionTable = table;
    connect(buttonCalibrate, &QPushButton::toggled, view, &TGlyphView::calibrate);
    connect(view, &TGlyphView::calibrated, this, &TGlyphEditor::calibrate);
    connect(buttonExport, &QPushButton::clicked, this, &TGlyphEditor::exportScreenshot);
    connect(spinBoxXPpi, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &TGlyphEditor::updateSpacing);
    connect(spinBoxYPpi, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &TGlyphEditor::updateSpacing);
    connect(spinBoxXPpi, QOverload<int>::of(&QSpinBox::valueChanged), view, &TGlyphView::setXDpi);
    connect(spinBoxYPpi, QOverload<int>::of(&QSpinBox::valueChanged), view, &TGlyphView::setYDpi);

    updateSides();
    connect(ui->checkBoxFlip, &QCheckBox::toggled, this, &TGlyphEditor::updateSides);

    setupHistory();
    setupViewing();
}

void TGlyphEditor::setupHistory()
{
    // Every step of the examiner can be taken back: each press, release and key
    // in the view, and each control that changes the print (recordedActions).
    steps = new TEditHistory([this] { return editState(); },
                             [this](const TEditHistory::State& state) { restoreState(state); });
    connect(view, &TGlyphView::editStarted, this, &TGlyphEditor::beginStep);
    connect(view, &TGlyphView::editFinished, this, [this]() { endStep(); });
}

QVector<TEditHistory::Action> TGlyphEditor::recordedActions()
{
    using H = TEditHistory;
    QVector<H::Action> actions = {
        H::on(ui->buttonCrop, &QPushButton::clicked, "Crop"),
        H::on(ui->buttonCancelSelection, &QPushButton::clicked, "Cancel selection"),
        H::on(ui->spinBoxRotate, QOverload<int>::of(&QSpinBox::valueChanged), "Rotate",
              H::Rotation),
        H::on(ui->checkBoxFlip, &QCheckBox::toggled, "Mirror"),
    };
    for (QSpinBox* box : {spinBoxXPpi, spinBoxYPpi})
        actions.append(H::on(box, QOverload<int>::of(&QSpinBox::valueChanged), "Set resolution",
                             H::Resolution));
    return actions;
}

void TGlyphEditor::setupViewing()
{
    editorLayout = new TEditorLayout(this, ui->scrollArea, ui->verticalLayout);
    // The menu bar that holds the form's actions is hidden, so the window carries
    // the keys. Ctrl+S saves the whole set, as in the main window; one print's
    // annotation is exported by its own button.
    using editorkeys::key;
    addKeys({key(editorkeys::SaveSet)}, [this] { emit saveSetRequested(); });
    addKeys({key(editorkeys::NextPrint)}, [this] { emit neighbourRequested(1); });
    addKeys({key(editorkeys::PreviousPrint)}, [this] { emit neighbourRequested(-1); });
    addKeys({key(editorkeys::Keys)}, [this] { emit keysRequested(); });
    // On two lines, so the side panel stays narrow.
    buttonExportAnnotation = new QPushButton("Export this print's\nannotation...");
    buttonExportAnnotation->setObjectName("buttonExportAnnotation");
    connect(buttonExportAnnotation, &QPushButton::clicked, this, &TGlyphEditor::saveFile);
    addKeys({QKeySequence("Ctrl+0"), QKeySequence("Ctrl+9")}, [this] { fitView(); });
    addKeys({QKeySequence::ZoomIn, QKeySequence("Ctrl+=")}, [this] { zoomBy(1.25); });
    addKeys({QKeySequence::ZoomOut}, [this] { zoomBy(1 / 1.25); });
    connect(ui->spinBoxRotate, QOverload<int>::of(&QSpinBox::valueChanged), zoom,
            &TZoomControl::showFitScale);
    connect(ui->checkBoxFlip, &QCheckBox::toggled, zoom, &TZoomControl::showFitScale);

    // Faint or heavy prints made easier to read, for the eye only.
    auto* enhance = new QCheckBox("Enhance contrast");
    auto* invert = new QCheckBox("Invert");
    auto setTone = [this, enhance, invert] {
        view->pixmapItem()->setTone((enhance->isChecked() ? TImageItem::Enhanced : 0)
                                    | (invert->isChecked() ? TImageItem::Inverted : 0));
        updatePreview();
    };
    connect(enhance, &QCheckBox::toggled, this, setTone);
    connect(invert, &QCheckBox::toggled, this, setTone);
    arrangeSidePanel(enhance, invert);
    updateTitle();
}

void TGlyphEditor::arrangeSidePanel(QCheckBox* enhance, QCheckBox* invert)
{
    QVBoxLayout* side = ui->verticalLayout;
    side->removeWidget(ui->buttonSelectCrop);
    editorLayout->addTool(ui->buttonSelectCrop);
    bindKey(ui->buttonSelectCrop, editorkeys::key(editorkeys::CropOutline),
            editorkeys::description(editorkeys::CropOutline));
    editorLayout->addHistory(steps->stack());

    editorLayout->addColumnPage("Print", {ui->tableWidget, buttonExportAnnotation});
    editorLayout->addColumnPage("Prepare", {ui->buttonCancelSelection, ui->buttonCrop,
                                            ui->checkBoxFlip, enhance, invert, ui->spinBoxRotate});
    sideWidth = resolutionTable->fitWidth(ui->tableWidget);
    view->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    centralLayout()->setStretchFactor(view, 1);
}

void TGlyphEditor::showEvent(QShowEvent* event)
{
    // Nothing in the side panel is ever cut at the side.
    editorLayout->fitSide(sideWidth);
    // The first time, the window takes nearly the whole screen: prints want room.
    if (!placed && !isMaximized()) {
        placed = true;
        editorLayout->fillScreen();
    }
    QMainWindow::showEvent(event);
}

void TGlyphEditor::updateTitle()
{
    const QString set = itemFile && !itemFile->text().isEmpty() ? itemFile->text() : "Untitled";
    const QString slot = itemName ? itemName->text() : QString();
    setWindowTitle((slot.isEmpty() ? QString() : slot + " \u2014 ") + set + " \u2014 Ridgemap");
}

double TGlyphEditor::zoomPercent() const
{
    return ui->spinBoxScale->value();
}

void TGlyphEditor::zoomTo(double percent)
{
    ui->spinBoxScale->setValue(percent);
}

TEditHistory::State TGlyphEditor::editState() const
{
    TEditHistory::State state;
    state.record = record();
    state.xPpi = xPpi();
    state.yPpi = yPpi();
    state.selection = view->selectionPolygon();
    return state;
}

void TGlyphEditor::restoreState(const TEditHistory::State& state)
{
    loadAnnotation(state.record);
    view->restoreSelection(state.selection);
    setDpi(state.xPpi, state.yPpi);
}

void TGlyphEditor::revertToImage(const QImage& image)
{
    showPrint(image, QString());
    recordStep("Cancel");
}

void TGlyphEditor::showPrint(const QImage& image, const QString& fileName)
{
    // Putting the print in place is no step of its own.
    steps->begin();
    reset();
    view->setImage(image, fileName);
    updatePreview();
    steps->endUnrecorded();
    markPristine();
}

void TGlyphEditor::setName(const QString& name)
{
    itemName->setText(name);
    updateTitle();
    updateSides();
}

void TGlyphEditor::updateSides()
{
    // In a print as taken, the ulnar side of a right hand is on the viewer's
    // right and that of a left hand on the left; a mirrored print swaps them.
    const bool left = itemName && itemName->text().startsWith(QLatin1Char('L'));
    const bool ulnarOnLeft = left != ui->checkBoxFlip->isChecked();
    ui->labelRadial->setText(ulnarOnLeft ? "\tUlnar side" : "\tRadial side");
    ui->labelUlnar->setText(ulnarOnLeft ? "\tRadial side" : "\tUlnar side");
}

void TGlyphEditor::setFileName(const QString& name)
{
    itemFile->setText(name);
    updateTitle();
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

void TGlyphEditor::setDpi(int h, int v)
{
    spinBoxXPpi->setValue(h);
    spinBoxYPpi->setValue(v);
    // Also with unchanged values: the unknown mark follows whether a print is shown.
    updateSpacing();
}

void TGlyphEditor::updateSpacing()
{
    resolutionTable->showSpacing(!view->croppedPixmap().isNull());
}

void TGlyphEditor::calibrate(double distance)
{
    beginStep();
    const double millimetres = spinBoxDistance->value();
    const int ppi = int(distance / millimetres * 25.4);
    spinBoxXPpi->setValue(ppi);
    spinBoxYPpi->setValue(ppi);
    buttonCalibrate->setChecked(false);
    endStep("Calibrate");
    // Told for a while, not for the rest of the session.
    statusBar()->showMessage(QString("%1 px = %2 mm \u2192 %3 PPI")
                                 .arg(distance, 0, 'f', 1)
                                 .arg(millimetres, 0, 'f', 1)
                                 .arg(ppi),
                             messageMilliseconds);
}

void TGlyphEditor::fitView()
{
    zoom->fit();
}

void TGlyphEditor::cropUpdatePreview()
{
    updatePreview();
    zoom->fit();
}

void TGlyphEditor::disableCrop()
{
    offerCrop(false);
}

void TGlyphEditor::offerCrop(bool offered)
{
    for (QWidget* w : std::initializer_list<QWidget*>{ui->buttonSelectCrop, ui->buttonCrop,
                                                      ui->buttonCancelSelection})
        w->setEnabled(offered);
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
    const QString fileName = filechoice::ask(this, *settings, "path", filechoice::Open,
                                             "Import image", printimage::fileFilter);
    if (fileName.isEmpty())
        return;
    QString error;
    const QImage image = printimage::load(fileName, &error);
    // An unreadable scan leaves the print that is shown untouched.
    if (image.isNull()) {
        reportFailure(QString("Cannot import the image %1:\n%2").arg(fileName, error));
        return;
    }
    showPrint(image, fileName);
    startHistory();
}

void TGlyphEditor::importImage(const QString& fileName)
{
    showPrint(printimage::load(fileName, nullptr), fileName);
    startHistory();
}

void TGlyphEditor::importImage(const QImage& image)
{
    showPrint(image, QString());
    startHistory();
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
    pristine = editState();
}

bool TGlyphEditor::hasAnnotation()
{
    // A crop outline half drawn is no annotation; the record and resolution are.
    const TEditHistory::State now = editState();
    return now.record != pristine.record || now.xPpi != pristine.xPpi
           || now.yPpi != pristine.yPpi;
}

void TGlyphEditor::writeAnnotation(QTextStream& out)
{
    sectionwriter::write(out, record(), kind(), kind() == sectionwriter::Palm);
}

void TGlyphEditor::exportScreenshot()
{
    QSettings exportSettings("Vintrel", "Ridgemap");
    const QString fileName = filechoice::ask(this, exportSettings, "export_path", filechoice::Save,
                                             "Export screenshot", "*.png;;*.jpg;;*.tif");
    if (fileName.isEmpty())
        return;
    if (!screenshot::of(view, ui->horizontalSlider->value() / 100.0).save(fileName))
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
    offerCrop(true);
    ui->spinBoxRotate->setValue(0);
    ui->checkBoxFlip->setChecked(false);
    updatePreview();
    spinBoxXPpi->setValue(0);
    spinBoxYPpi->setValue(0);
    spinBoxDistance->setValue(0);
    updateSpacing();
}

void TGlyphEditor::loadAnnotation(const TGlyphRecord& record)
{
    const QTransform before = view->imageToScene();
    const QPolygonF outline = view->cropOutline();
    view->loadImageState(record);
    if (view->imageToScene() == before && view->cropOutline() == outline)
        return;
    const int shownAngle = ui->spinBoxRotate->value();
    {
        // The view is turned and mirrored already; the controls only follow it,
        // instead of rebuilding display and navigator once for each of them.
        const QSignalBlocker flipBlocker(ui->checkBoxFlip);
        const QSignalBlocker rotateBlocker(ui->spinBoxRotate);
        ui->checkBoxFlip->setChecked(record.flip);
        ui->spinBoxRotate->setValue(record.angle);
    }
    updateSides();
    // An angle outside the box's range: the view takes the value the box moved to.
    const int angle = ui->spinBoxRotate->value();
    if (angle != shownAngle && angle != view->rotation())
        view->rotate(angle);
    // Cropping is offered again once the crop is taken back.
    const bool uncut = view->cropOutline().isEmpty();
    offerCrop(uncut);
    view->selectCrop(uncut && ui->buttonSelectCrop->isChecked());
    updatePreview();
    // The print was fitted anew: the zoom box and slider show the scale it has.
    zoom->showFitScale();
}
