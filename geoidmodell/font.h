// The bitmap font of geoidmodell's pictures: every character in a cell of 7 x 14 pixels.
#pragma once

#include <cstdint>

namespace modelltool {

inline constexpr int kGlyphWidth = 7;
inline constexpr int kGlyphHeight = 14;

/// The 14 rows of a character's pixels (bit 6 the leftmost); nullptr for a character the font
/// does not hold.
const std::uint8_t* glyph(char32_t code);

}  // namespace modelltool
