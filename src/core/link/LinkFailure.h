#pragma once

namespace kav {

// Why the last radio operation failed, for messages that help: the texts the person sees stay
// as they are ("Radio Response Timeout", "Timeout reading from radio"), and this says why.
enum class LinkFailure {
    None,
    NoReply,         // nothing came back in time
    Refused,         // the radio answered with the refusal bit (NACK)
    NotAReply,       // a packet with the request bit set came back, not a reply
    OtherAddress,    // a reply came back for another address than the one asked for
    ShortReply,      // the reply lacked the fields the operation reads
    UnexpectedReply, // the reply did not say what the operation needs (a wrong echo)
    LineLost,        // reads on the port fail: the lead was unplugged
    PortClosed,      // the port is not open
    Cancelled,       // the person cancelled while the operation waited
    NotSent,         // the request could not be queued
};

// A short phrase: "the radio did not answer", "the radio refused the command", ...
inline const char* linkFailureText(LinkFailure failure) {
    switch (failure) {
    case LinkFailure::None:
        return "";
    case LinkFailure::NoReply:
        return "the radio did not answer";
    case LinkFailure::Refused:
        return "the radio refused the command";
    case LinkFailure::NotAReply:
        return "the radio's answer was marked as a request, not a reply";
    case LinkFailure::OtherAddress:
        return "the radio answered for another address";
    case LinkFailure::ShortReply:
        return "the radio's reply was too short";
    case LinkFailure::UnexpectedReply:
        return "the radio's reply did not match the request";
    case LinkFailure::LineLost:
        return "the serial line is lost: is the programming lead plugged in?";
    case LinkFailure::PortClosed:
        return "the port is not open";
    case LinkFailure::Cancelled:
        return "cancelled";
    case LinkFailure::NotSent:
        return "the request could not be sent";
    }
    return "";
}

} // namespace kav
