// The names of the coordinate file formats in the form's lists and the command line's help, and
// the names of their values in messages about a line that could not be read.
#pragma once

namespace messages::formats {

// Input and output labels, one pair per format.
inline constexpr const char* kXyzIn = "XYZ";
inline constexpr const char* kXyzOut = "XYZ, H, N";
inline constexpr const char* kDecimalIn = "BL (dezimal), h";
inline constexpr const char* kDecimalOut = "BL (dezimal), h, H, N";
inline constexpr const char* kSexagesimalIn = "BL (Grad, Minuten, Sekunden), h";
inline constexpr const char* kSexagesimalOut = "BL (Grad, Minuten, Sekunden), h, H, N";
inline constexpr const char* kUtm32NorthEastIn = "UTM32 (North, East), h";
inline constexpr const char* kUtm32NorthEastOut = "UTM32 (North, East), h, H, N";
inline constexpr const char* kUtm32EastNorthIn = "UTM32 (East, North), h";
inline constexpr const char* kUtm32EastNorthOut = "UTM32 (East, North), h, H, N";
inline constexpr const char* kUtm33NorthEastIn = "UTM33 (North, East), h";
inline constexpr const char* kUtm33NorthEastOut = "UTM33 (North, East), h, H, N";
inline constexpr const char* kUtm33EastNorthIn = "UTM33 (East, North), h";
inline constexpr const char* kUtm33EastNorthOut = "UTM33 (East, North), h, H, N";

inline constexpr const char* kGaussKruegerIn = "Gau\xC3\x9F-Kr\xC3\xBCger DHDN (Rechtswert, Hochwert), h";
inline constexpr const char* kGaussKruegerOut = "Gau\xC3\x9F-Kr\xC3\xBCger DHDN (Rechtswert, Hochwert), h, H, N";

// Values; the form's fields of degrees, minutes and seconds carry the same names.
inline constexpr const char* kBDegrees = "B Grad";
inline constexpr const char* kBMinutes = "B Minuten";
inline constexpr const char* kBSeconds = "B Sekunden";
inline constexpr const char* kLDegrees = "L Grad";
inline constexpr const char* kLMinutes = "L Minuten";
inline constexpr const char* kLSeconds = "L Sekunden";
inline constexpr const char* kNorthing = "Nordwert";
inline constexpr const char* kEasting = "Ostwert";
inline constexpr const char* kRechtswert = "Rechtswert";
inline constexpr const char* kHochwert = "Hochwert";
inline constexpr const char* kCrsEast = "Ostwert oder L\xC3\xA4nge";
inline constexpr const char* kCrsNorth = "Nordwert oder Breite";
inline constexpr const char* kGkZone = "Rechtswert mit Zonenkennziffer 2 bis 5";

// A value read from the file as the preview names it; a UTM easting with its zone number.
inline constexpr const char* kNormalHeight = "H";
inline constexpr const char* kRest = "Rest";
inline constexpr const char* kWithZone = "%s mit Zonenkennung %d";

// The header of a result table: northing and easting are short there.
inline constexpr const char* kTablePointNumber = "Punktnummer";
inline constexpr const char* kTableNorth = "Nord";
inline constexpr const char* kTableEast = "Ost";
inline constexpr const char* kTableMessage = "Meldung";

}  // namespace messages::formats
