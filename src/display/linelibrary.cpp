#include "display/linelibrary.h"

#include <QDir>
#include <QFileInfo>

QString lineLibraryFileName()
{
#if defined(Q_OS_WIN)
    return QStringLiteral("RSCOM.dll");
#elif defined(Q_OS_MACOS)
    return QStringLiteral("librscom.dylib");
#else
    return QStringLiteral("librscom.so");
#endif
}

ModuleLineLibrary::ModuleLineLibrary(const QString &programDirectory)
    : m_path(QDir(QFileInfo(programDirectory).absoluteFilePath()).filePath(lineLibraryFileName()))
{ }

// The module stays loaded to the end of the program: the port it holds open must not go
// away under a running transfer.
ModuleLineLibrary::~ModuleLineLibrary() = default;

void ModuleLineLibrary::resolve()
{
    if (m_open && m_dtr && m_txd)
        return;
    if (!QFileInfo(m_path).isFile())
        throw LineLibraryError("line library not found: " + m_path.toStdString());
    if (!m_library) {
        m_library = std::make_unique<QLibrary>(m_path);
        if (!m_library->load()) {
            const std::string why = m_library->errorString().toStdString();
            m_library.reset();
            throw LineLibraryError("line library cannot be loaded: " + why);
        }
    }
    auto open = reinterpret_cast<OpenFn>(m_library->resolve("OPENCOM"));
    auto dtr = reinterpret_cast<LevelFn>(m_library->resolve("DTR"));
    auto txd = reinterpret_cast<LevelFn>(m_library->resolve("TXD"));
    if (!open || !dtr || !txd)
        throw LineLibraryError("line library lacks OPENCOM, DTR or TXD: " + m_path.toStdString());
    m_open = open;
    m_dtr = dtr;
    m_txd = txd;
}

int16_t ModuleLineLibrary::OPENCOM(const QByteArray &settings)
{
    resolve();
    return m_open(settings.constData());
}

void ModuleLineLibrary::DTR(int32_t level)
{
    resolve();
    m_dtr(level);
}

void ModuleLineLibrary::TXD(int32_t level)
{
    resolve();
    m_txd(level);
}
