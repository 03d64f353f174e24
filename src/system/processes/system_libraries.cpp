#include "system/processes/system_libraries.h"

#include <windows.h>

namespace koravale {
namespace {

// The usual targets of a planted DLL beside a downloaded program: none is
// a known DLL, and the common controls and the shell load them on demand.
constexpr const wchar_t* LAZILY_LOADED_LIBRARIES[] = {
    L"uxtheme.dll", L"dwmapi.dll", L"propsys.dll", L"cryptbase.dll", L"version.dll",
};

}  // namespace

void preload_system_libraries() {
    // Restricting the search path does not reach every load: Wine resolves
    // delay-loaded imports along the process's full path, which starts with
    // the program's own folder. A module already loaded is found by name
    // first, wherever a later load would search. Kept until the process
    // ends, so there is nothing to free; a library missing is no failure.
    for (const wchar_t* name : LAZILY_LOADED_LIBRARIES) LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace koravale
