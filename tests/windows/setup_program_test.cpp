// The built setup program as a user starts it.

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace koravale {
namespace {

using namespace testing_support;

TEST(SetupProgram, StopsAtOnceOnAnArgumentThatIsNotUtf16) {
    TempDir dir;
    const std::wstring target = dir / L"KoraVale";
    const std::wstring broken(1, static_cast<wchar_t>(0xDC00));
    auto setup = ChildProcess::start(quoted(build_file("KORAVALE_SETUP_EXE")) + L" /S --dir " + quoted(target) +
                                     L" --wait-pid " + broken);
    ASSERT_TRUE(setup);
    ASSERT_TRUE(setup->wait(30000));
    EXPECT_EQ(setup->exit_code(), 1u);
    EXPECT_FALSE(file_exists(target));
}

}  // namespace
}  // namespace koravale
