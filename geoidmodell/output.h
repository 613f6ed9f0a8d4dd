// Outputs of geoidmodell: written under a temporary name and put in place only when complete,
// so that a refused or failed run leaves nothing behind, also when it is interrupted.
#pragma once

#include <string>

namespace modelltool {

class TempOutput {
public:
    /// A temporary file for `target`: beside it for a regular file (the target of a symbolic
    /// link), in the temporary directory for a device that discards or refuses writes. Any
    /// other existing target (a directory, a named pipe) is refused: path() is then empty and
    /// refusal() says why.
    explicit TempOutput(const std::string& target);
    ~TempOutput();
    TempOutput(const TempOutput&) = delete;
    TempOutput& operator=(const TempOutput&) = delete;

    const std::string& path() const { return path_; }
    const std::string& refusal() const { return refusal_; }
    /// Puts the written file in place: renamed over a regular file, never over anything else;
    /// copied into a device. Empty on success, otherwise the German reason.
    std::string commit();
    /// The reason a temporary file cannot be had: refusal(), or a plain failure.
    std::string failure() const;

private:
    std::string target_;  // where the result goes: the real path of a regular file, or the device
    std::string path_;
    std::string refusal_;
    bool device_ = false;
    bool committed_ = false;
};

/// Removes the temporary file of the running output on SIGINT, SIGTERM and SIGHUP, then ends
/// the program as the signal would.
void remove_output_on_signals();

}  // namespace modelltool
