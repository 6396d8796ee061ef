// Start-up: prepare the process, open the main window, run the loop until it is closed.
#include <QApplication>

#include <filesystem>
#include <memory>
#include <system_error>

#include "app/fatal_box_qt.h"
#include "app/main_window_qt.h"
#include "platform/loader.h"
#include "text/fatal.h"

namespace {

constexpr const char* kWindowFailed = "载入启动窗口失败";

// Qt ends the process itself when it cannot reach a display. While the application starts, such
// an end becomes the program's own fatal error, so the user gets its message and exit code.
void startup_message_handler(QtMsgType type, const QMessageLogContext& context,
                             const QString& message) {
    if (type == QtFatalMsg) vidmora::fatal_error(kWindowFailed);
    qt_message_output(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
    // Relative names (the libraries loaded by name) resolve beside the executable.
    std::error_code ignored;
    std::filesystem::current_path(vidmora::executable_directory(), ignored);

    // The program reads no command-line arguments, so Qt is not given any either.
    int qt_argc = argc > 0 ? 1 : 0;
    QtMessageHandler previous = qInstallMessageHandler(startup_message_handler);
    QApplication app(qt_argc, argv);
    qInstallMessageHandler(previous);
    vidmora::set_fatal_reporter(vidmora::report_fatal_in_box);

    auto window = std::make_unique<vidmora::MainWindowQt>();
    window->show_centred();
    if (!window->windowHandle() || !window->isVisible()) vidmora::fatal_error(kWindowFailed);

    // Closing the one window ends the loop.
    app.exec();
    return 0;
}
