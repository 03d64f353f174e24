#pragma once
// The user's machine as the end-to-end tests see it: where an install
// lands, what the registration says, and a way back to a clean state.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace koravale::end_to_end {

struct UserPlaces {
    std::wstring local_app_data;
    std::wstring default_install_dir;  // ...\Programs\KoraVale
    std::wstring data_dir;             // ...\KoraVale
    std::wstring start_menu_shortcut;
    std::wstring desktop_shortcut;
};

UserPlaces user_places();

// No registration, no default install, no shortcuts, no data directory.
void reset_machine(const UserPlaces& places);

std::optional<std::wstring> registered_text(const wchar_t* name);
std::optional<DWORD> registered_number(const wchar_t* name);
DWORD registered_value_count();  // 0 when the key is missing
void write_registered_text(const wchar_t* name, const std::wstring& text);

// Runs a setup program with the arguments and returns its exit status
// (none when it did not end within a minute).
std::optional<DWORD> run_setup(const std::wstring& program, const std::wstring& arguments);

std::wstring join(const std::wstring& dir, const std::wstring& name);
bool wait_until_gone(const std::wstring& path, DWORD milliseconds);
// True when no command shell runs any more (a self-removal has ended) within the time.
bool wait_for_no_command_shell(DWORD milliseconds);
// The names in a folder, sorted, without "." and "..".
std::vector<std::wstring> folder_entries(const std::wstring& dir);

}  // namespace koravale::end_to_end
