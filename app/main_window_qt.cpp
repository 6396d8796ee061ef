#include "app/main_window_qt.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

#include "app/cover_lookup.h"
#include "app/label_qt.h"

namespace vidmora {
namespace {

constexpr const char* kTitle = "Vidmora封面提取器v1.0  byQuellan";

// 标签1 and 标签2 use a 19-pixel character height, normal weight, the default face.
QFont label_font() {
    QFont font = QApplication::font();
    font.setPixelSize(19);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

QPoint centred_top_left(int outer_width, int outer_height) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {0, 0};
    // The whole screen, not the part left free by panels; C++ division truncates toward zero.
    QRect whole = screen->geometry();
    return {whole.x() + (whole.width() - outer_width) / 2,
            whole.y() + (whole.height() - outer_height) / 2};
}

}  // namespace

MainWindowQt::MainWindowQt()
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint) {
    setObjectName("主窗口");
    setWindowTitle(QString::fromUtf8(kTitle));
    setWindowIcon(QIcon(QPixmap::fromImage(app_icon_image())));
    setFixedSize(kOuterWidth, kOuterHeight);

    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Button));
    setPalette(colours);
    setAutoFillBackground(true);

    // Created in the order of the window's description; that order is also the stacking
    // order with the first on top, so each new control goes below the ones before it.
    QWidget* above = nullptr;
    auto place = [&](QWidget* control, const char* name, int x, int y, int width, int height) {
        control->setObjectName(QString::fromUtf8(name));
        control->setGeometry(x, y, width, height);
        if (above) control->stackUnder(above);
        above = control;
    };
    auto* label4 = new LabelQt(QString::fromUtf8("点击惊喜"), QColor(0, 0, 0), this);
    place(label4, "标签4", 280, 88, 80, 16);
    auto* label3 = new LabelQt(QString::fromUtf8("下方预览"), QColor(0, 0, 0), this);
    place(label3, "标签3", 16, 88, 80, 16);
    picture_box1_ = new PictureBoxQt(this);
    place(picture_box1_, "图片框1", 8, 128, 408, 336);
    auto* label2 = new LabelQt(QString::fromUtf8("封面："), QColor(255, 0, 0), this);
    label2->setFont(label_font());
    place(label2, "标签2", 8, 48, 56, 32);
    auto* label1 = new LabelQt(QString::fromUtf8("AV号："), QColor(0, 0, 255), this);
    label1->setFont(label_font());
    place(label1, "标签1", 8, 8, 48, 40);
    edit_box2_ = new EditBoxQt(this);
    place(edit_box2_, "编辑框2", 64, 40, 296, 32);
    edit_box1_ = new EditBoxQt(this);
    place(edit_box1_, "编辑框1", 64, 8, 152, 32);
    button1_ = new QPushButton(QStringLiteral("Go"), this);
    button1_->setAutoDefault(false);
    button1_->setDefault(false);
    place(button1_, "按钮1", 152, 88, 80, 32);

    // Tab moves through the three controls that take the focus, in the description's order.
    setTabOrder(edit_box2_, edit_box1_);
    setTabOrder(edit_box1_, button1_);

    connect(button1_, &QPushButton::clicked, this, [] { cover_lookup(); });
}

void MainWindowQt::show_centred() {
    move(centred_top_left(kOuterWidth, kOuterHeight));
    show();
    fit_outer_size();
}

// Qt sizes the client area; the window manager adds its frame around it. Once the frame is
// known the client area shrinks by it, so that the whole window is 425 x 497, and the window
// is centred again with that outer size.
void MainWindowQt::fit_outer_size() {
    QSize frame = frameGeometry().size() - size();
    QSize client(kOuterWidth - frame.width(), kOuterHeight - frame.height());
    if (client == size() || client.width() <= 0 || client.height() <= 0) return;
    setFixedSize(client);
    move(centred_top_left(kOuterWidth, kOuterHeight));
}

void MainWindowQt::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    fit_outer_size();
}

void MainWindowQt::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    // The window manager's frame arrives with the move that places the window inside it.
    fit_outer_size();
}

EditBoxQt* MainWindowQt::edit_box(EditBox box) const {
    return box == EditBox::kEditBox1 ? edit_box1_ : edit_box2_;
}

PictureBoxQt* MainWindowQt::picture_box(PictureBox /*box*/) const {
    return picture_box1_;
}

}  // namespace vidmora
