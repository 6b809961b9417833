#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "annotation/sectionformat.h"
#include "annotation/setfile.h"
#include "annotation/treaderror.h"
#include "app/tsetdetailsdialog.h"
#include "app/tsetsession.h"
#include "scan/printimage.h"
#include "tables/resultstable.h"
#include "view/editorkeys.h"
#include "view/filechoice.h"
#include "view/timageitem.h"
#include "view/twheeleater.h"

#include <QApplication>
#include <QBuffer>
#include <QLocale>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>
#include <QScrollBar>
#include <QSettings>
#include <QSignalMapper>
#include <QTextStream>
#include <QTimer>

const QStringList MainWindow::slotNames = setfile::slotNames();

static const QVector<int> leftHand = {0, 1, 2, 3, 4, 10};
static const QVector<int> rightHand = {5, 6, 7, 8, 9, 11};
static const QVector<int> bothHands = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent),
      ui(new Ui::MainWindow),
      images(setfile::slotCount),
      imageNames(setfile::slotCount),
      imagePaths(setfile::slotCount),
      xPpis(setfile::slotCount, 0),
      yPpis(setfile::slotCount, 0)
{
    ui->setupUi(this);
    wheelEater = new TWheelEater(this);

    for (TDermatoglyphEditor& e : fingerEditors)
        editors.append(&e);
    for (TPalmEditor& e : palmEditors)
        editors.append(&e);
    for (int i = 0; i < editors.size(); ++i)
        editors[i]->setName(slotNames[i]);

    thumbnails = {ui->editor1L, ui->editor2L, ui->editor3L, ui->editor4L, ui->editor5L,
                  ui->editor1R, ui->editor2R, ui->editor3R, ui->editor4R, ui->editor5R,
                  ui->editorPalm1, ui->editorPalm2};
    for (QGraphicsView* t : qAsConst(thumbnails))
        t->verticalScrollBar()->installEventFilter(wheelEater);
    // Thumbnails small enough that the whole window fits a laptop's screen.
    for (int i = 0; i < thumbnails.size(); ++i)
        thumbnails[i]->setMinimumHeight(i < 10 ? 100 : 130);

    editButtons = {ui->buttonEdit1L, ui->buttonEdit2L, ui->buttonEdit3L, ui->buttonEdit4L,
                   ui->buttonEdit5L, ui->buttonEdit1R, ui->buttonEdit2R, ui->buttonEdit3R,
                   ui->buttonEdit4R, ui->buttonEdit5R, ui->buttonEditPalm1, ui->buttonEditPalm2};
    cancelButtons = {ui->buttonCancel1L, ui->buttonCancel2L, ui->buttonCancel3L,
                     ui->buttonCancel4L, ui->buttonCancel5L, ui->buttonCancel1R,
                     ui->buttonCancel2R, ui->buttonCancel3R, ui->buttonCancel4R,
                     ui->buttonCancel5R, ui->buttonCancelPalm1, ui->buttonCancelPalm2};
    importButtons = {ui->buttonImport1L, ui->buttonImport2L, ui->buttonImport3L,
                     ui->buttonImport4L, ui->buttonImport5L, ui->buttonImport1R,
                     ui->buttonImport2R, ui->buttonImport3R, ui->buttonImport4R,
                     ui->buttonImport5R, ui->buttonImportPalm1, ui->buttonImportPalm2};
    for (int i = 0; i < 10; ++i) {
        const QString finger = slotNames[i].mid(1) + slotNames[i].left(1);
        editButtons[i]->setToolTip("Edit " + finger);
        cancelButtons[i]->setToolTip("Cancel " + finger);
        importButtons[i]->setToolTip("Import image " + finger);
    }

    ui->actionExport->setVisible(false);

    sceneMapper = new QSignalMapper(this);
    cancelMapper = new QSignalMapper(this);
    importMapper = new QSignalMapper(this);
    for (int i = 0; i < setfile::slotCount; ++i) {
        QGraphicsView* t = thumbnails[i];
        t->setDragMode(QGraphicsView::NoDrag);
        t->setFocusPolicy(Qt::NoFocus);
        t->blockSignals(true);
        t->setInteractive(false);
        t->setBackgroundBrush(QBrush(QPixmap(":/images/back.png")));
        t->setFrameStyle(0);
        t->setScene(new QGraphicsScene(this));
        t->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

        editButtons[i]->setIcon(QIcon(":/images/edit.png"));
        cancelButtons[i]->setIcon(QIcon(":/images/cancel.png"));
        importButtons[i]->setIcon(QIcon(":/images/import.png"));

        cancelMapper->setMapping(cancelButtons[i], i);
        connect(cancelButtons[i], &QPushButton::clicked, cancelMapper,
                QOverload<>::of(&QSignalMapper::map));
        importMapper->setMapping(importButtons[i], i);
        connect(importButtons[i], &QPushButton::clicked, importMapper,
                QOverload<>::of(&QSignalMapper::map));
        sceneMapper->setMapping(editors[i], i);
        connect(editors[i], &TGlyphEditor::sceneRectChanged, sceneMapper,
                QOverload<>::of(&QSignalMapper::map));
        TGlyphEditor* e = editors[i];
        connect(editButtons[i], &QPushButton::clicked, e, &TGlyphEditor::show);
        connect(editButtons[i], &QPushButton::clicked, e, &TGlyphEditor::fitView);
    }
    connect(cancelMapper, &QSignalMapper::mappedInt, this, &MainWindow::reset);
    connect(sceneMapper, &QSignalMapper::mappedInt, this, &MainWindow::fitInView);
    connect(importMapper, &QSignalMapper::mappedInt, this, QOverload<int>::of(&MainWindow::importImage));

    settings = new QSettings("Vintrel", "Ridgemap", this);

    connect(ui->actionNew, &QAction::triggered, this, &MainWindow::newFile);
    connect(ui->actionOpen, &QAction::triggered, this, &MainWindow::open);
    connect(ui->actionSaveAs, &QAction::triggered, this, &MainWindow::saveAs);
    connect(ui->actionSave, &QAction::triggered, this, &MainWindow::save);
    connect(ui->actionExportResults, &QAction::triggered, this, &MainWindow::exportResults);
    auto* details = new QAction("Set details...", this);
    ui->menuFile->insertAction(ui->actionExport, details);
    connect(details, &QAction::triggered, this, &MainWindow::editDetails);
    connect(ui->actionExit, &QAction::triggered, this, &MainWindow::close);
    connect(ui->actionImport_both_hands, &QAction::triggered, this,
            QOverload<>::of(&MainWindow::importImage));
    connect(ui->actionImport_left_hand, &QAction::triggered, this,
            QOverload<>::of(&MainWindow::importImageLeft));
    connect(ui->actionImport_right_hand, &QAction::triggered, this,
            QOverload<>::of(&MainWindow::importImageRight));

    ui->actionNew->setIcon(QIcon(":/images/new.png"));
    ui->actionOpen->setIcon(QIcon(":/images/open.png"));
    ui->actionSaveAs->setIcon(QIcon(":/images/saveas.png"));
    ui->actionSave->setIcon(QIcon(":/images/saveas.png"));
    ui->menuImport_image->setIcon(QIcon(":/images/import.png"));
    ui->actionImport_right_hand->setIcon(QIcon(":/images/import.png"));
    ui->actionImport_left_hand->setIcon(QIcon(":/images/import.png"));
    ui->actionImport_both_hands->setIcon(QIcon(":/images/import.png"));
    setWindowIcon(QIcon(":/ridgemap.png"));
    ui->actionNew->setShortcut(QKeySequence::New);
    ui->actionOpen->setShortcut(QKeySequence::Open);
    ui->actionSave->setShortcut(QKeySequence::Save);
    ui->actionSaveAs->setShortcut(QKeySequence::SaveAs);
    ui->actionExit->setShortcut(QKeySequence::Quit);
    recentMenu = new QMenu("Open Recent", this);
    ui->menuFile->insertMenu(ui->actionSave, recentMenu);
    connect(recentMenu, &QMenu::aboutToShow, this, &MainWindow::fillRecentMenu);

    session = new TSetSession(editors, [this] { return snapshot(); }, this);
    connect(session, &TSetSession::modifiedChanged, this, &MainWindow::updateTitle);
    for (int i = 0; i < setfile::slotCount; ++i) {
        TGlyphEditor* e = editors[i];
        connect(e, &TGlyphEditor::saveSetRequested, this, &MainWindow::save);
        connect(e, &TGlyphEditor::neighbourRequested, this,
                [this, i](int step) { showNeighbour(i, step); });
        connect(e, &TGlyphEditor::keysRequested, this, &MainWindow::showKeys);
    }

    QMenu* help = menuBar()->addMenu("&Help");
    connect(help->addAction("Keyboard shortcuts"), &QAction::triggered, this, &MainWindow::showKeys);
    connect(help->addAction("About Ridgemap"), &QAction::triggered, this, [this] {
        QMessageBox::about(this, "About Ridgemap",
                           QString("<b>Ridgemap %1</b><p>Digitises dermatoglyphic traits from "
                                   "scanned finger and palm prints.</p><p>Free software under the "
                                   "GNU General Public License, version 3 or later.</p>")
                               .arg(RIDGEMAP_VERSION));
    });
    updateTitle();
    for (TGlyphEditor* e : qAsConst(editors))
        e->markPristine();
}

MainWindow::~MainWindow()
{
    // The session watches the editors, which go before the window's children do.
    delete session;
    session = nullptr;
    // The thumbnails show the editors' scenes, which go before the form does.
    for (QGraphicsView* t : qAsConst(thumbnails))
        t->setScene(nullptr);
    delete ui;
}

void MainWindow::updateTitle()
{
    // An asterisk while the set holds work that is not saved.
    setWindowTitle("Ridgemap \u2014 " + (documentName.isEmpty() ? QString("Untitled") : documentName)
                   + "[*]");
    setWindowModified(session && session->isModified());
}

TSetSession::Snapshot MainWindow::snapshot() const
{
    TSetSession::Snapshot now;
    QBuffer text(&now.text);
    text.open(QIODevice::WriteOnly);
    {
        QTextStream out(&text);
        sectionformat::prepareStream(out);
        sectionformat::writeLine(out, 0, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
        writeSetTo(out);
    }
    now.set = documentName.isEmpty() ? QString() : documentDir + "/" + documentName;
    now.scans = imagePaths.toList();
    return now;
}

void MainWindow::showKeys()
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle("Keyboard shortcuts");
    box.setTextFormat(Qt::RichText);
    box.setText("<p>In a print's editor:</p>" + editorkeys::table());
    box.exec();
}

void MainWindow::showNeighbour(int from, int step)
{
    int to = from + step;
    while (to >= 0 && to < setfile::slotCount && images[to].isNull())
        to += step;
    if (to < 0 || to >= setfile::slotCount)
        return;
    TGlyphEditor* now = editors[from];
    TGlyphEditor* next = editors[to];
    // In the same place and at the same zoom, as one window going on to the next print.
    next->show();
    next->setWindowState(now->windowState());
    if (!now->isMaximized())
        next->setGeometry(now->geometry());
    next->zoomTo(now->zoomPercent());
    next->raise();
    next->activateWindow();
    now->hide();
}

bool MainWindow::isModified() const
{
    return session->isModified();
}

void MainWindow::fitInView(int i)
{
    thumbnails[i]->fitInView(editors[i]->pixmapItem(), Qt::KeepAspectRatio);
}

void MainWindow::showEvent(QShowEvent* event)
{
    // Where the examiner left it; the first time, inside the screen, whatever the
    // form's size: every slot's buttons must show on a laptop.
    if (!placed) {
        placed = true;
        const QByteArray kept = QSettings("Vintrel", "Ridgemap").value("window").toByteArray();
        const QScreen* screen = this->screen();
        if ((kept.isEmpty() || !restoreGeometry(kept)) && screen) {
            // The window manager's frame is not known before the window is up: a
            // title bar's height is kept free for it, and the manager places it.
            const QRect room = screen->availableGeometry();
            const int title = style()->pixelMetric(QStyle::PM_TitleBarHeight) + 8;
            resize(size().boundedTo(room.size() - QSize(8, title)));
        }
    }
    QMainWindow::showEvent(event);
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    for (int i = 0; i < setfile::slotCount; ++i)
        fitInView(i);
}

void MainWindow::reset(int i)
{
    if (confirmDiscard({i}, "Cancel brings back the image as it was imported."))
        resetSlot(i);
}

bool MainWindow::confirmDiscard(const QVector<int>& targets, const QString& action)
{
    QStringList annotated;
    for (int k : targets)
        if (editors[k]->hasAnnotation())
            annotated.append(slotNames[k]);
    if (annotated.isEmpty())
        return true;
    QMessageBox box(this);
    box.setWindowTitle("Ridgemap");
    box.setText(action + "\nThe annotation of " + annotated.join(", ") + " will be lost.");
    QPushButton* discard = box.addButton("Discard annotation", QMessageBox::DestructiveRole);
    box.setDefaultButton(box.addButton("Keep", QMessageBox::RejectRole));
    box.exec();
    return box.clickedButton() == discard;
}

void MainWindow::resetSlot(int i)
{
    // Undoable in the slot's editor, which refreshes its navigator itself.
    editors[i]->revertToImage(images[i]);
    fitInView(i);
}

int MainWindow::askToSave(const QString& question)
{
    return ask(question, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
               QMessageBox::Save);
}

int MainWindow::ask(const QString& question, QMessageBox::StandardButtons buttons,
                    QMessageBox::StandardButton preferred)
{
    QMessageBox box;
    box.setWindowTitle("Ridgemap");
    box.setText(question);
    box.setStandardButtons(buttons);
    box.setDefaultButton(preferred);
    return box.exec();
}

void MainWindow::report(const QString& text)
{
    QMessageBox::warning(this, "Ridgemap", text);
}

bool MainWindow::mayLeave(const QString& question)
{
    if (!session->isModified())
        return true;
    const int answer = askToSave(question);
    return answer == QMessageBox::Save ? save() : answer == QMessageBox::Discard;
}

void MainWindow::newFile()
{
    if (!mayLeave("Do you want to save the current document before creating a new one?"))
        return;
    // Nothing of the old set may come back through Cancel or a later save.
    images.fill(QImage());
    imageNames.fill(QString());
    imagePaths.fill(QString());
    xPpis.fill(0);
    yPpis.fill(0);
    for (int i = 0; i < setfile::slotCount; ++i) {
        resetSlot(i);
        editors[i]->setFileName(QString());
        editors[i]->importImage(QImage());
    }
    documentName.clear();
    documentDir.clear();
    subject.clear();
    examiner.clear();
    date.clear();
    session->markSaved();
    updateTitle();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (mayLeave("Do you want to save the document before closing?")) {
        event->accept();
        // Closed on purpose: the recovery copy has served.
        session->discardCopy();
        QSettings("Vintrel", "Ridgemap").setValue("window", saveGeometry());
        // The editors are windows of their own; they go with the set.
        for (TGlyphEditor* e : qAsConst(editors))
            e->close();
    } else {
        event->ignore();
    }
}

QString MainWindow::askImageFile()
{
    return filechoice::ask(this, *settings, "path", filechoice::Open, "Import image",
                           printimage::fileFilter);
}

void MainWindow::importImage(int i)
{
    const QString fileName = askImageFile();
    if (fileName.isEmpty())
        return;
    importImage(fileName, i);
}

void MainWindow::importImageLeft()
{
    const QString fileName = askImageFile();
    if (!fileName.isEmpty())
        importImageLeft(fileName);
}

void MainWindow::importImageRight()
{
    const QString fileName = askImageFile();
    if (!fileName.isEmpty())
        importImageRight(fileName);
}

void MainWindow::importImage()
{
    const QString fileName = askImageFile();
    if (!fileName.isEmpty())
        importImage(fileName);
}

void MainWindow::importImage(const QString& fileName, int i)
{
    loadInto(fileName, {i}, true);
}

void MainWindow::importImageLeft(const QString& fileName)
{
    loadInto(fileName, leftHand, true);
}

void MainWindow::importImageRight(const QString& fileName)
{
    loadInto(fileName, rightHand, true);
}

void MainWindow::importImage(const QString& fileName)
{
    loadInto(fileName, bothHands, false);
}

void MainWindow::showInSlot(int i, const QImage& image)
{
    editors[i]->importImage(image);
    thumbnails[i]->setScene(editors[i]->scene());
    images[i] = image;
}

bool MainWindow::canNameInSet(const QString& fileName)
{
    // A set file could not hold the name, or would not read it back as it is.
    if (sectionformat::isStorable(QFileInfo(fileName).fileName()))
        return true;
    report(QString("The image %1 cannot be imported: its file name holds a control "
                   "character, which a set file cannot store. Rename the file and import "
                   "it again.").arg(sectionformat::storable(fileName)));
    return false;
}

void MainWindow::loadInto(const QString& fileName, const QVector<int>& targets, bool resetFirst)
{
    if (!canNameInSet(fileName))
        return;
    QString error;
    // Decoded once and converted once, so every slot shares the same pixels.
    const QImage image = printimage::forDisplay(printimage::load(fileName, &error));
    if (image.isNull()) {
        report(QString("The image %1 could not be imported:\n%2").arg(fileName, error));
        return;
    }
    if (!confirmDiscard(targets, "The image " + QFileInfo(fileName).fileName()
                                     + " replaces what these slots hold."))
        return;
    const QString name = QFileInfo(fileName).fileName();
    for (int k : targets) {
        if (resetFirst)
            editors[k]->reset();
        showInSlot(k, image);
        imageNames[k] = name;
        imagePaths[k] = QFileInfo(fileName).absoluteFilePath();
        fitInView(k);
    }
    // An import is work of its own: kept at once.
    session->markChanged();
    session->keepCopy();
    updateTitle();
}

bool MainWindow::saveAs()
{
    // A name typed without suffix gets ".xml", or the Open dialog's filter would not
    // list the set.
    const QString fileName = filechoice::ask(this, *settings, "path", filechoice::Save,
                                             "Save File As..", "*.xml", true, "xml");
    if (fileName.isEmpty())
        return false;
    documentName = QFileInfo(fileName).fileName();
    documentDir = QFileInfo(fileName).absolutePath();
    for (TGlyphEditor* e : qAsConst(editors))
        e->setFileName(documentName);
    updateTitle();
    return save();
}

bool MainWindow::save()
{
    if (documentName.isEmpty())
        return saveAs();
    const QString path = documentDir + "/" + documentName;
    if (!writeSet(path))
        return false;
    session->markSaved();
    TSetSession::addRecentSet(path);
    updateTitle();
    return true;
}

setfile::Contents MainWindow::contents() const
{
    setfile::Contents set;
    for (int i = 0; i < setfile::slotCount; ++i) {
        set.images[i].src = imageNames[i];
        set.images[i].xPpi = editors[i]->xPpi();
        set.images[i].yPpi = editors[i]->yPpi();
        set.sizes[i] = images[i].size();
        set.records[i] = editors[i]->record();
    }
    set.subject = subject;
    set.examiner = examiner;
    set.date = date;
    return set;
}

void MainWindow::writeSetTo(QTextStream& out) const
{
    setfile::write(out, contents());
}

bool MainWindow::writeSet(const QString& path)
{
    QString error;
    const bool written = sectionformat::writeXmlFile(
        path, [this](QTextStream& out) { writeSetTo(out); }, &error);
    if (!written)
        report(QString("The set could not be saved to %1:\n%2").arg(path, error));
    return written;
}

void MainWindow::exportResults()
{
    const QString fileName = filechoice::ask(this, *settings, "path", filechoice::Save,
                                             "Export results", "*.csv");
    if (fileName.isEmpty())
        return;
    // The table is worked out from the set as saving would write it, read back by
    // the checked reader: the road a set file takes on the command line.
    QBuffer set;
    set.open(QIODevice::ReadWrite);
    {
        QTextStream out(&set);
        sectionformat::prepareStream(out);
        writeSetTo(out);
    }
    set.seek(0);
    setfile::Contents contents;
    try {
        contents = setfile::read(set, false);   // the tables need no traced lines
    } catch (const TReadError& e) {
        report(e.message());
        return;
    }
    const QString name = documentName.isEmpty() ? QString() : documentDir + "/" + documentName;
    QString error;
    const bool written = sectionformat::writeTextFile(fileName, [&](QTextStream& out) {
        resultstable::writeRow(out, resultstable::printColumns());
        for (const QStringList& row : resultstable::printRows(name, contents))
            resultstable::writeRow(out, row);
    }, &error);
    if (!written)
        report(QString("The results could not be saved to %1:\n%2").arg(fileName, error));
}

void MainWindow::editDetails()
{
    TSetDetailsDialog dialog(this);
    dialog.setDetails(subject, examiner, date);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (dialog.subject() == subject && dialog.examiner() == examiner && dialog.date() == date)
        return;
    subject = dialog.subject();
    examiner = dialog.examiner();
    date = dialog.date();
    // The details are part of the set: not saved until the set is.
    session->markChanged();
    updateTitle();
}

void MainWindow::open()
{
    if (!mayLeave("Do you want to save the current document before opening another one?"))
        return;
    // The folder is kept once the set has been read.
    const QString fileName = filechoice::ask(this, *settings, "path", filechoice::Open,
                                             "Open file..", "*.xml", false);
    if (fileName.isEmpty())
        return;
    openSet(fileName);
}

void MainWindow::openRecent(const QString& fileName)
{
    if (mayLeave("Do you want to save the current document before opening another one?"))
        openSet(fileName);
}

void MainWindow::fillRecentMenu()
{
    recentMenu->clear();
    for (const QString& path : TSetSession::recentSets())
        connect(recentMenu->addAction(path), &QAction::triggered, this,
                [this, path] { openRecent(path); });
    recentMenu->setEnabled(!recentMenu->isEmpty());
}

bool MainWindow::openSet(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        report("Error opening XML file " + fileName);
        return false;
    }
    const QString dir = QFileInfo(fileName).absolutePath();
    const bool opened = openSet(file, fileName, [dir](const QString& name, QString* error) {
        return printimage::load(dir + "/" + name, error);
    });
    if (opened) {
        for (int i = 0; i < setfile::slotCount; ++i)
            imagePaths[i] = imageNames[i].isEmpty() ? QString() : dir + "/" + imageNames[i];
        TSetSession::addRecentSet(fileName);
    }
    return opened;
}

bool MainWindow::offerRecovery()
{
    const QList<TSetRecovery::Copy> copies = TSetRecovery::leftBehind();
    if (copies.isEmpty())
        return false;
    const TSetRecovery::Copy copy = copies.first();
    QMessageBox box(this);
    box.setWindowTitle("Ridgemap");
    box.setIcon(QMessageBox::Warning);
    box.setText(QString("Ridgemap was not closed properly. A copy of %1, kept on %2, holds work "
                        "that was not saved.\n\nRestore it, or discard it?")
                    .arg(copy.set.isEmpty() ? QString("a new set") : copy.set,
                         QLocale().toString(copy.kept, QLocale::LongFormat)));
    QPushButton* restore = box.addButton("Restore", QMessageBox::AcceptRole);
    box.addButton("Discard", QMessageBox::DestructiveRole);
    box.setDefaultButton(restore);
    box.exec();
    const bool wanted = box.clickedButton() == restore;
    TSetRecovery::remove(copy);
    if (!wanted)
        return false;
    QByteArray text = copy.text.toUtf8();
    QBuffer device(&text);
    device.open(QIODevice::ReadOnly);
    // The scans come from where the session had them, whatever the set's folder.
    const QStringList scans = copy.scans;
    const bool opened = openSet(device, copy.set, [scans](const QString& name, QString* error) {
        for (const QString& path : scans)
            if (!path.isEmpty() && QFileInfo(path).fileName() == name)
                return printimage::load(path, error);
        if (error)
            *error = "The scan is no longer where it was.";
        return QImage();
    });
    if (!opened)
        return false;
    for (int i = 0; i < setfile::slotCount; ++i)
        imagePaths[i] = scans.value(i);
    // The work is back, and still not saved.
    session->markChanged();
    session->keepCopy();
    updateTitle();
    return true;
}

bool MainWindow::openSet(QIODevice& device, const QString& fileName, const ScanSource& scans)
{
    setfile::Contents contents;
    try {
        contents = setfile::read(device);
    } catch (const TReadError& e) {
        report(e.message());
        return false;
    }

    // Only a set read whole replaces the current one. A set without a file (one
    // brought back after a crash before it was first saved) is a new set.
    documentName = QFileInfo(fileName).fileName();
    documentDir = fileName.isEmpty() ? QString() : QFileInfo(fileName).absolutePath();
    subject = contents.subject;
    examiner = contents.examiner;
    date = contents.date;
    for (TGlyphEditor* e : qAsConst(editors)) {
        e->reset();
        e->setFileName(documentName);
    }
    if (!fileName.isEmpty())
        settings->setValue("path", documentDir);
    imagePaths.fill(QString());
    updateTitle();

    QHash<QString, QImage> decoded;
    QStringList unreadable;
    for (int i = 0; i < setfile::slotCount; ++i) {
        const QString name = contents.images[i].src;
        imageNames[i] = name;
        xPpis[i] = contents.images[i].xPpi;
        yPpis[i] = contents.images[i].yPpi;
        if (name.isEmpty() || decoded.contains(name))
            continue;
        QString error;
        const QImage image = printimage::forDisplay(scans(name, &error));
        if (image.isNull())
            unreadable.append(name + ": " + error);
        decoded.insert(name, image);
    }
    for (int i = 0; i < setfile::slotCount; ++i) {
        showInSlot(i, decoded.value(imageNames[i]));
        fitInView(i);
        editors[i]->setDpi(xPpis[i], yPpis[i]);
        editors[i]->updateSpacing();
    }
    for (int i = 0; i < setfile::slotCount; ++i) {
        // Refreshes the navigator once the print is cropped and turned.
        editors[i]->loadAnnotation(contents.records[i]);
        editors[i]->startHistory();
    }
    session->markSaved();
    updateTitle();
    if (!unreadable.isEmpty())
        report("These images of the set could not be read from " + documentDir + ":\n"
               + unreadable.join("\n"));
    return true;
}
