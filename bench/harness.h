#ifndef HARNESS_H
#define HARNESS_H

#include <QImage>
#include <QString>
#include <QVector>

#include <functional>
#include <utility>
#include <vector>

class QWidget;

// What every scenario of ridgemap-bench measures with: times, medians, the
// process's memory and file reads, and the report lines the run is judged by.
namespace bench {

double seconds(const std::function<void()>& work);
double median(std::vector<double> values);
qint64 residentBytes();
// The most the process has held since the last resetPeak(), where the system
// tells (Linux), else what it holds now.
qint64 peakResidentBytes();
void resetPeak();
// Bytes the process has read from files so far: a decode reads the whole file,
// so this counts how often a scan was decoded.
qint64 bytesRead();
// Deferred deletes and pending events done, freed memory handed back.
void settle();

// One scenario line: every figure with its floor, ratio and target.
struct Figure {
    double value;
    double floor;
    double target;
    QString unit;
    int decimals;
};

bool report(const QString& name, const QVector<Figure>& figures);

QImage decode(const QString& fileName);
void showAndSettle(QWidget* widget, const QSize& size);

// The medians of n runs of floor and of value, in milliseconds. Alternated, so a
// busy moment of the machine weighs on both alike.
std::pair<double, double> alternated(const std::function<double()>& floor,
                                     const std::function<double()>& value, int n);

}

#endif
