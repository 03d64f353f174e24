#pragma once
// Whether anybody can see this process's windows.

namespace koravale {

// False for a service's window station: a message box there waits for an
// answer nobody can give. True when the station cannot be asked.
bool window_station_is_visible();

}  // namespace koravale
