#include "geoidmodell/output.h"

#include <cstdio>

#include "textio/files.h"
#include "messages/geoidmodell.h"
#include "messages/messages.h"

namespace modelltool {

namespace {

// Copies the finished file into a device that takes any write or refuses every one.
bool copy_into(const std::string& from, const std::string& device)
{
    const textio::Stream out(textio::fopen_output(device));
    const textio::Stream in(textio::fopen_for_reading(from));
    if (out == nullptr || in == nullptr) return false;
    char buf[1 << 16];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, in.get())) != 0;)
        if (std::fwrite(buf, 1, n, out.get()) != n) return false;
    return std::ferror(in.get()) == 0 && std::fflush(out.get()) == 0;
}

std::string not_a_file(const std::string& target)
{
    return messages::fill(messages::geoidmodell::kNotAFile, {target});
}

}  // namespace

TempOutput::TempOutput(const std::string& target)
{
    // The temporary name keeps the extension: some drivers insist on it.
    const std::size_t slash = target.find_last_of('/');
    const std::size_t dot = target.find_last_of('.');
    const std::string ext = dot != std::string::npos && (slash == std::string::npos || dot > slash) ? target.substr(dot) : "";
    const textio::OutputTarget where = textio::output_target(target);
    target_ = where.path;
    device_ = where.kind == textio::OutputTarget::Kind::Device;
    if (where.kind == textio::OutputTarget::Kind::Other) {
        refusal_ = not_a_file(target);
        return;
    }
    if (device_) {
        // Only a device that takes any write or refuses every one; written in place later.
        textio::OutputStatus st;
        const int fd = textio::open_output(target, st);
        if (fd < 0) {
            refusal_ = not_a_file(target);
            return;
        }
        textio::close_file(fd);
    }
    path_ = device_ ? textio::create_temporary(textio::temporary_directory() + "/geoidmodell-", ext)
                    : textio::create_temporary(target_ + ".tmp-", ext);
}

TempOutput::~TempOutput()
{
    // Renamed into place it is no longer there; copied into a device it still is.
    if (!path_.empty() && (!committed_ || device_)) std::remove(path_.c_str());
    textio::forget_temporary();
}

std::string TempOutput::commit()
{
    if (path_.empty()) return failure();
    if (device_) {
        committed_ = copy_into(path_, target_);
        return committed_ ? std::string() : messages::fill(messages::geoidmodell::kWriteError, {target_, ""});
    }
    committed_ = textio::replace_file(path_, target_);
    return committed_ ? std::string() : failure();
}

std::string TempOutput::failure() const
{
    return refusal_.empty() ? messages::fill(messages::geoidmodell::kCannotCreate, {target_, ""}) : refusal_;
}

void remove_output_on_signals()
{
    textio::remove_temporary_on_signals();
}

}  // namespace modelltool
