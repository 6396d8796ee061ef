#include <QApplication>
#include <QMessageBox>
#include <QWidget>

#include "app/message_box.h"

namespace vidmora {
namespace {

// Set only by tests.
MessageBoxAnswer g_answer = nullptr;

QMessageBox::Icon icon_of(std::uint32_t flags) {
    switch (flags & 0xF0) {
        case 0x10:
            return QMessageBox::Critical;
        case 0x20:
            return QMessageBox::Question;
        case 0x30:
            return QMessageBox::Warning;
        case 0x40:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

QString screen_text(std::string_view text) {
    QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

}  // namespace

void set_message_box_answer(MessageBoxAnswer answer) {
    g_answer = answer;
}

int show_message_box(WindowHandle owner, std::string_view text, std::string_view title,
                     std::uint32_t flags) {
    if (g_answer) return g_answer(owner, text, title, flags);
    QMessageBox box(icon_of(flags), screen_text(title), screen_text(text), QMessageBox::Ok,
                    static_cast<QWidget*>(owner));
    box.setTextFormat(Qt::PlainText);
    // Task-modal: no window of the program takes input while the box is open.
    if (flags & kMbTaskModal) box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    return kIdOk;
}

WindowHandle find_top_level_window(std::string_view title) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return nullptr;
    QString wanted = QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isWindow() && widget->windowTitle() == wanted) return widget;
    }
    return nullptr;
}

}  // namespace vidmora
