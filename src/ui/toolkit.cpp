#include "ui/toolkit.h"

#include <QAccessible>
#include <QFontDatabase>
#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResource>
#include <QSvgRenderer>
#include <QWidget>
#include <QtMath>

// The pictures and the font are compiled into this static library, which must register them
// itself, with the screen readers' view of its widgets: done at the first use of the toolkit, so
// that any window works without the main window having been made.
static void registerResources()
{
    Q_INIT_RESOURCE(pravlon);
}

void ensureToolkit()
{
    static const bool ready = [] {
        registerResources();
        for (const char *face :
            {":/fonts/DejaVuSansCondensed.ttf", ":/fonts/DejaVuSansCondensed-Bold.ttf"}) {
            // Read where it lies in the program, stored unpacked: no copy.
            const QResource file{QLatin1String(face)};
            const auto bytes = QByteArray::fromRawData(
                reinterpret_cast<const char *>(file.data()), qsizetype(file.size()));
            if (file.compressionAlgorithm() != QResource::NoCompression
                || QFontDatabase::addApplicationFontFromData(bytes) < 0)
                qWarning("font %s cannot be loaded", face);
        }
        QAccessible::installFactory(accessibleFor);
        return true;
    }();
    Q_UNUSED(ready);
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
} // namespace

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

bool isEnter(const QKeyEvent *e)
{
    return (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
        && !(e->modifiers() & ~Qt::KeypadModifier);
}
