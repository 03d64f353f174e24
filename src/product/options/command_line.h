#pragma once
// Splitting the process command line the way the Microsoft C runtime does,
// so that what a user typed in a shell or shortcut reaches us unchanged.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace koravale {

// The first argument is the program name (quotes toggle, no escapes); the
// rest follow the C runtime's backslash and quote rules. An empty command
// line gives no arguments; the caller substitutes the program's own path.
std::vector<std::u16string> split_command_line(std::u16string_view command_line);

// The arguments after the program name, as UTF-8. None when any of them
// holds an unpaired surrogate: such a run stops before it changes anything.
std::optional<std::vector<std::string>> option_arguments(std::span<const std::u16string> arguments);

}  // namespace koravale
