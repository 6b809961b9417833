#ifndef TSLOTMENU_H
#define TSLOTMENU_H

#include <QMenu>
#include <QStringList>
#include <QVector>

// The menu of the palm's triradius slots: the next free one of a, b, c, d and t
// is picked already, and typing a slot's name picks that slot.
class TSlotMenu : public QMenu
{
public:
    // One entry per label; placed slots are ticked and cannot be chosen.
    TSlotMenu(const QStringList& labels, const QVector<bool>& placed);

    // The slot chosen, or -1.
    int choose(const QPoint& at);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QStringList labels;
    QList<QAction*> entries;
    QString typed;
};

#endif
