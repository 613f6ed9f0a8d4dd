// Opening an existing file for reading, the one way every reader of the programs does it:
// without blocking, and only files that end. A named pipe chosen by mistake would otherwise
// freeze the program in open() or read(); a directory would read as an empty file.
#pragma once

#include <cstdio>
#include <string>

namespace textio {

enum class OpenStatus {
    Ok,
    Missing,   ///< no such file
    NotAFile,  ///< a directory, named pipe, socket or block device
    Failed,    ///< no rights, or another error of the system
};

/// Opens `path` read-only without blocking and accepts only regular files and character
/// devices (such as /dev/null). Returns the descriptor (blocking again), or -1 with the reason
/// in `status` when given.
int open_for_reading(const std::string& path, OpenStatus* status = nullptr);

/// The same as a stdio stream ("rb"); nullptr on failure.
std::FILE* fopen_for_reading(const std::string& path, OpenStatus* status = nullptr);

/// Opens `path` for writing from its start (created when absent, a regular file truncated),
/// without blocking: a named pipe without a reader is refused, not waited for. Only regular
/// files and character devices; nullptr otherwise.
std::FILE* fopen_for_writing(const std::string& path);

/// True when both descriptors, or a descriptor and a path, name the same file (device and
/// inode), whatever names lead to it.
bool same_file(int fd_a, int fd_b);
bool same_file(int fd, const std::string& path);
bool same_file(const std::string& path_a, const std::string& path_b);

}  // namespace textio
