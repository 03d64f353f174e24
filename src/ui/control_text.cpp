#include "ui/control_text.h"

#include <vector>

#include "checks/disk_readiness.h"
#include "system/files/file_queries.h"
#include "system/platform/wide_string.h"
#include "ui/setup_window_state.h"

namespace koravale {

std::string read_edit_text(HWND control) {
    if (control == nullptr) return {};
    const int length = GetWindowTextLengthW(control);
    if (length <= 0) return {};
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
    const int copied = GetWindowTextW(control, buffer.data(), length + 1);
    return from_wide_lossy(std::wstring_view(buffer.data(), copied > 0 ? static_cast<std::size_t>(copied) : 0));
}

void set_control_text(HWND control, std::string_view text) {
    if (control == nullptr) return;
    SetWindowTextW(control, to_wide(text).c_str());
}

void refresh_disk_status(const SetupWindowState& state) {
    if (state.install_dir == nullptr || state.disk_status == nullptr) return;
    set_control_text(state.disk_status,
                     describe_directory_status(read_edit_text(state.install_dir), platform_disk_queries()));
}

bool is_checked(HWND check_box) {
    return check_box != nullptr && SendMessageW(check_box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace koravale
