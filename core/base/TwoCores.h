// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Two halves of a large piece of work at once, one on this thread and one on another: the
// machine the program is made for has two cores.
#include <exception>
#include <system_error>
#include <thread>

namespace edlt {

// Runs first here while second runs on another thread, when split is true; else (or when no
// thread can be started) one after the other here. An exception from either comes out here,
// once both have stopped, so a failure (memory running out) is told instead of ending the
// program.
template <class First, class Second>
void runBoth(bool split, First&& first, Second&& second)
{
    std::thread other;
    std::exception_ptr secondFailed;
    if (split) {
        try {
            other = std::thread([&] {
                try {
                    second();
                } catch (...) {
                    secondFailed = std::current_exception();
                }
            });
        } catch (const std::system_error&) {
            split = false;
        }
    }
    try {
        first();
    } catch (...) {
        if (other.joinable()) other.join();
        throw;
    }
    if (!split) {
        second();
        return;
    }
    other.join();
    if (secondFailed) std::rethrow_exception(secondFailed);
}

}  // namespace edlt
