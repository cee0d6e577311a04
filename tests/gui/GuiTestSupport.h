#pragma once

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

namespace kav::test {

// Clicks the button, or triggers the menu item, named `name` the way a person could: it must
// exist, be shown and be enabled, otherwise the test fails naming the control.
inline ::testing::AssertionResult tryClick(QWidget& window, const char* name) {
    if (auto* button = window.findChild<QPushButton*>(name)) {
        if (!button->isVisibleTo(&window)) {
            return ::testing::AssertionFailure() << name << " is hidden";
        }
        if (!button->isEnabled()) {
            return ::testing::AssertionFailure() << name << " is disabled";
        }
        button->click();
        return ::testing::AssertionSuccess();
    }
    if (auto* action = window.findChild<QAction*>(name)) {
        if (!action->isVisible()) {
            return ::testing::AssertionFailure() << name << " is hidden";
        }
        if (!action->isEnabled()) {
            return ::testing::AssertionFailure() << name << " is disabled";
        }
        action->trigger();
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "no control named " << name;
}

#define KAV_CLICK(window, name) ASSERT_TRUE(::kav::test::tryClick((window), (name)))

inline void click(QWidget& window, const char* name) {
    EXPECT_TRUE(tryClick(window, name));
}

// Runs `act` on the modal dialog of type T once it is open (a command about to be clicked
// opens it with exec()), then closes it if `act` left it open.
template <typename T> void whenOpen(std::function<void(T&)> act) {
    QTimer::singleShot(0, [act = std::move(act)] {
        T* dialog = nullptr;
        for (int i = 0; i < 100 && dialog == nullptr; ++i) {
            dialog = qobject_cast<T*>(QApplication::activeModalWidget());
            if (dialog == nullptr) {
                QTest::qWait(20);
            }
        }
        ASSERT_NE(dialog, nullptr) << "the dialog did not open";
        act(*dialog);
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
}

} // namespace kav::test
