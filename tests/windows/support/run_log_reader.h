#pragma once
// Reading back a run log the setup program wrote under --log.

#include <string>
#include <vector>

namespace koravale::testing_support {

// The events of a run log: every line checked for its time stamp (local
// time to the millisecond, never going back) and the stamp cut off.
std::vector<std::string> logged_events(const std::wstring& log_file);

// "KoraVale setup 1.4.6, build ...": the first event of every run.
std::string program_event_text();

}  // namespace koravale::testing_support
