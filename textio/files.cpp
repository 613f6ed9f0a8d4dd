#include "files.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace textio {

int open_for_reading(const std::string& path, OpenStatus* status)
{
    OpenStatus dummy;
    OpenStatus& st = status != nullptr ? *status : dummy;
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        st = errno == ENOENT || errno == ENOTDIR ? OpenStatus::Missing : OpenStatus::Failed;
        return -1;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        ::close(fd);
        st = OpenStatus::Failed;
        return -1;
    }
    if (!S_ISREG(info.st_mode) && !S_ISCHR(info.st_mode)) {
        ::close(fd);
        st = OpenStatus::NotAFile;
        return -1;
    }
    // Reads block as usual from here on: a regular file never waits anyway.
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        st = OpenStatus::Failed;
        return -1;
    }
    st = OpenStatus::Ok;
    return fd;
}

std::FILE* fopen_for_reading(const std::string& path, OpenStatus* status)
{
    const int fd = open_for_reading(path, status);
    if (fd < 0) return nullptr;
    std::FILE* f = fdopen(fd, "rb");
    if (f == nullptr) {
        ::close(fd);
        if (status != nullptr) *status = OpenStatus::Failed;
    }
    return f;
}

namespace {

bool same(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

bool same_file(int fd_a, int fd_b)
{
    struct stat a {}, b {};
    return fstat(fd_a, &a) == 0 && fstat(fd_b, &b) == 0 && same(a, b);
}

bool same_file(int fd, const std::string& path)
{
    struct stat a {}, b {};
    return fstat(fd, &a) == 0 && stat(path.c_str(), &b) == 0 && same(a, b);
}

bool same_file(const std::string& path_a, const std::string& path_b)
{
    struct stat a {}, b {};
    return stat(path_a.c_str(), &a) == 0 && stat(path_b.c_str(), &b) == 0 && same(a, b);
}

}  // namespace textio
