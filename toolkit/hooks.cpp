#include "toolkit/hooks.h"

namespace toolkit {

namespace {

struct Hooks {
    std::deque<std::function<void()>> steps;
    std::function<std::string(const testing::Modal&)> answer;
};

Hooks& hooks()
{
    static Hooks h;
    return h;
}

}  // namespace

namespace detail {

bool run_step()
{
    if (hooks().steps.empty()) return false;
    const std::function<void()> step = std::move(hooks().steps.front());
    hooks().steps.pop_front();
    step();
    return true;
}

bool answering()
{
    return static_cast<bool>(hooks().answer);
}

std::string answer(const testing::Modal& modal)
{
    return hooks().answer ? hooks().answer(modal) : std::string();
}

}  // namespace detail

namespace testing {

void when_idle(std::deque<std::function<void()>> steps)
{
    hooks().steps = std::move(steps);
}

bool steps_done()
{
    return hooks().steps.empty();
}

void answer_modals(std::function<std::string(const Modal&)> answer)
{
    hooks().answer = std::move(answer);
}

}  // namespace testing

}  // namespace toolkit
