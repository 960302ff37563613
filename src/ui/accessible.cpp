#include "ui/toolkit.h"

#include "ui/clicklabel.h"
#include "ui/digitpreview.h"
#include "ui/speedslider.h"

#include <QAccessible>
#include <QAccessibleWidget>

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

} // namespace

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
