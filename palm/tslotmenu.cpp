#include "palm/tslotmenu.h"

#include <QKeyEvent>

TSlotMenu::TSlotMenu(const QStringList& labels, const QVector<bool>& placed)
    : labels(labels)
{
    for (int i = 0; i < labels.size(); ++i) {
        QAction* entry = addAction("Add triradius " + labels.at(i));
        if (placed.value(i)) {
            entry->setCheckable(true);
            entry->setChecked(true);
            entry->setEnabled(false);
        }
        entries.append(entry);
    }
    // The digital triradii and the axial one are placed in this order, mostly.
    for (const char* next : {"a", "b", "c", "d", "t"}) {
        const int i = labels.indexOf(next);
        if (i >= 0 && !placed.value(i)) {
            setActiveAction(entries.at(i));
            break;
        }
    }
}

int TSlotMenu::choose(const QPoint& at)
{
    return entries.indexOf(exec(at));
}

void TSlotMenu::keyPressEvent(QKeyEvent* event)
{
    const QString text = event->text().toLower();
    if (text.size() != 1 || !text.at(0).isLetterOrNumber()) {
        QMenu::keyPressEvent(event);
        return;
    }
    auto matching = [this](const QString& prefix) {
        QList<int> found;
        for (int i = 0; i < labels.size(); ++i)
            if (entries.at(i)->isEnabled() && labels.at(i).startsWith(prefix))
                found.append(i);
        return found;
    };
    typed += text;
    if (matching(typed).isEmpty())
        typed = text;
    const QList<int> found = matching(typed);
    if (found.isEmpty())
        return;
    setActiveAction(entries.at(found.first()));
    // A name no other free slot's name goes on from is chosen at once.
    if (found.size() == 1 && labels.at(found.first()) == typed) {
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QMenu::keyPressEvent(&enter);
    }
}
