#include "ocrworker/OcrRuntime.h"
#include "probe/Subcommand.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

// Adding a subcommand: write its run function and add one row here.
constexpr Subcommand subcommands[] = {
    {"posting", "FILE...", "parse each file (.txt pasted text, .lines.json recognised lines, anything else an image)",
        runPosting},
    {"ocr-lines",
        "[--psm N] [--min-xheight N] [--no-invert] [--no-separators] [--height lineBox|rowHeight|capHeight] "
        "[--max-upscale N] [--min-letters N] [--min-confidence X] [--split-gap X] [--no-second-pass] "
        "[--second-pass-xheight X] "
        "[--no-cleanup] FILE...",
        "recognised lines and Tesseract's own lines of each image, for tuning", runOcrLines},
    {"backup", "FILE",
        "decode FILE as a backup and write it out again with the application's encoder (errors as the import shows "
        "them)",
        runBackup},
    {"mail", "[--store BACKUP.json] FILE...",
        "read each .eml or .mbox message: what it says, the application of the backup it is about and the change "
        "the mail review would propose",
        runMail},
};

int usage()
{
    QTextStream err(stderr);
    err << "usage: applywright-probe SUBCOMMAND ARGUMENTS...\n";
    for (const Subcommand& subcommand : subcommands) {
        err << "  applywright-probe " << subcommand.name << ' ' << subcommand.arguments << "\n      "
            << subcommand.summary << '\n';
    }
    return exitUsage;
}

} // namespace

int main(int argc, char* argv[])
{
    ensureOcrThreadLimit(argc, argv);
    QCoreApplication app(argc, argv);

    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2)
        return usage();
    for (const Subcommand& subcommand : subcommands) {
        if (arguments.at(1) == QLatin1String(subcommand.name)) {
            const int status = subcommand.run(arguments.mid(2));
            return status == exitUsage ? usage() : status;
        }
    }
    return usage();
}
