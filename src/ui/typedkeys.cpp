#include "ui/typedkeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>
#include <utility>

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
