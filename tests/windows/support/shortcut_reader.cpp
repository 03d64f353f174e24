#include "support/shortcut_reader.h"

#include <objidl.h>
#include <shlobj.h>
#include <wrl/client.h>

#include "system/platform/wide_string.h"

namespace koravale::testing_support {

using Microsoft::WRL::ComPtr;

std::optional<ShortcutContents> read_shortcut(const std::string& path) {
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(link.GetAddressOf()))) ||
        FAILED(link.As(&file)) || FAILED(file->Load(to_wide(path).c_str(), STGM_READ)))
        return std::nullopt;
    wchar_t text[1024];
    ShortcutContents contents;
    // The target through its item list: Wine's GetPath after a Load gives
    // the link's ANSI copy of the path, with "?" for characters outside
    // the code page; Windows answers from the Unicode data.
    PIDLIST_ABSOLUTE items = nullptr;
    if (SUCCEEDED(link->GetIDList(&items)) && items != nullptr) {
        if (SHGetPathFromIDListW(items, text)) contents.target = text;
        CoTaskMemFree(items);
    }
    if (SUCCEEDED(link->GetWorkingDirectory(text, 1024))) contents.working_dir = text;
    if (SUCCEEDED(link->GetIconLocation(text, 1024, &contents.icon_index))) contents.icon = text;
    if (SUCCEEDED(link->GetDescription(text, 1024))) contents.description = text;
    if (SUCCEEDED(link->GetArguments(text, 1024))) contents.arguments = text;
    return contents;
}


}  // namespace koravale::testing_support
