#include "ui/factories.h"

#include "ui/look.h"

#include <QLabel>
#include <QPushButton>

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, const QRect &rect,
    const QColor &color)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    // Labels show names from Data.ini and typed text: as they are, never as markup.
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(rect);
    if (color.isValid())
        setTextColor(label, color);
    return label;
}

QPushButton *makeButton(QWidget *parent, const QString &name, const QString &text,
    const QRect &rect, const QString &toolTip)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(rect);
    button->setToolTip(toolTip);
    return button;
}
