// Positions in another coordinate reference system (Gauß-Krüger on DHDN, any CRS PROJ knows)
// to ETRS89 and back, through PROJ. For each point the best operation PROJ offers for the
// machine is used whose area of use holds the point (BeTA2007 where its grid is installed),
// and the operations used are kept for the closing message.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace crs {

/// False in a build without PROJ: then every create() fails with messages::crs::kNotInBuild.
bool available();

/// An operation PROJ chose for points of a run.
struct Operation {
    std::string name;         ///< PROJ's name of it
    double accuracy = -1.0;   ///< metres as PROJ states it; negative: not stated
    bool datum_shift = true;  ///< a change of datum, not a projection alone
    std::vector<std::string> grids;  ///< the grid files it uses (BETA2007.gsb), by their short names
    std::int64_t points = 0;         ///< points moved with it so far, in the direction asked
};

/// One CRS and ETRS89 (geographic, degrees), both ways. Coordinates in the CRS are given east
/// (or longitude) first, whatever the CRS's official axis order.
class Transform {
public:
    virtual ~Transform() = default;
    /// The CRS of `code` ("EPSG:31467", "EPSG:25832", a PROJ string); for a compound CRS its
    /// horizontal part. nullptr with PROJ's reason in `error` for a code PROJ does not know,
    /// a CRS that is not horizontal, or no operation to ETRS89.
    static std::unique_ptr<Transform> create(const std::string& code, std::string& error);

    /// Degrees of longitude and latitude, not metres.
    virtual bool geographic() const = 0;
    /// False when no operation reaches the point.
    virtual bool to_etrs89(double east, double north, double& b, double& l) = 0;
    virtual bool from_etrs89(double b, double l, double& east, double& north) = 0;
    /// The operations used so far, each once with the number of its points, to ETRS89 and from it.
    virtual std::vector<Operation> used_to_etrs89() const = 0;
    virtual std::vector<Operation> used_from_etrs89() const = 0;
};

/// The Gauß-Krüger CRS of zone 2 to 5 on DHDN (EPSG:31466 to 31469).
std::string gauss_krueger_code(int zone);

}  // namespace crs
