// The five port options COM1 ... COM5: which is selected, which are still usable, and the
// procedures that probe, open and move the selection. Widgets mirror this model.
#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

class PortSelection
{
public:
    static constexpr int Count = 5;

    struct Callbacks
    {
        // OPENCOM; may throw LineLibraryError.
        std::function<int16_t(const QByteArray &settings)> open;
        // The "no port can be opened" message box.
        std::function<void()> noPortMessage;
        std::function<void()> showCharacter;
        std::function<void(const QString &name)> setPortLabel;
        // Option n (1 ... 5) was selected or deselected, enabled or disabled by the model.
        std::function<void(int n, bool selected, bool enabled)> optionChanged;
    };

    explicit PortSelection(Callbacks callbacks);

    static QByteArray settingsText(int n); // "COM1,1200,N,8,1"
    static QString portName(int n); // "COM1"

    int selected() const { return m_selected; } // 0: none
    bool isEnabled(int n) const { return m_enabled[n - 1]; }

    // The start-up choice: probe, move past unusable ports without running OpenSelectedPort,
    // open the chosen one. Exceptions of the open callback pass through.
    void startupChoice();
    // The user picked option n: it becomes selected and OpenSelectedPort runs.
    void userSelected(int n);
    void OpenSelectedPort();
    // A missing line library: no option can be picked any more; the selection stays.
    void disableAll();

private:
    void probe();
    void setSelected(int n);
    void notify(int n);

    Callbacks m_cb;
    std::array<bool, Count> m_enabled{true, true, true, true, true};
    int m_selected = 1;
};
