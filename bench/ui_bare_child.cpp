// The anchor of the start-up benchmarks: a bare QMainWindow ("bare"), or the same
// window with one line of text ("text"), in a program that links Qt Widgets and
// nothing else. Prints "painted" once its first frame is drawn, then "peak" and its
// peak resident memory in KiB where the system tells it (Linux).
#include "FirstPaint.h"

#include <QLabel>
#include <QMainWindow>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc != 2 || (std::strcmp(argv[1], "bare") != 0 && std::strcmp(argv[1], "text") != 0)) {
        std::fputs("usage: child_ui_bare bare|text\n", stderr);
        return 2;
    }
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Applywright"));
    window.resize(1080, 720);
    // The first text a process draws makes Qt read the system's font database.
    if (std::strcmp(argv[1], "text") == 0)
        window.setCentralWidget(new QLabel(QStringLiteral("Applywright"), &window));
    showAndWait(window);
    std::fputs("painted\n", stdout);
    std::fflush(stdout);
    // The kernel's account of a process's peak, as its parent reads it after its end,
    // would include the parent's own: the child starts in its parent's memory.
    if (FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        long long peak = -1;
        while (std::fgets(line, sizeof line, status)) {
            if (std::sscanf(line, "VmHWM: %lld", &peak) == 1)
                break;
        }
        std::fclose(status);
        std::printf("peak %lld\n", peak);
    }
    return 0;
}
