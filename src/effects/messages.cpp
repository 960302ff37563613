#include "effects/messages.h"

#include <QMessageBox>

MessageAnswer QtMessageSink::show(QWidget *parent, const QString &title, const QString &text,
    MessageIcon icon, MessageButtons buttons)
{
    QMessageBox::Icon qicon = QMessageBox::NoIcon;
    switch (icon) {
    case MessageIcon::None:
        break;
    case MessageIcon::Critical:
        qicon = QMessageBox::Critical;
        break;
    case MessageIcon::Warning:
        qicon = QMessageBox::Warning;
        break;
    case MessageIcon::Information:
        qicon = QMessageBox::Information;
        break;
    }
    QMessageBox box(qicon, title, text, QMessageBox::NoButton, parent);
    // Some texts come from Data.ini (the version): shown as they are, never as markup.
    box.setTextFormat(Qt::PlainText);
    if (buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
    return MessageAnswer::Ok;
}
