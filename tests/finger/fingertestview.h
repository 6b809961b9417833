#ifndef FINGERTESTVIEW_H
#define FINGERTESTVIEW_H

#include "finger/tdermatoglyphview.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QtTest>

// A shown finger view over a white 400 x 300 print, with mouse helpers that
// work in scene coordinates.
class FingerTestView : public TDermatoglyphView
{
public:
    FingerTestView()
    {
        resize(500, 400);
        show();
        QImage image(400, 300, QImage::Format_RGB32);
        image.fill(Qt::white);
        setImage(image);
    }

    QPoint at(const QPointF& scenePos) const { return mapFromScene(scenePos); }

    void click(const QPointF& scenePos, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(viewport(), button, Qt::NoModifier, at(scenePos));
    }

    void drag(const QPointF& from, const QPointF& to, int steps = 4)
    {
        const QPoint a = at(from);
        const QPoint b = at(to);
        QTest::mousePress(viewport(), Qt::LeftButton, Qt::NoModifier, a);
        for (int i = 1; i <= steps; ++i)
            moveMouse(a + (b - a) * i / steps);
        QTest::mouseRelease(viewport(), Qt::LeftButton, Qt::NoModifier, b);
    }

    // A move with the left button held, in viewport coordinates.
    void moveMouse(const QPoint& p)
    {
        QMouseEvent event(QEvent::MouseMove, p, viewport()->mapToGlobal(p), Qt::NoButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport(), &event);
    }

    void key(Qt::Key k) { QTest::keyClick(this, k); }
};

#endif
