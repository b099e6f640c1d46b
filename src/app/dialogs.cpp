#include "app/dialogs.h"

#include "core/models.h"
#include "platform/qt_button.h"
#include "platform/qt_text.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSvgRenderer>
#include <QVBoxLayout>

namespace kx {

ModelChooser::ModelChooser(const std::string& caption, const std::string& prompt,
                           const std::string& cancel_text, int preselect, QWidget* parent)
    : QDialog(parent) {
    setObjectName("FrmType");
    setWindowTitle(qs(caption));
    setModal(true);
    auto* lay = new QVBoxLayout(this);
    auto* lbl = new QLabel(qs(prompt), this);
    lbl->setObjectName("LblType");
    lay->addWidget(lbl);
    for (int i = 0; i < 8; ++i) {
        const TerminalModel* m = model_by_option(i);
        QString name = QString::fromLatin1(m->key).replace('_', ' ');
        options_[i] = new QRadioButton(name, this);
        lay->addWidget(options_[i]);
    }
    // The dialog opens with the focus on the checked model: the arrow keys move the choice
    // from there, and Space keeps it.
    QRadioButton* checked = options_[(preselect >= 0 && preselect < 8) ? preselect : 0];
    checked->setChecked(true);
    checked->setFocus();
    auto* buttons = new QHBoxLayout;
    ok_ = dialog_button(this, "CmdTypeOK", "OK");
    cancel_ = dialog_button(this, "cmdCancel", qs(cancel_text));
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    lay->addLayout(buttons);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

int ModelChooser::selected() const {
    for (int i = 0; i < 8; ++i)
        if (options_[i]->isChecked()) return i;
    return 0;
}

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName("frmInfo");
    setAttribute(Qt::WA_DeleteOnClose);
    auto* lay = new QVBoxLayout(this);
    auto* icon = new QLabel(this);
    QSvgRenderer r(QString(":/app.svg"));
    QPixmap pm(64, 64);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    r.render(&p);
    p.end();
    icon->setPixmap(pm);
    icon->setAlignment(Qt::AlignCenter);
    lay->addWidget(icon);
    version_ = new QLabel(this);
    version_->setObjectName("lblVersion");
    version_->setAlignment(Qt::AlignCenter);
    lay->addWidget(version_);
    purpose_ = new QLabel(this);
    purpose_->setObjectName("lblPurpose");
    purpose_->setAlignment(Qt::AlignCenter);
    lay->addWidget(purpose_);
    auto* ok = dialog_button(this, "cmdOK", "OK");
    lay->addWidget(ok, 0, Qt::AlignCenter);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void AboutBox::set_texts(const std::string& caption, const std::string& version_text,
                         const std::string& purpose_text) {
    setWindowTitle(qs(caption));
    version_->setText(qs(version_text));
    purpose_->setText(qs(purpose_text));
}

ProgressWindow::ProgressWindow(QWidget* parent) : QDialog(parent) {
    setObjectName("frmProgress");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    auto* lay = new QVBoxLayout(this);
    info_ = new QLabel(this);
    bar_ = new QProgressBar(this);
    bar_->setMinimumWidth(320);
    lay->addWidget(info_);
    lay->addWidget(bar_);
}

void ProgressWindow::start(const std::string& text, int max) {
    info_->setText(qs(text));
    bar_->setRange(0, std::max(1, max));
    bar_->setValue(0);
    show();
    painted_.start();
}

void ProgressWindow::set_value(int v) {
    // A progress bar paints itself at once whenever its drawing changes: once per page that
    // would cost more than reading the page. The bar takes every value, but between paints
    // at least kPaintMs pass (the last value is always painted).
    const bool paint = !painted_.isValid() || painted_.hasExpired(kPaintMs) || v >= bar_->maximum();
    if (paint) {
        bar_->setValue(v);
        painted_.start();
        return;
    }
    bar_->setUpdatesEnabled(false); // no paint now; the next one shows this value or a later one
    bar_->setValue(v);
    bar_->setUpdatesEnabled(true);
}

SplashWindow::SplashWindow() : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint) {
    // Two thirds of the screen, centred.
    QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                    : QRect(0, 0, 1024, 768);
    int w = screen.width() * 2 / 3, h = screen.height() * 2 / 3;
    setGeometry(screen.x() + screen.width() / 6, screen.y() + screen.height() / 6, w, h);
    picture_ = new QSvgRenderer(QString(":/splash.svg"), this);
}

void SplashWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(40, 40, 48));
    QSizeF s = picture_->defaultSize();
    s.scale(size(), Qt::KeepAspectRatio);
    QRectF target((width() - s.width()) / 2, (height() - s.height()) / 2, s.width(), s.height());
    picture_->render(&p, target);
}

} // namespace kx
