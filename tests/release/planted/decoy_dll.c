// A planted DLL: each time it is loaded it adds a line to a marker file
// named after itself (version.dll.loaded, ...) in the folder named by
// KORAVALE_DECOY_MARKERS, or beside itself when that is not set. Copied
// under the names that programs load lazily from their own folder.

#include <windows.h>

#include <stdio.h>
#include <wchar.h>

static void leave_marker(HINSTANCE self) {
    wchar_t own_path[MAX_PATH];
    DWORD length = GetModuleFileNameW(self, own_path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    const wchar_t* own_name = wcsrchr(own_path, L'\\');
    own_name = own_name ? own_name + 1 : own_path;

    wchar_t folder[MAX_PATH];
    DWORD folder_length = GetEnvironmentVariableW(L"KORAVALE_DECOY_MARKERS", folder, MAX_PATH);
    if (folder_length == 0 || folder_length >= MAX_PATH) {
        wcscpy(folder, own_path);
        wchar_t* separator = wcsrchr(folder, L'\\');
        if (separator) *separator = L'\0';
    }
    wchar_t marker[2 * MAX_PATH + 16];
    _snwprintf(marker, sizeof marker / sizeof marker[0], L"%ls\\%ls.loaded", folder, own_name);
    marker[sizeof marker / sizeof marker[0] - 1] = L'\0';
    HANDLE file = CreateFileW(marker, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return;
    char line[16];
    int line_length = _snprintf(line, sizeof line, "%lu\n", GetCurrentProcessId());
    DWORD written = 0;
    if (line_length > 0) WriteFile(file, line, (DWORD)line_length, &written, NULL);
    CloseHandle(file);
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) leave_marker(self);
    return TRUE;
}
