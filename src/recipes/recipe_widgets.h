#pragma once
// Pieces both recipe windows share.
#include <QHeaderView>
#include <QTableWidget>
#include <algorithm>
#include <iterator>

namespace kx {

// Gives each column its width in twips (15 twips a pixel), or more where its heading or
// its texts need it, and the table the sum of them and a margin of 300 twips. Returns that
// width.
template <std::size_t N>
int fit_columns(QTableWidget* table, const int (&twips)[N]) {
    constexpr int kTwipsPerPixel = 15;
    int width = 300 / kTwipsPerPixel;
    for (int col = 0; col < static_cast<int>(N); ++col) {
        const int w = std::max({twips[col] / kTwipsPerPixel,
                                static_cast<QAbstractItemView*>(table)->sizeHintForColumn(col),
                                table->horizontalHeader()->sectionSizeHint(col)});
        table->setColumnWidth(col, w);
        width += w;
    }
    table->setFixedWidth(width);
    return width;
}

} // namespace kx
