#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "annotation/setfile.h"
#include "app/tsetsession.h"
#include "finger/tdermatoglypheditor.h"
#include "palm/tpalmeditor.h"

#include <QImage>
#include <QMainWindow>
#include <QMessageBox>
#include <QVector>

#include <functional>

class QGraphicsView;
class QIODevice;
class QMenu;
class QPushButton;
class QSettings;
class QSignalMapper;
class QTextStream;
class TWheelEater;
namespace Ui { class MainWindow; }

// The window of one print set: twelve print slots with live thumbnails, their
// editors, image import and the set file.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    static const QStringList slotNames;

    TGlyphEditor* editor(int i) const { return editors.value(i); }
    QGraphicsView* thumbnail(int i) const { return thumbnails.value(i); }
    QImage image(int i) const { return images.value(i); }
    QString imageName(int i) const { return imageNames.value(i); }
    QString currentDocumentName() const { return documentName; }
    QString currentDocumentDir() const { return documentDir; }

    // Where Open takes a set's scans from: the scan of the name the set gives, or a
    // null image with the reason in error.
    using ScanSource = std::function<QImage(const QString& name, QString* error)>;

    // The loading step of Open: reads and checks fileName whole, then applies it.
    // On failure reports it and leaves the current set as it was.
    bool openSet(const QString& fileName);
    // The same for a set read from device as if from fileName, its scans taken from
    // scans instead of the set's folder.
    bool openSet(QIODevice& device, const QString& fileName, const ScanSource& scans);
    // Writes the set to path; on failure reports it, returns false and leaves an
    // earlier file of that name untouched.
    bool writeSet(const QString& path);
    // Writes the set file's text after its XML declaration.
    void writeSetTo(QTextStream& out) const;
    // The open set as records: images, resolutions and every print's record.
    setfile::Contents contents() const;
    // Whether the set holds work that is not saved.
    bool isModified() const;
    // Offers back the newest copy of unsaved work that a session left behind when
    // it ended without closing; true when the examiner took it.
    bool offerRecovery();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private slots:
    void open();
    bool saveAs();
    bool save();
    void exportResults();
    void editDetails();
    void importImage();
    void importImageLeft();
    void importImageRight();
    void importImage(int i);
    void importImageRight(const QString& fileName);
    void importImageLeft(const QString& fileName);
    void importImage(const QString& fileName);
    void importImage(const QString& fileName, int i);
    void fitInView(int i);
    void reset(int i);
    void newFile();
    void showKeys();
    void updateTitle();

private:
    QString askImageFile();
    bool canNameInSet(const QString& fileName);
    void loadInto(const QString& fileName, const QVector<int>& targets, bool resetFirst);
    void showInSlot(int i, const QImage& image);
    int askToSave(const QString& question);
    // A question in a box titled "Ridgemap"; the button chosen.
    int ask(const QString& question, QMessageBox::StandardButtons buttons,
            QMessageBox::StandardButton preferred);
    // Asks before work in any of targets is thrown away; true when nothing is
    // annotated there or the user chose Discard.
    bool confirmDiscard(const QVector<int>& targets, const QString& action);
    // Cancel of slot i without a question.
    void resetSlot(int i);
    void report(const QString& text);
    // True when nothing unsaved would be lost, or the examiner saved or chose to
    // discard it.
    bool mayLeave(const QString& question);
    void openRecent(const QString& fileName);
    void fillRecentMenu();
    // Shows the editor of the next slot with a print in step's direction in the
    // place and at the zoom of slot from's editor.
    void showNeighbour(int from, int step);
    TSetSession::Snapshot snapshot() const;


    Ui::MainWindow* ui;
    TDermatoglyphEditor fingerEditors[10];
    TPalmEditor palmEditors[2];
    QSettings* settings;
    QVector<TGlyphEditor*> editors;
    QVector<QGraphicsView*> thumbnails;
    QVector<QPushButton*> editButtons;
    QVector<QPushButton*> cancelButtons;
    QVector<QPushButton*> importButtons;
    QSignalMapper* sceneMapper;
    QSignalMapper* cancelMapper;
    QSignalMapper* importMapper;
    QVector<QImage> images;
    QVector<QString> imageNames;
    // Where each slot's scan was read from, for recovery copies.
    QVector<QString> imagePaths;
    QVector<int> xPpis;
    QVector<int> yPpis;
    QString documentName;
    QString documentDir;
    // File > Set details: whose prints, who annotated them, when.
    QString subject;
    QString examiner;
    QString date;
    TWheelEater* wheelEater;
    TSetSession* session = nullptr;
    QMenu* recentMenu = nullptr;
    bool placed = false;
};

#endif
