// Glyph images of the simulated KX character display.
#pragma once

#include "core/view.h"

#include <QImage>

namespace kx {

// The four glyph sets (GlyphSet, declared with the view interface): Char, Reve
// and Und hold images 1..130, image k being the glyph of character code k (128
// variable digit cell, 129 variable decimal-point cell, 130 invalid-character
// mark); High holds the six images of variable cells while the variable editor
// is open (1/2 digit/point cell, 3/4 the same underlined, 5/6 the same reversed).

constexpr int kGlyphW = 14, kGlyphH = 18;

// Image `image` (1-based) of `set`: kGlyphW x kGlyphH, QImage::Format_RGB32.
// The images are built on first use and live until the program ends, so the
// returned reference stays valid. An image number outside the set gives the
// set's invalid-character mark (image 130).
const QImage& glyph_image(GlyphSet set, int image);

} // namespace kx
