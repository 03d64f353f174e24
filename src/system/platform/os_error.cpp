#include "system/platform/os_error.h"

#include <oleauto.h>
#include <wrl/client.h>

#include "common/result_code_text.h"
#include "common/text.h"
#include "system/platform/unique_handle.h"
#include "system/platform/wide_string.h"

namespace koravale {
namespace {

std::string message_for(HRESULT code) {
    std::string message = system_message(static_cast<DWORD>(code)).text;
    // Not every system knows the result-code form of a system error; the
    // error itself has the same message.
    if (message.empty() && HRESULT_FACILITY(code) == FACILITY_WIN32) message = system_message(HRESULT_CODE(code)).text;
    return message;
}

}  // namespace

SystemMessage system_message(DWORD code) {
    UniqueLocalText buffer;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
        reinterpret_cast<wchar_t*>(buffer.put()), 0, nullptr);
    if (length == 0 || !buffer) return {.text = {}, .lookup_error = GetLastError()};
    return {.text = from_wide_lossy(std::wstring_view(buffer.get(), length))};
}

IoError io_error_from_code(DWORD code) {
    const SystemMessage message = system_message(code);
    if (message.text.empty()) return os_io_error_without_message(code, message.lookup_error);
    return os_io_error(code, message.text);
}

IoError last_io_error() { return io_error_from_code(GetLastError()); }

std::string result_code_text(HRESULT code) {
    return describe_result_code(message_for(code), static_cast<std::uint32_t>(code));
}

std::string registry_error_text(LONG status) {
    return result_code_text(static_cast<HRESULT>(result_code_from_status(status)));
}

std::string com_failure_text(HRESULT code) {
    Microsoft::WRL::ComPtr<IErrorInfo> info;
    // GetErrorInfo hands the information over and clears it for the thread.
    if (GetErrorInfo(0, info.GetAddressOf()) == S_OK && info) {
        UniqueBstr description;
        if (SUCCEEDED(info->GetDescription(description.put())) && description) {
            const std::string text = from_wide_lossy(std::wstring_view(description.get(), SysStringLen(description.get())));
            // An empty description says nothing: the system's message then.
            if (!trim_white_space(text).empty()) return describe_result_code(text, static_cast<std::uint32_t>(code));
        }
    }
    return result_code_text(code);
}

}  // namespace koravale
