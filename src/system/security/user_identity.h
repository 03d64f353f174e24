#pragma once
// Who this process runs as, in the forms the security calls want. The
// errors say why, in the run log's words.

#include <windows.h>

#include <string>
#include <vector>

#include "common/result.h"

namespace koravale {

// A copy of the SID of the process token's user.
Result<std::vector<BYTE>> current_user_sid();

// "S-1-5-21-…".
Result<std::string> sid_text(PSID sid);

// The same for the process token's user.
Result<std::string> current_user_sid_text();

// Whether the system can name no account for the SID: one of an account
// deleted since, or of an earlier installation of Windows. A lookup that
// fails otherwise (a domain out of reach) says nothing of the kind.
bool names_no_account(PSID sid);

}  // namespace koravale
