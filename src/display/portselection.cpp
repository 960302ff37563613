#include "display/portselection.h"

PortSelection::PortSelection(Callbacks callbacks)
    : m_cb(std::move(callbacks))
{ }

QByteArray PortSelection::settingsText(int n)
{
    return "COM" + QByteArray::number(n) + ",1200,N,8,1";
}

QString PortSelection::portName(int n)
{
    return QStringLiteral("COM%1").arg(n);
}

void PortSelection::notify(int n)
{
    if (m_cb.optionChanged)
        m_cb.optionChanged(n, m_selected == n, m_enabled[n - 1]);
}

void PortSelection::setSelected(int n)
{
    const int old = m_selected;
    m_selected = n;
    if (old >= 1)
        notify(old);
    if (n >= 1)
        notify(n);
}

void PortSelection::probe()
{
    for (int n = 1; n <= Count; ++n) {
        if (m_cb.open(settingsText(n)) == 0 && m_enabled[n - 1]) {
            m_enabled[n - 1] = false;
            notify(n);
        }
    }
}

void PortSelection::startupChoice()
{
    probe();
    for (int n = 1; n < Count; ++n) {
        if (m_selected == n && !m_enabled[n - 1])
            setSelected(n + 1);
    }
    if (m_selected == Count && !m_enabled[Count - 1]) {
        setSelected(0);
        m_cb.noPortMessage();
    }
    if (m_selected >= 1) {
        m_cb.open(settingsText(m_selected));
        m_cb.setPortLabel(portName(m_selected));
    }
}

void PortSelection::userSelected(int n)
{
    setSelected(n);
    OpenSelectedPort();
}

void PortSelection::OpenSelectedPort()
{
    probe();
    if (m_selected >= 1) {
        m_cb.open(settingsText(m_selected));
        m_cb.setPortLabel(portName(m_selected));
    }
    // Each move runs this procedure again, nested; there is deliberately no move from COM1
    // to COM2, so a failing COM1 always ends in the message.
    const int moves[][2] = {{2, 3}, {3, 4}, {4, 5}, {5, 1}};
    for (const auto &move : moves) {
        if (m_selected == move[0] && !m_enabled[move[0] - 1])
            userSelected(move[1]);
    }
    if (m_selected == 1 && !m_enabled[0])
        m_cb.noPortMessage();
    m_cb.showCharacter();
}

void PortSelection::disableAll()
{
    for (int n = 1; n <= Count; ++n) {
        m_enabled[n - 1] = false;
        notify(n);
    }
}
