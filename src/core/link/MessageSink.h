#pragma once

#include <cstdint>

namespace kav {

// Where core threads post their notices (message number and two values). An
// implementation must queue the notice and return at once, never waiting for the receiver.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void post(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) = 0;
};

} // namespace kav
