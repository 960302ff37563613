#include "fakes.h"

#include "sources/characterset.h"

#include <QFile>

TestHost::TestHost()
{
    lines.openPort = 1;
    characterset::load(QStringLiteral(PRAVLON_SOURCE_DIR "/resources/Data.ini"), CharacterPatterns,
        BText, nullptr);
}

void TestProgram::writeDataFile(const QByteArray &bytes) const
{
    QFile f(dataFile());
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

void TestProgram::copyShippedDataFile() const
{
    QFile::remove(dataFile());
    QFile::copy(QStringLiteral(PRAVLON_SOURCE_DIR "/resources/Data.ini"), dataFile());
    QFile::setPermissions(dataFile(), QFile::ReadOwner | QFile::WriteOwner);
}

QByteArray TestProgram::readDataFile() const
{
    QFile f(dataFile());
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

Environment TestProgram::environment()
{
    Environment env;
    env.programDirectory = dir.path();
    env.lines = lines;
    env.messages = messages;
    env.random = random;
    env.beep = [this] { events << QStringLiteral("beep"); };
    env.startProgram = [this](const QString &program, const QStringList &) {
        events << QStringLiteral("try ") + program;
        return startable.contains(program);
    };
    return env;
}

std::unique_ptr<Form1> TestProgram::start(bool withDataFile)
{
    if (withDataFile && !QFile::exists(dataFile()))
        copyShippedDataFile();
    auto form = std::make_unique<Form1>(environment());
    form->Form_Load();
    return form;
}
