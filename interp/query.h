// The single-point model query of the desktop program and the check of a chosen model file.
// Each call opens the model file, reads what it needs and closes it again: nothing of a model
// is kept between calls.
#pragma once

#include <cstdint>
#include <string>

#include "interp/grid.h"
#include "interp/model.h"
#include "interp/nodes.h"

namespace interp {

// Message texts; each file message is followed directly by the file name.
inline constexpr const char* kMsgOpen = "Fehler beim \xC3\x96" "ffnen der Datei: ";
inline constexpr const char* kMsgHeader = "Fehler beim Lesen des Headers der Geoiddatei    Datei: ";
inline constexpr const char* kMsgRead = "Fehler beim Lesen der Geoiddatei    Datei: ";
inline constexpr const char* kMsgInvalid = "Keine g\xC3\xBCltige Geoiddatei,   Datei: ";
inline constexpr const char* kMsgOutside = "Der Punkt liegt ausserhalb des Quasigeoidgitters.";

/// Checks a chosen model file against its own header. Returns an empty text when the file is
/// accepted, otherwise the message (open failure, short header, missing nodes, or a header or
/// length that does not describe a valid model). The path is used without trailing blanks.
std::string check_model(const std::string& path);

/// Height anomaly N (metres) at latitude b, longitude l (decimal degrees) in the model file.
/// The message is empty on success; otherwise the out-of-grid text (N = 999999.0) or a file
/// message, and N keeps the caller's value.
void varnik1(double b, double l, const std::string& model_file, double& n, std::string& message);

/// The single-point query for a whole run over many points: the model file is opened and its
/// header read once, its nodes held in memory when they take at most `memory_cap` bytes, and
/// every query gives exactly the N and message that varnik1 would give for the file as it was
/// opened. A file that cannot be opened or whose header cannot be read gives its message for
/// every point, as one varnik1 call per point would.
class ModelQuery {
public:
    explicit ModelQuery(const std::string& model_file, std::uint64_t memory_cap = kMemoryNodeBytes);
    ModelQuery(const ModelQuery&) = delete;
    ModelQuery& operator=(const ModelQuery&) = delete;

    /// As varnik1: message empty on success, otherwise the out-of-grid text (N = 999999.0) or
    /// a file message with N untouched.
    void query(double b, double l, double& n, std::string& message) const;
    bool in_memory() const { return in_memory_; }

private:
    enum class State { Ready, OpenFailed, HeaderFailed };
    std::string name_;
    State state_ = State::Ready;
    ModelFile file_;
    GridHeader header_;
    MemoryNodes memory_;
    FileNodes from_file_{file_};
    bool in_memory_ = false;
};

}  // namespace interp
