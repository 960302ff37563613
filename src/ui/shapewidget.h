#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

// A rectangle: outline, optionally filled.
class ShapeWidget : public QWidget
{
    Q_OBJECT
public:
    ShapeWidget(QWidget *parent, const QString &name, const QColor &border,
        const QColor &fill = Qt::transparent);

protected:
    void paintEvent(QPaintEvent *) override;

private:
    QColor m_border;
    QColor m_fill;
};
