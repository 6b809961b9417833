#ifndef TWHEELEATER_H
#define TWHEELEATER_H

#include <QObject>

// An event filter that swallows mouse-wheel turns, so thumbnails do not scroll.
class TWheelEater : public QObject
{
    Q_OBJECT
public:
    explicit TWheelEater(QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* object, QEvent* event) override;
};

#endif
