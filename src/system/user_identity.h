#pragma once
// Who this process runs as, in the forms the security calls want.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace koravale {

// The user of the process token, as a copy of its SID; none when the token
// cannot be read.
std::optional<std::vector<BYTE>> current_user_sid();

// "S-1-5-21-…"; none when the SID cannot be turned into text.
std::optional<std::string> sid_text(PSID sid);

}  // namespace koravale
