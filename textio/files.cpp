// What the files of the programs do alike on every system, on top of the platform's calls
// (files_posix.cpp, files_win32.cpp).
#include "textio/files.h"

namespace textio {

namespace {

bool same(const FileStamp& a, const FileStamp& b)
{
    return a.size >= 0 && b.size >= 0 && a.device == b.device && a.inode == b.inode;
}

}  // namespace

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

}  // namespace textio
