#pragma once
// Running two pieces of work at once: first on the calling thread, second on a thread of
// its own. Returns when both have ended; an exception from either is passed on once both
// have ended (the first piece's when both threw).

#include <exception>
#include <thread>

namespace Engine {

template <typename First, typename Second>
void RunOnTwoThreads(First &&first, Second &&second)
{
    std::exception_ptr failure;
    std::thread other([&] {
        try {
            second();
        } catch (...) {
            failure = std::current_exception();
        }
    });
    try {
        first();
    } catch (...) {
        other.join();
        throw;
    }
    other.join();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace Engine
