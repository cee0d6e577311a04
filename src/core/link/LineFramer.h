#pragma once

#include "link/KavIIReceiver.h"
#include "link/KavIRecognizer.h"

#include <cstdint>
#include <optional>

namespace kav {

// Both protocols share one line, and each engine must tell the other's frames from its own.
// Every engine runs one of these over the bytes it receives, so each decision is taken at the
// exact place in the stream where it belongs, never by one thread signalling another late.
//
// - A KAV II packet ends: the KAV I recogniser forgets the bytes it held, so no KAV I frame
//   is built from a packet's tail.
// - A KAV I frame ends: a KAV II frame that began inside it was part of it and is dropped. One
//   that began before it may carry the KAV I frame's bytes as payload, so both readings are
//   followed, the frame as it goes and a fresh one from here, until one of them ends with a good
//   check byte. A genuine reply is never lost to a frame pattern inside its payload.
class LineFramer {
public:
    enum Completed : unsigned { kNothing = 0, kKavIIPacket = 1, kKavIFrame = 2 };

    // Returns what this byte completed (a mask of Completed).
    unsigned feed(std::uint8_t byte);
    // Forgets everything held: half-built frames of both protocols.
    void reset();

    const KAV_PACKET_STRUCT_TAG& packet() const { return packet_; }
    const KavIRecognizer& kaviFrame() const { return kavi_; }

private:
    bool feedKavII(std::uint8_t byte);
    void kaviFrameEnded();

    KavIIReceiver main_;
    std::optional<KavIIReceiver> alternative_;
    KavIRecognizer kavi_;
    KAV_PACKET_STRUCT_TAG packet_;
};

} // namespace kav
