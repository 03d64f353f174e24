// The uninstall registration in a real registry: every value as written,
// and odd data written by hand read back as the program expects.

#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "checks/install_dir_rules.h"
#include "product/identity/product_constants.h"
#include "product/installation/uninstall_registration_values.h"
#include "sequences/install_sequence.h"
#include "support/test_support.h"
#include "system/platform/os_error.h"
#include "system/platform/unique_handle.h"
#include "system/platform/wide_string.h"
#include "system/shell/uninstall_registration.h"
#include "texts/progress_texts.h"

namespace koravale {
namespace {

const std::wstring KEY_PATH = to_wide(UNINSTALL_KEY_PATH);

struct RawValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

std::optional<RawValue> query_raw(const std::string& name) {
    UniqueRegistryKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, KEY_PATH.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return std::nullopt;
    const std::wstring wide = to_wide(name);
    RawValue value;
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), wide.c_str(), nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    value.data.resize(size);
    if (RegQueryValueExW(key.get(), wide.c_str(), nullptr, &value.type, value.data.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    value.data.resize(size);
    return value;
}

std::vector<std::string> value_names() {
    std::vector<std::string> names;
    UniqueRegistryKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, KEY_PATH.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return names;
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        if (RegEnumValueW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.push_back(from_wide_lossy(std::wstring_view(name, length)));
    }
    return names;
}

DWORD value_count() {
    UniqueRegistryKey key;
    DWORD count = 0;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, KEY_PATH.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS)
        RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr,
                         nullptr, nullptr);
    return count;
}

void set_raw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    UniqueRegistryKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, KEY_PATH.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
}

// REG_SZ data as the registry should hold it: UTF-16 with one NUL, counted.
std::vector<BYTE> sz_bytes(const std::string& text) {
    const std::wstring wide = to_wide(text);
    const auto* bytes = reinterpret_cast<const BYTE*>(wide.c_str());
    return {bytes, bytes + (wide.size() + 1) * sizeof(wchar_t)};
}

std::string today() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return install_date_text({now.wYear, now.wMonth, now.wDay});
}

class UninstallRegistration : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(delete_uninstall_registration().ok()); }
    void TearDown() override { EXPECT_TRUE(delete_uninstall_registration().ok()); }

    const UserFolders folders_{.local_app_data = "C:\\Users\\a\\AppData\\Local", .programs = {}, .desktop = {}};
};

TEST_F(UninstallRegistration, WritesEveryValueWithItsTypeAndSize) {
    const InstallLayout layout = make_install_layout("D:\\Apps 播放\\KoraVale", folders_);
    const std::string before = today();
    ASSERT_TRUE(write_uninstall_registration(layout, 7969280).ok());
    const std::string after = today();

    const std::vector<RegistrationValue> table = uninstall_registration_values(layout, 7969280, {});
    std::vector<std::string> written_order;
    for (const RegistrationValue& value : table) written_order.emplace_back(value.name);
    // Exactly these names. Windows lists values in the order they were
    // written; Wine lists them sorted by name, so the order is checked by
    // the host test of the table only.
    std::vector<std::string> listed = value_names();
    std::sort(listed.begin(), listed.end());
    std::sort(written_order.begin(), written_order.end());
    EXPECT_EQ(listed, written_order);
    for (const RegistrationValue& expected : table) {
        const std::string name(expected.name);
        const auto actual = query_raw(name);
        ASSERT_TRUE(actual) << name;
        if (const auto* text = std::get_if<std::string>(&expected.data)) {
            EXPECT_EQ(actual->type, static_cast<DWORD>(REG_SZ)) << name;
            if (name == "InstallDate") {
                EXPECT_TRUE(actual->data == sz_bytes(before) || actual->data == sz_bytes(after));
            } else {
                EXPECT_EQ(actual->data, sz_bytes(*text)) << name;
            }
        } else {
            EXPECT_EQ(actual->type, static_cast<DWORD>(REG_DWORD)) << name;
            ASSERT_EQ(actual->data.size(), 4u) << name;
            DWORD number = 0;
            std::memcpy(&number, actual->data.data(), 4);
            EXPECT_EQ(number, std::get<std::uint32_t>(expected.data)) << name;
        }
    }
    EXPECT_EQ(query_raw("UninstallString")->data, sz_bytes("\"D:\\Apps 播放\\KoraVale\\uninstall.exe\" --uninstall"));
    EXPECT_EQ(read_installed_product(), (InstalledProduct{"D:\\Apps 播放\\KoraVale", "1.4.6"}));
}

TEST_F(UninstallRegistration, AnotherInstallOverwritesItsValuesAndKeepsForeignOnes) {
    ASSERT_TRUE(write_uninstall_registration(make_install_layout("D:\\Old", folders_), 1).ok());
    const wchar_t comment[] = L"kept";
    set_raw(L"Comments", REG_SZ, comment, sizeof(comment));
    ASSERT_TRUE(write_uninstall_registration(make_install_layout("E:\\New", folders_), 1).ok());

    EXPECT_EQ(read_registration_value("InstallLocation"), "E:\\New");
    EXPECT_EQ(read_registration_value("DisplayIcon"), "E:\\New\\KoraVale.exe,0");
    EXPECT_EQ(read_registration_value("QuietUninstallString"), "\"E:\\New\\uninstall.exe\" --uninstall --silent");
    EXPECT_EQ(read_registration_value("Comments"), "kept");
    EXPECT_EQ(value_count(), 14u);
}

TEST_F(UninstallRegistration, ReadsOddDataAsTheProgramExpects) {
    const struct {
        const wchar_t* name;
        DWORD type;
        std::wstring units;  // written exactly, no NUL added
        std::optional<std::string> read;
    } cases[] = {
        {L"NoTerminator", REG_SZ, L"1.4.6", "1.4.6"},
        {L"EmbeddedNul", REG_SZ, std::wstring(L"1.4\0junk\0", 9), "1.4"},
        {L"LineBreakAndBlanks", REG_SZ, std::wstring(L"1.4.6\r\n  \0", 10), "1.4.6"},
        {L"OnlyBlanks", REG_SZ, std::wstring(L"  \t \0", 5), std::nullopt},
        {L"Empty", REG_SZ, L"", std::nullopt},
        {L"OnlyNul", REG_SZ, std::wstring(L"\0", 1), std::nullopt},
        {L"Expandable", REG_EXPAND_SZ, std::wstring(L"%TEMP%\\x\0", 9), "%TEMP%\\x"},
    };
    for (const auto& c : cases)
        set_raw(c.name, c.type, c.units.data(), static_cast<DWORD>(c.units.size() * sizeof(wchar_t)));
    for (const auto& c : cases) EXPECT_EQ(read_registration_value(from_wide_lossy(c.name)), c.read) << from_wide_lossy(c.name);
    EXPECT_EQ(read_registration_value("Missing"), std::nullopt);
}

TEST_F(UninstallRegistration, InstalledProductIsCanonicalAndBlankFieldsAreAbsent) {
    const wchar_t location[] = L"C:/Apps//KoraVale/";
    set_raw(L"InstallLocation", REG_SZ, location, sizeof(location));
    const wchar_t version[] = L"1.4.6\r\n  ";
    set_raw(L"DisplayVersion", REG_SZ, version, sizeof(version));
    EXPECT_EQ(read_installed_product(), (InstalledProduct{normalize_install_dir("C:/Apps//KoraVale/"), "1.4.6"}));

    const wchar_t blanks[] = L"   ";
    set_raw(L"InstallLocation", REG_SZ, blanks, sizeof(blanks));
    set_raw(L"DisplayVersion", REG_SZ, L"", 0);
    EXPECT_EQ(read_installed_product(), InstalledProduct{});
}

TEST_F(UninstallRegistration, DeleteRemovesTheKeyAndAMissingKeyIsNoError) {
    ASSERT_TRUE(write_uninstall_registration(make_install_layout("D:\\Apps", folders_), 1).ok());
    ASSERT_TRUE(delete_uninstall_registration().ok());
    UniqueRegistryKey key;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, KEY_PATH.c_str(), 0, KEY_READ, key.put()),
              static_cast<LONG>(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(delete_uninstall_registration().ok());
    EXPECT_EQ(read_installed_product(), InstalledProduct{});
    // The parent key belongs to the system and stays.
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0,
                            KEY_READ, key.put()),
              ERROR_SUCCESS);
}

TEST_F(UninstallRegistration, AKeyThatCannotBeCreatedFailsWithTheSystemsReason) {
    // HKEY_CURRENT_USER stands for a volatile key, below which no lasting
    // key can be made. (Wine ignores a key's access list, so a denying one
    // would not do.)
    const wchar_t* stand_in_path = L"Software\\KoraValeVolatileStandIn";
    UniqueRegistryKey stand_in;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, stand_in_path, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, stand_in.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, stand_in.get()), ERROR_SUCCESS);
    const Result<SkippedFailures> written = write_uninstall_registration(make_install_layout("D:\\Apps", folders_), 1);
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    stand_in.reset();
    RegDeleteTreeW(HKEY_CURRENT_USER, stand_in_path);

    ASSERT_FALSE(written.ok());
    EXPECT_EQ(written.error().message, "写入系统应用列表注册表失败：" + registry_error_text(ERROR_CHILD_MUST_BE_VOLATILE));
    EXPECT_EQ(value_count(), 0u);
}

// The first failure ends an install: one whose registration cannot be written (as
// above, from that stage on) leaves the one there, the former folder it names, and no player started.
TEST_F(UninstallRegistration, AnInstallWhoseRegistrationFailsStopsThere) {
    const testing_support::TempDir temp;
    const std::wstring old_dir = temp / L"Old", record = temp / L"started.txt";
    ASSERT_TRUE(CreateDirectoryW(old_dir.c_str(), nullptr));
    testing_support::write_file(old_dir + L"\\KoraVale.exe", "the old player");
    ASSERT_TRUE(write_uninstall_registration(make_install_layout(from_wide_lossy(old_dir), folders_), 1).ok());
    SetEnvironmentVariableW(L"KORAVALE_SAMPLE_RECORD", record.c_str());
    UniqueRegistryKey stand_in;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\KoraValeVolatileStandIn", 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, stand_in.put(), nullptr),
              ERROR_SUCCESS);
    InstallRequest request;
    request.directory = from_wide_lossy(temp / L"New");
    request.launch_after = true;
    const Status installed = run_install_sequence(request, [&](std::string_view stage) {
        if (stage == REGISTERING_TEXT) RegOverridePredefKey(HKEY_CURRENT_USER, stand_in.get());
    });
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\KoraValeVolatileStandIn");
    SetEnvironmentVariableW(L"KORAVALE_SAMPLE_RECORD", nullptr);
    ASSERT_FALSE(installed.ok());
    EXPECT_EQ(installed.error().message, "写入系统应用列表注册表失败：" + registry_error_text(ERROR_CHILD_MUST_BE_VOLATILE));
    EXPECT_EQ(read_installed_product().install_location, from_wide_lossy(old_dir));
    EXPECT_EQ(testing_support::read_file(old_dir + L"\\KoraVale.exe"), "the old player");
    Sleep(1000);
    EXPECT_FALSE(testing_support::file_exists(record)) << "the player was started";
}

TEST(PlatformErrorText, ShowsTheSystemsMessageThenTheCode) {
    const std::string denied = registry_error_text(ERROR_ACCESS_DENIED);
    ASSERT_GT(denied.size(), std::string(" (0x80070005)").size()) << denied;
    EXPECT_TRUE(denied.ends_with(" (0x80070005)")) << denied;
    EXPECT_FALSE(denied.starts_with(" ")) << denied;
    EXPECT_EQ(denied.find_first_of("\r\n"), std::string::npos) << denied;
    // A code the system has no message for is shown alone.
    EXPECT_EQ(result_code_text(static_cast<HRESULT>(0xA00BCDEFu)), "0xA00BCDEF");
}

TEST(PlatformErrorText, PrefersTheDescriptionTheFailedCallLeft) {
    Microsoft::WRL::ComPtr<ICreateErrorInfo> created;
    ASSERT_EQ(CreateErrorInfo(created.GetAddressOf()), S_OK);
    created->SetDescription(const_cast<wchar_t*>(L"链接对象拒绝了路径"));
    Microsoft::WRL::ComPtr<IErrorInfo> info;
    ASSERT_EQ(created.As(&info), S_OK);
    ASSERT_EQ(SetErrorInfo(0, info.Get()), S_OK);
    EXPECT_EQ(com_failure_text(E_INVALIDARG), "链接对象拒绝了路径 (0x80070057)");
    // Taken once: the next failure is described by the system again.
    EXPECT_EQ(com_failure_text(E_INVALIDARG), result_code_text(E_INVALIDARG));
}

}  // namespace
}  // namespace koravale
