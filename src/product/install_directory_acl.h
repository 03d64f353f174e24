#pragma once
// The access list an install directory gets when an install creates it.
// Outside the user's profile a new folder would inherit entries that let
// every other account replace the program the user starts; this list
// lets only the user, the system and administrators change anything in it.

#include <string>
#include <string_view>

namespace koravale {

// SDDL: a protected list ("P", nothing inherited from the parent) that
// grants full control ("FA") to the user's SID, SYSTEM and Administrators,
// each inherited by files ("OI") and folders ("CI") below.
std::string install_directory_sddl(std::string_view user_sid);

}  // namespace koravale
