// What a question to the model gave: a value of N, or why there is none. The German text of
// each outcome is made where it reaches the user (messages/messages.h).
#pragma once

namespace interp {

enum class Outcome {
    Ok,           ///< N was computed
    Outside,      ///< outside the grid, or needed nodes without a value (N = kNoValue)
    OpenError,    ///< the model file cannot be opened
    HeaderError,  ///< a header record cannot be read
    ReadError,    ///< a node record cannot be read
    Invalid,      ///< the file is not the model its header describes (length or header values)
};

}  // namespace interp
