#ifndef VERTICALLABEL_H
#define VERTICALLABEL_H

#include <QLabel>

// A label whose text runs from top to bottom, turned by 90 degrees.
class VerticalLabel : public QLabel
{
    Q_OBJECT
public:
    explicit VerticalLabel(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

#endif
