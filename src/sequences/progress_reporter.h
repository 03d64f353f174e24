#pragma once
// How a sequence tells its caller which stage it is in: the window shows
// each text, a silent run passes nothing.

#include <functional>
#include <string_view>

namespace koravale {

using ProgressReporter = std::function<void(std::string_view text)>;

inline void report(const ProgressReporter& progress, std::string_view text) {
    if (progress) progress(text);
}

}  // namespace koravale
