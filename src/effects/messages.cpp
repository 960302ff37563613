#include "effects/messages.h"

#include <QGridLayout>
#include <QMessageBox>
#include <QTextEdit>

namespace {

// The box's own details area shows five lines in a box as wide as its text; a reason per port
// needs more: as wide as a short paragraph and as tall as the details, up to a screenful.
void showDetails(QMessageBox &box, const QString &details)
{
    box.setDetailedText(details);
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    auto *edit = box.findChild<QTextEdit *>();
    if (!grid || !edit)
        return;
    // The box keeps its details out of the Tab order; they hold what the user copies into a
    // terminal (a sudo usermod line), so Tab reaches them and the keys select and copy.
    edit->setFocusPolicy(Qt::StrongFocus);
    edit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    const int width = 90 * edit->fontMetrics().averageCharWidth();
    grid->addItem(new QSpacerItem(width, 0), grid->rowCount(), 0, 1, grid->columnCount());
    int lines = 0;
    for (const QString &line : details.split(u'\n'))
        lines += 1 + edit->fontMetrics().horizontalAdvance(line) / (width - 40);
    edit->setFixedHeight(edit->fontMetrics().lineSpacing() * qBound(3, lines, 18) + 12);
}

} // namespace

MessageAnswer QtMessageSink::show(QWidget *parent, const QString &title, const QString &text,
    MessageIcon icon, MessageButtons buttons, const QString &details)
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
    if (!details.isEmpty())
        showDetails(box, details);
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
