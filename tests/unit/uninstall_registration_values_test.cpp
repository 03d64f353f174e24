#include "product/installation/uninstall_registration_values.h"

#include <gtest/gtest.h>

#include "checks/install_dir_rules.h"
#include "common/result_code_text.h"
#include "product/installation/installed_product.h"
#include "texts/failure_texts.h"

namespace koravale {
namespace {

using Data = std::variant<std::string, std::uint32_t>;

TEST(UninstallRegistrationValues, AreTheThirteenInTheirOrder) {
    const UserFolders folders{.local_app_data = "C:\\Users\\a\\AppData\\Local", .programs = {}, .desktop = {}};
    const InstallLayout layout = make_install_layout("D:\\My Apps\\KoraVale", folders);
    const std::vector<RegistrationValue> expected = {
        {"DisplayName", Data("KoraVale")},
        {"DisplayVersion", Data("1.4.6")},
        {"Publisher", Data("KoraVale")},
        {"DisplayIcon", Data("D:\\My Apps\\KoraVale\\KoraVale.exe,0")},
        {"InstallLocation", Data("D:\\My Apps\\KoraVale")},
        {"UninstallString", Data("\"D:\\My Apps\\KoraVale\\uninstall.exe\" --uninstall")},
        {"QuietUninstallString", Data("\"D:\\My Apps\\KoraVale\\uninstall.exe\" --uninstall --silent")},
        {"URLInfoAbout", Data("https://koravale.example/")},
        {"InstallDate", Data("20260307")},
        {"BuildCode", Data("202612031556")},
        {"EstimatedSize", Data(std::uint32_t{10283})},
        {"NoModify", Data(std::uint32_t{1})},
        {"NoRepair", Data(std::uint32_t{1})},
    };
    EXPECT_EQ(uninstall_registration_values(layout, 7969280, CalendarDate{2026, 3, 7}), expected);
}

TEST(UninstallRegistrationValues, EstimatedSizeCountsAStartedKilobyteWhole) {
    EXPECT_EQ(estimated_size_kb(0), 2500u);
    EXPECT_EQ(estimated_size_kb(1), 2501u);
    EXPECT_EQ(estimated_size_kb(1024), 2501u);
    EXPECT_EQ(estimated_size_kb(1025), 2502u);
    EXPECT_EQ(estimated_size_kb(7969280), 10283u);
    // An absurd size saturates rather than wrapping to a small number.
    EXPECT_EQ(estimated_size_kb(UINT64_MAX), UINT32_MAX);
    EXPECT_EQ(estimated_size_kb((std::uint64_t{UINT32_MAX} - 2500) * 1024), UINT32_MAX);
}

TEST(UninstallRegistrationValues, InstallDateIsZeroPaddedWithoutSeparators) {
    EXPECT_EQ(install_date_text({2026, 12, 3}), "20261203");
    EXPECT_EQ(install_date_text({999, 1, 9}), "09990109");
}

TEST(UninstallRegistrationValues, WriteFailureNamesTheCause) {
    EXPECT_EQ(registration_write_failed_message("Access is denied. (0x80070005)"),
              "写入系统应用列表注册表失败：Access is denied. (0x80070005)");
}

TEST(RegistrationText, CutsAtTheFirstNulAndTrims) {
    const struct {
        std::u16string units;
        std::optional<std::string> text;
    } cases[] = {
        {u"1.4.6", "1.4.6"},
        {std::u16string(u"1.4.6\0\0", 7), "1.4.6"},
        {std::u16string(u"1.4\0.6", 6), "1.4"},
        {u"1.4.6\r\n  ", "1.4.6"},
        {u" \t\u3000", std::nullopt},
        {u"", std::nullopt},
        {std::u16string(u"\0abc", 4), std::nullopt},
        {u"C:\\\u64ad\u653e", "C:\\\u64ad\u653e"},
        {std::u16string{u'a', static_cast<char16_t>(0xD800)}, "a\uFFFD"},
    };
    for (const auto& c : cases) EXPECT_EQ(registration_text(c.units), c.text);
}

TEST(InstalledProduct, LocationIsCanonicalAndNeverEmpty) {
    EXPECT_EQ(make_installed_product("C:/Apps//KoraVale/", "1.4.6"),
              (InstalledProduct{normalize_install_dir("C:/Apps//KoraVale/"), "1.4.6"}));
    EXPECT_EQ(make_installed_product(std::nullopt, std::nullopt), InstalledProduct{});
    const InstalledProduct only_version = make_installed_product(std::nullopt, "1.0");
    EXPECT_EQ(only_version.install_location, std::nullopt);
    EXPECT_EQ(only_version.installed_version, "1.0");
}

TEST(ResultCodeText, MapsSystemErrorsAndShowsUpperCaseHex) {
    EXPECT_EQ(result_code_from_status(5), 0x80070005u);
    EXPECT_EQ(result_code_from_status(0x12345), 0x80072345u);
    EXPECT_EQ(result_code_from_status(0), 0u);
    EXPECT_EQ(describe_result_code("Access is denied.\r\n", 0x80070005u), "Access is denied. (0x80070005)");
    EXPECT_EQ(describe_result_code("  Not found.  ", 0x800700ABu), "  Not found. (0x800700AB)");
    EXPECT_EQ(describe_result_code("", 0x80004003u), "0x80004003");
    EXPECT_EQ(describe_result_code(" \r\n", 0xDEADBEEFu), "0xDEADBEEF");
}

}  // namespace
}  // namespace koravale
