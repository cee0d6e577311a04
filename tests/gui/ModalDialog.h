#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace kav::test {

// Acts on the next modal dialog of type T once its exec() has shown it; `act` must close it.
// Register it before the click that opens the dialog. A dialog that never comes fails the
// test after `timeoutMs` instead of leaving the check running into later tests.
template <typename T> void whenModal(std::function<void(T&)> act, int timeoutMs = 5000) {
    auto* timer = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [timer, act = std::move(act), clock, timeoutMs] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) {
            if (clock->elapsed() > timeoutMs) {
                timer->stop();
                timer->deleteLater();
                ADD_FAILURE() << "no modal " << T::staticMetaObject.className() << " was shown";
            }
            return;
        }
        timer->stop();
        timer->deleteLater();
        act(*dialog);
    });
    timer->start(5);
}

} // namespace kav::test
