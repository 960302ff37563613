#include "effects/linelibrary.h"

#include "effects/outsidetext.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <array>
#include <utility>

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

ModuleLineLibrary::ModuleLineLibrary(const QString &programDirectory, bool tellWhy)
    : m_path(QDir(QFileInfo(programDirectory).absoluteFilePath()).filePath(lineLibraryFileName()))
    , m_tellWhy(tellWhy)
{ }

// The module stays loaded to the end of the program: the port it holds open must not go
// away under a running transfer.
ModuleLineLibrary::~ModuleLineLibrary() = default;

// Loads the module at the first call and looks up every function the transfer needs at once: a
// module that lacks one is as unusable as a missing one, and is told at start-up, not as a
// character that silently never arrives. The outcome is kept: the module is loaded once.
void ModuleLineLibrary::load()
{
    if (m_failure)
        throw *m_failure;
    if (m_library)
        return;
    auto library = std::make_unique<QLibrary>(m_path);
    QString why;
    // Checked first: given a missing file, QLibrary would try other names beside it.
    if (!QFileInfo(m_path).isFile())
        why = QStringLiteral("soubor tam není");
    else if (!library->load())
        why = library->errorString();
    if (why.isEmpty()) {
        m_open = reinterpret_cast<OpenFn>(library->resolve("OPENCOM"));
        m_dtr = reinterpret_cast<LevelFn>(library->resolve("DTR"));
        m_txd = reinterpret_cast<LevelFn>(library->resolve("TXD"));
        QStringList lacking;
        for (const auto &[name, f] : {std::pair("OPENCOM", bool(m_open)),
                 std::pair("DTR", bool(m_dtr)), std::pair("TXD", bool(m_txd))}) {
            if (!f)
                lacking << QLatin1String(name);
        }
        if (!lacking.isEmpty()) {
            why = (lacking.size() == 1 ? QStringLiteral("knihovna nemá funkci ")
                                       : QStringLiteral("knihovna nemá funkce "))
                + lacking.join(QStringLiteral(", "));
        }
    }
    if (!why.isEmpty()) {
        // The box's details say it too; this is for a terminal or a bug report.
        if (m_tellWhy)
            qWarning().noquote() << "Knihovna portu" << m_path << why;
        m_failure = LineLibraryError(m_path, why);
        throw *m_failure;
    }
    m_library = std::move(library);
}

int16_t ModuleLineLibrary::OPENCOM(const QByteArray &settings)
{
    load();
    return m_open(settings.constData());
}

void ModuleLineLibrary::DTR(int32_t level)
{
    load();
    m_dtr(level);
}

void ModuleLineLibrary::TXD(int32_t level)
{
    load();
    m_txd(level);
}

std::optional<PortInfo> ModuleLineLibrary::portInfo(int n)
{
    try {
        load();
    } catch (const LineLibraryError &) {
        return std::nullopt;
    }
    // A module of the user's own may lack it.
    if (!m_info)
        m_info = reinterpret_cast<InfoFn>(m_library->resolve("PORTINFO"));
    if (!m_info)
        return std::nullopt;
    char text[1024];
    const int32_t length = m_info(n, text, sizeof text);
    if (length < 0 || length >= int32_t(sizeof text))
        return std::nullopt;
    return PortInfo::parse(QByteArray(text, length));
}
