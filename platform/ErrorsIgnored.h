#pragma once

#include "platform/AutomationError.h"

#include <utility>

namespace q7 {

// Runs one step of a routine that executes with run-time errors ignored: an
// automation error raised inside the step is dropped and the caller goes on
// with its next step. Returns false when the step failed.
template <typename Step>
bool ignoringErrors(Step&& step)
{
    try {
        std::forward<Step>(step)();
        return true;
    } catch (const AutomationError&) {
        return false;
    }
}

} // namespace q7
