#include "ui/widgets.h"

#include <QApplication>
#include <QHash>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSvgRenderer>
#include <QtMath>
#include <utility>

void EnableMinimizeBox(QWidget *window)
{
    const bool visible = window->isVisible();
    window->setWindowFlag(Qt::WindowMinimizeButtonHint, true);
    // Changing the flags hides a shown window.
    if (visible)
        window->show();
}

void paintBackground(QWidget *w, const QColor &background)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, background);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

void paintButtonFace(QWidget *w, const QColor &face)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Button, face);
    w->setPalette(pal);
}

void setTextColor(QWidget *w, const QColor &text)
{
    // Disabled, the same colour at less than half strength, blended with whatever lies behind
    // it: clearly dimmer on any background, light or dark.
    QColor dimmed = text;
    dimmed.setAlphaF(0.4f);
    QPalette pal = w->palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText}) {
        pal.setColor(QPalette::Active, role, text);
        pal.setColor(QPalette::Inactive, role, text);
        pal.setColor(QPalette::Disabled, role, dimmed);
    }
    w->setPalette(pal);
}

QFont windowFont()
{
    QFont font = QApplication::font();
    font.setFamilies(
        {QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Liberation Sans Narrow"),
            QStringLiteral("Arial Narrow"), QStringLiteral("Arial")});
    font.setPixelSize(10);
    return font;
}

QFont boldFont(QFont font, qreal points)
{
    if (points > 0)
        font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

// The pictures are compiled into this static library, which must register them itself: done at
// the first picture drawn, so that any window works without the main window having been made.
static void registerPictures()
{
    Q_INIT_RESOURCE(pravlon);
}

static void ensurePicturesRegistered()
{
    static const bool registered = (registerPictures(), true);
    Q_UNUSED(registered);
}

QIcon programIcon()
{
    ensurePicturesRegistered();
    return QIcon(QStringLiteral(":/pictures/icon.svg"));
}

namespace {

// One parsed renderer per picture, shared by every widget that shows it.
QSvgRenderer *rendererFor(const QString &resource)
{
    static QHash<QString, QSvgRenderer *> cache;
    ensurePicturesRegistered();
    auto it = cache.find(resource);
    if (it == cache.end()) {
        it = cache.insert(resource, new QSvgRenderer(resource));
        if (!(*it)->isValid())
            qWarning("picture %s cannot be drawn", qPrintable(resource));
    }
    return *it;
}

// Each picture rendered once per size and screen scale: a paint is then a copy of pixels, which
// the text player's fastest ticks need (the preview changes on every tick). The widgets have
// fixed sizes, so this holds a few dozen small pixmaps.
struct PixmapKey
{
    QString resource;
    QSize size;
    qreal ratio;
    bool operator==(const PixmapKey &) const = default;
};

size_t qHash(const PixmapKey &key, size_t seed = 0)
{
    return qHashMulti(seed, key.resource, key.size.width(), key.size.height(), key.ratio);
}

const QPixmap &pixmapFor(const QString &resource, QSize size, qreal ratio)
{
    // Never destroyed, like the renderers: a pixmap must not outlive the application object.
    static auto &cache = *new QHash<PixmapKey, QPixmap>;
    const PixmapKey key{resource, size, ratio};
    auto it = cache.find(key);
    if (it == cache.end()) {
        QPixmap pixmap(qCeil(size.width() * ratio), qCeil(size.height() * ratio));
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        rendererFor(resource)->render(&p, QRectF(QPointF(0, 0), QSizeF(size)));
        p.end();
        it = cache.insert(key, pixmap);
    }
    return *it;
}

bool releasedInside(QWidget *w, QMouseEvent *e)
{
    return e->button() == Qt::LeftButton && w->rect().contains(e->position().toPoint());
}

} // namespace

SvgPicture::SvgPicture(QString resource, QWidget *parent, const QString &name)
    : QWidget(parent)
    , m_resource(std::move(resource))
{
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void SvgPicture::setResource(const QString &resource)
{
    m_resource = resource;
    update();
}

void SvgPicture::setClickable(bool clickable)
{
    setAttribute(Qt::WA_TransparentForMouseEvents, !clickable);
}

void SvgPicture::paintEvent(QPaintEvent *)
{
    if (m_resource.isEmpty())
        return;
    QPainter p(this);
    p.drawPixmap(0, 0, pixmapFor(m_resource, size(), devicePixelRatioF()));
}

void SvgPicture::mouseReleaseEvent(QMouseEvent *e)
{
    if (releasedInside(this, e))
        emit clicked();
}

DigitPreview::DigitPreview(const QString &prefix, int segments, QWidget *parent,
    const QString &name, const QString &overlayName)
    : SvgPicture(QStringLiteral(":/pictures/%1-digit.svg").arg(prefix), parent, name)
{
    for (int k = 0; k < segments; ++k) {
        const QChar letter = QLatin1Char(SegmentLetters[k]);
        auto *overlay = new SvgPicture(QStringLiteral(":/pictures/%1-%2.svg").arg(prefix, letter),
            this, overlayName.arg(letter.toUpper()));
        overlay->hide();
        m_overlays.append(overlay);
    }
}

void DigitPreview::setPattern(const QString &pattern)
{
    for (int k = 0; k < m_overlays.size(); ++k)
        setLit(k, k < pattern.size() && pattern[k] == u'1');
}

bool DigitPreview::isLit(int k) const
{
    // isHidden(), not isVisible(): lit is the overlay's own state, whether or not it is on screen.
    return !m_overlays[k]->isHidden();
}

void DigitPreview::setLit(int k, bool lit)
{
    m_overlays[k]->setHidden(!lit);
}

void DigitPreview::resizeEvent(QResizeEvent *)
{
    for (SvgPicture *overlay : std::as_const(m_overlays))
        overlay->setGeometry(rect());
}

HotSpot::HotSpot(QWidget *parent, const QString &name)
    : QWidget(parent)
{
    setObjectName(name);
    setCursor(Qt::CrossCursor);
}

void HotSpot::mouseReleaseEvent(QMouseEvent *e)
{
    if (releasedInside(this, e))
        emit clicked();
}

ShapeWidget::ShapeWidget(
    QWidget *parent, const QString &name, const QColor &border, const QColor &fill)
    : QWidget(parent)
    , m_border(border)
    , m_fill(fill)
{
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ShapeWidget::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), m_fill);
    p.setPen(m_border);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

LineWidget::LineWidget(
    QWidget *parent, const QString &name, QPoint from, QPoint to, int width, const QColor &color)
    : QWidget(parent)
    , m_color(color)
{
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // The line is centred on the given coordinates.
    const QRect span = QRect(from, to).normalized();
    if (from.y() == to.y())
        setGeometry(span.left(), from.y() - width / 2, span.width(), width);
    else
        setGeometry(from.x() - width / 2, span.top(), width, span.height());
}

void LineWidget::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), m_color);
}

ClickLabel::ClickLabel(const QString &text, QWidget *parent, const QString &name)
    : QLabel(text, parent)
{
    setObjectName(name);
    setTextFormat(Qt::PlainText);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *e)
{
    if (releasedInside(this, e))
        emit clicked();
}

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

QScrollBar *makeSlider(QWidget *parent, const QString &name, Qt::Orientation orientation,
    const QRect &rect, int minimum, int maximum, int value)
{
    auto *slider = new QScrollBar(orientation, parent);
    slider->setObjectName(name);
    slider->setGeometry(rect);
    slider->setRange(minimum, maximum);
    slider->setSingleStep(1);
    slider->setPageStep(1);
    slider->setValue(value);
    return slider;
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
