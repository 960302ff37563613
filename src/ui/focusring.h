#pragma once

#include <QColor>
#include <QFocusFrame>
#include <QPointer>

// A ring around the control of its window that has the keyboard focus (around the tab in front
// where the tab strip has it), two pixels wide, a pixel clear of the control, in whichever of two
// colours stands out more from what lies behind. Hidden while the focus came with a mouse click.
// A focus frame, so that screen readers pass over it.
class FocusRing : public QFocusFrame
{
public:
    static inline const QColor OnDark{255, 210, 0};
    static inline const QColor OnLight{0, 70, 160};

    explicit FocusRing(QWidget *window);

    bool eventFilter(QObject *watched, QEvent *e) override;

protected:
    void paintEvent(QPaintEvent *) override;

private:
    void follow(QWidget *now);
    void place();
    static QColor backgroundOf(const QWidget *w);

    QPointer<QWidget> m_target;
    QMetaObject::Connection m_tabs;
    QColor m_color = OnDark;
    bool m_byMouse = false;
};
