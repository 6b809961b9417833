#include "view/tglypheditor.h"
#include "ui_tglypheditor.h"

#include "annotation/tglyphrecord.h"
#include "scan/printimage.h"
#include "view/editorkeys.h"
#include "view/filechoice.h"
#include "view/screenshot.h"
#include "view/tablefit.h"
#include "view/teditstep.h"
#include "view/tglyphview.h"
#include "view/timageitem.h"
#include "view/tzoomcontrol.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QTextStream>
#include <QToolBar>
#include <QToolBox>
#include <QToolButton>
#include <QUndoStack>

TGlyphEditor::TGlyphEditor(QWidget* parent)
    : QMainWindow(parent),
      ui(new Ui::GlyphEditor)
{
    ui->setupUi(this);
}

TGlyphEditor::~TGlyphEditor()
{
    // The history goes first: clearing it reports to the buttons, which go next.
    delete steps;
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
    spinBoxDistance = new QDoubleSpinBox;
    // Tenths of a millimetre: a ruler's finest marks.
    spinBoxDistance->setDecimals(1);
    buttonCalibrate = new QPushButton("calibrate");
    buttonExport = new QPushButton("export");
    buttonCalibrate->setCheckable(true);
    connect(buttonCalibrate, &QPushButton::toggled, view, &TGlyphView::calibrate);
    connect(view, &TGlyphView::calibrated, this, &TGlyphEditor::calibrate);
    for (QTableWidgetItem* item : {itemName, itemFile, itemXSpacing, itemYSpacing})
        item->setFlags(item->flags() & ~(Qt::ItemIsSelectable | Qt::ItemIsEditable));
    for (QAbstractSpinBox* box : std::initializer_list<QAbstractSpinBox*>{spinBoxXPpi, spinBoxYPpi,
                                                                           spinBoxDistance})
        box->setLayoutDirection(Qt::RightToLeft);
    spinBoxXPpi->setMaximum(10000);
    spinBoxYPpi->setMaximum(10000);
    spinBoxDistance->setMaximum(10000);
    spinBoxDistance->setMinimum(1);
    spinBoxXPpi->setSpecialValueText("unknown");
    spinBoxYPpi->setSpecialValueText("unknown");
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
    QUndoStack* undoStack = steps->stack();
    buttonUndo = new QToolButton;
    buttonUndo->setText("Undo");
    buttonRedo = new QToolButton;
    buttonRedo->setText("Redo");
    auto* undoAction = new QAction("Undo", this);
    undoAction->setShortcut(QKeySequence::Undo);
    auto* redoAction = new QAction("Redo", this);
    redoAction->setShortcuts({QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")});
    for (QAction* action : {undoAction, redoAction}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
    connect(undoAction, &QAction::triggered, undoStack, &QUndoStack::undo);
    connect(redoAction, &QAction::triggered, undoStack, &QUndoStack::redo);
    connect(buttonUndo, &QToolButton::clicked, undoStack, &QUndoStack::undo);
    connect(buttonRedo, &QToolButton::clicked, undoStack, &QUndoStack::redo);
    connect(undoStack, &QUndoStack::indexChanged, this, &TGlyphEditor::setUndoEnabled);
    connect(undoStack, &QUndoStack::cleanChanged, this, &TGlyphEditor::setUndoEnabled);
    setUndoEnabled();

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

void TGlyphEditor::trackActions()
{
    steps->track(recordedActions());
}

void TGlyphEditor::setupViewing()
{
    // The menu bar that holds the form's actions is hidden, so the window carries
    // the keys. Ctrl+S saves the whole set, as in the main window; one print's
    // annotation is exported by its own button.
    auto keys = [this](const QList<QKeySequence>& sequences, const std::function<void()>& act) {
        auto* action = new QAction(this);
        action->setShortcuts(sequences);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, act);
        addAction(action);
    };
    using editorkeys::key;
    keys({key(editorkeys::SaveSet)}, [this] { emit saveSetRequested(); });
    keys({key(editorkeys::NextPrint)}, [this] { emit neighbourRequested(1); });
    keys({key(editorkeys::PreviousPrint)}, [this] { emit neighbourRequested(-1); });
    keys({key(editorkeys::Keys)}, [this] { emit keysRequested(); });
    // On two lines, so the side panel stays narrow.
    buttonExportAnnotation = new QPushButton("Export this print's\nannotation...");
    buttonExportAnnotation->setObjectName("buttonExportAnnotation");
    connect(buttonExportAnnotation, &QPushButton::clicked, this, &TGlyphEditor::saveFile);
    zoom = new TZoomControl(view, ui->horizontalSlider, ui->spinBoxScale, this);
    keys({QKeySequence("Ctrl+0"), QKeySequence("Ctrl+9")}, [this] { fitView(); });
    keys({QKeySequence::ZoomIn, QKeySequence("Ctrl+=")}, [this] { zoomBy(1.25); });
    keys({QKeySequence::ZoomOut}, [this] { zoomBy(1 / 1.25); });
    connect(ui->spinBoxRotate, QOverload<int>::of(&QSpinBox::valueChanged), zoom,
            &TZoomControl::showFitScale);
    connect(ui->checkBoxFlip, &QCheckBox::toggled, zoom, &TZoomControl::showFitScale);
    // Examiners look closely: far beyond the form's 400 %.
    ui->spinBoxScale->setMaximum(TZoomControl::largest);
    ui->horizontalSlider->setMaximum(TZoomControl::largest);

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
    // The annotation tools go into a tool bar over the print; the side panel keeps
    // the navigator on top and, below it, pages that open one at a time, so it
    // fits a laptop's screen without scrolling.
    toolBar = new QToolBar("Tools", this);
    toolBar->setMovable(false);
    toolBar->setFloatable(false);
    addToolBar(Qt::TopToolBarArea, toolBar);
    ui->verticalLayout->removeWidget(ui->buttonSelectCrop);
    toolBar->addWidget(ui->buttonSelectCrop);
    bindKey(ui->buttonSelectCrop, editorkeys::key(editorkeys::CropOutline),
            editorkeys::description(editorkeys::CropOutline));
    // Subclasses put their tools here, between the crop outline and undo.
    auto* gap = new QWidget;
    gap->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolsEnd = toolBar->addWidget(gap);
    toolBar->addWidget(buttonUndo);
    toolBar->addWidget(buttonRedo);

    QVBoxLayout* side = ui->verticalLayout;
    pages = new QToolBox;
    auto* print = new QWidget;
    auto* printLayout = new QVBoxLayout(print);
    printLayout->setContentsMargins(0, 0, 0, 0);
    side->removeWidget(ui->tableWidget);
    printLayout->addWidget(ui->tableWidget);
    printLayout->addWidget(buttonExportAnnotation);
    addPage(print, "Print");
    auto* prepare = new QWidget;
    auto* prepareLayout = new QVBoxLayout(prepare);
    prepareLayout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* w : std::initializer_list<QWidget*>{ui->buttonCancelSelection, ui->buttonCrop,
                                                      ui->checkBoxFlip, ui->spinBoxRotate}) {
        side->removeWidget(w);
        prepareLayout->addWidget(w);
    }
    prepareLayout->insertWidget(prepareLayout->indexOf(ui->checkBoxFlip) + 1, enhance);
    prepareLayout->insertWidget(prepareLayout->indexOf(enhance) + 1, invert);
    prepareLayout->addStretch();
    addPage(prepare, "Prepare");
    side->addWidget(pages);
    side->addStretch();

    // Room for everything: the table shows all its rows, the side panel scrolls
    // only up and down, and the print takes what the panels leave.
    ui->tableWidget->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui->tableWidget->horizontalHeader()->setStretchLastSection(true);
    tablefit::showAllRows(ui->tableWidget);
    ui->tableWidget->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    ui->scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // As narrow as the table's labels and values allow, so a laptop's screen
    // leaves the print most of its width.
    ui->tableWidget->setMinimumWidth(0);
    int values = 0;
    for (QWidget* cell : std::initializer_list<QWidget*>{spinBoxXPpi, spinBoxDistance, buttonCalibrate})
        values = qMax(values, cell->minimumSizeHint().width());
    sideWidth = ui->tableWidget->verticalHeader()->sizeHint().width() + values
                + 2 * ui->tableWidget->frameWidth();
    ui->scrollArea->setMinimumWidth(0);
    view->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    centralLayout()->setStretchFactor(view, 1);
}

void TGlyphEditor::addTool(QWidget* tool)
{
    toolBar->insertWidget(toolsEnd, tool);
}

void TGlyphEditor::addToolSeparator()
{
    toolBar->insertSeparator(toolsEnd);
}

void TGlyphEditor::addPage(QWidget* page, const QString& title)
{
    pages->addItem(page, title);
}

void TGlyphEditor::bindKey(QAbstractButton* button, const QKeySequence& key, const QString& tip)
{
    auto* action = new QAction(button->text(), this);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, button, [button] {
        if (button->isEnabled() && !(button->isCheckable() && button->isChecked()))
            button->click();
    });
    addAction(action);
    button->setToolTip(QString("%1 (%2)").arg(tip, key.toString(QKeySequence::NativeText)));
}

void TGlyphEditor::showEvent(QShowEvent* event)
{
    // The side panel is as wide as its widest row on any page, and its scroll bar
    // comes on top of that, so nothing in it is ever cut at the side.
    int width = qMax(sideWidth, ui->scrollAreaWidgetContents->minimumSizeHint().width());
    for (int i = 0; i < pages->count(); ++i)
        width = qMax(width, qMax(pages->widget(i)->minimumSizeHint().width(),
                                 pages->widget(i)->minimumWidth()));
    for (QScrollArea* page : pages->findChildren<QScrollArea*>())
        page->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui->scrollArea->setFixedWidth(width + style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    // The first time, the window takes nearly the whole screen: prints want room.
    if (!placed && !isMaximized()) {
        placed = true;
        if (const QScreen* screen = this->screen()) {
            const QRect room = screen->availableGeometry();
            resize(room.size() * 0.95);
            move(room.center() - rect().center());
        }
        setWindowState(windowState() | Qt::WindowMaximized);
    }
    QMainWindow::showEvent(event);
}

void TGlyphEditor::updateTitle()
{
    const QString set = itemFile && !itemFile->text().isEmpty() ? itemFile->text() : "Untitled";
    const QString slot = itemName ? itemName->text() : QString();
    setWindowTitle((slot.isEmpty() ? QString() : slot + " \u2014 ") + set + " \u2014 Ridgemap");
}

void TGlyphEditor::zoomBy(double factor)
{
    zoom->zoomBy(factor);
}

double TGlyphEditor::zoomPercent() const
{
    return ui->spinBoxScale->value();
}

void TGlyphEditor::zoomTo(double percent)
{
    ui->spinBoxScale->setValue(percent);
}

void TGlyphEditor::setUndoEnabled()
{
    const QUndoStack* undoStack = steps->stack();
    buttonUndo->setEnabled(undoStack->canUndo());
    buttonRedo->setEnabled(undoStack->canRedo());
    buttonUndo->setToolTip(undoStack->canUndo() ? "Undo " + undoStack->undoText() : "Undo");
    buttonRedo->setToolTip(undoStack->canRedo() ? "Redo " + undoStack->redoText() : "Redo");
}

QUndoStack* TGlyphEditor::history() const
{
    return steps->stack();
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

void TGlyphEditor::startHistory()
{
    steps->start();
}

void TGlyphEditor::beginStep()
{
    steps->begin();
}

void TGlyphEditor::endStep(const QString& name, TEditHistory::Kind kind)
{
    steps->end(name, kind);
}

void TGlyphEditor::recordStep(const QString& name, TEditHistory::Kind kind)
{
    steps->record(name, kind);
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

void TGlyphEditor::openFile()
{
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
    const int x = spinBoxXPpi->value();
    const int y = spinBoxYPpi->value();
    itemXSpacing->setText(x != 0 ? QString::number(25.4 / x, 'g', 6) : QString());
    itemYSpacing->setText(y != 0 ? QString::number(25.4 / y, 'g', 6) : QString());
    // An unknown resolution is shown as such (the boxes read "unknown" at 0), and for
    // a shown print the boxes say what to do, so no figure is taken for measured.
    const bool shown = !view->croppedPixmap().isNull();
    for (QSpinBox* box : {spinBoxXPpi, spinBoxYPpi})
        box->setToolTip(shown && box->value() == 0
                            ? "Resolution unknown: the scan records none. Set it here or "
                              "calibrate."
                            : QString());
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

void TGlyphEditor::setSliderValue(double value)
{
    ui->horizontalSlider->setValue(int(value));
}

void TGlyphEditor::setSpinValue(int value)
{
    // The slider follows the box in whole percents; only a move of the slider
    // itself sets the box, or a fit's fraction would be cut off the box and not
    // the view.
    if (int(ui->spinBoxScale->value()) != value)
        ui->spinBoxScale->setValue(value);
}

void TGlyphEditor::setScale(double percent)
{
    const double factor = view->transform().inverted().m11() * percent / 100.0;
    view->scale(factor, factor);
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
    // The screenshot shows the print as scanned, whatever tone the eye chose.
    const int tone = view->pixmapItem()->tone();
    view->pixmapItem()->setTone(TImageItem::Natural);
    const QPixmap shot = screenshot::render(view->glyphScene(), view->sceneRect(),
                                            view->selectionRect(),
                                            ui->horizontalSlider->value() / 100.0);
    view->pixmapItem()->setTone(tone);
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
    ui->buttonSelectCrop->setEnabled(uncut);
    ui->buttonCrop->setEnabled(uncut);
    ui->buttonCancelSelection->setEnabled(uncut);
    view->selectCrop(uncut && ui->buttonSelectCrop->isChecked());
    updatePreview();
    // The print was fitted anew: the zoom box and slider show the scale it has.
    zoom->showFitScale();
}
