#include "editor/display_widget.h"

#include "core/display.h"
#include "editor/glyphs.h"

#include <QMouseEvent>
#include <QPainter>

namespace kx {
namespace {
constexpr int kMargin = 4; // border around the cells
}

DisplayWidget::DisplayWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void DisplayWidget::layout_cells(int n_cols, int n_rows) {
    cols_ = std::max(0, n_cols);
    rows_ = std::max(0, n_rows);
    cells_.assign(static_cast<size_t>(cols_ * rows_), Cell{});
    const DisplayGeometry g = display_geometry(cols_, rows_);
    setFixedSize(g.border_w, g.border_h);
    updateGeometry();
    update();
}

void DisplayWidget::unload_cells() {
    cells_.clear();
    update();
}

void DisplayWidget::set_cell(int cell, GlyphSet set, int image) {
    if (cell < 0 || cell >= cell_count()) return;
    Cell& c = cells_[cell];
    if (c.set == set && c.image == image) return;
    c.set = set;
    c.image = image;
    update(cell_rect(cell));
}

GlyphSet DisplayWidget::cell_set(int cell) const {
    return cell >= 0 && cell < cell_count() ? cells_[cell].set : GlyphSet::Char;
}

int DisplayWidget::cell_image(int cell) const {
    return cell >= 0 && cell < cell_count() ? cells_[cell].image : 0;
}

QPoint DisplayWidget::cell_origin(int cell) const {
    // Neighbouring cells share one pixel column and one pixel row: pitch 13 x 17.
    const DisplayGeometry g;
    return QPoint(kMargin + (cell % std::max(1, cols_)) * g.pitch_x,
                  kMargin + (cell / std::max(1, cols_)) * g.pitch_y);
}

QRect DisplayWidget::cell_rect(int cell) const { return QRect(cell_origin(cell), QSize(kGlyphW, kGlyphH)); }

int DisplayWidget::cell_at(const QPoint& pt) const {
    // Later cells are drawn over the shared pixel of earlier ones, so search from the end.
    for (int i = cell_count() - 1; i >= 0; --i)
        if (cell_rect(i).contains(pt)) return i;
    return -1;
}

QSize DisplayWidget::sizeHint() const {
    const DisplayGeometry g = display_geometry(cols_, rows_);
    return QSize(g.border_w, g.border_h);
}

void DisplayWidget::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    p.fillRect(e->rect(), QColor(0, 0, 128));
    for (int i = 0; i < cell_count(); ++i) {
        QRect r = cell_rect(i);
        if (!r.intersects(e->rect())) continue;
        p.drawImage(r.topLeft(), glyph_image(cells_[i].set, cells_[i].image));
    }
}

void DisplayWidget::mousePressEvent(QMouseEvent* e) {
    int cell = cell_at(e->position().toPoint());
    pressed_ = cell;
    if (cell >= 0) emit cellPressed(cell, e->button());
}

void DisplayWidget::mouseReleaseEvent(QMouseEvent* e) {
    int cell = cell_at(e->position().toPoint());
    if (cell >= 0 && cell == pressed_ && e->button() == Qt::LeftButton) emit cellClicked(cell);
    pressed_ = -1;
}

void DisplayWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    int cell = cell_at(e->position().toPoint());
    if (cell >= 0 && e->button() == Qt::LeftButton) emit cellDoubleClicked(cell);
}

} // namespace kx
