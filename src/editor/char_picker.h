#pragma once
// The special-character picker: the terminal's four arrow glyphs as pictures. A click puts
// the arrow at the editor's cursor as typing would; the window stays open for the next one
// and Esc or the close box ends it.
#include <QDialog>
#include <array>

class QToolButton;

namespace kx {

struct Ctx;

class CharPicker : public QDialog {
    Q_OBJECT
public:
    explicit CharPicker(Ctx& ctx, QWidget* parent = nullptr);
    // Picture 0..3: the arrows up, down, left and right.
    QToolButton* picture(int index) const { return pictures_[index]; }

private:
    std::array<QToolButton*, 4> pictures_{};
};

} // namespace kx
