// Preloaded into a child process (LD_PRELOAD): every write into a regular file fails
// the way it does on a full disk, while pipes, terminals and the like still work.
#include <cerrno>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
bool isRegularFile(int fd)
{
    struct stat status { };
    return ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
}
} // namespace

extern "C" {

ssize_t write(int fd, const void* buffer, size_t size)
{
    if (isRegularFile(fd)) {
        errno = ENOSPC;
        return -1;
    }
    static const auto real = reinterpret_cast<ssize_t (*)(int, const void*, size_t)>(::dlsym(RTLD_NEXT, "write"));
    return real(fd, buffer, size);
}

ssize_t pwrite(int fd, const void*, size_t, off_t)
{
    errno = isRegularFile(fd) ? ENOSPC : ESPIPE;
    return -1;
}

ssize_t pwrite64(int fd, const void*, size_t, off64_t)
{
    errno = isRegularFile(fd) ? ENOSPC : ESPIPE;
    return -1;
}
}
