#include "ui/folder_picker.h"

#include <shobjidl.h>
#include <wrl/client.h>

#include <optional>
#include <string>

#include "checks/install_dir_rules.h"
#include "product/installation/install_folder_choice.h"
#include "system/files/file_queries.h"
#include "system/platform/unique_handle.h"
#include "system/platform/wide_string.h"
#include "texts/window_texts.h"
#include "ui/control_text.h"
#include "ui/setup_window_state.h"

namespace koravale {
namespace {

using Microsoft::WRL::ComPtr;

constexpr FILEOPENDIALOGOPTIONS FOLDER_OPTIONS = FOS_NOCHANGEDIR | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST;

void open_in_nearest_folder(IFileOpenDialog& dialog, const std::string& box_text) {
    const std::string start = normalize_install_dir(box_text);
    if (start.empty()) return;
    const std::optional<std::string> folder = nearest_existing_folder(start, is_existing_directory);
    if (!folder) return;
    ComPtr<IShellItem> item;
    if (FAILED(SHCreateItemFromParsingName(to_wide(*folder).c_str(), nullptr, IID_IShellItem, reinterpret_cast<void**>(item.GetAddressOf())))) return;
    dialog.SetFolder(item.Get());
}

// The folder the user confirmed, or none when they cancelled or it has no file-system path.
std::optional<std::string> ask_for_folder(HWND frame, const std::string& box_text) {
    ComPtr<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                reinterpret_cast<void**>(dialog.GetAddressOf())))) {
        return std::nullopt;
    }
    FILEOPENDIALOGOPTIONS options = 0;
    options = SUCCEEDED(dialog->GetOptions(&options)) ? options | FOLDER_OPTIONS : FOLDER_OPTIONS;
    dialog->SetOptions(options);
    dialog->SetTitle(std::wstring(FOLDER_PICKER_TITLE_TEXT).c_str());
    dialog->SetOkButtonLabel(std::wstring(FOLDER_PICKER_OK_TEXT).c_str());
    open_in_nearest_folder(*dialog.Get(), box_text);

    if (FAILED(dialog->Show(frame))) return std::nullopt;
    ComPtr<IShellItem> result;
    if (FAILED(dialog->GetResult(result.GetAddressOf()))) return std::nullopt;
    UniqueCoTaskString path;
    if (FAILED(result->GetDisplayName(SIGDN_FILESYSPATH, path.put())) || !path) return std::nullopt;
    return from_wide_strict(path.get());
}

}  // namespace

void choose_install_folder(const SetupWindowState& state, HWND frame) {
    const std::optional<std::string> picked = ask_for_folder(frame, read_edit_text(state.install_dir));
    if (!picked) return;
    set_control_text(state.install_dir, append_product_folder(normalize_install_dir(*picked)));
    set_control_text(state.progress_text, "");
    refresh_disk_status(state);
}

}  // namespace koravale
