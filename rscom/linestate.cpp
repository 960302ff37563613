#include "linestate.h"

namespace rscom {

bool LineState::reset(NativeLines *native, bool dtr, bool txdBreak)
{
    m_native = nullptr;
    if (!native || !native->setDtr(dtr))
        return false;
    m_native = native;
    m_native->setBreak(txdBreak);
    m_dtr = dtr;
    m_break = txdBreak;
    return true;
}

void LineState::setDtr(bool asserted)
{
    if (!m_native || asserted == m_dtr)
        return;
    // A failed request leaves the record as it was, so the next one is tried again.
    if (m_native->setDtr(asserted))
        m_dtr = asserted;
}

void LineState::setTxd(bool breakOn)
{
    if (!m_native || breakOn == m_break)
        return;
    if (m_native->setBreak(breakOn))
        m_break = breakOn;
}

} // namespace rscom
