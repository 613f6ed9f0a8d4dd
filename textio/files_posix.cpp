// The files of the programs on Linux (POSIX).
#include "textio/files.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace textio {

namespace {

// Opens without blocking (a named pipe without its other end would hang the open), again after
// a signal.
int open_nonblocking(const std::string& path, int flags)
{
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Lets reads and writes on `fd` block again.
bool set_blocking(int fd)
{
    const int fl = fcntl(fd, F_GETFL);
    return fl >= 0 && fcntl(fd, F_SETFL, fl & ~O_NONBLOCK) == 0;
}

// Closes `fd` and sets the reason; -1 for the caller to return.
template <typename Status>
int fail(int fd, Status& status, Status why)
{
    ::close(fd);
    status = why;
    return -1;
}

// Accepts only regular files and character devices, blocking as usual once open. -1 with the
// reason otherwise.
int open_file(const std::string& path, int flags, OpenStatus& st)
{
    const int fd = open_nonblocking(path, flags);
    if (fd < 0) {
        st = errno == ENOENT || errno == ENOTDIR ? OpenStatus::Missing : OpenStatus::Failed;
        return -1;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0) return fail(fd, st, OpenStatus::Failed);
    if (!S_ISREG(info.st_mode) && !S_ISCHR(info.st_mode)) return fail(fd, st, OpenStatus::NotAFile);
    if (!set_blocking(fd)) return fail(fd, st, OpenStatus::Failed);
    st = OpenStatus::Ok;
    return fd;
}

}  // namespace

std::FILE* stream_of(int fd, const char* mode)
{
    std::FILE* f = fdopen(fd, mode);
    if (f == nullptr) ::close(fd);
    return f;
}

int open_for_reading(const std::string& path, OpenStatus* status)
{
    OpenStatus dummy;
    return open_file(path, O_RDONLY, status != nullptr ? *status : dummy);
}

namespace {

// The memory devices that take any write and keep nothing (null, zero) or refuse every
// write (full): writing there loses nothing a user could want back.
bool is_sink_device(const struct stat& info)
{
    return S_ISCHR(info.st_mode) && major(info.st_rdev) == 1 &&
           (minor(info.st_rdev) == 3 || minor(info.st_rdev) == 5 || minor(info.st_rdev) == 7);
}

}  // namespace

int open_output(const std::string& path, OutputStatus& status, int flags)
{
    const int fd = open_nonblocking(path, O_WRONLY | O_CREAT | (flags & kCreateNew ? O_EXCL : 0));
    if (fd < 0) {
        status = errno == EEXIST   ? OutputStatus::Exists
                 : errno == EISDIR ? OutputStatus::Directory
                 : errno == ENXIO  ? OutputStatus::NotAFile
                                   : OutputStatus::Failed;
        return -1;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0) return fail(fd, status, OutputStatus::Failed);
    if (S_ISDIR(info.st_mode)) return fail(fd, status, OutputStatus::Directory);
    if (!S_ISREG(info.st_mode) && !is_sink_device(info)) return fail(fd, status, OutputStatus::NotAFile);
    if (S_ISREG(info.st_mode)) {
        // Locked before anything is written or emptied: one writer per file.
        int r = 0;
        while (!(flags & kNoLock) && (r = flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
        }
        if (r != 0) return fail(fd, status, errno == EWOULDBLOCK ? OutputStatus::Locked : OutputStatus::Failed);
        if (!(flags & kKeep) && ftruncate(fd, 0) != 0) return fail(fd, status, OutputStatus::Failed);
    }
    if (!set_blocking(fd)) return fail(fd, status, OutputStatus::Failed);
    status = OutputStatus::Ok;
    return fd;
}

bool empty_output(int fd)
{
    struct stat info {};
    return fstat(fd, &info) == 0 && (!S_ISREG(info.st_mode) || ftruncate(fd, 0) == 0);
}

void close_file(int fd)
{
    if (fd >= 0) ::close(fd);
}

namespace {

FileStamp stamp_from(const struct stat& st)
{
    FileStamp s;
    s.device = static_cast<std::uint64_t>(st.st_dev);
    s.inode = static_cast<std::uint64_t>(st.st_ino);
    s.size = static_cast<std::int64_t>(st.st_size);
    s.modified_ns = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return s;
}

}  // namespace

FileStamp stamp_of(int fd)
{
    struct stat st {};
    return fd >= 0 && fstat(fd, &st) == 0 ? stamp_from(st) : FileStamp{};
}

FileStamp stamp_of(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? stamp_from(st) : FileStamp{};
}

std::size_t read_at(int fd, std::int64_t offset, void* bytes, std::size_t count)
{
    std::size_t got = 0;
    if (fd < 0 || offset < 0) return 0;
    while (got < count) {
        const ssize_t n = pread(fd, static_cast<char*>(bytes) + got, count - got, static_cast<off_t>(offset + static_cast<std::int64_t>(got)));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    return got;
}

bool seek_stream(std::FILE* f, std::int64_t offset)
{
    return fseeko(f, static_cast<off_t>(offset), SEEK_SET) == 0;
}

std::uint64_t regular_size(std::FILE* f)
{
    struct stat info {};
    return fstat(fileno(f), &info) == 0 && S_ISREG(info.st_mode) ? static_cast<std::uint64_t>(info.st_size) : 0;
}

std::FILE* standard_stream(int which, const char* mode)
{
    const int copy = dup(which);
    if (copy < 0) return nullptr;
    return stream_of(copy, mode);
}

void prepare_console() {}

bool create_new_empty(const std::string& path)
{
    int fd;
    do {
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

}  // namespace textio
