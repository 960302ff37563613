#pragma once

#include <QAbstractButton>
#include <QString>

// A transparent area that switches something on and off: a checkable button that takes the
// focus, answers Space and Enter, and lights up faintly while it is held down.
class HotSpot : public QAbstractButton
{
    Q_OBJECT
public:
    HotSpot(QWidget *parent, const QString &name, const QString &accessibleName);

protected:
    void paintEvent(QPaintEvent *) override;
    void keyPressEvent(QKeyEvent *e) override;
};
