// Every call to the operating system for files, in one place: opening an existing file for
// reading the one way every reader of the programs does it (without blocking, and only files
// that end: a named pipe chosen by mistake would otherwise freeze the program, a directory
// would read as an empty file), outputs locked for one writer, identity and change stamps,
// reads at an offset, temporary files put in place when complete, the working directory.
// files_posix.cpp implements it for Linux, files_win32.cpp for Windows; no other file of the
// programs includes a header of the operating system (getopt.h aside) or calls fileno: the
// build checks it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace textio {

enum class OpenStatus {
    Ok,
    Missing,   ///< no such file
    NotAFile,  ///< a directory, named pipe, socket or block device
    Failed,    ///< no rights, or another error of the system
};

/// Why an open failed, as far as the system says.
enum class FailureReason {
    None,
    NoFile,        ///< the folder is there, the file is not
    NoFolder,      ///< a folder of the path is not there
    NoPermission,
    ReadOnly,      ///< the drive is mounted read-only
    NoSpace,
    NameTooLong,
    NotAFile,      ///< a directory, named pipe or socket where a file belongs
    Other,         ///< the system's own text says
};
struct OpenFailure {
    FailureReason reason = FailureReason::None;
    std::string system_text;  ///< the system's words, for Other
};
/// Why the last open_for_reading or open_output of this thread failed.
OpenFailure last_open_failure();

/// Opens `path` read-only without blocking and accepts only regular files and character
/// devices (such as /dev/null). Returns the descriptor (blocking again), or -1 with the reason
/// in `status` when given.
int open_for_reading(const std::string& path, OpenStatus* status = nullptr);

/// A stream that is closed when it goes out of scope.
struct StreamCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using Stream = std::unique_ptr<std::FILE, StreamCloser>;

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

/// Closes a descriptor of open_for_reading or open_output.
void close_file(int fd);

/// Identity and state of a file: its device and number there (the volume's serial number and
/// the file index on Windows), size and time of the last change.
struct FileStamp {
    std::uint64_t device = 0, inode = 0;
    std::int64_t size = -1;
    std::int64_t modified_ns = 0;
    bool operator==(const FileStamp&) const = default;
};
/// The stamp of an open file, or of the file at `path` now; a stamp that matches no file
/// (size -1) when it cannot be read.
FileStamp stamp_of(int fd);
FileStamp stamp_of(std::FILE* f);
FileStamp stamp_of(const std::string& path);

/// Reads up to `count` bytes at byte `offset` (beyond 4 GiB too) without moving the file's
/// position; returns how many were read (fewer at the end of the file or on an error).
std::size_t read_at(int fd, std::int64_t offset, void* bytes, std::size_t count);

/// Moves a stream to byte `offset` from its start; false where it cannot (a pipe).
bool seek_stream(std::FILE* f, std::int64_t offset);

/// The size of the regular file behind a stream; 0 for anything else.
std::uint64_t regular_size(std::FILE* f);

/// Standard input (0) or output (1) as a stream of its own, in binary: closing it leaves the
/// standard stream open. nullptr when it cannot be had.
std::FILE* standard_stream(int which, const char* mode);

/// Writes a text for the person at the terminal: on a Windows console through the console itself,
/// as UTF-16 (umlauts stay whatever its code page; lines end in CR LF there), into files and
/// pipes the bytes as they are. False when the write failed.
bool write_text(std::FILE* stream, std::string_view text);
/// True when this program's console was made for it alone and it reads from it: a console
/// program started by a double click, whose window closes when it ends. Always false on Linux.
bool console_is_own();
/// Waits until a key is pressed on the program's console.
void wait_for_key();

/// Prepares the terminal for the programs' texts: UTF-8 both ways on Windows (whose console
/// otherwise reads and writes its OEM code page); nothing to do on Linux.
void prepare_console();

/// Creates an empty file at `path`, never over an existing one.
bool create_new_empty(const std::string& path);

/// True when both descriptors, or a descriptor and a path, name the same file (device and
/// inode), whatever names lead to it.
bool same_file(int fd_a, int fd_b);
bool same_file(int fd, const std::string& path);
bool same_file(std::FILE* f, const std::string& path);
bool same_file(const std::string& path_a, const std::string& path_b);

/// The working directory as an absolute path; empty when it cannot be had.
std::string current_directory();
/// Starts the program at `path` without arguments and without waiting for it; false when it
/// cannot be started.
bool start_program(const std::string& path);
/// The folder that holds the running program, as an absolute path (links followed); empty
/// when it cannot be had.
std::string program_folder();

/// What stands where a program is to write a file.
struct OutputTarget {
    enum class Kind {
        Missing,  ///< nothing yet: the file is made there
        Regular,  ///< a regular file, replaced as a whole
        Device,   ///< a character device (/dev/null, NUL), written in place
        Other,    ///< a directory, named pipe or socket: never written over
    };
    Kind kind = Kind::Missing;
    /// Where to write: a symbolic link is followed, to the file it names (made there when it
    /// does not exist yet); else `path` as given.
    std::string path;
};
OutputTarget output_target(const std::string& path);

/// The folder for temporary files (TMPDIR, else /tmp; Windows: its temporary folder).
std::string temporary_directory();

/// Creates a new empty file named `prefix`, six random characters and `suffix`, with the
/// permissions of any new file; returns its name, or empty when none could be made. Until
/// forget_temporary() it is the file that an interrupt removes (remove_temporary_on_signals).
std::string create_temporary(const std::string& prefix, const std::string& suffix);
/// The temporary file is no longer the interrupt's to remove (put in place, or removed).
void forget_temporary();
/// From now on an interrupt, termination or hang-up removes the temporary file of
/// create_temporary, then ends the program as the signal would.
void remove_temporary_on_signals();

/// Puts the file `from` in the place of `to` in one step, replacing a file there.
bool replace_file(const std::string& from, const std::string& to);
/// The same for a `to` that this program holds open and locked as `to_fd`, which is closed.
bool replace_locked_file(const std::string& from, const std::string& to, int to_fd);
/// Gives the file `to_fd` the permissions of `from_fd` (where the system has them).
void copy_permissions(int from_fd, int to_fd);

/// Flushes and closes a stream that was written; false when any write failed.
bool close_stream(std::FILE* f);

/// A result file that replaces an existing one only when it is complete: the new lines go into
/// a temporary file beside it (the existing file locked for this run meanwhile), which takes
/// its place at commit(); a run that fails or is cancelled leaves the existing file byte for
/// byte as it was. Where no file existed, or for a device, the lines are written in place and
/// stay whatever ends the run.
class ReplacingOutput {
public:
    ReplacingOutput() = default;
    ~ReplacingOutput() { abandon(); }
    ReplacingOutput(const ReplacingOutput&) = delete;
    ReplacingOutput& operator=(const ReplacingOutput&) = delete;

    /// Opens `path` (a symbolic link followed) as fopen_output does, keeping an existing
    /// regular file; nullptr with the reason in `status`.
    std::FILE* open(const std::string& path, OutputStatus* status);
    /// The same for an existing file the caller opened with open_output(kKeep); takes `fd`.
    std::FILE* open_beside(int locked_fd, const std::string& path);
    /// An existing file waits for commit().
    bool keeps_old() const { return !temporary_.empty(); }
    /// The stream it opened and owns until commit() or abandon(); nullptr after them.
    std::FILE* stream() const { return stream_; }
    /// Closes the stream and puts the new file in place. False on a write error or when the
    /// new file cannot take the old one's place: an existing file is then as it was.
    bool commit();
    /// Closes the stream; an existing file stays as it was and the new one is removed.
    void abandon();

private:
    std::FILE* stream_ = nullptr;
    int target_fd_ = -1;
    std::string target_, temporary_;
};

}  // namespace textio
