#pragma once

#include "link/MessageSink.h"

#include <QObject>
#include <QPointer>
#include <functional>

namespace kav {

// The one place where core threads reach the UI thread: each notice is queued as a call
// against `context`, so it runs on the UI thread, and is dropped if the context is gone.
class QueuedSink : public MessageSink {
public:
    using Handler = std::function<void(std::uint32_t, std::intptr_t, std::intptr_t)>;

    QueuedSink(QObject* context, Handler handler)
        : context_(context), handler_(std::move(handler)) {}

    void post(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) override;
    // Queues any step the same way.
    void queue(std::function<void()> step);

private:
    QPointer<QObject> context_;
    Handler handler_;
};

} // namespace kav
