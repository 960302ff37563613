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
    enum class Check { Ok, NoDtr, NoBreak };

    // Puts DTR asserted and TxD out of break, whatever they were; called right after opening,
    // which has asserted DTR already, so the display sees no clock edge. With `tryBreak` the
    // break is also set and cleared once: with DTR held the register takes no bit, and a port
    // that cannot drive the data line is found now rather than by a display that stays dark.
    Check reset(NativeLines *native, bool tryBreak);
    // Forgets the port: later requests do nothing.
    void detach() { m_native = nullptr; }

    void setDtr(bool asserted);
    void setTxd(bool breakOn);

    bool txdBreak() const { return m_break; }

private:
    NativeLines *m_native = nullptr;
    bool m_dtr = false;
    bool m_break = false;
};

} // namespace rscom
