#include "ocrworker/OcrRuntime.h"

#include <cstdlib>
#include <vector>

#if defined(__linux__)
#include <unistd.h>
#elif defined(__APPLE__)
#include <mach-o/dyld.h>
#include <unistd.h>
#endif

namespace {

constexpr const char* threadLimitVariable = "OMP_THREAD_LIMIT";
// Set beside the limit so a restarted program never restarts again, even if
// something in between clears the limit.
constexpr const char* restartedVariable = "APPLYWRIGHT_OCR_RESTARTED";

} // namespace

void ensureOcrThreadLimit(int argc, char** argv)
{
    if (std::getenv(restartedVariable) != nullptr) {
        // Restarted by us: the OpenMP runtime has read the limit while loading, so
        // both variables go again, and the browser, mail program or file manager we
        // start later do not inherit them.
        unsetenv(restartedVariable);
        unsetenv(threadLimitVariable);
        return;
    }
    if (std::getenv(threadLimitVariable) != nullptr)
        return;
    if (argc < 1 || argv == nullptr)
        return;
    if (setenv(threadLimitVariable, "1", 0) != 0 || setenv(restartedVariable, "1", 1) != 0)
        return;

#if defined(__linux__)
    execv("/proc/self/exe", argv);
#elif defined(__APPLE__)
    std::vector<char> path(1024);
    uint32_t size = uint32_t(path.size());
    if (_NSGetExecutablePath(path.data(), &size) != 0) {
        path.resize(size);
        if (_NSGetExecutablePath(path.data(), &size) != 0)
            return;
    }
    execv(path.data(), argv);
#endif
    // The restart failed (or the platform has no way to do it): carry on with the
    // variable set for any code that reads it later; only the speed-up is lost.
}
