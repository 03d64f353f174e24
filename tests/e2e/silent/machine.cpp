#include "machine.h"

#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>

#include "product/identity/product_constants.h"
#include "support/test_support.h"
#include "system/platform/unique_handle.h"
#include "system/platform/wide_string.h"
#include "system/shell/known_folders.h"

namespace koravale::end_to_end {
namespace {

using namespace testing_support;

const std::wstring UNINSTALL_KEY = to_wide(UNINSTALL_KEY_PATH);

std::wstring folder(const KNOWNFOLDERID& id) { return to_wide(known_folder_path(id).value_or("")); }

}  // namespace

std::wstring join(const std::wstring& dir, const std::wstring& name) { return dir + L"\\" + name; }

UserPlaces user_places() {
    UserPlaces places;
    places.local_app_data = folder(FOLDERID_LocalAppData);
    places.default_install_dir = join(join(places.local_app_data, L"Programs"), L"KoraVale");
    places.data_dir = join(places.local_app_data, L"KoraVale");
    places.start_menu_shortcut = join(folder(FOLDERID_Programs), L"KoraVale.lnk");
    places.desktop_shortcut = join(folder(FOLDERID_Desktop), L"KoraVale.lnk");
    return places;
}

void reset_machine(const UserPlaces& places) {
    RegDeleteTreeW(HKEY_CURRENT_USER, UNINSTALL_KEY.c_str());
    remove_tree(places.default_install_dir);
    remove_tree(places.data_dir);
    DeleteFileW(places.start_menu_shortcut.c_str());
    DeleteFileW(places.desktop_shortcut.c_str());
}

std::optional<std::wstring> registered_text(const wchar_t* name) {
    wchar_t text[2048];
    DWORD size = sizeof(text);
    if (RegGetValueW(HKEY_CURRENT_USER, UNINSTALL_KEY.c_str(), name, RRF_RT_REG_SZ, nullptr, text, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(text);
}

std::optional<DWORD> registered_number(const wchar_t* name) {
    DWORD number = 0;
    DWORD size = sizeof(number);
    if (RegGetValueW(HKEY_CURRENT_USER, UNINSTALL_KEY.c_str(), name, RRF_RT_REG_DWORD, nullptr, &number, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return number;
}

DWORD registered_value_count() {
    UniqueRegistryKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, UNINSTALL_KEY.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return 0;
    DWORD count = 0;
    RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr,
                     nullptr, nullptr);
    return count;
}

void write_registered_text(const wchar_t* name, const std::wstring& text) {
    RegSetKeyValueW(HKEY_CURRENT_USER, UNINSTALL_KEY.c_str(), name, REG_SZ, text.c_str(),
                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

std::optional<DWORD> run_setup(const std::wstring& program, const std::wstring& arguments) {
    std::optional<ChildProcess> setup = ChildProcess::start(quoted(program) + L" " + arguments);
    if (!setup || !setup->wait(60000)) return std::nullopt;
    return setup->exit_code();
}

bool wait_until_gone(const std::wstring& path, DWORD milliseconds) {
    for (DWORD waited = 0; file_exists(path); waited += 100) {
        if (waited >= milliseconds) return false;
        Sleep(100);
    }
    return true;
}

bool wait_for_no_command_shell(DWORD milliseconds) {
    const auto shell_running = [] {
        // A failed snapshot is INVALID_HANDLE_VALUE, as a failed CreateFileW.
        const UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof(entry);
        for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
            if (_wcsicmp(entry.szExeFile, L"cmd.exe") == 0) return true;
        }
        return false;
    };
    for (DWORD waited = 0; shell_running(); waited += 100) {
        if (waited >= milliseconds) return false;
        Sleep(100);
    }
    return true;
}

std::vector<std::wstring> folder_entries(const std::wstring& dir) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    const UniqueFindHandle find(FindFirstFileW((dir + L"\\*").c_str(), &data));
    for (bool more = static_cast<bool>(find); more; more = FindNextFileW(find.get(), &data)) {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace koravale::end_to_end
