#include "app/tsetrecovery.h"

#include "annotation/sectionformat.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTextStream>

#include <algorithm>

QString TSetRecovery::folder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + "/Vintrel/Ridgemap/recovery";
}

int TSetRecovery::interval()
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("RIDGEMAP_RECOVERY_SECONDS", &ok);
    return (ok && seconds > 0 ? seconds : 30) * 1000;
}

TSetRecovery::TSetRecovery()
    : base(folder() + QString("/session-%1").arg(QCoreApplication::applicationPid()))
{
}

TSetRecovery::~TSetRecovery() = default;

bool TSetRecovery::keep(const QByteArray& text, const QString& set, const QStringList& scans)
{
    if (!lock) {
        // Held while this session runs: a copy whose lock is free was left behind.
        QDir().mkpath(folder());
        lock = std::make_unique<QLockFile>(base + ".lock");
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0))
            return false;
    }
    QString error;
    // The set first, then what it is a copy of: a copy is offered only once both
    // are whole.
    const bool written = sectionformat::writeTextFile(
        base + ".xml", [&](QTextStream& out) { out << QString::fromUtf8(text); }, &error);
    if (!written)
        return false;
    const QString about = base + ".ini";
    {
        QSettings info(about + ".new", QSettings::IniFormat);
        info.clear();
        info.setValue("set", set);
        info.setValue("kept", QDateTime::currentDateTime().toString(Qt::ISODateWithMs));
        info.setValue("scans", scans);
        info.sync();
        if (info.status() != QSettings::NoError)
            return false;
    }
    QFile::remove(about);
    return QFile::rename(about + ".new", about);
}

void TSetRecovery::discard()
{
    for (const char* suffix : {".xml", ".ini", ".ini.new"})
        QFile::remove(base + suffix);
}

QList<TSetRecovery::Copy> TSetRecovery::leftBehind()
{
    QList<Copy> copies;
    const QDir dir(folder());
    for (const QString& name : dir.entryList({"session-*.ini"}, QDir::Files)) {
        Copy copy;
        copy.base = dir.filePath(name.chopped(4));
        // A session still running holds its lock; its copy is not left behind.
        QLockFile owner(copy.base + ".lock");
        if (!owner.tryLock(0))
            continue;
        owner.unlock();
        QFile text(copy.base + ".xml");
        if (!text.open(QIODevice::ReadOnly))
            continue;
        copy.text = QString::fromUtf8(text.readAll());
        const QSettings info(copy.base + ".ini", QSettings::IniFormat);
        copy.set = info.value("set").toString();
        copy.kept = QDateTime::fromString(info.value("kept").toString(), Qt::ISODateWithMs);
        copy.scans = info.value("scans").toStringList();
        copies.append(copy);
    }
    std::sort(copies.begin(), copies.end(),
              [](const Copy& a, const Copy& b) { return a.kept > b.kept; });
    return copies;
}

void TSetRecovery::remove(const Copy& copy)
{
    for (const char* suffix : {".xml", ".ini", ".ini.new", ".lock"})
        QFile::remove(copy.base + suffix);
}
