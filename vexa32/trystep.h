#pragma once
// Runs one step of a procedure whose steps each may fail on their own: a step that throws
// is skipped and the caller goes on with the next one.

namespace Vexa32 {

template <typename Step>
void TryStep(Step &&step)
{
    try {
        step();
    } catch (...) {
    }
}

} // namespace Vexa32
