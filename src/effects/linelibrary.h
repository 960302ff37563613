// The program's view of the line library module: open a port, set DTR, set the TxD break.
#pragma once

#include <QByteArray>
#include <QLibrary>
#include <QString>
#include <cstdint>
#include <memory>
#include <stdexcept>

// Thrown by an operation that cannot be carried out because the module or one of its
// functions is missing.
class LineLibraryError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class LineLibrary
{
public:
    virtual ~LineLibrary() = default;
    virtual int16_t OPENCOM(const QByteArray &settings) = 0;
    virtual void DTR(int32_t level) = 0;
    virtual void TXD(int32_t level) = 0;
};

// The module's file name on this platform: "librscom.so", "RSCOM.dll", "librscom.dylib".
QString lineLibraryFileName();

// Loads the module from the program's own directory, never from the library search path or
// the working directory, at the first call of one of its operations. Each function is looked up
// on its own, so a missing one fails only its own calls. When the module cannot be loaded, the
// loader's reason goes to standard error once.
class ModuleLineLibrary : public LineLibrary
{
public:
    explicit ModuleLineLibrary(const QString &programDirectory);
    ~ModuleLineLibrary() override;

    int16_t OPENCOM(const QByteArray &settings) override;
    void DTR(int32_t level) override;
    void TXD(int32_t level) override;

private:
    QFunctionPointer resolve(const char *name);

    using OpenFn = int16_t (*)(const char *);
    using LevelFn = void (*)(int32_t);

    QString m_path;
    std::unique_ptr<QLibrary> m_library;
    OpenFn m_open = nullptr;
    LevelFn m_dtr = nullptr;
    LevelFn m_txd = nullptr;
    bool m_toldWhy = false;
};
