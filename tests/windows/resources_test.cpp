// The identity of the built setup program, read back as Windows reads it.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "support/test_support.h"

namespace koravale {
namespace {

using namespace testing_support;

class SetupResources : public testing::Test {
protected:
    void SetUp() override {
        module_.reset(LoadLibraryExW(setup_.c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        ASSERT_TRUE(module_) << "cannot load " << GetLastError();
    }

    std::string resource(LPCWSTR type, LPCWSTR name) const {
        HRSRC found = FindResourceW(module_.get(), name, type);
        if (found == nullptr) return {};
        HGLOBAL loaded = LoadResource(module_.get(), found);
        const auto* bytes = static_cast<const char*>(LockResource(loaded));
        return std::string(bytes, SizeofResource(module_.get(), found));
    }

    const std::wstring setup_ = build_file("KORAVALE_SETUP_EXE");
    UniqueModule module_;
};

TEST_F(SetupResources, VersionBlockNamesTheProductAndBuild) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(setup_.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::string block(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoW(setup_.c_str(), 0, size, block.data()));

    const auto text = [&](const wchar_t* name) {
        void* value = nullptr;
        UINT length = 0;
        const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        if (!VerQueryValueW(block.data(), query.c_str(), &value, &length)) return std::wstring(L"<missing>");
        return std::wstring(static_cast<const wchar_t*>(value));
    };
    EXPECT_EQ(text(L"FileVersion"), L"1.4.6 (202612031556)");
    EXPECT_EQ(text(L"ProductVersion"), L"1.4.6");
    EXPECT_EQ(text(L"FileDescription"), L"KoraVale \u5b89\u88c5\u7a0b\u5e8f");

    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u);  // exactly one translation
    const auto* translation = static_cast<const WORD*>(value);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 1200);

    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", &value, &length));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(4, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(0, 6));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST_F(SetupResources, ManifestAsksForNoElevationAndPerMonitorDpi) {
    const std::string manifest = resource(RT_MANIFEST, MAKEINTRESOURCEW(1));
    ASSERT_FALSE(manifest.empty());
    for (const char* fragment : {
             R"(version="1.4.6.0")", R"(processorArchitecture="amd64")", R"(type="win32")",
             "<description>KoraVale Setup</description>", R"(level="asInvoker")", R"(uiAccess="false")",
             R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0")",
             R"(<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>)",
             ">true/pm</dpiAware>", ">PerMonitorV2</dpiAwareness>", ">true</longPathAware>"}) {
        EXPECT_NE(manifest.find(fragment), std::string::npos) << fragment;
    }
}

#pragma pack(push, 2)
struct IconGroupHeader {
    WORD reserved, type, count;
};
struct IconGroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bit_count;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST_F(SetupResources, IconGroupOneHoldsSevenPngImages) {
    const std::string group = resource(RT_GROUP_ICON, MAKEINTRESOURCEW(1));
    ASSERT_GE(group.size(), sizeof(IconGroupHeader));
    const auto* header = reinterpret_cast<const IconGroupHeader*>(group.data());
    ASSERT_EQ(header->type, 1);
    ASSERT_EQ(group.size(), sizeof(IconGroupHeader) + header->count * sizeof(IconGroupEntry));
    const auto* entries = reinterpret_cast<const IconGroupEntry*>(group.data() + sizeof(IconGroupHeader));

    std::set<int> sizes;
    for (WORD i = 0; i < header->count; ++i) {
        const IconGroupEntry& entry = entries[i];
        const int size = entry.width == 0 ? 256 : entry.width;
        sizes.insert(size);
        EXPECT_EQ(entry.bit_count, 32) << size;
        const std::string image = resource(RT_ICON, MAKEINTRESOURCEW(entry.id));
        ASSERT_GT(image.size(), 24u) << size;
        EXPECT_EQ(image.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8)) << size;
        const auto byte = [&](int at) { return static_cast<unsigned char>(image[at]); };
        const int png_width = (byte(16) << 24) | (byte(17) << 16) | (byte(18) << 8) | byte(19);
        EXPECT_EQ(png_width, size);
        EXPECT_EQ(byte(24), 8) << "bit depth";
        EXPECT_EQ(byte(25), 6) << "colour type RGBA";
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 24, 32, 48, 64, 128, 256}));
}

}  // namespace
}  // namespace koravale
