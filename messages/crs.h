// The texts about positions in other coordinate reference systems: what a build without PROJ
// says, the refusals of a CRS, and the line that names how a position was moved.
#pragma once

namespace messages::crs {

inline constexpr const char* kNotInBuild =
    "Gau\xC3\x9F-Kr\xC3\xBCger und andere Bezugssysteme fehlen in diesem Build (ohne PROJ)";
inline constexpr const char* kUnknown = "Bezugssystem \"%s\" unbekannt: %s";
inline constexpr const char* kNotHorizontal = "Bezugssystem \"%s\" ist kein horizontales Bezugssystem";
inline constexpr const char* kNoOperation = "keine Transformation von \"%s\" nach ETRS89: %s";
// The closing message's last lines: for each operation used, its points, the grid files it
// uses, its accuracy as PROJ states it and PROJ's name of it.
inline constexpr const char* kToEtrs89 = "Lage nach ETRS89 (%s): %s, etwa %s m (%s)";
inline constexpr const char* kFromEtrs89 = "Lage aus ETRS89 (%s): %s, etwa %s m (%s)";
inline constexpr const char* kToEtrs89Unstated = "Lage nach ETRS89 (%s): %s, Genauigkeit nicht angegeben (%s)";
inline constexpr const char* kFromEtrs89Unstated = "Lage aus ETRS89 (%s): %s, Genauigkeit nicht angegeben (%s)";
inline constexpr const char* kOnePoint = "1 Punkt";
inline constexpr const char* kPoints = "%d Punkte";
inline constexpr const char* kNoGrid = "ohne Gitter";

}  // namespace messages::crs
