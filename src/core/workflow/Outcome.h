#pragma once

namespace kav {

// What became of a command the person started. Front ends map it (the command line to its
// exit status), so no front end ever has to judge a command by the wording of a message.
enum class Outcome {
    Done,    // it ran; a transfer reports its own result when it ends
    Refused, // a check refused it (another model's radio or file) or the person declined
    Failed,  // the port, the radio or a file failed
    Busy,    // a transfer worker still runs; nothing was done
};

} // namespace kav
