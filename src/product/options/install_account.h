#pragma once
// Who may install. KoraVale installs per user: an install made as one of
// the system's service accounts lands in that account's profile and
// registry, where no user ever sees it.

#include <string_view>

namespace koravale {

// LocalSystem, LocalService or NetworkService, from the text of a SID ("S-1-5-18").
bool is_service_account(std::string_view user_sid);

}  // namespace koravale
