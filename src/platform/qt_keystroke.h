#pragma once
// Whether the last change of a text box came from one typed character. A box's text changes
// the same way for a keystroke over a selection and for a paste of one character more than
// the selection held; the number boxes treat the two apart (a refused keystroke is cut out,
// a refused paste puts the old text back), so the box's input events tell which it was.
#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <QWidget>

namespace kx {

class KeystrokeWatch : public QObject {
public:
    explicit KeystrokeWatch(QObject* parent) : QObject(parent) {}
    void watch(QWidget* box) { box->installEventFilter(this); }
    // The last input event to a watched box was a key that types one printable character
    // (a paste key carries a control character; a click, a drop or an input method no key).
    bool typed() const { return typed_; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        switch (e->type()) {
        case QEvent::KeyPress: {
            const auto* k = static_cast<QKeyEvent*>(e);
            const QString t = k->text();
            typed_ = t.size() == 1 && t[0].isPrint() &&
                     !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
            break;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::ContextMenu:
        case QEvent::Drop:
        case QEvent::InputMethod: typed_ = false; break;
        default: break;
        }
        return QObject::eventFilter(watched, e);
    }

private:
    bool typed_ = false;
};

} // namespace kx
