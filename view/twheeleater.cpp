#include "view/twheeleater.h"

#include <QEvent>

TWheelEater::TWheelEater(QObject* parent)
    : QObject(parent)
{
}

bool TWheelEater::eventFilter(QObject* object, QEvent* event)
{
    if (event->type() == QEvent::Wheel || event->type() == QEvent::GraphicsSceneWheel) {
        event->accept();
        return true;
    }
    return QObject::eventFilter(object, event);
}
