#ifndef TSETRECOVERY_H
#define TSETRECOVERY_H

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class QLockFile;

// Copies of the open set kept while it has changes not yet saved, so a crash or a
// kill loses at most the last interval's work; and the copies a session that
// ended without saving left behind, for the next start to offer back. Copies
// live in the program's data folder, never beside the examiner's files.
class TSetRecovery
{
public:
    // A copy a session left behind.
    struct Copy {
        QString text;       // the set file as saving would have written it
        QString set;        // where the set was saved last; empty for a new set
        QDateTime kept;     // when the copy was written
        QStringList scans;  // the full path of each slot's scan, in slot order
        QString base;       // the copy's files, without their suffixes
    };

    TSetRecovery();
    ~TSetRecovery();
    TSetRecovery(const TSetRecovery&) = delete;
    TSetRecovery& operator=(const TSetRecovery&) = delete;

    // The folder the copies are kept in.
    static QString folder();
    // How often a copy is written, in milliseconds: 30 s, or what the
    // environment variable RIDGEMAP_RECOVERY_SECONDS asks for.
    static int interval();

    // Writes this session's copy, replacing the last one only once the new one is
    // complete. False when it could not be written.
    bool keep(const QByteArray& text, const QString& set, const QStringList& scans);
    // Removes this session's copy: the set was saved, or closed on purpose.
    void discard();

    // The copies of sessions that ended without removing theirs, newest first.
    static QList<Copy> leftBehind();
    static void remove(const Copy& copy);

private:
    QString base;
    std::unique_ptr<QLockFile> lock;
};

#endif
