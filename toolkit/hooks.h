// The tests' hooks, shared by both builds of the toolkit: steps run while the program waits
// for an event, and the answerer of modal dialogs (toolkit/testing.h).
#pragma once

#include <deque>
#include <functional>
#include <string>

#include "toolkit/testing.h"

namespace toolkit::detail {

/// Runs the next step of testing::when_idle; false when none is left.
bool run_step();
/// True when the tests answer modals instead of showing them.
bool answering();
/// The tests' answer to a modal (only while answering()).
std::string answer(const testing::Modal& modal);

}  // namespace toolkit::detail
