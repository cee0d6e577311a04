// GUI tests share one QApplication, created before the first test and destroyed after the
// last, while Qt's own statics are still alive.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
