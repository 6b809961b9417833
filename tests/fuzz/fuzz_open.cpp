// Opens arbitrary bytes as a set file all the way, as Open does: the read, then
// every section applied to the twelve editors of a main window, with small scans in
// memory for the images the set names, and the prints painted as the window would
// paint them. The set is then written again and must read back whole: every set
// the program saves opens again.
#include "annotation/setfile.h"
#include "annotation/treaderror.h"
#include "app/mainwindow.h"
#include "view/tglyphview.h"

#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <QGraphicsView>
#include <QPainter>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstddef>
#include <cstdint>

namespace {

MainWindow* window = nullptr;
QVector<QImage> scans;

// Qt's remarks on odd input (a painter on a null pixmap and the like) are noise here.
void quiet(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtFatalMsg) {
        fprintf(stderr, "%s\n", qPrintable(message));
        abort();
    }
}

QImage scan(int width, int height, QImage::Format format, int ppi)
{
    QImage image(width, height, QImage::Format_Grayscale8);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.scanLine(y)[x] = uchar((x * 7 + y * 3) % 5 ? 230 : 20);
    image = image.convertToFormat(format);
    image.setDotsPerMeterX(qMax(1, qRound(ppi / 0.0254)));
    image.setDotsPerMeterY(qMax(1, qRound(ppi / 0.0254)));
    return image;
}

void paint(QWidget* widget)
{
    QImage target(widget->size(), QImage::Format_ARGB32_Premultiplied);
    target.fill(0);
    QPainter painter(&target);
    widget->render(&painter);
}

}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quiet);
    // The program's settings go to a folder of this run, never the user's own.
    static QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    static QApplication app(*argc, *argv);
    scans = {scan(48, 40, QImage::Format_Grayscale8, 500), scan(40, 56, QImage::Format_RGB32, 0),
             scan(33, 21, QImage::Format_Mono, 1000)};
    window = new MainWindow;
    for (int i = 0; i < setfile::slotCount; ++i) {
        window->thumbnail(i)->resize(96, 96);
        window->editor(i)->glyphView()->resize(160, 160);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    // A set that does not read whole is only reported; the set-file harness has it.
    try {
        setfile::read(buffer);
    } catch (const TReadError&) {
        return 0;
    }
    buffer.seek(0);
    const MainWindow::ScanSource source = [](const QString& name, QString*) {
        return scans.at(int(qHash(name) % uint(scans.size())));
    };
    if (!window->openSet(buffer, "/fuzz/set.xml", source))
        __builtin_trap();
    for (int i = 0; i < setfile::slotCount; ++i) {
        paint(window->thumbnail(i));
        paint(window->editor(i)->glyphView());
    }
    // What the event loop does after Open: pending repaints and deletions, which
    // would otherwise pile up from input to input.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();

    QString text;
    QTextStream out(&text);
    window->writeSetTo(out);
    out.flush();
    QByteArray saved = text.toUtf8();
    QBuffer again(&saved);
    again.open(QIODevice::ReadOnly);
    try {
        setfile::read(again);
    } catch (const TReadError& e) {
        fprintf(stderr, "the saved set does not open again: %s\n", qPrintable(e.message()));
        __builtin_trap();
    }
    return 0;
}
