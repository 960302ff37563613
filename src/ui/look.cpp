#include "ui/look.h"

#include "ui/focusring.h"
#include "ui/toolkit.h"

#include <QPalette>
#include <QWidget>
#include <algorithm>
#include <cmath>

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
