// Preloaded into a program under test: a disk that fails. Every read by position from a file
// whose name ends in ".bin", from the read numbered GEOID_FAIL_PREAD_FROM (counted from 1) on,
// gives only half the bytes asked for, and every read after such a short one fails with EIO.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <unistd.h>

namespace {

bool is_model(int fd)
{
    char link[64], path[4096];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, path, sizeof path - 1);
    if (n < 4) return false;
    path[n] = '\0';
    return std::strcmp(path + n - 4, ".bin") == 0;
}

ssize_t failing_pread(const char* name, int fd, void* buf, size_t count, off_t offset)
{
    using Pread = ssize_t (*)(int, void*, size_t, off_t);
    static long reads = 0;
    static bool failing = false;
    const auto real = reinterpret_cast<Pread>(dlsym(RTLD_NEXT, name));
    const char* from = std::getenv("GEOID_FAIL_PREAD_FROM");
    if (from == nullptr || !is_model(fd) || ++reads < std::atol(from)) return real(fd, buf, count, offset);
    if (failing) {
        errno = EIO;
        return -1;
    }
    failing = true;
    return real(fd, buf, count > 1 ? count / 2 : count, offset);
}

}  // namespace

extern "C" ssize_t pread(int fd, void* buf, size_t count, off_t offset)
{
    return failing_pread("pread", fd, buf, count, offset);
}

extern "C" ssize_t pread64(int fd, void* buf, size_t count, off_t offset)
{
    return failing_pread("pread64", fd, buf, count, offset);
}
