#pragma once
// Waiting for something another process holds: a bounded number of
// attempts, with a fixed pause after each one that did not succeed.

#include <windows.h>

namespace koravale {

// Calls `attempt` until it returns true, at most `attempts` times, and
// sleeps `pause_ms` after every call that returned false, the last one
// included. An attempt that meets a failure no waiting can mend returns
// true as well and keeps what it met. True when some call returned true.
template <typename Attempt>
bool retry_with_pauses(int attempts, DWORD pause_ms, Attempt&& attempt) {
    for (int made = 0; made < attempts; ++made) {
        if (attempt()) return true;
        Sleep(pause_ms);
    }
    return false;
}

}  // namespace koravale
