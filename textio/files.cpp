// What the files of the programs do alike on every system, on top of the platform's calls
// (files_posix.cpp, files_win32.cpp).
#include "textio/files.h"

#include <cerrno>
#include <cstring>

#include "textio/files_platform.h"

namespace textio {

namespace {

thread_local OpenFailure g_last_failure;

// Removes a temporary file of create_temporary (if any) and lets the interrupt forget it.
void drop_temporary(const std::string& temporary)
{
    if (!temporary.empty()) std::remove(temporary.c_str());
    forget_temporary();
}

bool same(const FileStamp& a, const FileStamp& b)
{
    return a.size >= 0 && b.size >= 0 && a.device == b.device && a.inode == b.inode;
}

}  // namespace

OpenFailure last_open_failure()
{
    return g_last_failure;
}

void note_open_failure(FailureReason reason, const std::string& path, std::string system_text)
{
    // A missing file in a missing folder: the folder is what is missing.
    if (reason == FailureReason::NoFile) {
#ifdef _WIN32
        const std::size_t slash = path.find_last_of("/\\");
#else
        const std::size_t slash = path.find_last_of('/');
#endif
        const std::string folder = slash == std::string::npos ? "." : slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
        if (stamp_of(folder).size < 0) reason = FailureReason::NoFolder;
    }
    g_last_failure = {reason, reason == FailureReason::Other ? std::move(system_text) : std::string()};
}

void note_open_errno(int error, const std::string& path)
{
    FailureReason r = FailureReason::Other;
    switch (error) {
    case ENOENT: r = FailureReason::NoFile; break;
    case ENOTDIR: r = FailureReason::NoFolder; break;
    case EACCES:
    case EPERM: r = FailureReason::NoPermission; break;
#ifdef EROFS
    case EROFS: r = FailureReason::ReadOnly; break;
#endif
    case ENOSPC: r = FailureReason::NoSpace; break;
#ifdef EDQUOT
    case EDQUOT: r = FailureReason::NoSpace; break;
#endif
    case ENAMETOOLONG: r = FailureReason::NameTooLong; break;
    case EISDIR: r = FailureReason::NotAFile; break;
    default: break;
    }
    note_open_failure(r, path, std::strerror(error));
}

std::FILE* fopen_for_reading(const std::string& path, OpenStatus* status)
{
    const int fd = open_for_reading(path, status);
    if (fd < 0) return nullptr;
    std::FILE* f = stream_of(fd, "rb");
    if (f == nullptr && status != nullptr) *status = OpenStatus::Failed;
    return f;
}

std::FILE* fopen_output(const std::string& path, OutputStatus* status)
{
    OutputStatus st;
    const int fd = open_output(path, st);
    if (status != nullptr) *status = st;
    if (fd < 0) return nullptr;
    // Binary: the lines end as the program writes them, LF, on Windows as on Linux.
    std::FILE* f = stream_of(fd, "wb");
    if (f == nullptr && status != nullptr) *status = OutputStatus::Failed;
    return f;
}

bool same_file(int fd_a, int fd_b)
{
    return same(stamp_of(fd_a), stamp_of(fd_b));
}

bool same_file(int fd, const std::string& path)
{
    return same(stamp_of(fd), stamp_of(path));
}

bool same_file(std::FILE* f, const std::string& path)
{
    return same(stamp_of(f), stamp_of(path));
}

bool same_file(const std::string& path_a, const std::string& path_b)
{
    return same(stamp_of(path_a), stamp_of(path_b));
}

std::FILE* ReplacingOutput::open(const std::string& path, OutputStatus* status)
{
    const OutputTarget where = output_target(path);
    if (where.kind != OutputTarget::Kind::Regular) return stream_ = fopen_output(path, status);
    OutputStatus st;
    const int fd = open_output(where.path, st, kKeep);
    if (status != nullptr) *status = st;
    if (fd < 0) return nullptr;
    stream_ = open_beside(fd, where.path);
    if (stream_ == nullptr && status != nullptr) *status = OutputStatus::Failed;
    return stream_;
}

std::FILE* ReplacingOutput::open_beside(int locked_fd, const std::string& path)
{
    std::string temporary = create_temporary(path + ".tmp-", "");
    OutputStatus st;
    const int fd = temporary.empty() ? -1 : open_output(temporary, st, kNoLock);
    if (fd < 0) {
        // No file can be made beside it (a folder without write rights): written in place.
        drop_temporary(temporary);
        if (!empty_output(locked_fd)) {
            close_file(locked_fd);
            return nullptr;
        }
        return stream_ = stream_of(locked_fd, "wb");
    }
    copy_permissions(locked_fd, fd);
    stream_ = stream_of(fd, "wb");
    if (stream_ == nullptr) {
        drop_temporary(temporary);
        close_file(locked_fd);
        return nullptr;
    }
    target_fd_ = locked_fd;
    target_ = path;
    temporary_ = std::move(temporary);
    return stream_;
}

bool close_stream(std::FILE* f)
{
    const bool written = std::fflush(f) == 0 && std::ferror(f) == 0;
    return std::fclose(f) == 0 && written;
}

bool ReplacingOutput::commit()
{
    bool ok = stream_ != nullptr && close_stream(stream_);
    stream_ = nullptr;
    if (temporary_.empty()) return ok;
    if (ok) ok = replace_locked_file(temporary_, target_, target_fd_);
    else close_file(target_fd_);
    if (ok) forget_temporary();
    else drop_temporary(temporary_);
    temporary_.clear();
    target_fd_ = -1;
    return ok;
}

void ReplacingOutput::abandon()
{
    if (stream_ != nullptr) std::fclose(stream_);
    stream_ = nullptr;
    if (temporary_.empty()) return;
    drop_temporary(temporary_);
    temporary_.clear();
    close_file(target_fd_);
    target_fd_ = -1;
}

}  // namespace textio
