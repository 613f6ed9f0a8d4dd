// Preloaded into a program under test: drives and folders that refuse. An open of a path that
// holds the text before '=' in GEOID_FAIL_OPEN fails with the error number after it
// ("/schreibgeschuetzt/=30": every file in that folder is on a read-only drive).
#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>

namespace {

int refused(const char* path)
{
    const char* rule = std::getenv("GEOID_FAIL_OPEN");
    const char* eq = rule != nullptr ? std::strchr(rule, '=') : nullptr;
    if (eq == nullptr || path == nullptr) return 0;
    const std::size_t n = static_cast<std::size_t>(eq - rule);
    for (const char* p = path; *p != '\0'; ++p)
        if (std::strncmp(p, rule, n) == 0) return std::atoi(eq + 1);
    return 0;
}

int failing_open(const char* name, const char* path, int flags, mode_t mode)
{
    if (const int error = refused(path)) {
        errno = error;
        return -1;
    }
    using Open = int (*)(const char*, int, ...);
    return reinterpret_cast<Open>(dlsym(RTLD_NEXT, name))(path, flags, mode);
}

}  // namespace

extern "C" int open(const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = (flags & O_CREAT) != 0 ? static_cast<mode_t>(va_arg(args, int)) : 0;
    va_end(args);
    return failing_open("open", path, flags, mode);
}

extern "C" int open64(const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = (flags & O_CREAT) != 0 ? static_cast<mode_t>(va_arg(args, int)) : 0;
    va_end(args);
    return failing_open("open64", path, flags, mode);
}
