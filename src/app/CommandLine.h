#pragma once

#include <QDir>
#include <QString>
#include <QStringList>

// What the program was started with, once Qt has taken its own options
// (-platform, -style, …): image files to import, or a request for the version.
// There is nothing else: no settings are taken from the command line.
struct CommandLine {
    enum class Action { run, showVersion, fail };

    Action action = Action::run;
    // Absolute paths in the order given; a desktop's "Open With" passes them.
    QStringList imageFiles;
    // For `fail`: what was wrong, for standard error.
    QString error;

    // `arguments` starts with the program's name, as QCoreApplication::arguments()
    // has it. Relative paths are taken from `workingDirectory`: a running copy that
    // is handed the files has a working directory of its own.
    static CommandLine parse(const QStringList& arguments, const QDir& workingDirectory = QDir::current());

    // Whether the raw command line (argv, before Qt takes its options) asks for the
    // version: answered before anything needs a display, so it works over ssh too.
    static bool asksForVersion(const QStringList& arguments);

    // "Applywright 1.0.0": the build's version, as --version prints it.
    static QString versionText();
};
