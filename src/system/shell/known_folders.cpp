#include "system/shell/known_folders.h"

#include "product/installation/install_layout.h"
#include "system/platform/grown_buffer.h"
#include "system/platform/unique_handle.h"
#include "system/platform/wide_string.h"

namespace koravale {

std::optional<std::string> known_folder_path(const KNOWNFOLDERID& folder) {
    UniqueCoTaskString path;
    if (FAILED(SHGetKnownFolderPath(folder, KF_FLAG_DEFAULT, nullptr, path.put()))) return std::nullopt;
    if (!path) return std::nullopt;
    return from_wide_strict(path.get());
}

std::optional<std::string> environment_variable(std::string_view name) {
    const std::wstring wide_name = to_wide(name);
    // Unset and set to nothing both answer 0.
    const std::optional<std::wstring> value = text_from_growing_buffer(
        [&](wchar_t* buffer, DWORD size) { return GetEnvironmentVariableW(wide_name.c_str(), buffer, size); }, 64);
    if (!value) return std::nullopt;
    return from_wide_strict(*value);
}

Result<std::string> local_app_data_dir() {
    return choose_local_app_data(known_folder_path(FOLDERID_LocalAppData), environment_variable("LOCALAPPDATA"));
}

}  // namespace koravale
