#include "textio/files.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace textio {

namespace {

// Opens without blocking, then accepts only regular files and character devices and lets
// reads and writes block again. -1 with the reason otherwise.
int open_file(const std::string& path, int flags, OpenStatus& st)
{
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
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
    const int fl = fcntl(fd, F_GETFL);
    if (fl < 0 || fcntl(fd, F_SETFL, fl & ~O_NONBLOCK) != 0) {
        ::close(fd);
        st = OpenStatus::Failed;
        return -1;
    }
    st = OpenStatus::Ok;
    return fd;
}

}  // namespace

int open_for_reading(const std::string& path, OpenStatus* status)
{
    OpenStatus dummy;
    return open_file(path, O_RDONLY, status != nullptr ? *status : dummy);
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

std::FILE* fopen_for_writing(const std::string& path)
{
    OpenStatus st;
    const int fd = open_file(path, O_WRONLY | O_CREAT, st);
    if (fd < 0) return nullptr;
    struct stat info {};
    // Truncated only now, once it is known to be a file: a device is written as it is.
    if (fstat(fd, &info) != 0 || (S_ISREG(info.st_mode) && ftruncate(fd, 0) != 0)) {
        ::close(fd);
        return nullptr;
    }
    std::FILE* f = fdopen(fd, "w");
    if (f == nullptr) ::close(fd);
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
