#include "glyphs.h"

#include <array>
#include <cmath>

#include "font5x7.h"

namespace kx {
namespace {

constexpr QRgb kBlue = qRgb(0, 0, 255);
constexpr QRgb kYellow = qRgb(255, 255, 0);
constexpr QRgb kGreen = qRgb(0, 255, 0);
constexpr QRgb kNavy = qRgb(0, 0, 128);
constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kDark = qRgb(0, 64, 64);
constexpr QRgb kBlack = qRgb(0, 0, 0);

// The 5 x 7 dot matrix of 2 x 2 pixel dots fills a 10 x 14 character area
// inside a 2-pixel margin. The underline bar covers the last two pixel rows,
// which lie in the bottom margin, so it never hides a dot.
constexpr int kAreaX = 2, kAreaY = 2, kAreaW = 10, kAreaH = 14;
constexpr int kDot = 2;
constexpr int kPoint = 4; // side of the decimal point of a variable cell
constexpr int kBarH = 2;

constexpr int kFullImages = 130; // images 1..130 of Char, Reve and Und
constexpr int kHighImages = 6;
constexpr int kDigitCell = 128, kPointCell = 129, kInvalid = 130;

void fill(QImage& img, int x, int y, int w, int h, QRgb colour) {
    for (int yy = y; yy < y + h; ++yy) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(yy));
        for (int xx = x; xx < x + w; ++xx) line[xx] = colour;
    }
}

QImage blank(QRgb background) {
    QImage img(kGlyphW, kGlyphH, QImage::Format_RGB32);
    img.fill(background);
    return img;
}

void draw_dots(QImage& img, int code, QRgb colour) {
    const auto& rows = font5x7(code);
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 5; ++c)
            if (rows[r] & (1u << (4 - c)))
                fill(img, kAreaX + c * kDot, kAreaY + r * kDot, kDot, kDot, colour);
}

void draw_block(QImage& img, QRgb colour) { fill(img, kAreaX, kAreaY, kAreaW, kAreaH, colour); }

// The decimal point sits in the lower left corner of the block.
void draw_point(QImage& img, QRgb colour) {
    fill(img, kAreaX, kAreaY + kAreaH - kPoint, kPoint, kPoint, colour);
}

void draw_underline(QImage& img, QRgb colour) { fill(img, 0, kGlyphH - kBarH, kGlyphW, kBarH, colour); }

// Red ring crossed by a stroke from upper left to lower right, centred on the
// character area; pixels are tested at their centres so the mark is symmetric.
void draw_invalid_mark(QImage& img) {
    const double cx = kAreaX + kAreaW / 2.0, cy = kAreaY + kAreaH / 2.0;
    const double outer = kAreaW / 2.0, inner = outer - 2.0;
    for (int y = kAreaY; y < kAreaY + kAreaH; ++y) {
        for (int x = kAreaX; x < kAreaX + kAreaW; ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            const double d = std::hypot(dx, dy);
            const bool ring = d <= outer && d >= inner;
            const bool stroke = d < inner && std::abs(dx - dy) < 1.1;
            if (ring || stroke) img.setPixel(x, y, kRed);
        }
    }
}

struct Look {
    QRgb background, dots;
    QRgb block, point; // variable cells 128 and 129
    bool underline;
};

// Reverse video swaps background and dots; the variable block swaps with its
// point in the same way, so a reversed variable cell is a navy block with a
// green point on yellow.
constexpr Look kNormal{kBlue, kYellow, kGreen, kNavy, false};
constexpr Look kReverse{kYellow, kBlue, kNavy, kGreen, false};
constexpr Look kUnderlined{kBlue, kYellow, kGreen, kNavy, true};

QImage make_glyph(const Look& look, int image) {
    QImage img = blank(look.background);
    if (image == kDigitCell || image == kPointCell) {
        draw_block(img, look.block);
        if (image == kPointCell) draw_point(img, look.point);
    } else if (image == kInvalid) {
        draw_invalid_mark(img);
    } else {
        draw_dots(img, image, look.dots); // codes without a glyph stay blank
    }
    if (look.underline) draw_underline(img, look.dots);
    return img;
}

// Variable cells while the variable editor is open: white block (dark point)
// on blue, the same underlined, and in reverse a dark block on yellow (the
// point cell black with a white point).
QImage make_high(int image) {
    const bool reverse = image >= 5;
    const bool with_point = image % 2 == 0;
    QImage img = blank(reverse ? kYellow : kBlue);
    if (!reverse) {
        draw_block(img, kWhite);
        if (with_point) draw_point(img, kDark);
        if (image >= 3) draw_underline(img, kYellow);
    } else if (with_point) {
        draw_block(img, kBlack);
        draw_point(img, kWhite);
    } else {
        draw_block(img, kDark);
    }
    return img;
}

struct Tables {
    // Index = image number; index 0 is unused for the full sets and holds
    // the invalid mark for High.
    std::array<QImage, kFullImages + 1> full[3];
    std::array<QImage, kHighImages + 1> high;

    Tables() {
        const Look* looks[3] = {&kNormal, &kReverse, &kUnderlined};
        for (int s = 0; s < 3; ++s)
            for (int i = 1; i <= kFullImages; ++i) full[s][i] = make_glyph(*looks[s], i);
        high[0] = make_glyph(kNormal, kInvalid);
        for (int i = 1; i <= kHighImages; ++i) high[i] = make_high(i);
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

} // namespace

const QImage& glyph_image(GlyphSet set, int image) {
    const Tables& t = tables();
    if (set == GlyphSet::High) return t.high[image >= 1 && image <= kHighImages ? image : 0];
    const auto& list = t.full[static_cast<int>(set)];
    return list[image >= 1 && image <= kFullImages ? image : kInvalid];
}

} // namespace kx
