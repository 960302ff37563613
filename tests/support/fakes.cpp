#include "fakes.h"

#include "characterset/characterset.h"

#include <QFile>

// A save that falls back to the user's copy of Data.ini must never reach the real home.
[[maybe_unused]] static const bool isolatedHome = [] {
    static QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
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

TestHost::TestHost()
{
    lines.openPort = 1;
    characterset::load(ShippedDataFile, CharacterPatterns, BText, nullptr);
}

Environment TestProgram::environment()
{
    Environment env;
    env.programDirectory = dir.path();
    env.lines = lines;
    env.messages = messages;
    env.random = random;
    env.beep = [this] { events << QStringLiteral("beep"); };
    env.startProgram = [](const QString &, const QStringList &) { return false; };
    return env;
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
