// The files of the programs on Windows. Every file is opened in binary mode (text mode would
// end a model at its first byte 0x1A and turn LF into CR LF); an output is locked for one
// writer with LockFileEx; a file's identity is the volume's serial number and the file index,
// which stay the same whichever name leads to the file; reads at an offset use ReadFile with
// an OVERLAPPED offset, beyond 4 GiB too. Names are UTF-8 (the programs declare the UTF-8 code
// page in their manifest), turned into wide names for the system.
#include "textio/files.h"
#include "textio/files_platform.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>

namespace textio {

namespace {

std::wstring wide(const std::string& utf8)
{
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(), n);
    return w;
}

std::string narrow(const std::wstring& w)
{
    if (w.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), utf8.data(), n, nullptr, nullptr);
    return utf8;
}

HANDLE handle_of(int fd)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

// The kind of what a descriptor leads to: a disk file, a character device (NUL, the console),
// a pipe.
DWORD kind_of(int fd)
{
    const HANDLE h = handle_of(fd);
    return h == INVALID_HANDLE_VALUE ? FILE_TYPE_UNKNOWN : GetFileType(h);
}

// Opens with sharing for readers and writers, as other programs expect; a directory fails.
int open_binary(const std::string& path, int flags)
{
    int fd = -1;
    _wsopen_s(&fd, wide(path).c_str(), flags | _O_BINARY | _O_NOINHERIT, _SH_DENYNO, _S_IREAD | _S_IWRITE);
    return fd;
}

bool is_directory(const std::string& path)
{
    const DWORD a = GetFileAttributesW(wide(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Closes `fd` and sets the reason, noted for last_open_failure; -1 for the caller to return.
template <typename Status>
int fail(int fd, Status& status, Status why, const std::string& path)
{
    const int error = errno;
    _close(fd);
    status = why;
    if (why == Status::NotAFile) note_open_failure(FailureReason::NotAFile, path);
    else note_open_errno(error, path);
    return -1;
}

FileStamp stamp_from(HANDLE h)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (h == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(h, &info)) return {};
    FileStamp s;
    s.device = info.dwVolumeSerialNumber;
    s.inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    s.size = static_cast<std::int64_t>((static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    const std::uint64_t ticks = (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                                info.ftLastWriteTime.dwLowDateTime;  // 100 ns since 1601
    s.modified_ns = static_cast<std::int64_t>(ticks * 100);
    return s;
}

}  // namespace

std::FILE* stream_of(int fd, const char* mode)
{
    std::FILE* f = _fdopen(fd, mode);
    if (f == nullptr) _close(fd);
    return f;
}

int open_for_reading(const std::string& path, OpenStatus* status)
{
    OpenStatus dummy;
    OpenStatus& st = status != nullptr ? *status : dummy;
    if (is_directory(path)) {
        st = OpenStatus::NotAFile;
        note_open_failure(FailureReason::NotAFile, path);
        return -1;
    }
    const int fd = open_binary(path, _O_RDONLY);
    if (fd < 0) {
        st = errno == ENOENT ? OpenStatus::Missing : OpenStatus::Failed;
        note_open_errno(errno, path);
        return -1;
    }
    // Disk files and devices such as NUL; a pipe would wait for its other end.
    const DWORD kind = kind_of(fd);
    if (kind != FILE_TYPE_DISK && kind != FILE_TYPE_CHAR) return fail(fd, st, OpenStatus::NotAFile, path);
    st = OpenStatus::Ok;
    return fd;
}

int open_output(const std::string& path, OutputStatus& status, int flags)
{
    if (is_directory(path)) {
        status = OutputStatus::Directory;
        note_open_failure(FailureReason::NotAFile, path);
        return -1;
    }
    const int fd = open_binary(path, _O_WRONLY | _O_CREAT | (flags & kCreateNew ? _O_EXCL : 0));
    if (fd < 0) {
        // A program that opened the file without sharing it (a spreadsheet holding the result
        // file open) refuses it as a lock does.
        const unsigned long system_error = _doserrno;
        status = errno == EEXIST                             ? OutputStatus::Exists
                 : system_error == ERROR_SHARING_VIOLATION ? OutputStatus::Locked
                                                           : OutputStatus::Failed;
        if (system_error == ERROR_WRITE_PROTECT) note_open_failure(FailureReason::ReadOnly, path);
        else if (system_error == ERROR_PATH_NOT_FOUND) note_open_failure(FailureReason::NoFolder, path);
        else note_open_errno(errno, path);
        return -1;
    }
    const DWORD kind = kind_of(fd);
    // NUL takes any write and keeps nothing, as /dev/null does; a pipe or the console is no
    // result file.
    if (kind == FILE_TYPE_CHAR && _wcsicmp(wide(path).c_str(), L"NUL") == 0) {
        status = OutputStatus::Ok;
        return fd;
    }
    if (kind != FILE_TYPE_DISK) return fail(fd, status, OutputStatus::NotAFile, path);
    if (!(flags & kNoLock)) {
        // One writer per file: a whole-file lock another run (or program) holds refuses this one.
        OVERLAPPED at{};
        if (!LockFileEx(handle_of(fd), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &at))
            return fail(fd, status, GetLastError() == ERROR_LOCK_VIOLATION ? OutputStatus::Locked : OutputStatus::Failed, path);
    }
    if (!(flags & kKeep) && _chsize_s(fd, 0) != 0) return fail(fd, status, OutputStatus::Failed, path);
    status = OutputStatus::Ok;
    return fd;
}

bool empty_output(int fd)
{
    return kind_of(fd) != FILE_TYPE_DISK || _chsize_s(fd, 0) == 0;
}

void close_file(int fd)
{
    if (fd >= 0) _close(fd);
}

FileStamp stamp_of(int fd)
{
    return fd >= 0 && kind_of(fd) == FILE_TYPE_DISK ? stamp_from(handle_of(fd)) : FileStamp{};
}

FileStamp stamp_of(std::FILE* f)
{
    return f != nullptr ? stamp_of(_fileno(f)) : FileStamp{};
}

FileStamp stamp_of(const std::string& path)
{
    // Opened for its attributes alone, shared with everyone: it neither blocks nor is blocked.
    const HANDLE h = CreateFileW(wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    const FileStamp s = GetFileType(h) == FILE_TYPE_DISK ? stamp_from(h) : FileStamp{};
    CloseHandle(h);
    return s;
}

std::size_t read_at(int fd, std::int64_t offset, void* bytes, std::size_t count)
{
    const HANDLE h = handle_of(fd);
    if (h == INVALID_HANDLE_VALUE || offset < 0) return 0;
    std::size_t got = 0;
    while (got < count) {
        const std::uint64_t at = static_cast<std::uint64_t>(offset) + got;
        OVERLAPPED o{};
        o.Offset = static_cast<DWORD>(at);
        o.OffsetHigh = static_cast<DWORD>(at >> 32);
        DWORD n = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(count - got, 1u << 30));
        if (!ReadFile(h, static_cast<char*>(bytes) + got, want, &n, &o) || n == 0) break;
        got += n;
    }
    return got;
}

bool seek_stream(std::FILE* f, std::int64_t offset)
{
    return _fseeki64(f, offset, SEEK_SET) == 0;
}

std::uint64_t regular_size(std::FILE* f)
{
    const FileStamp s = stamp_of(f);
    return s.size > 0 ? static_cast<std::uint64_t>(s.size) : 0;
}

std::FILE* standard_stream(int which, const char* mode)
{
    const int copy = _dup(which);
    if (copy < 0) return nullptr;
    _setmode(copy, _O_BINARY);
    return stream_of(copy, mode);
}

void prepare_console()
{
    SetConsoleOutputCP(CP_UTF8);
    SetConsoleCP(CP_UTF8);
}

namespace {

// The console behind a stream, or nullptr for a file, a pipe or a device.
HANDLE console_of(std::FILE* stream)
{
    const int fd = _fileno(stream);
    const auto h = fd >= 0 ? reinterpret_cast<HANDLE>(_get_osfhandle(fd)) : INVALID_HANDLE_VALUE;
    DWORD mode = 0;
    return h != INVALID_HANDLE_VALUE && GetConsoleMode(h, &mode) ? h : nullptr;
}

}  // namespace

bool write_text(std::FILE* stream, std::string_view text)
{
    const HANDLE console = console_of(stream);
    if (console == nullptr) return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
    std::fflush(stream);  // what the stream holds goes first
    const std::wstring w = wide(std::string(text));
    std::wstring lines;
    lines.reserve(w.size() + 16);
    for (std::size_t k = 0; k < w.size(); ++k) {
        if (w[k] == L'\n' && (k == 0 || w[k - 1] != L'\r')) lines.push_back(L'\r');
        lines.push_back(w[k]);
    }
    DWORD written = 0;
    return WriteConsoleW(console, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr) && written == lines.size();
}

bool console_is_own()
{
    DWORD processes[2];
    return console_of(stdin) != nullptr && GetConsoleProcessList(processes, 2) == 1;
}

void wait_for_key()
{
    const HANDLE in = console_of(stdin);
    if (in == nullptr) return;
    FlushConsoleInputBuffer(in);
    for (;;) {
        INPUT_RECORD r;
        DWORD n = 0;
        if (!ReadConsoleInputW(in, &r, 1, &n) || n == 0) return;
        if (r.EventType == KEY_EVENT && r.Event.KeyEvent.bKeyDown) return;
    }
}

bool create_new_empty(const std::string& path)
{
    const int fd = open_binary(path, _O_WRONLY | _O_CREAT | _O_EXCL);
    if (fd < 0) return false;
    _close(fd);
    return true;
}

std::string current_directory()
{
    const DWORD n = GetCurrentDirectoryW(0, nullptr);
    if (n == 0) return {};
    std::wstring w(n, L'\0');
    const DWORD got = GetCurrentDirectoryW(n, w.data());
    if (got == 0 || got >= n) return {};
    w.resize(got);
    return narrow(w);
}

bool start_program(const std::string& path)
{
    std::wstring line = L"\"" + wide(path) + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

std::string program_folder()
{
    std::wstring w(MAX_PATH, L'\0');
    for (;;) {
        const DWORD got = GetModuleFileNameW(nullptr, w.data(), static_cast<DWORD>(w.size()));
        if (got == 0) return {};
        if (got < w.size()) {
            w.resize(got);
            break;
        }
        w.resize(w.size() * 2);  // a long path: try again with room for it
    }
    const std::size_t slash = w.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::string() : narrow(w.substr(0, slash));
}

OutputTarget output_target(const std::string& path)
{
    OutputTarget t{OutputTarget::Kind::Missing, path};
    const DWORD a = GetFileAttributesW(wide(path).c_str());
    if (a != INVALID_FILE_ATTRIBUTES) {
        t.kind = (a & FILE_ATTRIBUTE_DIRECTORY) != 0 ? OutputTarget::Kind::Other : OutputTarget::Kind::Regular;
        return t;
    }
    // NUL and the other devices have no attributes; they open as character devices.
    const int fd = open_binary(path, _O_RDONLY);
    if (fd >= 0) {
        t.kind = kind_of(fd) == FILE_TYPE_CHAR ? OutputTarget::Kind::Device : OutputTarget::Kind::Other;
        _close(fd);
    }
    return t;
}

std::string temporary_directory()
{
    wchar_t w[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, w);
    if (n == 0 || n > MAX_PATH) return ".";
    std::string dir = narrow(std::wstring(w, n));
    if (!dir.empty() && (dir.back() == '\\' || dir.back() == '/')) dir.pop_back();
    return dir;
}

namespace {

// The temporary file being written, for the signal handler.
char g_temporary[4 * MAX_PATH];
volatile std::sig_atomic_t g_has_temporary = 0;

extern "C" void on_signal(int sig)
{
    if (g_has_temporary) std::remove(g_temporary);
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

}  // namespace

std::string create_temporary(const std::string& prefix, const std::string& suffix)
{
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    unsigned seed = static_cast<unsigned>(GetTickCount()) ^ (static_cast<unsigned>(GetCurrentProcessId()) << 16);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = prefix;
        for (int k = 0; k < 6; ++k) {
            seed = seed * 1103515245u + 12345u;
            name += kLetters[(seed >> 16) % (sizeof kLetters - 1)];
        }
        name += suffix;
        const int fd = open_binary(name, _O_WRONLY | _O_CREAT | _O_EXCL);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return {};
        }
        _close(fd);
        g_has_temporary = 0;
        if (name.size() < sizeof g_temporary) {
            std::memcpy(g_temporary, name.c_str(), name.size() + 1);
            g_has_temporary = 1;
        }
        return name;
    }
    return {};
}

void forget_temporary()
{
    g_has_temporary = 0;
}

void remove_temporary_on_signals()
{
    for (const int sig : {SIGINT, SIGTERM}) std::signal(sig, on_signal);
}

bool replace_locked_file(const std::string& from, const std::string& to, int to_fd)
{
    // Windows renames nothing over a file that is open without sharing its deletion: the lock
    // ends just before.
    close_file(to_fd);
    return replace_file(from, to);
}

void copy_permissions(int, int) {}

bool replace_file(const std::string& from, const std::string& to)
{
    return MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace textio
