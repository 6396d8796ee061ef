#include "app/fatal_box_qt.h"

#include <QApplication>
#include <QThread>

#include <cstdio>

#include "app/message_box.h"

namespace vidmora {

void report_fatal_in_box(std::string_view message) {
    QCoreApplication* app = QCoreApplication::instance();
    if (qobject_cast<QApplication*>(app) && QThread::currentThread() == app->thread()) {
        show_message_box(nullptr, message, "错误", kMbOk | kMbIconError);
        return;
    }
    std::fprintf(stderr, "%.*s\n", static_cast<int>(message.size()), message.data());
}

}  // namespace vidmora
