#include "system/processes/window_station.h"

#include <windows.h>

namespace koravale {

bool window_station_is_visible() {
    const HWINSTA station = GetProcessWindowStation();  // not to be closed
    USEROBJECTFLAGS flags{};
    if (station == nullptr ||
        !GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof(flags), nullptr)) {
        return true;
    }
    return (flags.dwFlags & WSF_VISIBLE) != 0;
}

}  // namespace koravale
