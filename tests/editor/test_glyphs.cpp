#include <gtest/gtest.h>

#include <QImage>
#include <set>
#include <string>

#include "editor/font5x7.h"
#include "editor/glyphs.h"

using kx::GlyphSet;
using kx::glyph_image;

namespace {

const QRgb kBlue = qRgb(0, 0, 255), kYellow = qRgb(255, 255, 0), kGreen = qRgb(0, 255, 0),
           kNavy = qRgb(0, 0, 128), kRed = qRgb(255, 0, 0), kWhite = qRgb(255, 255, 255),
           kDark = qRgb(0, 64, 64), kBlack = qRgb(0, 0, 0);

QRgb px(GlyphSet set, int image, int x, int y) { return glyph_image(set, image).pixel(x, y); }

bool in_area(int x, int y) { return x >= 2 && x < 12 && y >= 2 && y < 16; }

int count(const QImage& img, QRgb colour) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += img.pixel(x, y) == colour;
    return n;
}

}  // namespace

TEST(Glyphs, EveryImageIs14x18Rgb32AndCached) {
    for (auto [set, last] : {std::pair{GlyphSet::Char, 130}, {GlyphSet::Reve, 130}, {GlyphSet::Und, 130},
                             {GlyphSet::High, 6}}) {
        for (int i = 1; i <= last; ++i) {
            const QImage& img = glyph_image(set, i);
            ASSERT_EQ(img.size(), QSize(14, 18)) << i;
            ASSERT_EQ(img.format(), QImage::Format_RGB32) << i;
        }
        EXPECT_EQ(&glyph_image(set, 1), &glyph_image(set, 1));
    }
}

// Every dot of every printable glyph is a 2 x 2 square at its place in the
// 10 x 14 area; outside the dots only background (and the underline bar).
TEST(Glyphs, DotsFollowTheFontInEachSet) {
    struct Case { GlyphSet set; QRgb bg, dot; bool bar; };
    for (Case c : {Case{GlyphSet::Char, kBlue, kYellow, false}, Case{GlyphSet::Reve, kYellow, kBlue, false},
                   Case{GlyphSet::Und, kBlue, kYellow, true}}) {
        for (int code : {4, 5, 6, 7, 32, 48, 65, 103, 127}) {
            const auto& rows = kx::font5x7(code);
            for (int y = 0; y < 18; ++y)
                for (int x = 0; x < 14; ++x) {
                    QRgb want = c.bg;
                    if (in_area(x, y) && (rows[(y - 2) / 2] >> (4 - (x - 2) / 2) & 1)) want = c.dot;
                    if (c.bar && y >= 16) want = kYellow;
                    ASSERT_EQ(px(c.set, code, x, y), want) << code << " at " << x << "," << y;
                }
        }
    }
    // "A" by hand: apex dot at column 2 of the top row = pixels 6..7 x 2..3.
    EXPECT_EQ(px(GlyphSet::Char, 'A', 6, 2), kYellow);
    EXPECT_EQ(px(GlyphSet::Char, 'A', 7, 3), kYellow);
    EXPECT_EQ(px(GlyphSet::Char, 'A', 5, 2), kBlue);
    EXPECT_EQ(px(GlyphSet::Char, 'A', 8, 3), kBlue);
    EXPECT_EQ(px(GlyphSet::Char, 'A', 2, 15), kYellow);  // bottom-left leg
    EXPECT_EQ(px(GlyphSet::Und, 'A', 13, 17), kYellow);
}

TEST(Glyphs, VariableCellsAndInvalidMark) {
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 14; ++x) {
            ASSERT_EQ(px(GlyphSet::Char, 128, x, y), in_area(x, y) ? kGreen : kBlue) << x << "," << y;
            const bool point = x >= 2 && x < 6 && y >= 12 && y < 16;
            ASSERT_EQ(px(GlyphSet::Char, 129, x, y), point ? kNavy : in_area(x, y) ? kGreen : kBlue);
        }
    EXPECT_EQ(px(GlyphSet::Reve, 128, 0, 0), kYellow);
    EXPECT_NE(px(GlyphSet::Reve, 128, 7, 9), px(GlyphSet::Char, 128, 7, 9));
    EXPECT_EQ(px(GlyphSet::Und, 129, 3, 14), kNavy);
    EXPECT_EQ(px(GlyphSet::Und, 129, 3, 17), kYellow);

    for (GlyphSet set : {GlyphSet::Char, GlyphSet::Reve, GlyphSet::Und}) {
        const QImage& mark = glyph_image(set, 130);
        EXPECT_GT(count(mark, kRed), 20);
        EXPECT_EQ(mark.pixel(0, 0), set == GlyphSet::Reve ? kYellow : kBlue);
        for (int y = 0; y < 18; ++y)
            for (int x = 0; x < 14; ++x) {
                if (!in_area(x, y)) {
                    ASSERT_NE(mark.pixel(x, y), kRed) << x << "," << y;
                }
            }
    }
}

TEST(Glyphs, HighlightedVariableCells) {
    EXPECT_EQ(px(GlyphSet::High, 1, 0, 0), kBlue);
    EXPECT_EQ(px(GlyphSet::High, 1, 3, 14), kWhite);
    EXPECT_EQ(px(GlyphSet::High, 2, 3, 14), kDark);
    EXPECT_EQ(px(GlyphSet::High, 2, 7, 9), kWhite);
    EXPECT_EQ(px(GlyphSet::High, 3, 7, 17), kYellow);
    EXPECT_EQ(px(GlyphSet::High, 4, 3, 14), kDark);
    EXPECT_EQ(px(GlyphSet::High, 4, 7, 16), kYellow);
    EXPECT_EQ(px(GlyphSet::High, 1, 7, 17), kBlue);
    EXPECT_EQ(px(GlyphSet::High, 5, 0, 0), kYellow);
    EXPECT_EQ(count(glyph_image(GlyphSet::High, 5), kDark), 140);
    EXPECT_EQ(px(GlyphSet::High, 6, 7, 9), kBlack);
    EXPECT_EQ(px(GlyphSet::High, 6, 3, 14), kWhite);
}

TEST(Glyphs, PrintableGlyphsAreDrawnAndDistinct) {
    std::set<std::string> seen;
    for (int code : {4, 5, 6, 7}) seen.insert(std::string(kx::font5x7(code).begin(), kx::font5x7(code).end()));
    for (int code = 32; code <= 127; ++code) {
        const QImage& img = glyph_image(GlyphSet::Char, code);
        EXPECT_EQ(count(img, kYellow) > 0, code != 32) << code;
        const auto& rows = kx::font5x7(code);
        EXPECT_TRUE(seen.insert(std::string(rows.begin(), rows.end())).second) << "duplicate glyph " << code;
    }
    for (int blank : {1, 2, 3, 8, 20, 31}) EXPECT_EQ(count(glyph_image(GlyphSet::Char, blank), kBlue), 14 * 18);
    for (int none : {-1, 0, 8, 31, 128, 1000})
        for (auto row : kx::font5x7(none)) EXPECT_EQ(row, 0) << none;
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

TEST(Glyphs, OutOfRangeGivesTheInvalidMark) {
    for (GlyphSet set : {GlyphSet::Char, GlyphSet::Reve, GlyphSet::Und})
        for (int image : {0, -5, 131, 65536}) EXPECT_EQ(glyph_image(set, image), glyph_image(set, 130));
    for (int image : {0, 7, -1, 130}) EXPECT_GT(count(glyph_image(GlyphSet::High, image), kRed), 20);
}
