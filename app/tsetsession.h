#ifndef TSETSESSION_H
#define TSETSESSION_H

#include "app/tsetrecovery.h"

#include <QObject>
#include <QStringList>

#include <functional>

class QTimer;
class TGlyphEditor;

// The examiner's session with the open set: whether it holds work not yet saved,
// the recovery copies kept meanwhile, and the sets opened lately.
class TSetSession : public QObject
{
    Q_OBJECT
public:
    // What a recovery copy holds: the set file's text, where the set was saved
    // last (empty for a new set) and the full path of each slot's scan.
    struct Snapshot {
        QByteArray text;
        QString set;
        QStringList scans;
    };

    TSetSession(const QVector<TGlyphEditor*>& editors, std::function<Snapshot()> snapshot,
                QObject* parent = nullptr);
    // A session that ends in order takes its copy with it; only a crash or a
    // kill leaves one behind.
    ~TSetSession() override;

    // Work not yet saved: a step in an editor since the last save, an import, a
    // slot cancelled, the set's details changed.
    bool isModified() const;
    // Something outside the editors' histories changed the set.
    void markChanged();
    // The set was saved, opened or made new: nothing is unsaved, and no copy is
    // needed any more.
    void markSaved();
    // Writes a recovery copy now, when there is unsaved work it does not hold yet.
    void keepCopy();
    // Removes this session's copy: the set is closed on purpose.
    void discardCopy();

    // The sets opened or saved lately, newest first.
    static QStringList recentSets();
    static void addRecentSet(const QString& path);
    static constexpr int recentCount = 8;

signals:
    void modifiedChanged(bool modified);

private:
    void changed();

    QVector<TGlyphEditor*> editors;
    std::function<Snapshot()> snapshot;
    TSetRecovery recovery;
    QTimer* timer;
    bool changedOutside = false;
    bool modified = false;
    // Counts changes; the copy on disk holds those up to kept.
    quint64 generation = 0;
    quint64 kept = 0;
};

#endif
