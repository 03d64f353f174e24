// The process entry: prepare the process, read the command line, choose
// one of the three runs and end with its exit status.

#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

#include "product/options/command_line.h"
#include "product/options/install_account.h"
#include "product/options/setup_mode.h"
#include "product/options/setup_options.h"
#include "product/run_log/run_log_events.h"
#include "product/window/setup_window_texts.h"
#include "sequences/install_sequence.h"
#include "sequences/uninstall_sequence.h"
#include "system/platform/com_apartment.h"
#include "system/platform/wide_string.h"
#include "system/processes/dpi_functions.h"
#include "system/processes/process_arguments.h"
#include "system/processes/system_libraries.h"
#include "system/processes/window_station.h"
#include "system/security/user_identity.h"
#include "system/shell/install_paths.h"
#include "system/shell/run_log.h"
#include "system/shell/uninstall_registration.h"
#include "texts/failure_texts.h"
#include "ui/setup_window.h"

namespace koravale {
namespace {

constexpr int EXIT_FAILURE_STATUS = 1;

void prepare_process() {
    // Every result is ignored: a process whose DPI context or controls were
    // already set up by someone else runs on as it is.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    preload_system_libraries();
    set_per_monitor_dpi_awareness();
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);
}

constexpr int EXIT_SUCCESS_STATUS = 0;

int status_of(const Status& status) { return status ? EXIT_SUCCESS_STATUS : EXIT_FAILURE_STATUS; }

bool installs(RunKind run_kind, const SetupOptions& options) {
    switch (run_kind) {
        case RunKind::SilentInstall:
        case RunKind::PassiveInstall:
            return true;
        case RunKind::Window:
            return !options.uninstall;
        case RunKind::SilentUninstall:
        case RunKind::PassiveUninstall:
            return false;
    }
    return false;
}

// An install as a service account would serve nobody. An uninstall goes on,
// so that an install made that way can still be removed. A user that
// cannot be read is nobody's service account.
Status check_install_account(const RunLog& log) {
    const Result<std::string> user = current_user_sid_text();
    if (!user) {
        log.write(skipped_event(user.error()));
        return Done{};
    }
    if (is_service_account(*user)) return SetupError{std::string(SERVICE_ACCOUNT_REFUSAL_TEXT)};
    return Done{};
}

int run(const SetupOptions& options, const RunLog& log) {
    const RunKind run_kind = decide_run(options);
    log.write(run_event(run_kind));
    if (installs(run_kind, options)) {
        // Before anything is read: nothing of the service account's own profile is looked at.
        if (const Status account = check_install_account(log); !account) {
            log.write(error_event(account.error()));
            // A passive run asks nothing.
            if (run_kind == RunKind::Window) {
                MessageBoxW(nullptr, to_wide(account.error().message).c_str(),
                            to_wide(FAILED_CAPTION_TEXT).c_str(), MB_OK | MB_ICONERROR);
            }
            return EXIT_FAILURE_STATUS;
        }
    }
    switch (run_kind) {
        case RunKind::SilentInstall:
            return status_of(run_silent_install(options, log));
        case RunKind::SilentUninstall:
            return status_of(run_silent_uninstall(options, log));
        case RunKind::PassiveInstall:
        case RunKind::PassiveUninstall:
        case RunKind::Window: {
            const std::optional<std::string> installed_version = read_installed_product().installed_version;
            const SetupMode mode = decide_mode(options, installed_version);
            log.write(window_form_event(mode, installed_version));
            return static_cast<int>(run_setup_window(mode, installed_version, options, log));
        }
    }
    return EXIT_FAILURE_STATUS;
}

}  // namespace

int setup_main() {
    prepare_process();
    const ComApartment com(COINIT_APARTMENTTHREADED);

    const std::vector<std::u16string> arguments = process_arguments();
    const std::optional<std::vector<std::string>> option_texts = option_arguments(arguments);
    if (!option_texts) return EXIT_FAILURE_STATUS;  // stop before anything changes

    SetupOptions options = parse_options(*option_texts);
    const RunLog log(options.log_file);
    log.write(program_event());
    log.write(arguments_event(*option_texts));
    if (!options.uninstall && running_uninstaller_dir()) options.uninstall = true;
    // A service's hidden window station (a deployment tool's SYSTEM run of
    // the registered UninstallString): a window there would wait for a click
    // that cannot come.
    if (decide_run(options) == RunKind::Window && !window_station_is_visible()) {
        log.write(hidden_window_station_event());
        options.silent = true;
    }
    const int status = run(options, log);
    log.write(exit_status_event(status));
    return status;
}

}  // namespace koravale

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    ExitProcess(static_cast<UINT>(koravale::setup_main()));
}
