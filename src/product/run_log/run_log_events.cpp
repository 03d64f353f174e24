#include "product/run_log/run_log_events.h"

#include "product/identity/product_constants.h"

namespace koravale {
namespace {

std::string joined(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view part : parts) text.append(part);
    return text;
}

std::string_view yes_no(bool value) { return value ? "yes" : "no"; }

std::string_view form_name(SetupMode mode) {
    switch (mode) {
        case SetupMode::FreshInstall:
            return "fresh install";
        case SetupMode::Upgrade:
            return "upgrade";
        case SetupMode::Reinstall:
            return "reinstall";
        case SetupMode::Uninstall:
            return "uninstall";
    }
    return "unknown";
}

std::string_view chooser_name(ChosenBy chooser) {
    return chooser == ChosenBy::PassiveRun ? "passive run" : "main button";
}

}  // namespace

std::string program_event() { return joined({PRODUCT_NAME, " setup ", PRODUCT_VERSION, ", build ", BUILD_CODE}); }

std::string arguments_event(std::span<const std::string> arguments) {
    if (arguments.empty()) return "arguments: none";
    std::string text = "arguments:";
    for (const std::string& argument : arguments) text.append(" [").append(argument).append("]");
    return text;
}

std::string run_event(RunKind run) {
    switch (run) {
        case RunKind::SilentInstall:
            return "run: silent install";
        case RunKind::SilentUninstall:
            return "run: silent uninstall";
        case RunKind::PassiveInstall:
            return "run: passive install";
        case RunKind::PassiveUninstall:
            return "run: passive uninstall";
        case RunKind::Window:
            return "run: window";
    }
    return "run: unknown";
}

std::string window_form_event(SetupMode mode, const std::optional<std::string>& installed_version) {
    std::string text = joined({"window form: ", form_name(mode)});
    if (installed_version) text.append(" (installed version ").append(*installed_version).append(")");
    return text;
}

std::string stage_started_event(std::string_view stage) { return joined({"start: ", stage}); }
std::string stage_done_event(std::string_view stage) { return joined({"done: ", stage}); }
std::string stage_failed_event(std::string_view stage) { return joined({"failed: ", stage}); }
std::string stage_cancelled_event(std::string_view stage) { return joined({"cancelled: ", stage}); }
std::string error_event(const SetupError& error) { return joined({"error: ", error.message}); }
std::string skipped_event(const SetupError& failure) { return joined({"skipped: ", failure.message}); }

std::string install_directory_event(std::string_view install_dir) {
    return joined({"install directory: ", install_dir});
}

std::string no_installation_event(std::string_view install_dir) {
    return joined({"no installation found: nothing is registered and ", install_dir,
                   " holds none of the program's files"});
}

std::string install_directory_vanished_event(std::string_view install_dir) {
    return joined({"install directory ", install_dir, " vanished before the program was written: creating it again"});
}

std::string unprotected_install_directory_event(std::string_view reason) {
    return joined({"install directory created with inherited permissions: ", reason});
}

std::string used_install_directory_event(std::string_view install_dir, std::string_view owner) {
    return joined({"install directory outside the user profile is closed to other accounts (", owner,
                   "): used as it is: ", install_dir});
}

std::string closed_install_directory_event(std::string_view install_dir, std::string_view opened_by) {
    return joined({"install directory was open to other accounts (", opened_by,
                   "): its access list replaced and read back closed: ", install_dir});
}

std::string refused_install_directory_event(std::string_view install_dir, std::string_view what) {
    return joined({"install directory refused: ", install_dir, ": ", what});
}

std::string drive_without_permissions_event(std::string_view install_dir) {
    return joined({"install directory is on a drive that keeps no permissions: ", install_dir});
}

std::string self_removal_event(std::string_view uninstaller, std::string_view install_dir) {
    return joined({"self-removal started: a hidden shell deletes ", uninstaller, " and then ", install_dir,
                   " once this process has ended"});
}

std::string uninstaller_retired_event(std::string_view retired) {
    return joined({"uninstaller renamed to ", retired, " for its removal"});
}

std::string uninstaller_kept_name_event(std::string_view uninstaller) {
    return joined({"uninstaller keeps its name: the shell is to delete ", uninstaller});
}

std::string uninstaller_restored_event(std::string_view uninstaller) {
    return joined({"uninstaller renamed back to ", uninstaller, ": nothing will delete it"});
}

std::string retired_uninstaller_left_event(std::string_view retired) {
    return joined({"left ", retired, " as it is: another KoraVale setup program is at work there"});
}

std::string self_removal_not_handed_over_event(std::string_view uninstaller) {
    return joined({"self-removal not started: ", uninstaller, " is no longer the file this program runs from"});
}

std::string uninstaller_adopted_event(std::string_view uninstaller) {
    return joined({"self-removal not started: ", uninstaller, " kept its name and an install made since uses it"});
}

std::string self_removal_lock_unavailable_event(std::string_view uninstaller) {
    return joined({"self-removal not started: the setup lock was not to be had, ", uninstaller, " left as it is"});
}

std::string self_removal_unmarked_event(std::string_view uninstaller) {
    return joined({"self-removal not started: no install would know to wait for its shell, ", uninstaller,
                   " left as it is"});
}

std::string setup_lock_waited_event(std::uint64_t milliseconds) {
    return "waited " + std::to_string(milliseconds) + " ms for another KoraVale setup program to end";
}

std::string setup_lock_gave_up_event(std::uint64_t milliseconds) {
    return "gave up after " + std::to_string(milliseconds) + " ms: another KoraVale setup program still runs";
}

std::string setup_lock_fallback_event(std::string_view name, std::string_view reason) {
    return joined({"setup lock: ", name, " (", reason, ")"});
}

std::string hidden_window_station_event() { return "window station not visible: the run goes on silently"; }

std::string setup_lock_abandoned_event() {
    return "setup lock taken: the previous setup program ended without releasing the lock";
}

std::string wait_cancelled_event(std::uint64_t milliseconds) {
    return "the wait was cancelled after " + std::to_string(milliseconds) + " ms; nothing was changed";
}

std::string removal_shell_waited_event(std::uint64_t milliseconds) {
    return "waited " + std::to_string(milliseconds) + " ms for the removal shell of an earlier uninstall to end";
}

std::string removal_shell_gave_up_event(std::uint64_t milliseconds) {
    return "gave up after " + std::to_string(milliseconds) + " ms: the removal shell of an earlier uninstall still runs";
}

std::string install_chosen_event(ChosenBy chooser, std::string_view install_dir, bool desktop_shortcut,
                                 bool launch_after) {
    return joined({chooser_name(chooser), ": install into ", install_dir, ", desktop shortcut: ", yes_no(desktop_shortcut),
                   ", launch after: ", yes_no(launch_after)});
}

std::string install_refused_event(ChosenBy chooser, std::string_view typed_dir) {
    return joined({chooser_name(chooser), ": install into ", typed_dir, " refused"});
}

std::string uninstall_chosen_event(ChosenBy chooser, bool purge_data) {
    return joined({chooser_name(chooser), ": uninstall, purge personal data: ", yes_no(purge_data)});
}

std::string exit_status_event(int status) { return "exit status: " + std::to_string(status); }

std::string torn_line_event(std::size_t written, std::size_t size) {
    return "log: the line above was cut short after " + std::to_string(written) + " of " + std::to_string(size) +
           " bytes";
}

}  // namespace koravale
