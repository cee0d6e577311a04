#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

namespace kav::test {

// Clicks the button (push button, check box, radio button), or triggers the menu item, named
// `name` the way a person could: it must exist, be shown and be enabled, otherwise the test
// fails naming the control.
inline ::testing::AssertionResult tryClick(QWidget& window, const char* name) {
    if (auto* button = window.findChild<QAbstractButton*>(name)) {
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

// The control named `name`; a missing one fails the test, naming it.
template <typename T> T& control(QWidget& window, const char* name) {
    T* found = window.findChild<T*>(name);
    if (found == nullptr) {
        ADD_FAILURE() << "no control named " << name;
        throw std::runtime_error(std::string("no control named ") + name);
    }
    return *found;
}

// Clicks `name` in `window` and runs `act` on the modal dialog the click opens, once its event
// loop runs; the dialog is closed with Cancel afterwards if `act` left it open. Returns the
// dialog, or nullptr when none opened.
inline QDialog* onModalOpenedBy(QWidget& window, const char* name,
                                const std::function<void(QDialog&)>& act) {
    QPointer<QDialog> opened;
    bool fired = false;
    QTimer::singleShot(0, [&] {
        fired = true;
        opened = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (opened) {
            act(*opened);
            if (opened && opened->isVisible()) {
                opened->reject();
            }
        }
    });
    EXPECT_TRUE(tryClick(window, name));
    for (int i = 0; i < 100 && !fired; ++i) {
        QTest::qWait(10);
    }
    return opened.data();
}

// Every visible named control lies inside its parent, at least at its minimum size (so no caption
// is cut), and overlaps none of its visible siblings.
inline void expectLaidOutCleanly(QWidget& window) {
    const auto isControl = [](const QWidget* w) {
        return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLabel*>(w) ||
               qobject_cast<const QComboBox*>(w) || qobject_cast<const QLineEdit*>(w) ||
               qobject_cast<const QGroupBox*>(w) || qobject_cast<const QTabWidget*>(w);
    };
    for (QWidget* w : window.findChildren<QWidget*>()) {
        // Unnamed widgets are parts of a control (the arrows of spin buttons, say).
        if (!isControl(w) || !w->isVisibleTo(&window) || w->parentWidget() == nullptr ||
            w->objectName().isEmpty() || w->objectName().startsWith("qt_")) {
            continue;
        }
        const std::string name = w->objectName().toStdString();
        EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry()))
            << name << " leaves its parent";
        const QSize minimum = w->minimumSizeHint();
        EXPECT_GE(w->width(), minimum.width()) << name << " is cut";
        EXPECT_GE(w->height(), minimum.height()) << name << " is cut";
        for (QWidget* other :
             w->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (other != w && isControl(other) && other->isVisibleTo(&window) &&
                !other->objectName().isEmpty() && !other->objectName().startsWith("qt_")) {
                EXPECT_FALSE(other->geometry().intersects(w->geometry()))
                    << name << " overlaps " << other->objectName().toStdString();
            }
        }
    }
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
