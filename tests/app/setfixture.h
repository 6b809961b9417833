#ifndef SETFIXTURE_H
#define SETFIXTURE_H

#include "testsupport.h"

#include "annotation/tglyphrecord.h"
#include "app/mainwindow.h"
#include "finger/tdermatoglyphview.h"
#include "finger/tfingersettings.h"
#include "palm/tpalmsettings.h"
#include "palm/tpalmview.h"
#include "view/tgraphicsvertexitem.h"
#include "view/trcline.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QSpinBox>
#include <QTableWidgetItem>
#include <QTemporaryDir>
#include <QTextStream>
#include <QUndoStack>
#include <QtTest>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

inline QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline quint32 crc32(const QByteArray& bytes)
{
    quint32 crc = 0xffffffffu;
    for (const char c : bytes) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A PNG that claims its size and holds no pixels.
inline QByteArray pngHeader(quint32 width, quint32 height)
{
    auto bigEndian = [](quint32 v) {
        const char bytes[] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
        return QByteArray(bytes, 4);
    };
    const QByteArray ihdr = "IHDR" + bigEndian(width) + bigEndian(height)
                            + QByteArray::fromHex("0800000000");
    return QByteArray::fromHex("89504e470d0a1a0a") + bigEndian(13) + ihdr
           + bigEndian(crc32(ihdr)) + bigEndian(0) + "IDAT" + bigEndian(crc32("IDAT"))
           + bigEndian(0) + "IEND" + bigEndian(crc32("IEND"));
}

// Compares line by line, so that a failure names the first line that differs.
inline void compareLines(const QString& actual, const QString& expected)
{
    const QStringList a = actual.split("\r\n");
    const QStringList e = expected.split("\r\n");
    for (int i = 0; i < qMin(a.size(), e.size()); ++i)
        QCOMPARE(QString::number(i) + ": " + a[i], QString::number(i) + ": " + e[i]);
    QCOMPARE(a.size(), e.size());
}

inline void import(MainWindow& w, const QString& path, int slot = -1)
{
    if (slot < 0)
        QVERIFY(QMetaObject::invokeMethod(&w, "importImage", Q_ARG(QString, path)));
    else
        QVERIFY(QMetaObject::invokeMethod(&w, "importImage", Q_ARG(QString, path), Q_ARG(int, slot)));
}

inline bool save(MainWindow& w)
{
    bool saved = false;
    QMetaObject::invokeMethod(&w, "save", Q_RETURN_ARG(bool, saved));
    return saved;
}

// Finger k: a crop, a turn and (odd k) a mirror, a flexion outline, two cores and
// two triradii with traced lines, ridge points and a classification.
inline void annotateFinger(TDermatoglyphEditor* editor, int k)
{
    TDermatoglyphView* view = editor->dermatoglyphView();
    TGlyphRecord crop;
    crop.crop = {QPointF(10 + k, 10), QPointF(390, 12), QPointF(380, 290), QPointF(10, 280)};
    view->loadImageState(crop);
    editor->findChild<QSpinBox*>("spinBoxRotate")->setValue(k - 4);
    editor->findChild<QCheckBox*>("checkBoxFlip")->setChecked(k % 2);
    view->addVertex(QPointF(20, 200 + k));
    view->addVertex(QPointF(200.25, 215));
    view->addVertex(QPointF(330, 205));
    TGraphicsVertexItem* core = view->addLandmark(QPointF(120 + k, 60), Core);
    view->addLandmark(QPointF(260, 70.5), Core);
    TGraphicsVertexItem* t = view->addLandmark(QPointF(90, 170), Triradius);
    view->addLandmark(QPointF(300, 160), Triradius);
    core->addRidgeLine();
    core->addRidgePoint(QPointF(130, 80));
    t->addRidgeLine();
    t->addRidgePoint(QPointF(70, 190.5));
    view->connectPoints();
    view->addRidgePoints(true);
    view->coreCoreCountLine()->addRidgePoint(190, 65);
    view->coreTriradiusCountLines().at(0)->addRidgePoint(105, 115);
    view->addRidgePoints(false);
    TFingerSettings* panel = editor->settingsPanel();
    panel->findChild<QCheckBox*>("flexionRadial")->setChecked(k % 3 == 0);
    panel->findChild<QCheckBox*>("extralimitalUlnar")->setChecked(true);
    panel->findChild<QComboBox*>("rotationInner")->setCurrentIndex(k % 3);
}

// A palm: the five main triradii and an axial one, a core with a radiant, a
// ridge count and a custom pattern text with characters special to XML.
inline void annotatePalm(TPalmEditor* editor)
{
    TPalmView* view = editor->palmGlyphView();
    TGraphicsVertexItem* a = view->addTriradius(palmlines::A, QPointF(50, 60));
    view->addTriradius(palmlines::B, QPointF(150.5, 55));
    view->addTriradius(palmlines::C, QPointF(250, 58));
    view->addTriradius(palmlines::D, QPointF(350, 62));
    view->addTriradius(palmlines::T, QPointF(200, 280));
    a->addRidgeLine();
    a->addRidgePoint(QPointF(40, 70));
    TGraphicsVertexItem* core = view->addCorePoint(QPointF(200, 150));
    core->addRidgeLine();
    core->addRidgePoint(QPointF(210, 160));
    view->connectPoints();
    view->addRidgePoints(true);
    view->addRidgePoint(QPointF(100, 57), 0);
    view->addRidgePoints(false);
    editor->presentBox(palmlines::T)->setChecked(true);
    TPalmSettings* panel = editor->settingsPanel();
    panel->dualBox(3)->setCurrentText("Dual");
    panel->patternOptionBox(5)->setCurrentText("custom");
    panel->patternTextItem(5)->setText("R&D \"loop\" <2>");
}

// A folder with a both-hands scan in it, and sets made from it.
class SetFixture : public QObject
{
protected:

    QTemporaryDir dir;
    QString scan;
    QString setPath;

    QString path(const QString& name) const { return dir.filePath(name); }

    // A both-hands set of the scan, written to file, as bytes to be edited.
    QByteArray bothHandsSet(const QString& file)
    {
        MainWindow w;
        import(w, scan);
        return w.writeSet(file) ? contents(file) : QByteArray();
    }

    // A both-hands set, every slot annotated, saved under set.xml.
    void makeFullSet(MainWindow& w)
    {
        import(w, scan);
        for (int k = 0; k < 10; ++k)
            annotateFinger(static_cast<TDermatoglyphEditor*>(w.editor(k)), k);
        annotatePalm(static_cast<TPalmEditor*>(w.editor(10)));
        annotatePalm(static_cast<TPalmEditor*>(w.editor(11)));
        QVERIFY(w.writeSet(setPath));
    }

    void prepare()
    {
        testsupport::isolateSettings();
        scan = path("both hands.png");
        setPath = path("set.xml");
        QVERIFY(testsupport::writeImage(scan, 400, 300, 600));
        QVERIFY(testsupport::writeImage(path("other.png"), 300, 200, 500));
    }
};

#endif
