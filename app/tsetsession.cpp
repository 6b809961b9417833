#include "app/tsetsession.h"

#include "view/tglypheditor.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTimer>
#include <QUndoStack>

TSetSession::TSetSession(const QVector<TGlyphEditor*>& editors, std::function<Snapshot()> snapshot,
                         QObject* parent)
    : QObject(parent), editors(editors), snapshot(std::move(snapshot)), timer(new QTimer(this))
{
    for (TGlyphEditor* e : editors)
        connect(e->history(), &QUndoStack::indexChanged, this, &TSetSession::changed);
    timer->setInterval(TSetRecovery::interval());
    connect(timer, &QTimer::timeout, this, &TSetSession::keepCopy);
    timer->start();
}

TSetSession::~TSetSession()
{
    recovery.discard();
}

bool TSetSession::isModified() const
{
    if (changedOutside)
        return true;
    for (const TGlyphEditor* e : editors)
        if (!e->history()->isClean())
            return true;
    return false;
}

void TSetSession::changed()
{
    ++generation;
    const bool now = isModified();
    if (now != modified) {
        modified = now;
        emit modifiedChanged(now);
    }
}

void TSetSession::markChanged()
{
    changedOutside = true;
    changed();
}

void TSetSession::markSaved()
{
    changedOutside = false;
    for (TGlyphEditor* e : editors)
        e->history()->setClean();
    changed();
    kept = generation;
    recovery.discard();
}

void TSetSession::keepCopy()
{
    if (!isModified() || kept == generation)
        return;
    const Snapshot now = snapshot();
    if (recovery.keep(now.text, now.set, now.scans))
        kept = generation;
}

void TSetSession::discardCopy()
{
    recovery.discard();
}

QStringList TSetSession::recentSets()
{
    QSettings settings("Vintrel", "Ridgemap");
    return settings.value("recent").toStringList();
}

void TSetSession::addRecentSet(const QString& path)
{
    QSettings settings("Vintrel", "Ridgemap");
    QStringList recent = settings.value("recent").toStringList();
    const QString full = QFileInfo(path).absoluteFilePath();
    recent.removeAll(full);
    recent.prepend(full);
    settings.setValue("recent", QStringList(recent.mid(0, recentCount)));
}
