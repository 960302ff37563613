#pragma once

#include <QColor>
#include <QPoint>
#include <QString>
#include <QWidget>

// A straight horizontal or vertical line between two points of its parent.
class LineWidget : public QWidget
{
    Q_OBJECT
public:
    LineWidget(QWidget *parent, const QString &name, QPoint from, QPoint to, int width,
        const QColor &color);

protected:
    void paintEvent(QPaintEvent *) override;

private:
    QColor m_color;
};
