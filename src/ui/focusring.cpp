#include "ui/focusring.h"

#include "ui/look.h"

#include <QApplication>
#include <QPainter>
#include <QTabBar>

FocusRing::FocusRing(QWidget *window)
    : QFocusFrame(window)
{
    setObjectName(QStringLiteral("focusRing"));
    hide();
    connect(
        qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { follow(now); });
}

bool FocusRing::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == m_target) {
        switch (e->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            place();
            break;
        default:
            break;
        }
    }
    return false;
}

void FocusRing::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setPen(QPen(m_color, 2));
    p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}

void FocusRing::follow(QWidget *now)
{
    if (m_target)
        m_target->removeEventFilter(this);
    disconnect(m_tabs);
    QWidget *window = parentWidget();
    m_target = now && now != window && window->isAncestorOf(now) ? now : nullptr;
    m_byMouse = QGuiApplication::mouseButtons() != Qt::NoButton;
    if (m_target) {
        m_target->installEventFilter(this);
        if (auto *bar = qobject_cast<QTabBar *>(now))
            m_tabs = connect(bar, &QTabBar::currentChanged, this, [this] { place(); });
    }
    place();
}

void FocusRing::place()
{
    if (!m_target || m_byMouse || !m_target->isVisible()) {
        hide();
        return;
    }
    QRect around = m_target->rect();
    if (auto *bar = qobject_cast<QTabBar *>(m_target.data()))
        around = bar->tabRect(bar->currentIndex());
    around.moveTopLeft(m_target->mapTo(parentWidget(), around.topLeft()));
    setGeometry(around.adjusted(-3, -3, 3, 3));
    const QColor behind = backgroundOf(m_target);
    m_color = contrastRatio(OnDark, behind) > contrastRatio(OnLight, behind) ? OnDark : OnLight;
    raise();
    show();
    update();
}

QColor FocusRing::backgroundOf(const QWidget *w)
{
    for (const QWidget *p = w->parentWidget(); p; p = p->parentWidget()) {
        if (p->autoFillBackground() || p->isWindow())
            return p->palette().color(QPalette::Window);
    }
    return colors::Face;
}
