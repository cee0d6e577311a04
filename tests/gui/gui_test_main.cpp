// GUI tests share one QApplication, created before the first test and destroyed after the
// last, while Qt's own statics are still alive. They draw off screen unless told otherwise,
// so they run (and list themselves at build time) without a display.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
