#pragma once
// Who may use the setup lock. With the system's default, the lock of an
// elevated run would carry the administrators' list and a high integrity
// label, and the user's normal run could not even wait on it.

#include <string>
#include <string_view>

namespace koravale {

// SDDL: owned by the user (so that the check for a lock made by another
// account passes however the run was started), waiting and releasing
// (SYNCHRONIZE, MUTEX_MODIFY_STATE) and reading the owner (READ_CONTROL)
// for the user, SYSTEM and Administrators, and a medium integrity label
// that lets a normal run in.
std::string setup_lock_sddl(std::string_view user_sid);

// The same without the label, for a system that will not take one.
std::string setup_lock_sddl_without_label(std::string_view user_sid);

}  // namespace koravale
