#pragma once

#include <QStringList>

// One subcommand of the probe: its name, the arguments it takes (for the usage text)
// and the function that runs it. run() gets the arguments after the subcommand's name
// and returns the exit status; 2 means the arguments were wrong.
struct Subcommand {
    const char* name;
    const char* arguments;
    const char* summary;
    int (*run)(const QStringList& arguments);
};

inline constexpr int exitUsage = 2;

// Each subcommand lives in a source file of its own.
int runPosting(const QStringList& arguments);
int runOcrLines(const QStringList& arguments);
int runBackup(const QStringList& arguments);
int runMail(const QStringList& arguments);
