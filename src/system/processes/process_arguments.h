#pragma once

#include <string>
#include <vector>

namespace koravale {

// The process command line split into arguments; when the command line is
// missing or empty, the running executable's path is the only argument.
std::vector<std::u16string> process_arguments();

}  // namespace koravale
