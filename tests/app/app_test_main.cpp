// GoogleTest with one widget application around all tests, on the offscreen platform so that
// no display is needed (also when CTest lists the tests), and with no proxy in the way.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The lookups talk to loopback servers only: no proxy of the machine's comes between.
    qputenv("no_proxy", "*");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
