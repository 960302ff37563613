#include "ui/widgets.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QFocusFrame>
#include <QFontDatabase>
#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>
#include <QTabBar>
#include <QtMath>
#include <cmath>
#include <utility>

// The pictures and the font are compiled into this static library, which must register them
// itself, with the screen readers' view of its widgets: done at the first use of the toolkit, so
// that any window works without the main window having been made.
static void registerResources()
{
    Q_INIT_RESOURCE(pravlon);
}

namespace {
QAccessibleInterface *accessibleFor(const QString &className, QObject *object);
} // namespace

static void ensureToolkit()
{
    static const bool ready = [] {
        registerResources();
        for (const char *face :
            {":/fonts/DejaVuSansCondensed.ttf", ":/fonts/DejaVuSansCondensed-Bold.ttf"}) {
            if (QFontDatabase::addApplicationFont(QLatin1String(face)) < 0)
                qWarning("font %s cannot be loaded", face);
        }
        QAccessible::installFactory(accessibleFor);
        return true;
    }();
    Q_UNUSED(ready);
}

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

double contrastRatio(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto linear = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

namespace {

// Every role in every state set, so that nothing of the desktop's palette shows through.
QPalette programPalette()
{
    const QColor disabledText(120, 120, 120);
    QPalette pal;
    const auto set
        = [&](QPalette::ColorRole role, const QColor &color, const QColor &disabled = QColor()) {
              pal.setColor(QPalette::Active, role, color);
              pal.setColor(QPalette::Inactive, role, color);
              pal.setColor(QPalette::Disabled, role, disabled.isValid() ? disabled : color);
          };
    set(QPalette::Window, colors::Face);
    set(QPalette::WindowText, Qt::black, disabledText);
    set(QPalette::Base, Qt::white, colors::Face);
    set(QPalette::AlternateBase, QColor(245, 245, 245));
    set(QPalette::ToolTipBase, QColor(255, 255, 220));
    set(QPalette::ToolTipText, Qt::black);
    set(QPalette::PlaceholderText, QColor(110, 110, 110));
    set(QPalette::Text, Qt::black, disabledText);
    set(QPalette::Button, colors::Face);
    set(QPalette::ButtonText, Qt::black, disabledText);
    set(QPalette::BrightText, Qt::white);
    set(QPalette::Light, Qt::white);
    set(QPalette::Midlight, QColor(227, 227, 227));
    set(QPalette::Mid, colors::ButtonShadow);
    set(QPalette::Dark, colors::ButtonShadow);
    set(QPalette::Shadow, QColor(105, 105, 105));
    set(QPalette::Highlight, QColor(0, 120, 215));
    set(QPalette::HighlightedText, Qt::white);
    set(QPalette::Link, QColor(0, 0, 255));
    set(QPalette::LinkVisited, QColor(128, 0, 128));
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    set(QPalette::Accent, QColor(0, 120, 215));
#endif
    return pal;
}

// A ring around the control of its window that has the keyboard focus (around the tab in front
// where the tab strip has it), two pixels wide, a pixel clear of the control, in whichever of two
// colours stands out more from what lies behind. Hidden while the focus came with a mouse click.
// A focus frame, so that screen readers pass over it.
class FocusRing : public QFocusFrame
{
public:
    static inline const QColor OnDark{255, 210, 0};
    static inline const QColor OnLight{0, 70, 160};

    explicit FocusRing(QWidget *window)
        : QFocusFrame(window)
    {
        setObjectName(QStringLiteral("focusRing"));
        hide();
        connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget *, QWidget *now) { follow(now); });
    }

    bool eventFilter(QObject *watched, QEvent *e) override
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

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setPen(QPen(m_color, 2));
        p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }

private:
    void follow(QWidget *now)
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

    void place()
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

    static QColor backgroundOf(const QWidget *w)
    {
        for (const QWidget *p = w->parentWidget(); p; p = p->parentWidget()) {
            if (p->autoFillBackground() || p->isWindow())
                return p->palette().color(QPalette::Window);
        }
        return colors::Face;
    }

    QPointer<QWidget> m_target;
    QMetaObject::Connection m_tabs;
    QColor m_color = OnDark;
    bool m_byMouse = false;
};

} // namespace

void useProgramLook(QWidget *window)
{
    ensureToolkit();
    window->setPalette(programPalette());
    new FocusRing(window);
}

QFont windowFont()
{
    ensureToolkit();
    QFont font(WindowFontFamily);
    font.setPixelSize(10);
    // Hinted only vertically: the widths of the texts are the face's own, whatever the desktop's
    // hinting, so that a caption measured to fit does fit.
    font.setHintingPreference(QFont::PreferVerticalHinting);
    return font;
}

QFont boldFont(QFont font, qreal points)
{
    if (points > 0)
        font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

QIcon programIcon()
{
    ensureToolkit();
    return QIcon(QStringLiteral(":/pictures/icon.svg"));
}

namespace {

// One parsed renderer per picture, shared by every widget that shows it.
QSvgRenderer *rendererFor(const QString &resource)
{
    static QHash<QString, QSvgRenderer *> cache;
    ensureToolkit();
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

// Enter (either key, no modifier; the keypad's own carries the keypad modifier) presses what
// takes the focus, as Space does.
bool isEnter(const QKeyEvent *e)
{
    return (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
        && !(e->modifiers() & ~Qt::KeypadModifier);
}

} // namespace

SvgPicture::SvgPicture(QString resource, QWidget *parent, const QString &name)
    : QWidget(parent)
    , m_resource(std::move(resource))
{
    ensureToolkit();
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void SvgPicture::setResource(const QString &resource)
{
    m_resource = resource;
    update();
}

void SvgPicture::paintEvent(QPaintEvent *)
{
    if (m_resource.isEmpty())
        return;
    QPainter p(this);
    p.drawPixmap(0, 0, pixmapFor(m_resource, size(), devicePixelRatioF()));
}

PictureButton::PictureButton(
    QString resource, QWidget *parent, const QString &name, const QString &accessibleName)
    : QAbstractButton(parent)
    , m_resource(std::move(resource))
{
    setObjectName(name);
    setAccessibleName(accessibleName);
    setFocusPolicy(Qt::StrongFocus);
}

void PictureButton::setResource(const QString &resource)
{
    m_resource = resource;
    update();
}

void PictureButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QPixmap &picture = pixmapFor(m_resource, size(), devicePixelRatioF());
    if (!isDown()) {
        p.drawPixmap(0, 0, picture);
        return;
    }
    // Held down: a pixel lower and to the right, and darker where the picture is drawn.
    QPixmap pressed = picture;
    QPainter shade(&pressed);
    shade.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    shade.fillRect(QRect(QPoint(), size()), QColor(0, 0, 0, 80));
    shade.end();
    p.drawPixmap(1, 1, pressed);
}

void PictureButton::keyPressEvent(QKeyEvent *e)
{
    if (isEnter(e))
        animateClick();
    else
        QAbstractButton::keyPressEvent(e);
}

DigitPreview::DigitPreview(const QString &prefix, int segments, QWidget *parent,
    const QString &name, const QString &overlayName)
    : SvgPicture(QStringLiteral(":/pictures/%1-digit.svg").arg(prefix), parent, name)
{
    for (int k = 0; k < segments; ++k) {
        const QChar letter = QLatin1Char(SegmentLetters[k]);
        // Replaced, not arg(): in "Image%11" arg() would take %11 for its placeholder.
        auto *overlay = new SvgPicture(QStringLiteral(":/pictures/%1-%2.svg").arg(prefix, letter),
            this, QString(overlayName).replace(QLatin1String("%1"), letter.toUpper()));
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
    if (isLit(k) == lit)
        return;
    m_overlays[k]->setHidden(!lit);
    if (QAccessible::isActive()) {
        QAccessibleEvent changed(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&changed);
    }
}

QString DigitPreview::pattern() const
{
    QString bits;
    for (int k = 0; k < m_overlays.size(); ++k)
        bits += isLit(k) ? u'1' : u'0';
    return bits;
}

void DigitPreview::resizeEvent(QResizeEvent *)
{
    for (SvgPicture *overlay : std::as_const(m_overlays))
        overlay->setGeometry(rect());
}

HotSpot::HotSpot(QWidget *parent, const QString &name, const QString &accessibleName)
    : QAbstractButton(parent)
{
    setObjectName(name);
    setAccessibleName(accessibleName);
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::CrossCursor);
}

void HotSpot::paintEvent(QPaintEvent *)
{
    if (isDown())
        QPainter(this).fillRect(rect(), QColor(255, 255, 255, 70));
}

void HotSpot::keyPressEvent(QKeyEvent *e)
{
    if (isEnter(e))
        animateClick();
    else
        QAbstractButton::keyPressEvent(e);
}

ShapeWidget::ShapeWidget(
    QWidget *parent, const QString &name, const QColor &border, const QColor &fill)
    : QWidget(parent)
    , m_border(border)
    , m_fill(fill)
{
    ensureToolkit();
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
    ensureToolkit();
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
    ensureToolkit();
    setObjectName(name);
    setTextFormat(Qt::PlainText);
    setFocusPolicy(Qt::StrongFocus);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *e)
{
    if (releasedInside(this, e))
        emit clicked();
}

void ClickLabel::keyPressEvent(QKeyEvent *e)
{
    if (isEnter(e) || (e->key() == Qt::Key_Space && !e->modifiers()))
        emit clicked();
    else
        QLabel::keyPressEvent(e);
}

SpeedSlider::SpeedSlider(Qt::Orientation orientation, bool periodFromMaximum, QWidget *parent)
    : QScrollBar(orientation, parent)
    , m_periodFromMaximum(periodFromMaximum)
{
    ensureToolkit();
    setFocusPolicy(Qt::StrongFocus);
}

int SpeedSlider::periodOf(int value) const
{
    // Its own inverse: valueOf() is the same mapping.
    return m_periodFromMaximum ? maximum() + 1 - value : value;
}

void SpeedSlider::keyPressEvent(QKeyEvent *e)
{
    const int key = e->key();
    if ((key == Qt::Key_Left || key == Qt::Key_Right) && orientation() == Qt::Horizontal) {
        // The thumb goes the way of the arrow: Qt 6's scroll bar takes the arrows backwards.
        const bool towardsMaximum = (key == Qt::Key_Right) != isRightToLeft();
        triggerAction(towardsMaximum ? SliderSingleStepAdd : SliderSingleStepSub);
    } else if (key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
        // A click beside the thumb moves it by one; the keyboard's page goes further, in the
        // direction the scroll bar gives it.
        const int mouseStep = pageStep();
        setPageStep(KeyboardPage);
        QScrollBar::keyPressEvent(e);
        setPageStep(mouseStep);
    } else {
        QScrollBar::keyPressEvent(e);
    }
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

SpeedSlider *makeSlider(QWidget *parent, const QString &name, Qt::Orientation orientation,
    const QRect &rect, int minimum, int maximum, int value, bool periodFromMaximum,
    const QString &accessibleName)
{
    auto *slider = new SpeedSlider(orientation, periodFromMaximum, parent);
    slider->setObjectName(name);
    slider->setAccessibleName(accessibleName);
    slider->setGeometry(rect);
    slider->setRange(minimum, maximum);
    slider->setSingleStep(1);
    slider->setPageStep(1);
    slider->setValue(value);
    return slider;
}

namespace {

// Watches the keys that reach the page's window: those no control took for itself.
class TypedKeys : public QObject
{
public:
    TypedKeys(QWidget *page, std::function<bool(QChar)> typed)
        : QObject(page)
        , m_page(page)
        , m_typed(std::move(typed))
    {
        page->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *e) override
    {
        // The page finds its window when it is first shown, inside whatever holds it.
        if (watched == m_page && e->type() == QEvent::Show && m_window != m_page->window()) {
            if (m_window)
                m_window->removeEventFilter(this);
            m_window = m_page->window();
            if (m_window != m_page)
                m_window->installEventFilter(this);
        }
        if (e->type() != QEvent::KeyPress || !m_page->isVisible())
            return false;
        const auto *key = static_cast<QKeyEvent *>(e);
        const QWidget *focus = QApplication::focusWidget();
        const bool typing = focus && focus->testAttribute(Qt::WA_InputMethodEnabled);
        const bool plain = !(key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier));
        return !typing && plain && key->text().size() == 1 && m_typed(key->text()[0]);
    }

private:
    QWidget *m_page;
    QPointer<QWidget> m_window;
    std::function<bool(QChar)> m_typed;
};

} // namespace

void handleTypedKeys(QWidget *page, std::function<bool(QChar)> typed)
{
    new TypedKeys(page, std::move(typed));
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

namespace {

// Pictures: an image with the name its owner gave it. A digit's overlays are its own business;
// its value is the pattern it shows, and its description names the lit segments.
class PictureAccessible : public QAccessibleWidget
{
public:
    explicit PictureAccessible(QWidget *w)
        : QAccessibleWidget(w, QAccessible::Graphic)
    { }

    QString text(QAccessible::Text t) const override
    {
        const auto *digit = qobject_cast<const DigitPreview *>(object());
        if (!digit || !widget()->accessibleDescription().isEmpty())
            return QAccessibleWidget::text(t);
        if (t == QAccessible::Value)
            return digit->pattern();
        if (t != QAccessible::Description)
            return QAccessibleWidget::text(t);
        const QString bits = digit->pattern();
        QStringList lit;
        for (int k = 0; k < bits.size(); ++k) {
            if (bits[k] == u'1')
                lit << QString(QLatin1Char(SegmentLetters[k]));
        }
        return lit.isEmpty() ? QStringLiteral("Nesvítí nic")
                             : QStringLiteral("Svítí ") + lit.join(QStringLiteral(", "));
    }
    int childCount() const override
    {
        return qobject_cast<const DigitPreview *>(object()) ? 0 : QAccessibleWidget::childCount();
    }
    QAccessibleInterface *child(int index) const override
    {
        return childCount() ? QAccessibleWidget::child(index) : nullptr;
    }
};

// A clickable label: a link that can be pressed.
class LinkAccessible : public QAccessibleWidget
{
public:
    explicit LinkAccessible(QWidget *w)
        : QAccessibleWidget(w, QAccessible::Link)
    { }

    QString text(QAccessible::Text t) const override
    {
        const QString own = QAccessibleWidget::text(t);
        return t == QAccessible::Name && own.isEmpty() ? label()->text() : own;
    }
    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &name) override
    {
        if (name == pressAction())
            emit label()->clicked();
        else
            QAccessibleWidget::doAction(name);
    }

private:
    ClickLabel *label() const { return static_cast<ClickLabel *>(object()); }
};

// A speed slider: its value is the period in milliseconds.
class SliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit SliderAccessible(QWidget *w)
        : QAccessibleWidget(w, QAccessible::Slider)
    { }

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return QStringLiteral("%1 ms").arg(currentValue().toInt());
        return QAccessibleWidget::text(t);
    }
    QVariant currentValue() const override { return slider()->periodOf(slider()->value()); }
    void setCurrentValue(const QVariant &value) override
    {
        slider()->setValue(slider()->valueOf(value.toInt()));
    }
    QVariant maximumValue() const override
    {
        return std::max(
            slider()->periodOf(slider()->minimum()), slider()->periodOf(slider()->maximum()));
    }
    QVariant minimumValue() const override
    {
        return std::min(
            slider()->periodOf(slider()->minimum()), slider()->periodOf(slider()->maximum()));
    }
    QVariant minimumStepSize() const override { return 1; }

private:
    SpeedSlider *slider() const { return static_cast<SpeedSlider *>(object()); }
};

QAccessibleInterface *accessibleFor(const QString &className, QObject *object)
{
    auto *w = qobject_cast<QWidget *>(object);
    if (!w)
        return nullptr;
    if (className == QLatin1String("SvgPicture") || className == QLatin1String("DigitPreview"))
        return new PictureAccessible(w);
    if (className == QLatin1String("ClickLabel"))
        return new LinkAccessible(w);
    if (className == QLatin1String("SpeedSlider"))
        return new SliderAccessible(w);
    // Lines and frames are decoration; a named shape (a lamp) is a picture.
    if (className == QLatin1String("LineWidget"))
        return new QAccessibleWidget(w, QAccessible::Separator);
    if (className == QLatin1String("ShapeWidget")) {
        return new QAccessibleWidget(
            w, w->accessibleName().isEmpty() ? QAccessible::Whitespace : QAccessible::Graphic);
    }
    return nullptr;
}

} // namespace
