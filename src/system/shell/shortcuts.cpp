#include "system/shell/shortcuts.h"

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>
#include <wrl/client.h>

#include "product/identity/product_constants.h"
#include "product/installation/io_failure_text.h"
#include "system/files/file_deletion.h"
#include "system/files/file_queries.h"
#include "system/files/parent_folders.h"
#include "system/platform/os_error.h"
#include "system/platform/wide_string.h"
#include "texts/shell_texts.h"

namespace koravale {
namespace {

using Microsoft::WRL::ComPtr;

SetupError shell_failure(std::string_view prefix, HRESULT code) {
    return SetupError{std::string(prefix) + com_failure_text(code)};
}

}  // namespace

Status create_shortcut(const std::string& shortcut_path, const std::string& target_path,
                       const std::string& working_dir) {
    const std::wstring link_path = to_wide(shortcut_path);
    const std::wstring target = to_wide(target_path);
    const std::wstring directory = to_wide(working_dir);
    const std::wstring description = to_wide(SHORTCUT_DESCRIPTION);
    create_parent_folders(link_path);  // one that cannot be made shows up as a failed save
    // Information left over from an earlier call must not explain this one's failure.
    SetErrorInfo(0, nullptr);

    // Declared in this order so the file interface is released before the link.
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                      reinterpret_cast<void**>(link.GetAddressOf()));
    if (SUCCEEDED(result) && !link) result = E_POINTER;
    if (FAILED(result)) return shell_failure(SHORTCUT_OBJECT_FAILED_PREFIX, result);

    if (FAILED(result = link->SetPath(target.c_str())) ||
        FAILED(result = link->SetWorkingDirectory(directory.c_str())) ||
        FAILED(result = link->SetIconLocation(target.c_str(), 0)) ||
        FAILED(result = link->SetDescription(description.c_str())))
        return shell_failure("", result);

    result = link.As(&file);
    if (SUCCEEDED(result) && !file) result = E_POINTER;
    if (FAILED(result)) return shell_failure("", result);

    result = file->Save(link_path.c_str(), TRUE);
    if (FAILED(result)) return shell_failure(SHORTCUT_SAVE_FAILED_PREFIX, result);
    return Done{};
}

SkippedFailures create_install_shortcuts(const InstallLayout& layout, bool desktop_wanted, bool location_changed) {
    SkippedFailures skipped;
    const auto create = [&](const std::string& shortcut_path) {
        const Status created = create_shortcut(shortcut_path, layout.app_exe, layout.install_dir);
        if (!created) skipped.push_back(describe_failure(CREATE_SHORTCUT_VERB, shortcut_path, created.error().message));
    };
    if (layout.start_menu_shortcut) create(*layout.start_menu_shortcut);
    if (!layout.desktop_shortcut) return skipped;
    // An unwanted desktop shortcut is still moved along with the installation,
    // but never created afresh nor deleted.
    const bool rewrite = desktop_wanted || (location_changed && path_exists(*layout.desktop_shortcut));
    if (rewrite) create(*layout.desktop_shortcut);
    return skipped;
}

SkippedFailures remove_shortcuts(const InstallLayout& layout) {
    SkippedFailures skipped;
    for (const std::optional<std::string>& shortcut : {layout.start_menu_shortcut, layout.desktop_shortcut}) {
        if (shortcut) add_if_failed(skipped, delete_file_best_effort(*shortcut));
    }
    return skipped;
}

}  // namespace koravale
