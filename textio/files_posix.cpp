// The files of the programs on Linux (POSIX).
#include "textio/files.h"
#include "textio/files_platform.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
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

// Closes `fd` and sets the reason, noted for last_open_failure; -1 for the caller to return.
template <typename Status>
int fail(int fd, Status& status, Status why, const std::string& path)
{
    const int error = errno;
    ::close(fd);
    status = why;
    if (why == Status::NotAFile) note_open_failure(FailureReason::NotAFile, path);
    else note_open_errno(error, path);
    return -1;
}

// Accepts only regular files and character devices, blocking as usual once open. -1 with the
// reason otherwise.
int open_file(const std::string& path, int flags, OpenStatus& st)
{
    const int fd = open_nonblocking(path, flags);
    if (fd < 0) {
        st = errno == ENOENT || errno == ENOTDIR ? OpenStatus::Missing : OpenStatus::Failed;
        note_open_errno(errno, path);
        return -1;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0) return fail(fd, st, OpenStatus::Failed, path);
    if (!S_ISREG(info.st_mode) && !S_ISCHR(info.st_mode)) return fail(fd, st, OpenStatus::NotAFile, path);
    if (!set_blocking(fd)) return fail(fd, st, OpenStatus::Failed, path);
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
        note_open_errno(errno, path);
        return -1;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0) return fail(fd, status, OutputStatus::Failed, path);
    if (S_ISDIR(info.st_mode)) return fail(fd, status, OutputStatus::Directory, path);
    if (!S_ISREG(info.st_mode) && !is_sink_device(info)) return fail(fd, status, OutputStatus::NotAFile, path);
    if (S_ISREG(info.st_mode)) {
        // Locked before anything is written or emptied: one writer per file.
        int r = 0;
        while (!(flags & kNoLock) && (r = flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
        }
        if (r != 0) return fail(fd, status, errno == EWOULDBLOCK ? OutputStatus::Locked : OutputStatus::Failed, path);
        if (!(flags & kKeep) && ftruncate(fd, 0) != 0) return fail(fd, status, OutputStatus::Failed, path);
    }
    if (!set_blocking(fd)) return fail(fd, status, OutputStatus::Failed, path);
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

FileStamp stamp_of(std::FILE* f)
{
    return f != nullptr ? stamp_of(fileno(f)) : FileStamp{};
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

bool write_text(std::FILE* stream, std::string_view text)
{
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
}

bool console_is_own()
{
    return false;  // a terminal outlives the programs it starts
}

void wait_for_key() {}

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

std::string current_directory()
{
    char cwd[PATH_MAX];
    return getcwd(cwd, sizeof cwd) != nullptr ? std::string(cwd) : std::string();
}

bool start_program(const std::string& path)
{
    if (access(path.c_str(), X_OK) != 0) return false;
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        // A grandchild runs the program, so that nobody has to wait for it.
        if (fork() == 0) {
            execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return true;
}

std::string program_folder()
{
    char exe[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) return {};
    const std::string path(exe, static_cast<std::size_t>(n));
    const std::size_t slash = path.rfind('/');
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

OutputTarget output_target(const std::string& path)
{
    OutputTarget t{OutputTarget::Kind::Missing, path};
    struct stat info {};
    if (lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode) && stat(path.c_str(), &info) != 0) {
        // A link to a file still to be made: the file is made where the link points.
        char link[PATH_MAX];
        const ssize_t n = readlink(path.c_str(), link, sizeof link - 1);
        const std::size_t slash = path.find_last_of('/');
        if (n > 0) {
            link[n] = '\0';
            t.path = link[0] == '/' || slash == std::string::npos ? std::string(link) : path.substr(0, slash + 1) + link;
        }
    } else if (stat(path.c_str(), &info) == 0) {
        t.kind = S_ISREG(info.st_mode) ? OutputTarget::Kind::Regular
                 : S_ISCHR(info.st_mode) ? OutputTarget::Kind::Device
                                         : OutputTarget::Kind::Other;
        // A symbolic link stays: its target is replaced.
        if (char real[PATH_MAX]; t.kind == OutputTarget::Kind::Regular && realpath(path.c_str(), real) != nullptr) t.path = real;
    }
    return t;
}

std::string temporary_directory()
{
    const char* t = std::getenv("TMPDIR");
    return t != nullptr && *t != '\0' ? t : "/tmp";
}

namespace {

// The temporary file being written, for the signal handler: a fixed buffer, since a handler
// may use nothing that allocates.
char g_temporary[PATH_MAX];
volatile std::sig_atomic_t g_has_temporary = 0;
constexpr int kRemovingSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void on_signal(int sig)
{
    if (g_has_temporary) unlink(g_temporary);
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

}  // namespace

std::string create_temporary(const std::string& prefix, const std::string& suffix)
{
    // No signal between making the file and noting it for the handler: it would stay behind.
    sigset_t block, old;
    sigemptyset(&block);
    for (const int sig : kRemovingSignals) sigaddset(&block, sig);
    sigprocmask(SIG_BLOCK, &block, &old);
    std::string name = prefix + "XXXXXX" + suffix;
    const int fd = mkstemps(name.data(), static_cast<int>(suffix.size()));
    g_has_temporary = 0;
    if (fd >= 0 && name.size() < sizeof g_temporary) {
        std::memcpy(g_temporary, name.c_str(), name.size() + 1);
        g_has_temporary = 1;
    }
    sigprocmask(SIG_SETMASK, &old, nullptr);
    if (fd < 0) return {};
    // The permissions of any new file rather than the private ones of a temporary file.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    ::close(fd);
    return name;
}

void forget_temporary()
{
    g_has_temporary = 0;
}

void remove_temporary_on_signals()
{
    for (const int sig : kRemovingSignals) std::signal(sig, on_signal);
}

bool replace_file(const std::string& from, const std::string& to)
{
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool replace_locked_file(const std::string& from, const std::string& to, int to_fd)
{
    // Renamed while still locked: no other run writes the old file in between.
    const bool ok = replace_file(from, to);
    close_file(to_fd);
    return ok;
}

void copy_permissions(int from_fd, int to_fd)
{
    struct stat info {};
    if (fstat(from_fd, &info) == 0) fchmod(to_fd, info.st_mode & 07777);
}

}  // namespace textio
