#pragma once

#include <QLabel>
#include <QString>

// A label that acts as a link: it reports clicks, takes the focus and answers Space and Enter;
// plain text.
class ClickLabel : public QLabel
{
    Q_OBJECT
public:
    ClickLabel(const QString &text, QWidget *parent, const QString &name);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
};
