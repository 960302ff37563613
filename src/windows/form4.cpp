#include "windows/form4.h"

#include "characterset/keytable.h"
#include "ui/geometry.h"
#include "ui/widgets.h"

#include <QKeyEvent>

namespace {

constexpr int FirstRowTop = 840;
constexpr int RowHeight = 360;

} // namespace

Form4::Form4()
    : QWidget(nullptr)
{
    setObjectName(QStringLiteral("Form4"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Znaky"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(twipsSize(4695, 6285));
    useProgramLook(this);
    paintBackground(this, Qt::black);
    const QFont base = windowFont();
    setFont(base);

    QLabel *title = makeLabel(this, QStringLiteral("Label1"),
        QStringLiteral("Přehled znaků přiřazených ke klávesám."), twipsRect(240, 180, 4200, 255),
        Qt::white);
    title->setFont(boldFont(base, 9.75));
    paintBackground(title, colors::DarkRed);

    // The table: outer frame, divider, a line above every row.
    const QColor white(Qt::white);
    new LineWidget(
        this, QStringLiteral("Frame"), twipsPoint(120, 120), twipsPoint(4560, 120), 2, white);
    new LineWidget(this, QStringLiteral("FrameBottom"), twipsPoint(120, 5640),
        twipsPoint(4560, 5640), 2, white);
    new LineWidget(
        this, QStringLiteral("FrameLeft"), twipsPoint(120, 120), twipsPoint(120, 5640), 2, white);
    new LineWidget(this, QStringLiteral("FrameRight"), twipsPoint(4560, 120),
        twipsPoint(4560, 5640), 2, white);
    new LineWidget(
        this, QStringLiteral("Divider"), twipsPoint(1200, 480), twipsPoint(1200, 5640), 1, white);
    for (int top = 480; top <= 5160; top += RowHeight) {
        const int width = (top == 840 || top == 4440) ? 2 : 1;
        new LineWidget(this, QStringLiteral("Rule%1").arg(top), twipsPoint(120, top),
            twipsPoint(4560, top), width, white);
    }

    QLabel *keyHeading = makeLabel(this, QStringLiteral("Label2"), QStringLiteral("Klávesa"),
        twipsRect(240, 480, 960, 360), Qt::white);
    QLabel *signHeading = makeLabel(this, QStringLiteral("Label3"), QStringLiteral("Znak"),
        twipsRect(1200, 480, 3360, 360), Qt::white);
    signHeading->setAlignment(Qt::AlignCenter);
    for (QLabel *h : {keyHeading, signHeading})
        h->setFont(boldFont(base, 9.75));

    for (int row = 0; row < RowCount; ++row) {
        const int top = FirstRowTop + row * RowHeight;
        const bool user = row < UserCharacterCount;
        const QString key = user ? UserCharacterKeys[row] : FixedKeys[row - UserCharacterCount].key;
        makeLabel(this, QStringLiteral("Key%1").arg(row + 1), key,
            twipsRect(480, top, 240, RowHeight), colors::Red)
            ->setFont(boldFont(base, 13.5));
        if (user) {
            makeLabel(this, QStringLiteral("Meaning%1").arg(row + 1),
                QStringLiteral("Předdefinovaný znak %1").arg(row + 1),
                twipsRect(1320, top, 3180, RowHeight), colors::Red)
                ->setFont(boldFont(base, 9.75));
            continue;
        }
        const FixedKey &fixed = FixedKeys[row - UserCharacterCount];
        // The word stands beside the picture: the key column is too narrow to hold it legibly.
        makeLabel(this, QStringLiteral("Word%1").arg(row + 1), fixed.word,
            twipsRect(1620, top, 2880, RowHeight), Qt::white);
        auto *picture
            = new SvgPicture(fixed.picture, this, QStringLiteral("Meaning%1").arg(row + 1));
        picture->setGeometry(twipsRect(1320, top + 60, 180, 240));
        picture->setAccessibleName(
            QStringLiteral("Svítí jen segment %1")
                .arg(QLatin1Char(SegmentLetters[fixed.pattern.indexOf(u'1')])));
    }

    QLabel *note = makeLabel(this, QStringLiteral("Label4"),
        QStringLiteral("- pokud vložíte do textu 'Enter', vložíte 2 prázdné znaky => na rozdíl od "
                       "mezery zůstane poslední vykreslený znak na displeji."),
        twipsRect(120, 5760, 4365, 435), Qt::white);
    note->setWordWrap(true);
    note->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Form_Load();
}

void Form4::Form_Load()
{
    EnableMinimizeBox(this);
}

void Form4::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(e);
}
