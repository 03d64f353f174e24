#include "system/known_folders.h"

#include "product/install_layout.h"
#include "system/unique_handle.h"
#include "system/wide_string.h"

namespace koravale {

std::optional<std::string> known_folder_path(const KNOWNFOLDERID& folder) {
    UniqueCoTaskString path;
    if (FAILED(SHGetKnownFolderPath(folder, KF_FLAG_DEFAULT, nullptr, path.put()))) return std::nullopt;
    if (!path) return std::nullopt;
    return from_wide_strict(path.get());
}

std::optional<std::string> environment_variable(std::string_view name) {
    const std::wstring wide_name = to_wide(name);
    std::wstring value(64, L'\0');
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        const DWORD length = GetEnvironmentVariableW(wide_name.c_str(), value.data(),
                                                     static_cast<DWORD>(value.size()));
        if (length == 0) return std::nullopt;  // unset, or set to nothing
        if (length < value.size()) {
            value.resize(length);
            return from_wide_strict(value);
        }
        value.resize(length);  // too small: length counts the terminating NUL
    }
}

Result<std::string> local_app_data_dir() {
    return choose_local_app_data(known_folder_path(FOLDERID_LocalAppData), environment_variable("LOCALAPPDATA"));
}

}  // namespace koravale
