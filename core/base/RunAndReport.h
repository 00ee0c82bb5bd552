// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one "run it and report what went wrong" of commands and grid edits.
#include <functional>
#include <string>

namespace edlt {

enum class Reported { Errors, AllExceptions };

// Runs run and hands the message of an Error it throws to report; with
// Reported::AllExceptions any other std::exception too (its what()), otherwise that goes
// on to the caller. True when run finished.
bool runAndReport(const std::function<void()>& run, const std::function<void(const std::string&)>& report,
                  Reported which = Reported::Errors);

}  // namespace edlt
