#include "effects/linelibrary.h"

#include "effects/outsidetext.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <array>

namespace {

constexpr std::array StateWords = {"open", "ready", "missing", "gone", "denied", "busy", "nodtr",
    "nobreak", "slowbreak", "error", "untested"};

} // namespace

std::optional<PortInfo> PortInfo::parse(const QByteArray &line)
{
    const QList<QByteArray> fields = line.split('\t');
    if (fields.size() != 4)
        return std::nullopt;
    // What a device says (its product string above all) is outside text.
    const auto text
        = [](const QByteArray &field) { return cleanOutsideText(QString::fromUtf8(field)); };
    PortInfo info{text(fields[0]), text(fields[1]), State::Error, text(fields[3])};
    const auto known = std::find(StateWords.begin(), StateWords.end(), fields[2]);
    if (known != StateWords.end())
        info.state = State(known - StateWords.begin());
    else
        info.detail = text(fields[2]);
    return info;
}

QString PortInfo::word(State state)
{
    return QString::fromLatin1(StateWords[size_t(state)]);
}

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

QFunctionPointer ModuleLineLibrary::resolve(const char *name)
{
    if (!m_library) {
        auto library = std::make_unique<QLibrary>(m_path);
        QString why;
        // Checked first: given a missing file, QLibrary would try other names beside it.
        if (!QFileInfo(m_path).isFile())
            why = QStringLiteral("soubor tam není");
        else if (!library->load())
            why = library->errorString();
        if (!why.isEmpty()) {
            // The box's details say it too; this is for a terminal or a bug report.
            if (!m_toldWhy)
                qWarning().noquote() << "line library:" << m_path << why;
            m_toldWhy = true;
            throw LineLibraryError(m_path, why);
        }
        m_library = std::move(library);
    }
    const QFunctionPointer f = m_library->resolve(name);
    if (!f)
        throw LineLibraryError(
            m_path, QStringLiteral("knihovna nemá funkci ") + QLatin1String(name));
    return f;
}

int16_t ModuleLineLibrary::OPENCOM(const QByteArray &settings)
{
    if (!m_open)
        m_open = reinterpret_cast<OpenFn>(resolve("OPENCOM"));
    return m_open(settings.constData());
}

void ModuleLineLibrary::DTR(int32_t level)
{
    if (!m_dtr)
        m_dtr = reinterpret_cast<LevelFn>(resolve("DTR"));
    m_dtr(level);
}

void ModuleLineLibrary::TXD(int32_t level)
{
    if (!m_txd)
        m_txd = reinterpret_cast<LevelFn>(resolve("TXD"));
    m_txd(level);
}

std::optional<PortInfo> ModuleLineLibrary::portInfo(int n)
{
    if (!m_info) {
        try {
            m_info = reinterpret_cast<InfoFn>(resolve("PORTINFO"));
        } catch (const LineLibraryError &) {
            return std::nullopt; // a module of the user's own may lack it
        }
    }
    char text[1024];
    const int32_t length = m_info(n, text, sizeof text);
    if (length < 0 || length >= int32_t(sizeof text))
        return std::nullopt;
    return PortInfo::parse(QByteArray(text, length));
}
