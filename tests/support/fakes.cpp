#include "fakes.h"

#include <QFile>

// A save that falls back to the user's copy of Data.ini must never reach the real home; and Qt
// wants a runtime directory of the user's own, which a bare session does not give.
[[maybe_unused]] static const bool isolatedHome = [] {
    static QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(home.path()));
    return true;
}();

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

Environment TestProgram::environment()
{
    return {dir.path(), lines, messages, random, [this] { events << QStringLiteral("beep"); },
        [](const QString &, const QStringList &) { return false; }};
}

std::unique_ptr<Form1> TestProgram::start(bool withDataFile, std::optional<Environment> env)
{
    if (withDataFile && !QFile::exists(dataFile()))
        QFile::copy(ShippedDataFile, dataFile());
    QFile::setPermissions(dataFile(), QFile::ReadOwner | QFile::WriteOwner);
    auto form = std::make_unique<Form1>(env ? *env : environment());
    form->Form_Load();
    return form;
}
