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

enum class OutputStatus {
    Ok,
    Exists,    ///< open_output with `create_new`: the file is there already
    Locked,    ///< another program writes the file now
    NotAFile,  ///< neither a regular file nor a device that discards or refuses writes
    Directory, ///< a directory
    Failed,    ///< no rights, no such directory, or another error of the system
};

/// Flags of open_output.
inline constexpr int kCreateNew = 1;  ///< an existing file is refused as Exists
inline constexpr int kKeep = 2;       ///< a regular file is locked but not emptied (see empty_output)
inline constexpr int kNoLock = 4;     ///< no lock: a file of the program's own, not a result

/// Opens an output for writing from its start, without blocking (a named pipe is refused,
/// not waited for). A regular file, created when absent, is first locked for this run alone (an
/// exclusive lock, released when it is closed) and only then emptied: a file another run
/// writes is refused untouched. A device that discards or refuses writes (/dev/null, /dev/zero,
/// /dev/full) is written as it is. Returns the descriptor, or -1 with the reason in `status`.
int open_output(const std::string& path, OutputStatus& status, int flags = 0);

/// Empties a regular file opened by open_output with `keep`; devices are left as they are.
bool empty_output(int fd);

/// open_output as a stdio stream ("w"); nullptr on failure.
std::FILE* fopen_output(const std::string& path, OutputStatus* status = nullptr);

/// The descriptor as a stream; the descriptor is closed when no stream can be made of it.
std::FILE* stream_of(int fd, const char* mode);

/// True when both descriptors, or a descriptor and a path, name the same file (device and
/// inode), whatever names lead to it.
bool same_file(int fd_a, int fd_b);
bool same_file(int fd, const std::string& path);
bool same_file(const std::string& path_a, const std::string& path_b);

}  // namespace textio
