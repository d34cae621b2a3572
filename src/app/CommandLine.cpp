#include "app/CommandLine.h"

#include <QCommandLineParser>

CommandLine CommandLine::parse(const QStringList& arguments, const QDir& workingDirectory)
{
    QCommandLineParser parser;
    const QCommandLineOption version(QStringLiteral("version"));
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("files"), QString(), QStringLiteral("[FILE...]"));

    CommandLine result;
    if (!parser.parse(arguments)) {
        result.action = Action::fail;
        result.error = parser.errorText();
        return result;
    }
    if (parser.isSet(version)) {
        result.action = Action::showVersion;
        return result;
    }
    for (const QString& file : parser.positionalArguments()) {
        if (file.isEmpty())
            continue;
        result.imageFiles.append(QDir::cleanPath(workingDirectory.absoluteFilePath(file)));
    }
    return result;
}

bool CommandLine::asksForVersion(const QStringList& arguments)
{
    for (const QString& argument : arguments.mid(1)) {
        if (argument == QLatin1String("--"))
            return false;
        if (argument == QLatin1String("--version"))
            return true;
    }
    return false;
}

QString CommandLine::versionText()
{
    return QStringLiteral("Applywright " APPLYWRIGHT_VERSION);
}
