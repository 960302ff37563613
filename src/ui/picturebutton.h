#pragma once

#include <QAbstractButton>
#include <QString>

// A picture that acts as a button: it takes the focus, answers Space and Enter as a click, and
// looks pressed while it is held down.
class PictureButton : public QAbstractButton
{
    Q_OBJECT
public:
    PictureButton(
        QString resource, QWidget *parent, const QString &name, const QString &accessibleName);

    QString resource() const { return m_resource; }
    void setResource(const QString &resource);

protected:
    void paintEvent(QPaintEvent *) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    QString m_resource;
};
