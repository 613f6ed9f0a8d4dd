// Positions in systems the program does not convert itself, through PROJ: Gauß-Krüger zones 2
// to 5 on DHDN (format 8) and the CRSs named on the command line, to ETRS89 and back, and the
// lines that name the datum transformations a run used.
#pragma once

#include <memory>
#include <string>

#include "convert/convert.h"
#include "filecalc/filecalc.h"
#include "filecalc/formats.h"

namespace filecalc {

class ForeignSystems {
public:
    ForeignSystems();
    ~ForeignSystems();
    ForeignSystems(const ForeignSystems&) = delete;
    ForeignSystems& operator=(const ForeignSystems&) = delete;

    /// Takes the job's CRSs (as the command line checked them, or made now) and sets `in` and
    /// `out` to their formats. False with the reason in `error` for a CRS PROJ cannot serve.
    bool open(const Job& job, const FileFormat*& in, const FileFormat*& out, std::string& error);

    /// The position of `p` in the input's system into B, L; false when no operation reaches
    /// it. `gk_zone`: the zone of a Gauß-Krüger Rechtswert.
    bool to_etrs89(const FileFormat& in, int gk_zone, convert::Coordinates& p);
    /// B, L into the output's system: Gauß-Krüger in the input's zone, else in the zone whose
    /// central meridian lies nearest. Not a number where no operation reaches the point.
    void from_etrs89(const FileFormat& in, const FileFormat& out, int gk_zone, convert::Coordinates& p);

    /// Why a Gauß-Krüger zone could not be made during the run; empty when all could.
    const std::string& error() const { return error_; }
    /// A line for each datum transformation used, as the closing message's last lines.
    std::string operation_lines() const;

private:
    crs::Transform* gauss_krueger(int zone);

    std::shared_ptr<crs::Transform> gauss_krueger_[kLastGkZone - kFirstGkZone + 1];  // made when first needed
    std::shared_ptr<crs::Transform> in_crs_, out_crs_;
    FileFormat in_crs_format_{}, out_crs_format_{};
    std::string error_;
};

}  // namespace filecalc
