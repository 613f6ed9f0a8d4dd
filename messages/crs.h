// The texts about positions in other coordinate reference systems: what a build without PROJ
// says, the refusals of a CRS, and the line that names how a position was moved.
#pragma once

namespace messages::crs {

inline constexpr const char* kNotInBuild =
    "Gau\xC3\x9F-Kr\xC3\xBCger und andere Bezugssysteme fehlen in diesem Build (ohne PROJ)";
inline constexpr const char* kUnknown = "Bezugssystem \"%s\" unbekannt: %s";
inline constexpr const char* kNotHorizontal = "Bezugssystem \"%s\" ist kein horizontales Bezugssystem";
inline constexpr const char* kNoOperation = "keine Transformation von \"%s\" nach ETRS89: %s";
// The closing message's last lines: the operation and its accuracy as PROJ states it.
inline constexpr const char* kToEtrs89 = "Lage nach ETRS89: %s, etwa %s m";
inline constexpr const char* kFromEtrs89 = "Lage aus ETRS89: %s, etwa %s m";
inline constexpr const char* kToEtrs89Unstated = "Lage nach ETRS89: %s, Genauigkeit nicht angegeben";
inline constexpr const char* kFromEtrs89Unstated = "Lage aus ETRS89: %s, Genauigkeit nicht angegeben";

}  // namespace messages::crs
