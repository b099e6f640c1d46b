#include "editor/char_picker.h"

#include "core/context.h"
#include "core/editing.h"
#include "editor/glyphs.h"
#include "platform/qt_text.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace kx {

CharPicker::CharPicker(Ctx& ctx, QWidget* parent) : QDialog(parent) {
    setObjectName("FrmChar");
    setWindowTitle(qs(ctx.txt(10022)));
    auto* row = new QHBoxLayout(this);
    static const int codes[] = {6, 7, 4, 5};
    for (int i = 0; i < 4; ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString("imgChar%1").arg(i));
        const QImage& glyph = glyph_image(GlyphSet::Char, codes[i]);
        b->setIcon(QPixmap::fromImage(glyph.scaled(glyph.size() * 3)));
        b->setIconSize(glyph.size() * 3);
        b->setAutoRaise(true);
        // Only the mouse enters an arrow; of the keys only Esc does anything.
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QToolButton::clicked, this, [&ctx, i] { char_picker_click(ctx, i); });
        row->addWidget(b);
        pictures_[i] = b;
    }
    setFixedSize(sizeHint());
}

} // namespace kx
