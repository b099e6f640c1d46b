#pragma once
// Small windows of the shell: the terminal-model chooser, the about box, the progress window
// and the splash.
#include <QDialog>
#include <QElapsedTimer>
#include <QWidget>
#include <array>
#include <string>

class QLabel;
class QProgressBar;
class QRadioButton;
class QPushButton;
class QSvgRenderer;

namespace kx {

// The model chooser: eight options, OK and Cancel. Esc and the close box act as Cancel.
class ModelChooser : public QDialog {
    Q_OBJECT
public:
    ModelChooser(const std::string& caption, const std::string& prompt, const std::string& cancel_text,
                 int preselect, QWidget* parent = nullptr);
    int selected() const;
    QRadioButton* option(int i) const { return options_[i]; }
    QPushButton* ok_button() const { return ok_; }
    QPushButton* cancel_button() const { return cancel_; }

private:
    std::array<QRadioButton*, 8> options_{};
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

// The about box (modeless): the version and what the program is; OK or Esc closes it.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);
    // The caption and the lines, in the interface language of the moment.
    void set_texts(const std::string& caption, const std::string& version_text,
                   const std::string& purpose_text);

private:
    QLabel* version_ = nullptr;
    QLabel* purpose_ = nullptr;
};

// The progress window of long operations (modeless).
class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    explicit ProgressWindow(QWidget* parent = nullptr);
    void start(const std::string& text, int max);
    void set_value(int v);
    QProgressBar* bar() const { return bar_; }
    // The least time between two paints of the bar while its value moves.
    static constexpr int kPaintMs = 15;

private:
    QLabel* info_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QElapsedTimer painted_; // since the bar was last painted
};

// The splash picture shown while the program starts; the picture is read once.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    SplashWindow();

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QSvgRenderer* picture_ = nullptr;
};

} // namespace kx
