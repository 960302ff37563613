#include "windows/wiringtestwindow.h"

#include "ui/geometry.h"
#include "ui/widgets.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QSvgRenderer>

using namespace wiringtest;

const QString WiringTestWindow::Title = QStringLiteral("Test zapojení");

namespace {

// Places on the help window's diagram (its own units, 355 x 210).
constexpr QSizeF DiagramSize(355, 210);
// The segments of the drawn digit, a ... g; the point h is a circle.
constexpr QRectF SegmentShapes[7] = {{44, 154, 16, 3}, {60, 157, 3, 16}, {60, 176, 3, 16},
    {44, 192, 16, 3}, {41, 176, 3, 16}, {41, 157, 3, 16}, {44, 173, 16, 3}};

QRectF outputPlace(int k)
{
    return {263, 40 + 11.0 * k - 6.5, 28, 13};
}

// Display pins 1 ... 5 stand on the left of the digit, 10 ... 6 on its right, top down.
QRectF displayPinPlace(int pin)
{
    return pin <= 5 ? QRectF(1, 153 + 11.0 * (pin - 1) - 6.5, 31, 13)
                    : QRectF(80, 153 + 11.0 * (10 - pin) - 6.5, 34, 13);
}

// The segment editor's hot spots (geometry.h), in twips of its 3000 x 3390 picture drawn from
// (240, 600).
constexpr QSize SeenSize(120, 136);

QRect seenSpot(int k, QPoint origin)
{
    const auto &[left, top, width, height] = HotSpotPlaces[k];
    const double s = SeenSize.width() / 3000.0;
    return QRect(origin + QPoint(int((left - 240) * s), int((top - 600) * s)),
        QSize(int(width * s) + 1, int(height * s) + 1));
}

QPushButton *button(QWidget *parent, const QString &name, const QString &caption,
    const QString &accessibleName, const QString &toolTip, const QRect &rect)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setGeometry(rect);
    b->setAccessibleName(accessibleName);
    b->setToolTip(toolTip);
    paintButtonFace(b, colors::LightGrey);
    setTextColor(b, Qt::black);
    return b;
}

QLabel *label(QWidget *parent, const QString &name, const QString &text, const QRect &rect)
{
    QLabel *l = makeLabel(parent, name, text, rect, Qt::white);
    l->setWordWrap(true);
    return l;
}

} // namespace

WiringDiagram::WiringDiagram(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Diagram"));
    setAccessibleName(QStringLiteral("Schéma zapojení"));
    setSegment(-1);
}

QString WiringDiagram::pathText(int segment)
{
    const QString data = QStringLiteral(
        "TxD z pinu 3 konektoru -> pin 13 a pin 12 obvodu MAX 232 -> pin 2 (data) obvodu 4094");
    if (segment < 0)
        return QStringLiteral("Zvýrazněno: %1; žádný výstup nesvítí.").arg(data);
    QStringList outputs;
    for (int k = 0; k < Segments; ++k) {
        if (segment == Segments || segment == k) {
            const SegmentPath &p = Paths[k];
            outputs << QStringLiteral("výstup Q%1 (pin %2) -> pin %3 displeje (segment %4)")
                           .arg(p.output)
                           .arg(p.registerPin)
                           .arg(p.displayPin)
                           .arg(QChar(p.letter));
        }
    }
    return QStringLiteral("Zvýrazněno: %1; %2.").arg(data, outputs.join(QStringLiteral(", ")));
}

void WiringDiagram::setSegment(int segment)
{
    m_segment = segment;
    setAccessibleDescription(pathText(segment));
    update();
}

void WiringDiagram::paintEvent(QPaintEvent *)
{
    if (!m_renderer)
        m_renderer = new QSvgRenderer(QStringLiteral(":/pictures/wiring.svg"), this);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    m_renderer->render(&p, rect());
    p.scale(width() / DiagramSize.width(), height() / DiagramSize.height());

    // The bit's way in orange, under a light wash that keeps the drawing readable.
    const QColor way(255, 128, 0);
    QPen pen(way, 2.5);
    pen.setCapStyle(Qt::RoundCap);
    p.setPen(pen);
    p.drawLine(QPointF(28, 58), QPointF(110, 58));
    p.drawLine(QPointF(166, 58), QPointF(222, 58));
    QColor wash = way;
    wash.setAlpha(90);
    for (int k = 0; k < Segments; ++k) {
        if (m_segment != Segments && m_segment != k)
            continue;
        p.setPen(QPen(way, 1.5));
        p.setBrush(wash);
        p.drawRoundedRect(outputPlace(k), 2, 2);
        p.drawRoundedRect(displayPinPlace(Paths[k].displayPin), 2, 2);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 60, 0));
        if (k < 7)
            p.drawRect(SegmentShapes[k].adjusted(-0.5, -0.5, 0.5, 0.5));
        else
            p.drawEllipse(QPointF(67, 193.5), 2.5, 2.5);
    }
}

WiringTestWindow::WiringTestWindow(Send send, QString port, QWidget *parent)
    : QDialog(parent)
    , m_send(std::move(send))
    , m_port(std::move(port))
{
    setObjectName(QStringLiteral("WiringTest"));
    setWindowTitle(Title);
    setWindowFlags(
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowModality(Qt::WindowModal);
    setFixedSize(640, 430);
    useProgramLook(this);
    paintBackground(this, colors::DarkRed);
    QFont face = windowFont();
    face.setPixelSize(12);
    setFont(face);

    m_pages = new QStackedWidget(this);
    m_pages->setGeometry(rect());

    // The steps.
    auto *stepPage = new QWidget;
    m_title = label(stepPage, QStringLiteral("StepTitle"), QString(), QRect(12, 8, 616, 20));
    m_title->setFont(boldFont(face, 11));
    m_diagram = new WiringDiagram(stepPage);
    m_diagram->setGeometry(12, 34, 462, 273);

    label(stepPage, QStringLiteral("SentCaption"), QStringLiteral("Posláno:"),
        QRect(490, 34, 138, 16));
    m_sent = new DigitPreview(QStringLiteral("preview"), Segments, stepPage, QStringLiteral("Sent"),
        QStringLiteral("Sent%1"));
    m_sent->setGeometry(500, 52, 64, 90);
    m_sent->setAccessibleName(QStringLiteral("Posláno"));

    m_seenCaption = label(stepPage, QStringLiteral("SeenCaption"),
        QStringLiteral("Klikněte na segmenty, které svítí (klávesy A–H):"),
        QRect(490, 146, 138, 44));
    const QPoint seenAt(496, 190);
    m_seen = new DigitPreview(QStringLiteral("editor"), Segments, stepPage, QStringLiteral("Seen"),
        QStringLiteral("Seen%1"));
    m_seen->setGeometry(QRect(seenAt, SeenSize));
    m_seen->setAccessibleName(QStringLiteral("Co svítí"));
    for (int k = 0; k < Segments; ++k) {
        auto *spot = new HotSpot(stepPage, QStringLiteral("SeenSpot%1").arg(QChar(Paths[k].letter)),
            QStringLiteral("Svítí segment %1").arg(QChar(Paths[k].letter)));
        spot->setGeometry(seenSpot(k, seenAt));
        connect(spot, &HotSpot::clicked, this, [this, k] { toggleSeen(k); });
        m_spots[k] = spot;
    }
    m_confirm = button(stepPage, QStringLiteral("Confirm"), QStringLiteral("&Hotovo"),
        QStringLiteral("Hotovo"), QStringLiteral("Svítí právě označené segmenty (Enter)"),
        QRect(500, 330, 110, 26));
    connect(m_confirm, &QPushButton::clicked, this, &WiringTestWindow::confirmOther);

    auto *question = label(stepPage, QStringLiteral("Question"), Question, QRect(12, 312, 300, 18));
    question->setFont(boldFont(face));
    auto *exactly = button(stepPage, QStringLiteral("Exactly"), QStringLiteral("&Přesně toto"),
        QStringLiteral("Přesně toto"),
        QStringLiteral("Svítí přesně to, co ukazuje náhled (klávesa P)"), QRect(12, 334, 110, 26));
    auto *nothing = button(stepPage, QStringLiteral("Nothing"), QStringLiteral("&Nic"),
        QStringLiteral("Nic"), QStringLiteral("Nesvítí nic (klávesa N)"), QRect(128, 334, 80, 26));
    auto *other = button(stepPage, QStringLiteral("Other"), QStringLiteral("Něco &jiného"),
        QStringLiteral("Něco jiného"),
        QStringLiteral("Svítí něco jiného: označíte to na obrázku (klávesa J)"),
        QRect(214, 334, 110, 26));
    auto *again = button(stepPage, QStringLiteral("Repeat"), QStringLiteral("&Opakovat krok"),
        QStringLiteral("Opakovat krok"), QStringLiteral("Pošle tento krok znovu (klávesa O)"),
        QRect(12, 366, 110, 26));
    m_back
        = button(stepPage, QStringLiteral("Back"), QStringLiteral("&Zpět"), QStringLiteral("Zpět"),
            QStringLiteral("O krok zpět (klávesa Backspace)"), QRect(128, 366, 80, 26));
    connect(exactly, &QPushButton::clicked, this, [this] { answer({Seen::Exactly, {}}); });
    connect(nothing, &QPushButton::clicked, this, [this] { answer({Seen::Nothing, {}}); });
    connect(other, &QPushButton::clicked, this, &WiringTestWindow::chooseOther);
    connect(again, &QPushButton::clicked, this, &WiringTestWindow::repeat);
    connect(m_back, &QPushButton::clicked, this, &WiringTestWindow::back);
    m_status = label(stepPage, QStringLiteral("Status"), QString(), QRect(12, 400, 616, 20));
    m_status->setAccessibleName(QStringLiteral("Stav"));
    m_pages->addWidget(stepPage);

    // The diagnosis: plain text a screen reader reads and a user copies.
    auto *resultPage = new QWidget;
    QLabel *resultTitle = label(resultPage, QStringLiteral("ResultTitle"),
        QStringLiteral("Výsledek testu"), QRect(12, 8, 616, 20));
    resultTitle->setFont(boldFont(face, 11));
    m_findings = new QPlainTextEdit(resultPage);
    m_findings->setObjectName(QStringLiteral("Findings"));
    m_findings->setReadOnly(true);
    m_findings->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_findings->setGeometry(12, 34, 616, 350);
    m_findings->setAccessibleName(QStringLiteral("Výsledek testu"));
    auto *copy = button(resultPage, QStringLiteral("Copy"), QStringLiteral("&Kopírovat"),
        QStringLiteral("Kopírovat"), QStringLiteral("Zkopíruje výsledek do schránky"),
        QRect(12, 394, 110, 26));
    auto *resultBack = button(resultPage, QStringLiteral("ResultBack"), QStringLiteral("&Zpět"),
        QStringLiteral("Zpět"), QStringLiteral("Zpět k poslednímu kroku"), QRect(128, 394, 80, 26));
    auto *anew = button(resultPage, QStringLiteral("Restart"), QStringLiteral("Z&novu"),
        QStringLiteral("Znovu"), QStringLiteral("Celý test znovu od začátku"),
        QRect(214, 394, 80, 26));
    auto *close = button(resultPage, QStringLiteral("Close"), QStringLiteral("Za&vřít"),
        QStringLiteral("Zavřít"), QStringLiteral("Zavře test; displej ukáže opět původní znak"),
        QRect(518, 394, 110, 26));
    connect(copy, &QPushButton::clicked, this,
        [this] { QApplication::clipboard()->setText(m_diagnosis); });
    connect(resultBack, &QPushButton::clicked, this, &WiringTestWindow::back);
    connect(anew, &QPushButton::clicked, this, &WiringTestWindow::restart);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    m_pages->addWidget(resultPage);

    for (QPushButton *b : findChildren<QPushButton *>())
        b->setAutoDefault(false);
    exactly->setFocus();
}

void WiringTestWindow::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!m_started) {
        m_started = true;
        enterStep();
    }
}

void WiringTestWindow::enterStep()
{
    if (m_session.finished()) {
        showDiagnosis();
        return;
    }
    m_pages->setCurrentIndex(0);
    const Step &step = m_session.step();
    m_title->setText(QStringLiteral("Krok %1 z %2: %3")
                         .arg(m_session.current() + 1)
                         .arg(steps().size())
                         .arg(step.title));
    m_diagram->setSegment(step.segment);
    m_sent->setPattern(step.pattern);
    m_seen->setPattern(QString(Segments, u'0'));
    for (HotSpot *spot : m_spots) {
        spot->setChecked(false);
        spot->setVisible(false);
    }
    m_seen->setVisible(false);
    m_seenCaption->setVisible(false);
    m_confirm->setVisible(false);
    m_back->setEnabled(m_session.current() > 0 && !m_inTerminal);

    // An adapter that makes the break up takes seconds for a step: say so before.
    m_status->setText(QStringLiteral("Posílám krok na displej (%1)…").arg(m_port));
    m_status->repaint();
    const bool sent = m_send(step.pattern);
    m_status->setText((sent ? QStringLiteral("Krok odeslán na %1.").arg(m_port)
                            : QStringLiteral("Krok se nepodařilo odeslat celý (%1).").arg(m_port))
        + (m_inTerminal ? QStringLiteral(" Odpovídejte v terminálu.") : QString()));
    emit progressed();
}

void WiringTestWindow::showDiagnosis()
{
    m_diagnosis = diagnosisText(diagnose(m_session.seen()));
    m_findings->setPlainText(m_diagnosis);
    m_pages->setCurrentIndex(1);
    m_findings->setFocus();
    emit progressed();
}

void WiringTestWindow::answer(const Answer &a)
{
    if (m_session.finished())
        return;
    m_session.answer(a);
    enterStep();
}

void WiringTestWindow::back()
{
    m_session.back();
    m_diagnosis.clear();
    enterStep();
}

void WiringTestWindow::repeat()
{
    if (!m_session.finished())
        enterStep();
}

void WiringTestWindow::restart()
{
    m_session = Session();
    m_diagnosis.clear();
    enterStep();
}

void WiringTestWindow::answerInTerminal()
{
    m_inTerminal = true;
    for (const char *name : {"Exactly", "Nothing", "Other", "Repeat", "Back", "Confirm"})
        findChild<QPushButton *>(QLatin1String(name))->setEnabled(false);
    m_status->setText(m_status->text() + QStringLiteral(" Odpovídejte v terminálu."));
}

void WiringTestWindow::chooseOther()
{
    m_seen->setVisible(true);
    m_seenCaption->setVisible(true);
    m_confirm->setVisible(true);
    for (HotSpot *spot : m_spots)
        spot->setVisible(true);
    m_spots[0]->setFocus();
}

void WiringTestWindow::toggleSeen(int k)
{
    if (!m_seen->isVisible())
        chooseOther();
    m_seen->setLit(k, !m_seen->isLit(k));
    m_spots[k]->setChecked(m_seen->isLit(k));
}

void WiringTestWindow::confirmOther()
{
    answer({Seen::Other, m_seen->pattern()});
}

void WiringTestWindow::keyPressEvent(QKeyEvent *e)
{
    const bool stepInFront = m_pages->currentIndex() == 0 && !m_inTerminal;
    const int key = e->key();
    const bool plain = !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (stepInFront && plain) {
        if (key >= Qt::Key_A && key <= Qt::Key_H) {
            toggleSeen(key - Qt::Key_A);
            return;
        }
        switch (key) {
        case Qt::Key_P:
            answer({Seen::Exactly, {}});
            return;
        case Qt::Key_N:
            answer({Seen::Nothing, {}});
            return;
        case Qt::Key_J:
            chooseOther();
            return;
        case Qt::Key_O:
            repeat();
            return;
        case Qt::Key_Backspace:
            back();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (m_seen->isVisible()) {
                confirmOther();
                return;
            }
            break;
        default:
            break;
        }
    }
    if (!stepInFront && key == Qt::Key_Backspace && plain) {
        back();
        return;
    }
    QDialog::keyPressEvent(e); // Esc closes
}
