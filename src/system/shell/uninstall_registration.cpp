#include "system/shell/uninstall_registration.h"

#include <windows.h>

#include <type_traits>
#include <vector>

#include "product/identity/product_constants.h"
#include "product/installation/io_failure_text.h"
#include "product/installation/uninstall_registration_values.h"
#include "system/platform/os_error.h"
#include "system/platform/unique_handle.h"
#include "system/platform/wide_string.h"

namespace koravale {
namespace {

CalendarDate local_date() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay};
}

// REG_SZ data counts its terminating NUL; REG_DWORD data is four bytes.
LONG set_value(HKEY key, const RegistrationValue& value) {
    const std::wstring name = to_wide(value.name);
    if (const auto* text = std::get_if<std::string>(&value.data)) {
        const std::wstring wide = to_wide(*text);
        return RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                              static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
    }
    const DWORD number = std::get<std::uint32_t>(value.data);
    return RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
}

}  // namespace

Result<SkippedFailures> write_uninstall_registration(const InstallLayout& layout, std::uint64_t image_bytes) {
    const std::wstring key_path = to_wide(UNINSTALL_KEY_PATH);
    UniqueRegistryKey key;
    DWORD disposition = 0;
    const LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, key_path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        KEY_WRITE, nullptr, key.put(), &disposition);
    if (status != ERROR_SUCCESS) return SetupError{registration_write_failed_message(registry_error_text(status))};
    SkippedFailures skipped;
    for (const RegistrationValue& value : uninstall_registration_values(layout, image_bytes, local_date())) {
        if (const LONG written = set_value(key.get(), value); written != ERROR_SUCCESS) {
            skipped.push_back(describe_failure(WRITE_REGISTRY_VALUE_VERB, value.name, registry_error_text(written)));
        }
    }
    return skipped;
}

std::optional<std::string> read_registration_value(std::string_view name) {
    const std::wstring key_path = to_wide(UNINSTALL_KEY_PATH);
    const std::wstring value_name = to_wide(name);
    std::u16string units;
    {
        UniqueRegistryKey key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, key_path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
            return std::nullopt;
        DWORD type = 0;
        DWORD size = 0;
        // A missing value leaves the size at 0 as well.
        RegQueryValueExW(key.get(), value_name.c_str(), nullptr, &type, nullptr, &size);
        if (size == 0) return std::nullopt;
        // One unit more than the data fills, so the text always ends in a NUL.
        units.assign(size / 2 + 1, u'\0');
        if (RegQueryValueExW(key.get(), value_name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(units.data()),
                             &size) != ERROR_SUCCESS)
            return std::nullopt;
    }
    return registration_text(units);
}

InstalledProduct read_installed_product() {
    const std::optional<std::string> version = read_registration_value("DisplayVersion");
    const std::optional<std::string> location = read_registration_value("InstallLocation");
    return make_installed_product(location, version);
}

Status delete_uninstall_registration() {
    const std::wstring key_path = to_wide(UNINSTALL_KEY_PATH);
    const LONG status = RegDeleteTreeW(HKEY_CURRENT_USER, key_path.c_str());
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) return Done{};
    return describe_failure(DELETE_REGISTRY_KEY_VERB, "HKEY_CURRENT_USER\\" + std::string(UNINSTALL_KEY_PATH),
                            registry_error_text(status));
}

}  // namespace koravale
