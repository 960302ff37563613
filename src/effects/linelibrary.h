// The program's view of the line library module: open a port, set DTR, set the TxD break.
#pragma once

#include <QByteArray>
#include <QLibrary>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>

// Thrown by an operation that cannot be carried out because the module or one of its
// functions is missing.
class LineLibraryError : public std::runtime_error
{
public:
    LineLibraryError(const QString &modulePath, const QString &reason)
        : std::runtime_error((modulePath + QStringLiteral(": ") + reason).toStdString())
        , modulePath(modulePath)
        , reason(reason)
    { }
    // Where the module was looked for, and why it cannot be used: in Czech where the program
    // knows why, else in the system loader's words.
    QString modulePath;
    QString reason;
};

// What stands behind one COM name, as the module's optional PORTINFO tells it.
struct PortInfo
{
    // Untested: never opened, and nothing seen from outside stands in its way; not usable until
    // an open says so.
    enum class State {
        Open,
        Ready,
        Missing,
        Gone,
        Denied,
        Busy,
        NoDtr,
        NoBreak,
        SlowBreak,
        Error,
        Untested
    };

    QString device; // "/dev/ttyUSB0"; on Windows the COM name
    QString adapter; // "FT232R USB UART"; may be empty
    State state = State::Error;
    QString detail; // the owning group for Denied, the system's text for Error

    // PORTINFO's line: device TAB adapter TAB state word TAB detail. Nothing when malformed; an
    // unknown state word reads as Error with the word as its detail.
    static std::optional<PortInfo> parse(const QByteArray &line);
    static QString word(State state);
    bool operator==(const PortInfo &) const = default;
};

class LineLibrary
{
public:
    virtual ~LineLibrary() = default;
    virtual int16_t OPENCOM(const QByteArray &settings) = 0;
    virtual void DTR(int32_t level) = 0;
    virtual void TXD(int32_t level) = 0;
    // What stands behind COMn (1 ... 5). Nothing when the module cannot tell (it lacks
    // PORTINFO or does not load): the program then shows no details. Never throws.
    virtual std::optional<PortInfo> portInfo(int n)
    {
        Q_UNUSED(n);
        return std::nullopt;
    }
};

// The module's file name on this platform: "librscom.so", "RSCOM.dll", "librscom.dylib".
QString lineLibraryFileName();

// Loads the module from the program's own directory, never from the library search path or
// the working directory, at the first call of one of its operations. A module that lacks OPENCOM,
// DTR or TXD counts as missing: every operation fails; one without PORTINFO only tells nothing.
// When the module cannot be used, the reason goes to standard error once, unless `tellWhy` is
// false (the command line says it in its own words).
class ModuleLineLibrary : public LineLibrary
{
public:
    explicit ModuleLineLibrary(const QString &programDirectory, bool tellWhy = true);
    ~ModuleLineLibrary() override;

    int16_t OPENCOM(const QByteArray &settings) override;
    void DTR(int32_t level) override;
    void TXD(int32_t level) override;
    std::optional<PortInfo> portInfo(int n) override;

private:
    void load();

    using OpenFn = int16_t (*)(const char *);
    using LevelFn = void (*)(int32_t);
    using InfoFn = int32_t (*)(int32_t, char *, int32_t);

    QString m_path;
    std::unique_ptr<QLibrary> m_library;
    OpenFn m_open = nullptr;
    LevelFn m_dtr = nullptr;
    LevelFn m_txd = nullptr;
    InfoFn m_info = nullptr;
    bool m_tellWhy;
    std::optional<LineLibraryError> m_failure;
};
