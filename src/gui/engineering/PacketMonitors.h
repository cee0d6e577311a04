#pragma once

#include "engineering/MonitorForm.h"
#include "link/Kaviiprotocol.h"
#include "link/Kaviprotocol.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

namespace kav {

// The notices one packet monitor handles.
struct PacketNotices {
    std::uint32_t received;
    std::uint32_t sent;
    std::optional<std::uint32_t> status;
};

// A packet monitor over one protocol engine: a line per packet the engine copied to its
// slots, and the engine's status notices.
template <typename Engine, int SlotSize> class PacketMonitorForm : public MonitorForm {
public:
    PacketMonitorForm(const QString& caption, Engine& engine, PacketNotices notices,
                      QWidget* parent)
        : MonitorForm(caption, {"pktMonMemo", "startButton", "pauseButton", "closeButton", true},
                      parent),
          engine_(engine), messages_(notices) {}
    ~PacketMonitorForm() override { engine_.ClearMonitorWindow(); }

private:
    void attach() override { engine_.SetMonitorWindow(&notices()); }
    void detach() override { engine_.ClearMonitorWindow(); }

    void handle(const MonitorNotice& notice) override {
        if (messages_.status && notice.message == *messages_.status) {
            addLine(clockStamp(notice.at) + kavIIStatusText(notice.wParam));
            return;
        }
        const bool received = notice.message == messages_.received;
        if ((!received && notice.message != messages_.sent) || paused()) {
            return;
        }
        std::array<std::uint8_t, SlotSize> bytes{};
        const int n = static_cast<int>(notice.lParam);
        const int slot = static_cast<int>(notice.wParam);
        if (received) {
            engine_.ReadReceivedSlot(bytes.data(), n, slot);
        } else {
            engine_.ReadSentSlot(bytes.data(), n, slot);
        }
        addLine(
            packetLine(clockStamp(notice.at), received, bytes.data(), std::clamp(n, 0, SlotSize)));
    }

    Engine& engine_;
    PacketNotices messages_;
};

// "KAV II Packet Monitor": every KAV II payload sent and received, timeouts and refusals.
class TkavIIPacketMonitorForm : public PacketMonitorForm<kavII_Protocol, 512> {
    Q_OBJECT

public:
    explicit TkavIIPacketMonitorForm(kavII_Protocol& engine, QWidget* parent = nullptr);
};

// "KAV I Packet Monitor": every KAV I frame recognised or sent.
class TkavIPacketMonitorForm : public PacketMonitorForm<kavI_Protocol, kKavIMonitorSlotSize> {
    Q_OBJECT

public:
    explicit TkavIPacketMonitorForm(kavI_Protocol& engine, QWidget* parent = nullptr);
};

} // namespace kav
