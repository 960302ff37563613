// A model of the hardware behind the port: the MAX232's two inverting receivers, a 4094 whose
// strobe is tied high (outputs follow the register) and a common-anode digit.
#pragma once

#include <QString>
#include <array>

class VirtualDisplay
{
public:
    // RS-232 levels: DTR asserted and TxD in break are the positive voltage.
    void setDtr(bool asserted)
    {
        const bool clockHigh = !asserted; // inverted by the receiver
        if (clockHigh && !m_clockHigh) {
            // Rising clock edge: shift Q1 -> Q2 ... and take the data bit into Q1.
            for (int q = 7; q > 0; --q)
                m_outputHigh[q] = m_outputHigh[q - 1];
            m_outputHigh[0] = !m_txdBreak;
        }
        m_clockHigh = clockHigh;
    }
    void setTxd(bool breakOn) { m_txdBreak = breakOn; }

    // Segments a ... h as "0"/"1", "1" where the output is low and so the segment lit.
    QString lit() const
    {
        QString s;
        for (bool high : m_outputHigh)
            s += high ? QLatin1Char('0') : QLatin1Char('1');
        return s;
    }

private:
    std::array<bool, 8> m_outputHigh{true, true, true, true, true, true, true, true};
    bool m_clockHigh = false; // DTR is asserted once the port is open
    bool m_txdBreak = false;
};
