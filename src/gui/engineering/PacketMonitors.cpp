#include "engineering/PacketMonitors.h"

namespace kav {

TkavIIPacketMonitorForm::TkavIIPacketMonitorForm(kavII_Protocol& engine, QWidget* parent)
    : PacketMonitorForm("KAV II Packet Monitor", engine,
                        {kKavIIReceivedNotice, kKavIISentNotice, kKavIIStatusNotice}, parent) {
    setObjectName("kavIIPacketMonitorForm");
}

TkavIPacketMonitorForm::TkavIPacketMonitorForm(kavI_Protocol& engine, QWidget* parent)
    : PacketMonitorForm("KAV I Packet Monitor", engine,
                        {kKavIReceivedNotice, kKavISentNotice, std::nullopt}, parent) {
    setObjectName("kavIPacketMonitorForm");
}

} // namespace kav
