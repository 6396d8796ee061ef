// The real program in a child process: closing its window ends it with exit code 0, and
// without a display it ends with the start-up failure and exit code -1.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>

// Last: Xlib defines macros (None, Bool, Status) that Qt's and GoogleTest's headers use.
#include <X11/Xlib.h>

namespace {

const QString kProgram = QStringLiteral(VIDMORA_COVER_PATH);
const std::string kTitle = "Vidmora封面提取器v1.0  byQuellan";

// A private X server for one test, without a window manager.
class XServer {
  public:
    bool start() {
        QString xvfb = QStandardPaths::findExecutable("Xvfb");
        if (xvfb.isEmpty()) return false;
        // -displayfd: the server picks a free display and writes its number when it is ready.
        process_.start(xvfb,
                       {"-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-displayfd", "1"});
        if (!process_.waitForStarted(10000)) return false;
        QByteArray number;
        while (!number.contains('\n') && process_.waitForReadyRead(10000))
            number += process_.readAllStandardOutput();
        if (!number.contains('\n')) return false;
        name_ = ":" + number.trimmed().toStdString();
        return true;
    }
    ~XServer() {
        process_.terminate();
        process_.waitForFinished(5000);
    }
    const std::string& name() const { return name_; }

  private:
    QProcess process_;
    std::string name_;
};

std::string window_name(Display* display, Window window) {
    Atom net_wm_name = XInternAtom(display, "_NET_WM_NAME", False);
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string name;
    if (XGetWindowProperty(display, window, net_wm_name, 0, 1024, False, utf8, &type, &format,
                           &count, &after, &data) == Success &&
        data) {
        name.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
    }
    return name;
}

std::optional<Window> find_window(Display* display, const std::string& title) {
    // Up to a minute: a sanitizer build on a busy machine starts slowly.
    for (int attempt = 0; attempt < 3000; ++attempt) {
        Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
        unsigned int count = 0;
        std::optional<Window> found;
        if (XQueryTree(display, root, &root, &parent, &children, &count)) {
            for (unsigned int i = 0; i < count && !found; ++i) {
                XWindowAttributes attributes;
                if (window_name(display, children[i]) == title &&
                    XGetWindowAttributes(display, children[i], &attributes) &&
                    attributes.map_state == IsViewable)
                    found = children[i];
            }
            if (children) XFree(children);
        }
        if (found) return found;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return std::nullopt;
}

TEST(Program, ClosingTheWindowEndsWithExitCodeZero) {
    XServer server;
    if (!server.start()) GTEST_SKIP() << "no Xvfb to run the program on";
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", QString::fromStdString(server.name()));
    environment.insert("QT_QPA_PLATFORM", "xcb");
    // In a sanitizer build the leak check would turn what D-Bus keeps into exit code 1.
    environment.insert("LSAN_OPTIONS", "suppressions=" VIDMORA_LSAN_SUPPRESSIONS);
    program.setProcessEnvironment(environment);
    program.start(kProgram, {});
    ASSERT_TRUE(program.waitForStarted(10000));

    const std::unique_ptr<Display, int (*)(Display*)> connection(
        XOpenDisplay(server.name().c_str()), XCloseDisplay);
    Display* display = connection.get();
    ASSERT_NE(display, nullptr);
    std::optional<Window> window = find_window(display, kTitle);
    ASSERT_TRUE(window.has_value()) << program.readAllStandardError().toStdString();

    // Without a window manager the client area is the whole window: 425 x 497, centred.
    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(display, *window, &attributes));
    EXPECT_EQ(attributes.width, 425);
    EXPECT_EQ(attributes.height, 497);
    EXPECT_EQ(attributes.x, (1280 - 425) / 2);
    EXPECT_EQ(attributes.y, (1024 - 497) / 2);

    // The close button of a window manager sends exactly this: WM_DELETE_WINDOW.
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = *window;
    close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, *window, False, NoEventMask, &close);
    XFlush(display);

    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
}

TEST(Program, WithoutADisplayTheWindowFailsWithMinusOne) {
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.insert("QT_QPA_PLATFORM", "xcb");
    program.setProcessEnvironment(environment);
    program.start(kProgram, {});
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 255);
    EXPECT_TRUE(program.readAllStandardError().contains("载入启动窗口失败"));
}

}  // namespace
