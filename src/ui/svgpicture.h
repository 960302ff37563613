#pragma once

#include <QString>
#include <QWidget>

// A picture from a compiled-in SVG, drawn at the widget's size, crisp at any screen scale.
// Receives no mouse input; a screen reader reads its accessible name.
class SvgPicture : public QWidget
{
    Q_OBJECT
public:
    SvgPicture(QString resource, QWidget *parent, const QString &name);

    QString resource() const { return m_resource; }
    void setResource(const QString &resource);

protected:
    void paintEvent(QPaintEvent *) override;

private:
    QString m_resource;
};
