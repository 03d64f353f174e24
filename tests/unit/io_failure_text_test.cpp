#include "product/installation/io_failure_text.h"

#include <gtest/gtest.h>

namespace koravale {
namespace {

const std::string PERMISSION_TEXT_FOR_D_APPS =
    "没有权限创建安装目录 D:\\Apps（例如 Program Files 需要管理员权限）。\n"
    "请选择其他目录（如 D:\\KoraVale 或用户目录），或右键以管理员身份运行安装程序。";

TEST(DescribeIoFailure, AccessDeniedCodesGiveThePermissionHintWithoutTheSystemText) {
    for (const std::uint32_t code : {5u, 10013u}) {
        EXPECT_EQ(describe_io_failure("创建安装目录", "D:\\Apps", os_io_error(code, "Access denied.")).message,
                  PERMISSION_TEXT_FOR_D_APPS);
    }
    const IoError classed{.os_code = std::nullopt, .text = "own", .permission_denied = true};
    EXPECT_EQ(describe_io_failure("创建安装目录", "D:\\Apps", classed).message, PERMISSION_TEXT_FOR_D_APPS);
}

TEST(DescribeIoFailure, OtherCodesShowVerbPathAndTrimmedSystemText) {
    EXPECT_EQ(describe_io_failure("写入程序文件", "D:\\A b\\KoraVale.exe.new",
                                  os_io_error(112, "There is not enough space on the disk.\r\n"))
                  .message,
              "写入程序文件 D:\\A b\\KoraVale.exe.new 失败：There is not enough space on the disk. (os error 112)");
    EXPECT_EQ(os_io_error(3, "  path\t\r\n \u3000").text, "  path (os error 3)");  // only the end is trimmed
}

TEST(DescribeIoFailure, MissingSystemMessageAndOwnDescriptions) {
    EXPECT_EQ(os_io_error_without_message(4000000000u, 317).text,
              "OS Error 4000000000 (FormatMessageW() returned error 317) (os error 4000000000)");
    const IoError own{.os_code = std::nullopt, .text = "nothing written"};
    EXPECT_EQ(describe_io_failure("写入程序文件", "C:\\x", own).message, "写入程序文件 C:\\x 失败：nothing written");
}

}  // namespace
}  // namespace koravale
