// The glyph images of the simulated display: each font dot drawn where the font has it in
// every set, the variable cells, and the invalid mark for whatever has no image.
#include <gtest/gtest.h>

#include <QImage>
#include <bitset>
#include <set>
#include <string>
#include <vector>

#include "editor/font5x7.h"
#include "editor/glyphs.h"

using kx::glyph_image;
using kx::GlyphSet;

namespace {

const QRgb kBlue = qRgb(0, 0, 255), kYellow = qRgb(255, 255, 0), kRed = qRgb(255, 0, 0);

int count(const QImage& img, QRgb colour) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += img.pixel(x, y) == colour;
    return n;
}

std::vector<QRgb> pixels(const QImage& img) {
    std::vector<QRgb> px;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) px.push_back(img.pixel(x, y));
    return px;
}

int font_dots(int code) {
    int n = 0;
    for (auto row : kx::font5x7(code)) n += static_cast<int>(std::bitset<8>(row).count());
    return n;
}

} // namespace

// Each font dot is a 2 x 2 square in the 10 x 14 area inside a 2-pixel margin; the
// underlined set adds a bar over the last two pixel rows.
TEST(Glyphs, DotsFollowTheFontInEachSet) {
    struct Case {
        GlyphSet set;
        QRgb bg, dot;
        bool bar;
    };
    for (Case c : {Case{GlyphSet::Char, kBlue, kYellow, false}, Case{GlyphSet::Reve, kYellow, kBlue, false},
                   Case{GlyphSet::Und, kBlue, kYellow, true}}) {
        for (int code : {4, 7, 48, 65, 127})
            EXPECT_EQ(count(glyph_image(c.set, code), c.dot), 4 * font_dots(code) + (c.bar ? 28 : 0)) << code;
        // 'A': apex dot at column 2 of the top row = pixels 6..7 x 2..3; bottom-left leg.
        const QImage& a = glyph_image(c.set, 'A');
        EXPECT_EQ(a.pixel(6, 2), c.dot);
        EXPECT_EQ(a.pixel(7, 3), c.dot);
        EXPECT_EQ(a.pixel(5, 2), c.bg);
        EXPECT_EQ(a.pixel(2, 15), c.dot);
    }
}

// The digit and point cells of variables differ from every character and from each other
// in every set; the six highlighted images are six different pictures.
TEST(Glyphs, VariableCellsAreTheirOwnPictures) {
    for (GlyphSet set : {GlyphSet::Char, GlyphSet::Reve, GlyphSet::Und}) {
        std::set<std::vector<QRgb>> seen;
        for (int image = 1; image <= 129; ++image)
            if (!seen.insert(pixels(glyph_image(set, image))).second) {
                EXPECT_LT(image, 128) << image;
            }
    }
    std::set<std::vector<QRgb>> high;
    for (int image = 1; image <= 6; ++image) high.insert(pixels(glyph_image(GlyphSet::High, image)));
    EXPECT_EQ(high.size(), 6u);
}

TEST(Glyphs, PrintableGlyphsAreDrawnAndDistinct) {
    std::set<std::string> seen;
    for (int code : {4, 5, 6, 7})
        seen.insert(std::string(kx::font5x7(code).begin(), kx::font5x7(code).end()));
    for (int code = 32; code <= 127; ++code) {
        EXPECT_EQ(font_dots(code) > 0, code != 32) << code;
        const auto& rows = kx::font5x7(code);
        EXPECT_TRUE(seen.insert(std::string(rows.begin(), rows.end())).second) << "duplicate glyph " << code;
    }
    // Codes without a dot are blank cells of the full 14 x 18 pixels.
    for (int blank : {1, 2, 3, 8, 20, 31})
        EXPECT_EQ(count(glyph_image(GlyphSet::Char, blank), kBlue), 14 * 18);
    for (int none : {-1, 0, 8, 31, 128, 1000}) EXPECT_EQ(font_dots(none), 0) << none;
}

// The arrows' weight lies towards the direction they point to.
TEST(Glyphs, ArrowsPointTheRightWay) {
    auto centroid = [](int code) {
        double sx = 0, sy = 0, n = 0;
        const auto& rows = kx::font5x7(code);
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < 5; ++c)
                if (rows[r] >> (4 - c) & 1) sx += c - 2, sy += r - 3, ++n;
        return std::pair{sx / n, sy / n};
    };
    EXPECT_LT(centroid(4).first, 0);
    EXPECT_GT(centroid(5).first, 0);
    EXPECT_LT(centroid(6).second, 0);
    EXPECT_GT(centroid(7).second, 0);
}

// Whatever has no image gets the invalid mark, drawn inside the character area.
TEST(Glyphs, OutOfRangeGivesTheInvalidMark) {
    for (GlyphSet set : {GlyphSet::Char, GlyphSet::Reve, GlyphSet::Und}) {
        const QImage& mark = glyph_image(set, 130);
        EXPECT_GT(count(mark, kRed), 20);
        EXPECT_EQ(count(mark.copy(2, 2, 10, 14), kRed), count(mark, kRed));
        for (int image : {0, -5, 131, 65536}) EXPECT_EQ(glyph_image(set, image), mark);
    }
    for (int image : {0, 7, -1, 130}) EXPECT_GT(count(glyph_image(GlyphSet::High, image), kRed), 20);
}
