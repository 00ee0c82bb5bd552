// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one way the core reports a failure: an exception carrying the system's own
// message as Windows-1253 text. The layer that shows it adds the place if it knows it.
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

namespace edlt {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& cp1253Message) : std::runtime_error(cp1253Message) {}
    std::string message() const { return what(); }
};

// A conversion error ("'%s' is not a valid integer value" and its kin).
class ConvertError : public Error {
public:
    using Error::Error;
};

// Replaces each "%s" or "%d" in order by the given arguments.
std::string format(std::string_view pattern, std::initializer_list<std::string_view> args);

}  // namespace edlt
