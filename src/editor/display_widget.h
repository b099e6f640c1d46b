#pragma once
// The simulated character display: one widget that paints n_cols x n_rows cells from the
// glyph sets. Each cell remembers the image it shows; a repaint of a cell marks it dirty.
#include "core/view.h"

#include <QWidget>
#include <vector>

namespace kx {

class DisplayWidget : public QWidget {
    Q_OBJECT
public:
    explicit DisplayWidget(QWidget* parent = nullptr);

    // Lays out the cells (all blank) inside a 4-pixel border.
    void layout_cells(int n_cols, int n_rows);
    // Removes every cell but cell 0's slot (the next layout rebuilds them).
    void unload_cells();
    void set_cell(int cell, GlyphSet set, int image);

    int n_cols() const { return cols_; }
    int n_rows() const { return rows_; }
    int cell_count() const { return static_cast<int>(cells_.size()); }
    GlyphSet cell_set(int cell) const;
    int cell_image(int cell) const;
    // Top-left pixel of a cell in widget coordinates, and the cell under a point (-1: none).
    QPoint cell_origin(int cell) const;
    int cell_at(const QPoint& pt) const;
    QSize sizeHint() const override;

signals:
    void cellPressed(int cell, Qt::MouseButton button);
    void cellClicked(int cell);
    void cellDoubleClicked(int cell);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    struct Cell {
        GlyphSet set = GlyphSet::Char;
        int image = 32;
    };
    QRect cell_rect(int cell) const;

    int cols_ = 0, rows_ = 0;
    std::vector<Cell> cells_;
    int pressed_ = -1;
};

} // namespace kx
