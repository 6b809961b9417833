#include "bench/harness.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <malloc.h>
#include <unistd.h>

namespace bench {

double seconds(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e9;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

qint64 residentBytes()
{
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() * sysconf(_SC_PAGESIZE) : 0;
}

qint64 peakResidentBytes()
{
    QFile status("/proc/self/status");
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    return residentBytes();
}

void resetPeak()
{
    QFile clear("/proc/self/clear_refs");
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

qint64 bytesRead()
{
    QFile io("/proc/self/io");
    if (!io.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : io.readAll().split('\n'))
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    return 0;
}

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
    malloc_trim(0);
}

bool report(const QString& name, const QVector<Figure>& figures)
{
    QStringList values, floors, ratios, targets;
    bool ok = true;
    for (const Figure& f : figures) {
        const double ratio = f.floor > 0 ? f.value / f.floor : INFINITY;
        ok = ok && ratio <= f.target;
        values << QString::number(f.value, 'f', f.decimals) + " " + f.unit;
        floors << QString::number(f.floor, 'f', f.decimals) + " " + f.unit;
        ratios << QString::number(ratio, 'f', 2);
        targets << QString::number(f.target);
    }
    std::printf("bench %s: %s; floor %s; ratio %s (target <= %s) %s\n", qPrintable(name),
                qPrintable(values.join(", ")), qPrintable(floors.join(", ")),
                qPrintable(ratios.join(", ")), qPrintable(targets.join(", ")), ok ? "ok" : "FAIL");
    std::fflush(stdout);
    return ok;
}

QImage decode(const QString& fileName)
{
    QImageReader reader(fileName);
    return reader.read();
}

void showAndSettle(QWidget* widget, const QSize& size)
{
    widget->resize(size);
    widget->show();
    settle();
}

std::pair<double, double> alternated(const std::function<double()>& floor,
                                     const std::function<double()>& value, int n)
{
    std::vector<double> floors, values;
    for (int i = 0; i < n; ++i) {
        floors.push_back(floor());
        values.push_back(value());
    }
    return {median(floors) * 1000, median(values) * 1000};
}

}
