// The two driven lines of the open port, with the module's own record of their levels so that
// a request that would not change a line never reaches the operating system.
#pragma once

namespace rscom {

// The operating system's side: one request per call.
class NativeLines
{
public:
    virtual ~NativeLines() = default;
    virtual bool setDtr(bool asserted) = 0;
    virtual bool setBreak(bool on) = 0;
};

class LineState
{
public:
    // Puts both lines at known levels, whatever they were; called right after opening. False when
    // the DTR request failed: the port cannot clock the display, and the break is not tried.
    bool reset(NativeLines *native, bool dtr, bool txdBreak);
    // Forgets the port: later requests do nothing.
    void detach() { m_native = nullptr; }

    void setDtr(bool asserted);
    void setTxd(bool breakOn);

    bool dtr() const { return m_dtr; }
    bool txdBreak() const { return m_break; }

private:
    NativeLines *m_native = nullptr;
    bool m_dtr = false;
    bool m_break = false;
};

} // namespace rscom
