#include "system/processes/dpi_functions.h"

namespace koravale {
namespace {

// user32 is always loaded: the program imports other calls from it.
template <typename Function>
Function* user32_function(const char* name) {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr) return nullptr;
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

}  // namespace

void set_per_monitor_dpi_awareness() {
    using SetContext = BOOL WINAPI(DPI_AWARENESS_CONTEXT);
    if (SetContext* set_context = user32_function<SetContext>("SetProcessDpiAwarenessContext")) {
        set_context(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    }
}

unsigned window_dpi(HWND window) {
    using GetDpi = UINT WINAPI(HWND);
    GetDpi* get_dpi = user32_function<GetDpi>("GetDpiForWindow");
    return get_dpi != nullptr ? get_dpi(window) : 0;
}

}  // namespace koravale
