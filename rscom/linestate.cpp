#include "linestate.h"

namespace rscom {

LineState::Check LineState::reset(NativeLines *native, bool tryBreak)
{
    m_native = nullptr;
    if (!native || !native->setDtr(true))
        return Check::NoDtr;
    if (tryBreak ? !(native->setBreak(true) && native->setBreak(false)) : !native->setBreak(false))
        return Check::NoBreak;
    m_native = native;
    m_dtr = true;
    m_break = false;
    return Check::Ok;
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
