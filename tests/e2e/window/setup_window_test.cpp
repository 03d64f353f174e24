// The setup window as a user meets it: started, read, typed into, clicked,
// its message boxes answered, and what it left on disk checked.

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/run_log_reader.h"
#include "support/test_support.h"
#include "support/window_driver.h"
#include "system/platform/wide_string.h"
#include "system/security/setup_lock.h"

namespace koravale {
namespace {

using namespace testing_support;
using namespace window_testing;

constexpr wchar_t SETUP_CLASS[] = L"KoraValeSetupWnd";
constexpr wchar_t REGISTRATION_KEY[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KoraVale";
constexpr int IDC_DESKTOP_SHORTCUT = 1001;
constexpr int IDC_LAUNCH_AFTER = 1002;
constexpr int IDC_PURGE_DATA = 1003;
constexpr int IDC_INSTALL_DIR = 1004;
constexpr int IDC_BROWSE = 1005;
constexpr int IDC_DISK_STATUS = 1006;
constexpr int IDC_MAIN_ACTION = 1010;
constexpr int IDC_CANCEL = 1011;
constexpr int IDC_PROGRESS_TEXT = 1020;
// What the user can act on in the install forms.
constexpr std::array<int, 6> INSTALL_CONTROLS = {IDC_INSTALL_DIR, IDC_BROWSE, IDC_DESKTOP_SHORTCUT,
                                                 IDC_LAUNCH_AFTER, IDC_MAIN_ACTION, IDC_CANCEL};

void set_registry_value(HKEY root, const wchar_t* key, const wchar_t* name, const std::wstring& text) {
    HKEY opened = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr), ERROR_SUCCESS);
    RegSetValueExW(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(opened);
}

void set_log_pixels(DWORD dpi) {
    HKEY opened = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(opened, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof(dpi));
    RegCloseKey(opened);
}

void register_installed(const std::wstring& version, const std::wstring& location) {
    set_registry_value(HKEY_CURRENT_USER, REGISTRATION_KEY, L"DisplayVersion", version);
    set_registry_value(HKEY_CURRENT_USER, REGISTRATION_KEY, L"InstallLocation", location);
}

bool registered() {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, REGISTRATION_KEY, 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    RegCloseKey(opened);
    return true;
}

std::wstring known_folder(const KNOWNFOLDERID& folder) {
    wchar_t* path = nullptr;
    SHGetKnownFolderPath(folder, 0, nullptr, &path);
    std::wstring result = path != nullptr ? path : L"";
    CoTaskMemFree(path);
    return result;
}

std::wstring local_app_data() { return known_folder(FOLDERID_LocalAppData); }

// Kept for a person to look at: text clipped or overlapping shows only there.
void keep_screenshot(HWND frame, const std::string& form, const std::string& suffix) {
    if (std::getenv("KORAVALE_SCREENSHOT_DIR") == nullptr) return;
    const std::wstring dir = build_file("KORAVALE_SCREENSHOT_DIR");
    CreateDirectoryW(dir.c_str(), nullptr);
    const std::string name = form + suffix;
    EXPECT_TRUE(save_screenshot(frame, dir + L"\\" + std::wstring(name.begin(), name.end()) + L".bmp"));
}

bool starts_with(const std::wstring& text, const std::wstring& prefix) { return text.rfind(prefix, 0) == 0; }

// One run of the setup program with its window found.
struct SetupRun {
    std::optional<ChildProcess> process;
    HWND frame = nullptr;

    HWND operator[](int id) const { return control(frame, id); }
    DWORD id() const { return process->id(); }
    bool closed_with(DWORD status) const { return process->wait(WINDOW_TIMEOUT_MS) && process->exit_code() == status; }
};

SetupRun start_setup(const std::wstring& program, const std::wstring& arguments) {
    SetupRun run;
    run.process = ChildProcess::start(quoted(program) + L" " + arguments);
    if (run.process) run.frame = run.process->wait_for_window(SETUP_CLASS, WINDOW_TIMEOUT_MS);
    // The frame exists before its children: wait until it is shown and its loop answers.
    if (run.frame != nullptr && !wait_until([&] { return IsWindowVisible(run.frame) != FALSE; })) run.frame = nullptr;
    if (run.frame != nullptr) text_of(run.frame);
    return run;
}

SetupRun start_setup(const std::wstring& arguments = L"") {
    return start_setup(build_file("KORAVALE_SETUP_EXE"), arguments);
}

// A run followed to its end: each progress text as it changed, and whether a
// dialog of the process was ever there. Polling may miss a text that passes
// quickly, never reorder them.
struct WatchedRun {
    bool ended = false;
    bool dialog_seen = false;
    std::vector<std::wstring> progress;
};

WatchedRun watch_to_the_end(const SetupRun& setup, DWORD milliseconds = 60000) {
    WatchedRun watched;
    const HWND progress = setup[IDC_PROGRESS_TEXT];
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    while (!(watched.ended = setup.process->wait(0)) && GetTickCount64() < deadline) {
        const std::wstring text = text_of(progress);
        if (!text.empty() && (watched.progress.empty() || watched.progress.back() != text)) watched.progress.push_back(text);
        watched.dialog_seen = watched.dialog_seen || has_dialog(setup.id());
    }
    return watched;
}

void install_silently(const std::wstring& dir) {
    auto setup = ChildProcess::start(quoted(build_file("KORAVALE_SETUP_EXE")) + L" /S --dir " + quoted(dir));
    ASSERT_TRUE(setup);
    ASSERT_TRUE(setup->wait(60000));
    ASSERT_EQ(setup->exit_code(), 0u);
}

class SetupWindow : public ::testing::Test {
protected:
    void SetUp() override {
        // Sizes read from the window in its own pixels, whatever the DPI.
        SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
        RegDeleteTreeW(HKEY_CURRENT_USER, REGISTRATION_KEY);
        set_log_pixels(96);
        // The player the window starts must not outlive the test.
        SetEnvironmentVariableW(L"KORAVALE_SAMPLE_EXIT_AFTER_MS", L"2000");
        SetEnvironmentVariableW(L"KORAVALE_SAMPLE_RECORD", nullptr);
        SetEnvironmentVariableW(L"KORAVALE_SAMPLE_HOLD_FILE_MS", nullptr);
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, REGISTRATION_KEY);
        set_log_pixels(96);
    }
};

// ---------------------------------------------------------------- the four forms

enum class Form { Fresh, Upgrade, Reinstall, Uninstall };

struct FormCase {
    Form form;
    const char* name;
    const wchar_t* title;
    const wchar_t* heading;
    const wchar_t* description;
    const wchar_t* main_action;
    SIZE client_96;
    SIZE client_144;
};

const std::array<FormCase, 4> FORMS = {{
    {Form::Fresh, "fresh", L"安装 KoraVale 1.4.6", L"KoraVale 1.4.6",
     L"纯原生 Windows 64 位 IPTV 播放器，免管理员权限、零运行库依赖。", L"立即安装", {480, 348}, {720, 522}},
    {Form::Upgrade, "upgrade", L"升级 KoraVale 1.4.6", L"升级 KoraVale（1.4.5 → 1.4.6）",
     L"检测到已安装版本，覆盖升级会完整保留您的播放源、收藏与授权。", L"立即升级", {480, 348}, {720, 522}},
    {Form::Reinstall, "reinstall", L"重新安装 KoraVale 1.4.6", L"重新安装 KoraVale 1.4.6",
     L"已安装相同版本，覆盖安装会完整保留您的播放源、收藏与授权。", L"覆盖安装", {480, 348}, {720, 522}},
    {Form::Uninstall, "uninstall", L"卸载 KoraVale", L"卸载 KoraVale", L"将移除 KoraVale 程序、开始菜单与桌面快捷方式。",
     L"确认卸载", {480, 274}, {720, 411}},
}};

class SetupWindowForm : public SetupWindow, public ::testing::WithParamInterface<FormCase> {
protected:
    // Registers what the form needs and starts the window.
    SetupRun open(const std::wstring& registered_dir) {
        const FormCase& c = GetParam();
        if (c.form == Form::Upgrade) register_installed(L"1.4.5", registered_dir);
        if (c.form == Form::Reinstall) register_installed(L"1.4.6", registered_dir);
        if (c.form == Form::Uninstall) register_installed(L"1.4.6", registered_dir);
        return start_setup(c.form == Form::Uninstall ? L"--uninstall" : L"");
    }
};

// An "&" in a line's text is drawn as written: taking it out makes the line
// narrower. As an accelerator mark it would draw only an underline under the
// next letter, and taking it out would change nothing but that underline.
void expect_ampersands_drawn(HWND line) {
    const std::wstring text = text_of(line);
    ASSERT_NE(text.find(L'&'), std::wstring::npos) << ::testing::PrintToString(text);
    int width = 0;
    ASSERT_TRUE(wait_until([&] { return (width = drawn_text_width(line)) > 0; }));
    std::wstring without = text;
    std::erase(without, L'&');
    set_text(line, without);
    EXPECT_TRUE(wait_until([&] { return drawn_text_width(line) <= width - 4; }, 3000))
        << "the \"&\" was not drawn: " << width << " px with it, " << drawn_text_width(line) << " px without";
}

TEST_P(SetupWindowForm, ShowsItsTextsControlsAndSizeAndCancelsWithoutChanges) {
    const FormCase& c = GetParam();
    // Short enough to be shown whole; an "&" that is part of the path.
    const std::wstring registered_dir = L"C:\\R&B\\KoraVale";
    SetupRun setup = open(registered_dir);
    ASSERT_NE(setup.frame, nullptr);

    EXPECT_EQ(text_of(setup.frame), c.title);
    const std::vector<HWND> all = children(setup.frame);
    ASSERT_GE(all.size(), 3u);
    EXPECT_EQ(GetDlgCtrlID(all[1]), 0);
    EXPECT_EQ(text_of(all[1]), c.heading);
    EXPECT_EQ(text_of(all[2]), c.description);
    EXPECT_EQ(text_of(setup[IDC_MAIN_ACTION]), c.main_action);
    EXPECT_EQ(text_of(setup[IDC_CANCEL]), L"取消");
    EXPECT_EQ(text_of(setup[IDC_PROGRESS_TEXT]), L"");
    const SIZE client = client_size(setup.frame);
    EXPECT_EQ(client.cx, c.client_96.cx);
    EXPECT_EQ(client.cy, c.client_96.cy);

    if (c.form == Form::Uninstall) {
        EXPECT_EQ(all.size(), 9u);
        EXPECT_EQ(text_of(all[3]), L"安装位置：" + registered_dir);
        EXPECT_EQ(text_of(setup[IDC_PURGE_DATA]), L"同时清除个人数据（播放源、收藏、授权记录与日志）");
        EXPECT_FALSE(is_checked(setup[IDC_PURGE_DATA]));
        for (int absent : {IDC_INSTALL_DIR, IDC_BROWSE, IDC_DISK_STATUS, IDC_DESKTOP_SHORTCUT, IDC_LAUNCH_AFTER})
            EXPECT_EQ(setup[absent], nullptr) << absent;
    } else {
        EXPECT_EQ(all.size(), 12u);
        const std::wstring expected_dir =
            c.form == Form::Fresh ? local_app_data() + L"\\Programs\\KoraVale" : registered_dir;
        EXPECT_EQ(text_of(setup[IDC_INSTALL_DIR]), expected_dir);
        EXPECT_TRUE(starts_with(text_of(setup[IDC_DISK_STATUS]), L"磁盘 C:\\ 可用 ")) << text_of(setup[IDC_DISK_STATUS]);
        EXPECT_EQ(text_of(setup[IDC_BROWSE]), L"浏览…");
        EXPECT_EQ(text_of(setup[IDC_DESKTOP_SHORTCUT]), L"创建桌面快捷方式");
        EXPECT_EQ(text_of(setup[IDC_LAUNCH_AFTER]), L"完成后立即启动 KoraVale");
        EXPECT_TRUE(is_checked(setup[IDC_DESKTOP_SHORTCUT]));
        EXPECT_TRUE(is_checked(setup[IDC_LAUNCH_AFTER]));
        EXPECT_EQ(setup[IDC_PURGE_DATA], nullptr);
    }
    keep_screenshot(setup.frame, c.name, "-96dpi");

    if (c.form == Form::Uninstall) expect_ampersands_drawn(all[3]);
    set_text(setup[IDC_PROGRESS_TEXT], L"无法写入 C:\\R&B\\KoraVale");
    expect_ampersands_drawn(setup[IDC_PROGRESS_TEXT]);

    click(setup[IDC_CANCEL]);
    EXPECT_TRUE(setup.closed_with(0));
    EXPECT_FALSE(file_exists(registered_dir));
    EXPECT_FALSE(file_exists(local_app_data() + L"\\Programs\\KoraVale"));
}

TEST_P(SetupWindowForm, At144DpiScalesTheClientArea) {
    const FormCase& c = GetParam();
    set_log_pixels(144);
    TempDir temp;
    SetupRun setup = open(temp / L"Registered");
    ASSERT_NE(setup.frame, nullptr);
    const SIZE client = client_size(setup.frame);
    EXPECT_EQ(client.cx, c.client_144.cx);
    EXPECT_EQ(client.cy, c.client_144.cy);
    RECT main_action{};
    GetWindowRect(setup[IDC_MAIN_ACTION], &main_action);
    EXPECT_EQ(main_action.right - main_action.left, 144);
    EXPECT_EQ(main_action.bottom - main_action.top, 48);
    keep_screenshot(setup.frame, c.name, "-144dpi");
    PostMessageW(setup.frame, WM_CLOSE, 0, 0);
    EXPECT_TRUE(setup.closed_with(0));
}

INSTANTIATE_TEST_SUITE_P(Forms, SetupWindowForm, ::testing::ValuesIn(FORMS),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- installing

TEST_F(SetupWindow, RefusesAnInvalidDirectoryThenWritesBackTheNormalisedOneAndInstalls) {
    TempDir temp;
    const std::wstring log = temp / L"setup.log";
    SetupRun setup = start_setup(L"--log " + quoted(log));
    ASSERT_NE(setup.frame, nullptr);

    set_text(setup[IDC_INSTALL_DIR], L"Apps\\KoraVale");
    click(setup[IDC_MAIN_ACTION]);
    auto refusal = wait_for_dialog(setup.id());
    ASSERT_TRUE(refusal);
    const std::wstring refusal_text = L"安装目录必须是本地磁盘的绝对路径（例如 D:\\KoraVale）";
    EXPECT_EQ(refusal->caption, L"安装目录无效");
    EXPECT_EQ(refusal->text, refusal_text);
    EXPECT_EQ(text_of(setup[IDC_PROGRESS_TEXT]), refusal_text);
    press(refusal->window, IDOK);
    ASSERT_TRUE(wait_until([&] { return !has_dialog(setup.id()); }));
    for (int id : INSTALL_CONTROLS) EXPECT_TRUE(IsWindowEnabled(setup[id])) << id;

    // A drive that is not there passes the rules, so the written-back text can be seen before the run fails.
    set_text(setup[IDC_INSTALL_DIR], L"  \"m:/Apps//KoraVale/\" ");
    click(setup[IDC_MAIN_ACTION]);
    auto failure = wait_for_dialog(setup.id());
    ASSERT_TRUE(failure);
    EXPECT_EQ(text_of(setup[IDC_INSTALL_DIR]), L"M:\\Apps\\KoraVale");
    EXPECT_EQ(text_of(setup[IDC_DISK_STATUS]), L"磁盘 M:\\ 不可用或未就绪，请重新选择安装目录");
    EXPECT_EQ(failure->caption, L"操作未完成");
    EXPECT_EQ(failure->text, L"磁盘 M:\\ 不存在或未就绪，请重新选择安装目录");
    press(failure->window, IDOK);
    ASSERT_TRUE(wait_until([&] { return !has_dialog(setup.id()); }));

    std::wstring typed = L"\"" + temp.path() + L"/KoraVale/\"";
    set_text(setup[IDC_INSTALL_DIR], typed);
    click(setup[IDC_LAUNCH_AFTER]);  // no player this time
    ASSERT_TRUE(wait_until([&] { return !is_checked(setup[IDC_LAUNCH_AFTER]); }));
    click(setup[IDC_MAIN_ACTION]);
    EXPECT_TRUE(setup.closed_with(0));
    EXPECT_TRUE(file_exists(temp / L"KoraVale\\KoraVale.exe"));
    EXPECT_TRUE(registered());

    // The log holds what the user chose each time, the directory as normalised.
    std::vector<std::string> choices;
    for (const std::string& event : logged_events(log)) {
        if (event.starts_with("main button: ") || event.starts_with("error: ") || event.starts_with("run: ") ||
            event.starts_with("window form: ") || event.starts_with("exit status: "))
            choices.push_back(event);
    }
    EXPECT_EQ(choices, (std::vector<std::string>{
                           "run: window",
                           "window form: fresh install",
                           "main button: install into Apps\\KoraVale refused",
                           "error: 安装目录必须是本地磁盘的绝对路径（例如 D:\\KoraVale）",
                           "main button: install into M:\\Apps\\KoraVale, desktop shortcut: yes, launch after: yes",
                           "error: 磁盘 M:\\ 不存在或未就绪，请重新选择安装目录",
                           "main button: install into " + from_wide_lossy(temp.path()) +
                               "\\KoraVale, desktop shortcut: yes, launch after: no",
                           "exit status: 0",
                       }));
}

TEST_F(SetupWindow, EnterInTheDirectoryBoxRefusesABadDirectoryThenInstallsIntoAGoodOne) {
    TempDir temp;
    SetupRun setup = start_setup();
    ASSERT_NE(setup.frame, nullptr);
    const HWND box = setup[IDC_INSTALL_DIR];
    // As in a dialog, the keyboard starts in the first control.
    ASSERT_TRUE(wait_until([&] { return focused_control(setup.frame) == box; }));

    set_text(box, L"Apps\\KoraVale");
    ASSERT_TRUE(press_key(setup.frame, "Return"));
    auto refusal = wait_for_dialog(setup.id());
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->caption, L"安装目录无效");
    EXPECT_EQ(refusal->text, L"安装目录必须是本地磁盘的绝对路径（例如 D:\\KoraVale）");
    EXPECT_EQ(text_of(setup[IDC_PROGRESS_TEXT]), refusal->text);
    ASSERT_TRUE(press_key(refusal->window, "Return"));
    ASSERT_TRUE(wait_until([&] { return !has_dialog(setup.id()); }));
    keep_screenshot(setup.frame, "refused", "-96dpi");
    // Back in the box, to mend the text; nothing was started.
    EXPECT_TRUE(wait_until([&] { return focused_control(setup.frame) == box; }));
    EXPECT_TRUE(IsWindowEnabled(setup[IDC_MAIN_ACTION]));

    set_text(box, temp / L"KoraVale");
    ASSERT_TRUE(press_key(setup.frame, "Return"));
    ASSERT_TRUE(setup.process->wait(60000));
    EXPECT_EQ(setup.process->exit_code(), 0u);
    EXPECT_TRUE(file_exists(temp / L"KoraVale\\KoraVale.exe"));
    EXPECT_TRUE(registered());
}

TEST_F(SetupWindow, SuccessfulInstallReportsEachStepInOrderClosesWithoutADialogAndStartsThePlayer) {
    TempDir temp;
    const std::wstring record = temp / L"launched.txt";
    SetEnvironmentVariableW(L"KORAVALE_SAMPLE_RECORD", record.c_str());
    const std::wstring dir = temp / L"KoraVale";
    const std::wstring log = temp / L"setup.log";
    SetupRun setup = start_setup(L"--dir " + quoted(dir) + L" --log " + quoted(log));
    ASSERT_NE(setup.frame, nullptr);

    click(setup[IDC_MAIN_ACTION]);
    const WatchedRun watched = watch_to_the_end(setup);
    ASSERT_TRUE(setup.closed_with(0));
    EXPECT_FALSE(watched.dialog_seen);
    const std::vector<std::wstring>& seen = watched.progress;

    const std::vector<std::wstring> steps = {L"正在检查并关闭运行中的 KoraVale…", L"正在解压并校验 KoraVale 程序完整性…",
                                             L"正在安装程序文件…", L"正在创建快捷方式与系统注册信息…",
                                             L"正在启动 KoraVale…"};
    ASSERT_FALSE(seen.empty());
    std::size_t next = 0;
    for (const std::wstring& text : seen) {
        while (next < steps.size() && steps[next] != text) ++next;
        ASSERT_LT(next, steps.size()) << "unexpected or out of order: " << ::testing::PrintToString(seen);
    }
    std::vector<std::wstring> started;  // each of them, as logged: the line may show one too briefly to be seen
    for (const std::string& event : logged_events(log))
        if (event.starts_with("start: 正在")) started.push_back(to_wide(event.substr(7)));
    EXPECT_EQ(started, steps);
    EXPECT_TRUE(file_exists(dir + L"\\KoraVale.exe"));
    EXPECT_TRUE(file_exists(dir + L"\\uninstall.exe"));
    EXPECT_TRUE(wait_until([&] { return read_file(record).find("KoraVale.exe") != std::string::npos; }))
        << "the player was not started";
}

// How a wait for another setup program ends: that program ends, or the user cancels it.
enum class WaitEnd { LockReleased, CancelButton, Escape, Close };

std::string wait_end_name(const ::testing::TestParamInfo<WaitEnd>& info) {
    const char* const names[] = {"lock_released", "cancel_button", "escape", "close"};
    return names[static_cast<int>(info.param)];
}

class WaitingInstall : public SetupWindow, public ::testing::WithParamInterface<WaitEnd> {};

TEST_P(WaitingInstall, ShowsTheWaitStaysResponsiveAndEndsItAtOnceWhenCancelled) {
    TempDir temp;
    const std::wstring dir = temp / L"KoraVale";
    const std::wstring log = temp / L"setup.log";
    SetupRun setup = start_setup(L"--dir " + quoted(dir) + L" --log " + quoted(log));
    ASSERT_NE(setup.frame, nullptr);
    const bool cancelled = GetParam() != WaitEnd::LockReleased;
    {
        Result<SetupLock> lock = SetupLock::open();
        ASSERT_TRUE(lock && lock->take(0));
        ASSERT_TRUE(press_key(setup.frame, "Return"));  // in the directory box: the keyboard alone, up to Esc
        EXPECT_TRUE(wait_until([&] { return text_of(setup[IDC_PROGRESS_TEXT]) == L"正在等待另一个 KoraVale 安装程序结束…"; }));
        EXPECT_TRUE(wait_until([&] { return IsWindowEnabled(setup[IDC_CANCEL]) != FALSE; })) << "the wait cannot be cancelled";
        EXPECT_TRUE(wait_until([&] { return focused_control(setup.frame) == setup[IDC_CANCEL]; })) << "the focus is lost";
        EXPECT_FALSE(IsWindowEnabled(setup[IDC_MAIN_ACTION]));
        EXPECT_EQ(text_of(setup.frame), L"安装 KoraVale 1.4.6") << "its messages are answered";
        if (GetParam() == WaitEnd::CancelButton) click(setup[IDC_CANCEL]);
        if (GetParam() == WaitEnd::Close) PostMessageW(setup.frame, WM_CLOSE, 0, 0);
        if (GetParam() == WaitEnd::Escape) {
            ASSERT_TRUE(press_key(setup.frame, "Escape"));
        }
        if (cancelled) {
            EXPECT_TRUE(setup.closed_with(0)) << "it did not close while the other program held the lock";
        }
        EXPECT_FALSE(file_exists(dir));
    }
    EXPECT_TRUE(setup.closed_with(0));
    EXPECT_EQ(file_exists(dir + L"\\KoraVale.exe"), !cancelled);
    EXPECT_EQ(registered(), !cancelled);
    const std::vector<std::string> events = logged_events(log);
    EXPECT_EQ(std::count(events.begin(), events.end(), "cancelled: 正在等待另一个 KoraVale 安装程序结束…"), cancelled ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Ends, WaitingInstall,
                         ::testing::Values(WaitEnd::LockReleased, WaitEnd::CancelButton, WaitEnd::Escape, WaitEnd::Close),
                         wait_end_name);

TEST_F(SetupWindow, FailingInstallReportsTheFailureOnOneLineAndRefusesToCloseOrCancelWhileItRuns) {
    TempDir temp;
    const std::wstring dir = temp / L"KoraVale";
    install_silently(dir);
    const std::string kept = read_file(dir + L"\\KoraVale.exe") + "an older build";
    write_file(dir + L"\\KoraVale.exe", kept);
    // A player that closes its window at once but keeps its file open: the replace cannot succeed.
    SetEnvironmentVariableW(L"KORAVALE_SAMPLE_EXIT_AFTER_MS", nullptr);
    SetEnvironmentVariableW(L"KORAVALE_SAMPLE_HOLD_FILE_MS", L"60000");
    auto player = ChildProcess::start(quoted(dir + L"\\KoraVale.exe"));
    ASSERT_TRUE(player);
    ASSERT_NE(player->wait_for_window(L"KoraValeMainWindow", WINDOW_TIMEOUT_MS), nullptr);
    SetEnvironmentVariableW(L"KORAVALE_SAMPLE_HOLD_FILE_MS", nullptr);

    SetupRun setup = start_setup(L"--dir " + quoted(dir));
    ASSERT_NE(setup.frame, nullptr);
    click(setup[IDC_MAIN_ACTION]);
    // The window disables them one after the other: wait for all, not for the first.
    EXPECT_TRUE(wait_until([&] {
        return std::none_of(INSTALL_CONTROLS.begin(), INSTALL_CONTROLS.end(), [&](int id) { return IsWindowEnabled(setup[id]); });
    })) << "not every control was disabled";

    // The title-bar button and Alt+F4 both arrive as a close request.
    PostMessageW(setup.frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    PostMessageW(setup.frame, WM_CLOSE, 0, 0);
    // The focus left the disabled controls for the frame, where Esc and Enter are still its two buttons.
    ASSERT_TRUE(wait_until([&] { return focused_control(setup.frame) == setup.frame; }));
    for (const char* key : {"Escape", "Return", "alt+F4"}) ASSERT_TRUE(press_key(setup.frame, key)) << key;
    // The worker retries for seconds: long enough for the keys to arrive while it runs. (Wine hides a
    // window at once but, with no window manager, destroys it only two seconds later.)
    EXPECT_FALSE(wait_until([&] { return !IsWindowVisible(setup.frame) || has_dialog(setup.id()); }, 1000));
    EXPECT_FALSE(IsWindowEnabled(setup[IDC_MAIN_ACTION])) << "the operation ended before the keys were tried";
    auto failure = wait_for_dialog(setup.id(), 60000);
    ASSERT_TRUE(failure);
    EXPECT_TRUE(IsWindow(setup.frame));
    EXPECT_EQ(failure->caption, L"操作未完成");
    EXPECT_FALSE(failure->text.empty());
    EXPECT_EQ(text_of(setup[IDC_PROGRESS_TEXT]), failure->text);
    for (int id : INSTALL_CONTROLS) EXPECT_TRUE(IsWindowEnabled(setup[id])) << id;
    EXPECT_TRUE(read_file(dir + L"\\KoraVale.exe") == kept);
    press(failure->window, IDOK);
    ASSERT_TRUE(wait_until([&] { return !has_dialog(setup.id()); }));
    EXPECT_TRUE(wait_until([&] { return focused_control(setup.frame) == setup[IDC_MAIN_ACTION]; }));
    // Far too long for the line, which shows its start; the box showed all of it.
    EXPECT_EQ(drawn_text_lines(setup[IDC_PROGRESS_TEXT]), 1);
    keep_screenshot(setup.frame, "failed", "-96dpi");

    // Once idle again, a close request closes.
    PostMessageW(setup.frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(setup.closed_with(0));
}

// ---------------------------------------------------------------- uninstalling

// The file names in a folder, without "." and "..".
std::vector<std::wstring> names_in(const std::wstring& dir) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    const HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (std::wstring(found.cFileName) != L"." && std::wstring(found.cFileName) != L"..") names.push_back(found.cFileName);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return names;
}

TEST_F(SetupWindow, UninstallerConfirmsThenRemovesItselfAfterItHasEnded) {
    TempDir temp;
    const std::wstring dir = temp / L"KoraVale";
    install_silently(dir);
    ASSERT_TRUE(file_exists(dir + L"\\uninstall.exe"));

    SetupRun setup = start_setup(dir + L"\\uninstall.exe", L"");
    ASSERT_NE(setup.frame, nullptr);
    EXPECT_EQ(text_of(setup.frame), L"卸载 KoraVale");
    click(setup[IDC_MAIN_ACTION]);
    auto done = wait_for_dialog(setup.id(), 60000);
    ASSERT_TRUE(done);
    EXPECT_EQ(done->caption, L"卸载完成");
    EXPECT_EQ(done->text, L"KoraVale 已从您的电脑卸载。");
    EXPECT_FALSE(file_exists(dir + L"\\KoraVale.exe"));
    EXPECT_FALSE(registered());
    // Still running, under the name only its shell will delete.
    const std::vector<std::wstring> left = names_in(dir);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_TRUE(left[0].starts_with(L"uninstall.exe.") && left[0].ends_with(L".removing")) << from_wide_lossy(left[0]);

    press(done->window, IDOK);
    EXPECT_TRUE(setup.closed_with(0));
    EXPECT_TRUE(wait_until([&] { return !file_exists(dir); }, 30000)) << "the uninstaller's folder is still there";
}

// Nobody answers the final message for a while: the lock is not held
// meanwhile, and the install made then survives the shell started after it,
// also when the uninstaller was held too long to take its retired name.
class UninstallMessageOpen : public SetupWindow, public ::testing::WithParamInterface<bool> {};

TEST_P(UninstallMessageOpen, AnInstallMadeMeanwhileEndsWholeOnceTheShellHasRun) {
    TempDir temp;
    const std::wstring dir = temp / L"KoraVale";
    install_silently(dir);
    UniqueFileHandle held;
    if (GetParam()) {
        held.reset(CreateFileW((dir + L"\\uninstall.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
    }
    SetupRun setup = start_setup(dir + L"\\uninstall.exe", L"");
    ASSERT_NE(setup.frame, nullptr);
    click(setup[IDC_MAIN_ACTION]);
    auto done = wait_for_dialog(setup.id(), 60000);
    ASSERT_TRUE(done);
    EXPECT_EQ(done->caption, L"卸载完成");

    install_silently(dir);
    held.reset();
    press(done->window, IDOK);
    EXPECT_TRUE(setup.closed_with(0));
    EXPECT_TRUE(wait_until([&] { return names_in(dir).size() == 2; }, 30000)) << "the retired uninstaller is deleted";
    EXPECT_EQ(names_in(dir), (std::vector<std::wstring>{L"KoraVale.exe", L"uninstall.exe"}));
    EXPECT_TRUE(read_file(dir + L"\\uninstall.exe") == read_file(build_file("KORAVALE_SETUP_EXE")));
    EXPECT_TRUE(registered());
    EXPECT_TRUE(file_exists(known_folder(FOLDERID_Programs) + L"\\KoraVale.lnk"));
    EXPECT_TRUE(file_exists(known_folder(FOLDERID_Desktop) + L"\\KoraVale.lnk"));
}

INSTANTIATE_TEST_SUITE_P(Uninstaller, UninstallMessageOpen, ::testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "held_past_the_retries" : "retired"); });

class SetupWindowAtDpi : public SetupWindow, public ::testing::WithParamInterface<DWORD> {};

TEST_P(SetupWindowAtDpi, LongUninstallLocationStaysOneLineAndEscapeCancelsBeforeAnything) {
    set_log_pixels(GetParam());
    const std::wstring dir =
        L"D:\\Users\\Margarethe Vandenberghe-Oppenheimer\\AppData\\Local\\Programs\\Media Players\\Streaming\\KoraVale";
    register_installed(L"1.4.6", dir);
    SetupRun setup = start_setup(L"--uninstall");
    ASSERT_NE(setup.frame, nullptr);
    const std::vector<HWND> all = children(setup.frame);
    ASSERT_GE(all.size(), 4u);
    const HWND location = all[3];
    EXPECT_EQ(text_of(location), L"安装位置：" + dir) << "shortened only on screen";
    EXPECT_EQ(drawn_text_lines(location), 1);
    keep_screenshot(setup.frame, "uninstall-long-path", "-" + std::to_string(GetParam()) + "dpi");

    ASSERT_TRUE(press_key(setup.frame, "Escape"));
    EXPECT_TRUE(setup.closed_with(0));
    EXPECT_TRUE(registered());
}

INSTANTIATE_TEST_SUITE_P(Dpi, SetupWindowAtDpi, ::testing::Values(96, 144),
                         [](const auto& info) { return std::to_string(info.param) + "dpi"; });

// ---------------------------------------------------------------- passive runs

// Esc, Alt+F4, the title-bar button and the system menu: none may close it.
void try_to_close(const SetupRun& setup) {
    PostMessageW(setup.frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    PostMessageW(setup.frame, WM_CLOSE, 0, 0);
    for (const char* key : {"Escape", "alt+F4"}) EXPECT_TRUE(press_key(setup.frame, key)) << key;
}

std::vector<std::string> run_events(const std::wstring& log) {
    std::vector<std::string> events;
    for (const std::string& event : logged_events(log)) {
        if (event.starts_with("run: ") || event.starts_with("exit status: ")) events.push_back(event);
    }
    return events;
}

TEST_F(SetupWindow, PassiveInstallShowsItsProgressWithNothingToTouchIgnoresClosingAndExitsZero) {
    TempDir temp;
    const std::wstring dir = temp / L"KoraVale";
    const std::wstring log = temp / L"setup.log";
    const std::wstring record = temp / L"launched.txt";
    SetEnvironmentVariableW(L"KORAVALE_SAMPLE_RECORD", record.c_str());
    // The install first waits for this process: time to look at the window while it runs.
    auto waited = ChildProcess::start(L"cmd.exe /c ping -n 7 127.0.0.1 >nul");
    ASSERT_TRUE(waited);
    SetupRun setup = start_setup(L"/PASSIVE --dir " + quoted(dir) + L" --log " + quoted(log) + L" --wait-pid " +
                                 std::to_wstring(waited->id()));
    ASSERT_NE(setup.frame, nullptr);
    EXPECT_EQ(text_of(setup.frame), L"安装 KoraVale 1.4.6");
    EXPECT_EQ(text_of(setup[IDC_INSTALL_DIR]), dir);
    for (int id : INSTALL_CONTROLS) EXPECT_FALSE(IsWindowEnabled(setup[id])) << id;
    // A silent run's choices: a fresh install gets the shortcut; no --relaunch, no start.
    EXPECT_TRUE(is_checked(setup[IDC_DESKTOP_SHORTCUT]));
    EXPECT_FALSE(is_checked(setup[IDC_LAUNCH_AFTER]));
    EXPECT_TRUE(wait_until([&] { return text_of(setup[IDC_PROGRESS_TEXT]) == L"正在检查并关闭运行中的 KoraVale…"; }));
    keep_screenshot(setup.frame, "passive", "-96dpi");

    try_to_close(setup);
    EXPECT_FALSE(wait_until([&] { return !IsWindowVisible(setup.frame); }, 1000));
    ASSERT_FALSE(waited->wait(0)) << "the waited-for process ended before the close requests were tried";

    const WatchedRun watched = watch_to_the_end(setup);
    ASSERT_TRUE(setup.closed_with(0));
    EXPECT_FALSE(watched.dialog_seen);
    EXPECT_TRUE(file_exists(dir + L"\\KoraVale.exe"));
    EXPECT_TRUE(file_exists(dir + L"\\uninstall.exe"));
    EXPECT_TRUE(registered());
    EXPECT_FALSE(file_exists(record)) << "the player was started without --relaunch";
    EXPECT_EQ(run_events(log), (std::vector<std::string>{"run: passive install", "exit status: 0"}));
    // Chosen for nobody under the lock, after the folder was settled there.
    const std::vector<std::string> events = logged_events(log);
    const auto chosen = std::find(events.begin(), events.end(),
                                  "passive run: install into " + from_wide_lossy(dir) + ", desktop shortcut: yes, launch after: no");
    ASSERT_NE(chosen, events.end());
    EXPECT_NE(std::find(events.begin(), chosen, "install directory: " + from_wide_lossy(dir)), chosen);
}

struct PassiveFailureCase {
    const char* name;
    const wchar_t* dir;
    const wchar_t* text;
};

class PassiveInstallFailure : public SetupWindow, public ::testing::WithParamInterface<PassiveFailureCase> {};

// Refused before anything starts, or failed in the worker: the same ending.
TEST_P(PassiveInstallFailure, ShowsTheTextInItsProgressLineForAWhileNeverInAMessageBoxAndExitsOne) {
    TempDir temp;
    const std::wstring log = temp / L"setup.log";
    SetupRun setup = start_setup(L"--passive --dir " + quoted(GetParam().dir) + L" --log " + quoted(log));
    ASSERT_NE(setup.frame, nullptr);
    const HWND progress = setup[IDC_PROGRESS_TEXT];
    ASSERT_TRUE(wait_until([&] { return text_of(progress) == GetParam().text; })) << ::testing::PrintToString(text_of(progress));
    for (int id : INSTALL_CONTROLS) EXPECT_FALSE(IsWindowEnabled(setup[id])) << id;
    try_to_close(setup);
    EXPECT_FALSE(wait_until([&] { return !IsWindowVisible(setup.frame) || has_dialog(setup.id()); }, 1000));
    EXPECT_EQ(text_of(progress), GetParam().text);

    const WatchedRun watched = watch_to_the_end(setup);
    ASSERT_TRUE(watched.ended);
    EXPECT_EQ(setup.process->exit_code(), 1u);
    EXPECT_FALSE(watched.dialog_seen);
    EXPECT_FALSE(registered());
    EXPECT_EQ(run_events(log), (std::vector<std::string>{"run: passive install", "exit status: 1"}));
}

INSTANTIATE_TEST_SUITE_P(
    Passive, PassiveInstallFailure,
    ::testing::Values(PassiveFailureCase{"refused", L"Apps\\KoraVale", L"安装目录必须是本地磁盘的绝对路径（例如 D:\\KoraVale）"},
                      PassiveFailureCase{"failed", L"M:\\KoraVale", L"磁盘 M:\\ 不存在或未就绪，请重新选择安装目录"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SetupWindow, PassiveUninstallByTheInstalledUninstallerAsksNothingAndRemovesEverything) {
    TempDir temp;
    const std::wstring dir = temp / L"KoraVale";
    const std::wstring log = temp / L"uninstall.log";
    install_silently(dir);
    const std::wstring data_dir = local_app_data() + L"\\KoraVale";
    CreateDirectoryW(data_dir.c_str(), nullptr);
    write_file(data_dir + L"\\favourites.json", "[]");

    // A player slow to close keeps the window up long enough to be seen.
    auto player = ChildProcess::start(quoted(dir + L"\\KoraVale.exe") + L" --ignore-close --exit-after-ms 3000");
    ASSERT_TRUE(player);
    ASSERT_NE(player->wait_for_window(L"KoraValeMainWindow", WINDOW_TIMEOUT_MS), nullptr);

    SetupRun setup = start_setup(dir + L"\\uninstall.exe", L"--Passive --purge-data --log " + quoted(log));
    ASSERT_NE(setup.frame, nullptr) << "no window was shown";
    EXPECT_EQ(text_of(setup.frame), L"卸载 KoraVale");
    for (int id : {IDC_PURGE_DATA, IDC_MAIN_ACTION, IDC_CANCEL}) EXPECT_FALSE(IsWindowEnabled(setup[id])) << id;
    EXPECT_TRUE(is_checked(setup[IDC_PURGE_DATA]));
    const WatchedRun watched = watch_to_the_end(setup);
    ASSERT_TRUE(setup.closed_with(0));
    EXPECT_FALSE(watched.dialog_seen);
    EXPECT_FALSE(registered());
    EXPECT_FALSE(file_exists(dir + L"\\KoraVale.exe"));
    EXPECT_FALSE(file_exists(data_dir)) << "--purge-data was not followed";
    EXPECT_TRUE(wait_until([&] { return !file_exists(dir); }, 30000)) << "the uninstaller's folder is still there";
    EXPECT_EQ(run_events(log), (std::vector<std::string>{"run: passive uninstall", "exit status: 0"}));
}

// ---------------------------------------------------------------- the disk line

TEST_F(SetupWindow, DiskStatusLineFollowsTheDirectoryBox) {
    SetupRun setup = start_setup();
    ASSERT_NE(setup.frame, nullptr);
    const HWND box = setup[IDC_INSTALL_DIR];
    const HWND status = setup[IDC_DISK_STATUS];

    set_text(box, L"");
    EXPECT_EQ(text_of(status), L"请输入有效的本地磁盘绝对路径（例如 D:\\KoraVale）");
    type_text(box, L"m:");
    EXPECT_EQ(text_of(status), L"磁盘 M:\\ 不可用或未就绪，请重新选择安装目录");
    set_text(box, L"");
    type_text(box, L"z:/tmp");
    EXPECT_TRUE(starts_with(text_of(status), L"磁盘 Z:\\ 可用 ")) << text_of(status);
    EXPECT_NE(text_of(status).find(L"（个人数据与缓存保留在用户目录）"), std::wstring::npos);
    // The rules are not the line's business: a refused name on a drive that is there still shows its space.
    set_text(box, L"C:\\a?b");
    EXPECT_TRUE(starts_with(text_of(status), L"磁盘 C:\\ 可用 ")) << text_of(status);

    click(setup[IDC_CANCEL]);
    EXPECT_TRUE(setup.closed_with(0));
}

// ---------------------------------------------------------------- the folder picker

constexpr int FILE_NAME_BOX = 1152;  // the shell dialog's file name box

// Opens the picker, types the folder into its name box and confirms. Wine's
// dialog may first go into a typed folder; confirming again picks it.
bool pick_folder(const SetupRun& setup, const std::wstring& folder) {
    click(setup[IDC_BROWSE]);
    auto dialog = wait_for_dialog(setup.id());
    if (!dialog) return false;
    const HWND name_box = GetDlgItem(dialog->window, FILE_NAME_BOX);
    if (name_box == nullptr) return false;
    set_text(name_box, folder);
    for (int attempt = 0; attempt < 3; ++attempt) {
        press(dialog->window, IDOK);
        if (wait_until([&] { return !IsWindow(dialog->window); }, 3000)) return true;
    }
    return false;
}

TEST_F(SetupWindow, FolderPickerTurnsThePickedFolderIntoAnInstallDirectory) {
    TempDir temp;
    CreateDirectoryW((temp / L"Apps").c_str(), nullptr);
    CreateDirectoryW((temp / L"koravale").c_str(), nullptr);
    SetupRun setup = start_setup(L"--dir " + quoted(temp / L"Missing\\Deep"));
    ASSERT_NE(setup.frame, nullptr);
    const HWND box = setup[IDC_INSTALL_DIR];
    const HWND progress = setup[IDC_PROGRESS_TEXT];

    struct Pick {
        std::wstring folder;
        std::wstring box;
    };
    const std::vector<Pick> picks = {
        {L"Z:\\", L"Z:\\KoraVale"},
        {temp / L"Apps", temp / L"Apps\\KoraVale"},
        {temp / L"koravale", temp / L"koravale"},
    };
    for (const Pick& pick : picks) {
        set_text(progress, L"an earlier failure");
        ASSERT_TRUE(pick_folder(setup, pick.folder)) << "the dialog did not take " << ::testing::PrintToString(pick.folder);
        EXPECT_EQ(text_of(box), pick.box);
        EXPECT_TRUE(wait_until([&] { return focused_control(setup.frame) == box; })) << "the focus did not come back";
        EXPECT_EQ(text_of(progress), L"");
        EXPECT_TRUE(starts_with(text_of(setup[IDC_DISK_STATUS]), L"磁盘 " + pick.box.substr(0, 3) + L" 可用 "));
    }

    // Cancelling changes nothing.
    set_text(box, L"M:\\Nowhere");
    set_text(progress, L"an earlier failure");
    const std::wstring status = text_of(setup[IDC_DISK_STATUS]);
    click(setup[IDC_BROWSE]);
    auto dialog = wait_for_dialog(setup.id());
    ASSERT_TRUE(dialog);
    press(dialog->window, IDCANCEL);
    ASSERT_TRUE(wait_until([&] { return !IsWindow(dialog->window); }));
    EXPECT_EQ(text_of(box), L"M:\\Nowhere");
    EXPECT_TRUE(wait_until([&] { return focused_control(setup.frame) == box; })) << "the focus did not come back";
    EXPECT_EQ(text_of(progress), L"an earlier failure");
    EXPECT_EQ(text_of(setup[IDC_DISK_STATUS]), status);

    click(setup[IDC_CANCEL]);
    EXPECT_TRUE(setup.closed_with(0));
}

}  // namespace
}  // namespace koravale
