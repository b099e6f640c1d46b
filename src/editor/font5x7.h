// 5 x 7 dot-matrix font of the simulated KX character display.
#pragma once

#include <array>
#include <cstdint>

namespace kx {

// Dot rows of the glyph for a character code, top row first; bit 4 is the
// leftmost dot and bit 0 the rightmost. Glyphs exist for the printable codes
// 32..127 and for the arrows 4 (left), 5 (right), 6 (up) and 7 (down); every
// other code, negative ones included, yields seven empty rows.
const std::array<std::uint8_t, 7>& font5x7(int code);

} // namespace kx
