#include "system/os_error.h"

#include "system/wide_string.h"

namespace koravale {

IoError io_error_from_code(DWORD code) {
    wchar_t message[2048];
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                        message, static_cast<DWORD>(std::size(message)), nullptr);
    if (length == 0) return os_io_error_without_message(code, GetLastError());
    return os_io_error(code, from_wide_lossy(std::wstring_view(message, length)));
}

IoError last_io_error() { return io_error_from_code(GetLastError()); }

}  // namespace koravale
