#pragma once

#include <QAction>
#include <QPushButton>
#include <QWidget>
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

} // namespace kav::test
