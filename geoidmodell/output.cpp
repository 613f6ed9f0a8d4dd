#include "geoidmodell/output.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "textio/files.h"
#include "messages/geoidmodell.h"
#include "messages/messages.h"

namespace modelltool {

namespace {

// The temporary file being written, for the signal handler: a fixed buffer, since a handler
// may use nothing that allocates.
char g_temporary[PATH_MAX];
volatile std::sig_atomic_t g_has_temporary = 0;

void remember(const std::string& path)
{
    g_has_temporary = 0;
    if (path.size() >= sizeof g_temporary) return;
    std::memcpy(g_temporary, path.c_str(), path.size() + 1);
    g_has_temporary = 1;
}

extern "C" void on_signal(int sig)
{
    if (g_has_temporary) unlink(g_temporary);
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

std::string temporary_directory()
{
    const char* t = std::getenv("TMPDIR");
    return t != nullptr && *t != '\0' ? t : "/tmp";
}

// A new empty file from `pattern` (XXXXXX before the `suffix` characters), with the
// permissions of any new file rather than the private ones of a temporary file.
std::string make_temporary(std::string pattern, int suffix)
{
    const int fd = mkstemps(pattern.data(), suffix);
    if (fd < 0) return {};
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    ::close(fd);
    return pattern;
}

bool copy_into(const std::string& from, const std::string& device)
{
    textio::OutputStatus st;
    const int out = textio::open_output(device, st);
    const int in = textio::open_for_reading(from);
    bool ok = out >= 0 && in >= 0;
    char buf[1 << 16];
    for (ssize_t n; ok && (n = ::read(in, buf, sizeof buf)) != 0;) {
        if (n < 0) {
            ok = errno == EINTR;
            continue;
        }
        for (ssize_t done = 0; ok && done < n;) {
            const ssize_t w = ::write(out, buf + done, static_cast<std::size_t>(n - done));
            if (w < 0 && errno == EINTR) continue;
            ok = w > 0;
            done += w > 0 ? w : 0;
        }
    }
    if (in >= 0) ::close(in);
    if (out >= 0 && ::close(out) != 0) ok = false;
    return ok;
}

std::string not_a_file(const std::string& target)
{
    return messages::fill(messages::geoidmodell::kNotAFile, {target});
}

}  // namespace

TempOutput::TempOutput(const std::string& target) : target_(target)
{
    // The temporary name keeps the extension: some drivers insist on it.
    const std::size_t slash = target.find_last_of('/');
    const std::size_t dot = target.find_last_of('.');
    const std::string ext = dot != std::string::npos && (slash == std::string::npos || dot > slash) ? target.substr(dot) : "";
    struct stat info {};
    if (lstat(target.c_str(), &info) == 0 && S_ISLNK(info.st_mode) && stat(target.c_str(), &info) != 0) {
        // A link to a file still to be made: the file is made where the link points.
        char link[PATH_MAX];
        const ssize_t n = readlink(target.c_str(), link, sizeof link - 1);
        if (n > 0) {
            link[n] = '\0';
            target_ = link[0] == '/' || slash == std::string::npos ? std::string(link) : target.substr(0, slash + 1) + link;
        }
    } else if (stat(target.c_str(), &info) == 0) {
        if (S_ISCHR(info.st_mode)) {
            device_ = true;
        } else if (!S_ISREG(info.st_mode)) {
            refusal_ = not_a_file(target);
            return;
        } else if (char real[PATH_MAX]; realpath(target.c_str(), real) != nullptr) {
            target_ = real;  // a symbolic link stays, its target is replaced
        }
    }
    if (device_) {
        // Only a device that takes any write or refuses every one; written in place later.
        textio::OutputStatus st;
        const int fd = textio::open_output(target, st);
        if (fd < 0) {
            refusal_ = not_a_file(target);
            return;
        }
        ::close(fd);
    }
    // No signal between making the file and noting it for the handler: it would stay behind.
    sigset_t block, old;
    sigemptyset(&block);
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&block, sig);
    sigprocmask(SIG_BLOCK, &block, &old);
    const std::string pattern = device_ ? temporary_directory() + "/geoidmodell-XXXXXX" + ext : target_ + ".tmp-XXXXXX" + ext;
    path_ = make_temporary(pattern, static_cast<int>(ext.size()));
    remember(path_);
    sigprocmask(SIG_SETMASK, &old, nullptr);
}

TempOutput::~TempOutput()
{
    // Renamed into place it is no longer there; copied into a device it still is.
    if (!path_.empty() && (!committed_ || device_)) std::remove(path_.c_str());
    g_has_temporary = 0;
}

std::string TempOutput::commit()
{
    if (path_.empty()) return failure();
    if (device_) {
        committed_ = copy_into(path_, target_);
        return committed_ ? std::string() : messages::fill(messages::geoidmodell::kWriteError, {target_, ""});
    }
    committed_ = std::rename(path_.c_str(), target_.c_str()) == 0;
    return committed_ ? std::string() : failure();
}

std::string TempOutput::failure() const
{
    return refusal_.empty() ? messages::fill(messages::geoidmodell::kCannotCreate, {target_, ""}) : refusal_;
}

void remove_output_on_signals()
{
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) std::signal(sig, on_signal);
}

}  // namespace modelltool
