#include "app/QueuedSink.h"

#include <QMetaObject>

namespace kav {

void QueuedSink::post(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) {
    queue([handler = handler_, message, wParam, lParam] { handler(message, wParam, lParam); });
}

void QueuedSink::queue(std::function<void()> step) {
    QObject* context = context_.data();
    if (context != nullptr) {
        QMetaObject::invokeMethod(context, std::move(step), Qt::QueuedConnection);
    }
}

} // namespace kav
