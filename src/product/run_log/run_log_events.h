#pragma once
// What the run log says, one text per event. The program's own texts
// (progress texts, failure messages) appear in them as they stand.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "common/result.h"
#include "product/options/setup_mode.h"

namespace koravale {

// "KoraVale setup 1.4.6, build 202612031556"
std::string program_event();
// Each argument after the program name as the program received it:
// "arguments: [/S] [--dir] [D:\My Apps\KoraVale]".
std::string arguments_event(std::span<const std::string> arguments);
std::string run_event(RunKind run);
// A window run in a service's hidden window station, where nobody can answer it.
std::string hidden_window_station_event();
std::string window_form_event(SetupMode mode, const std::optional<std::string>& installed_version);

std::string stage_started_event(std::string_view stage);
std::string stage_done_event(std::string_view stage);
std::string stage_failed_event(std::string_view stage);
std::string stage_cancelled_event(std::string_view stage);
// The failure that ended an operation, as the user is shown it.
std::string error_event(const SetupError& error);
// A failure that a best-effort step swallowed.
std::string skipped_event(const SetupError& failure);

std::string install_directory_event(std::string_view install_dir);
// An uninstall that finds nothing registered and no program in the folder.
std::string no_installation_event(std::string_view install_dir);
std::string install_directory_vanished_event(std::string_view install_dir);
// The install directory was made, but without its protected access list.
std::string unprotected_install_directory_event(std::string_view reason);
// An existing install directory outside the user's profile: used as it is,
// closed (then read back), or refused, each with what decided it (the
// owner, or the trustee and its rights).
std::string used_install_directory_event(std::string_view install_dir, std::string_view owner);
std::string closed_install_directory_event(std::string_view install_dir, std::string_view opened_by);
std::string refused_install_directory_event(std::string_view install_dir, std::string_view what);
// FAT and exFAT keep no access lists: there is nothing to protect or check.
std::string drive_without_permissions_event(std::string_view install_dir);
std::string self_removal_event(std::string_view uninstaller, std::string_view install_dir);
std::string uninstaller_retired_event(std::string_view retired);
std::string uninstaller_kept_name_event(std::string_view uninstaller);
std::string uninstaller_restored_event(std::string_view uninstaller);
std::string retired_uninstaller_left_event(std::string_view retired);
std::string self_removal_not_handed_over_event(std::string_view uninstaller);
// The uninstaller kept its name, and an install made since registered its folder: it is that install's now.
std::string uninstaller_adopted_event(std::string_view uninstaller);
// Without the lock, or without the marker installs wait for, nothing is handed over.
std::string self_removal_lock_unavailable_event(std::string_view uninstaller);
std::string self_removal_unmarked_event(std::string_view uninstaller);

// The lock that keeps two setup programs apart.
std::string setup_lock_waited_event(std::uint64_t milliseconds);
std::string setup_lock_gave_up_event(std::uint64_t milliseconds);
std::string setup_lock_fallback_event(std::string_view name, std::string_view reason);
// Its last holder ended without giving it back: maybe halfway through a change, which this run mends.
std::string setup_lock_abandoned_event();
std::string wait_cancelled_event(std::uint64_t milliseconds);
// The removal shell of an uninstall that kept its uninstaller's name.
std::string removal_shell_waited_event(std::uint64_t milliseconds);
std::string removal_shell_gave_up_event(std::uint64_t milliseconds);

// What the window's operation starts with: what the user chose on pressing
// the main button, or what a passive run chose for nobody.
enum class ChosenBy { MainButton, PassiveRun };
std::string install_chosen_event(ChosenBy chooser, std::string_view install_dir, bool desktop_shortcut,
                                 bool launch_after);
std::string install_refused_event(ChosenBy chooser, std::string_view typed_dir);
std::string uninstall_chosen_event(ChosenBy chooser, bool purge_data);

std::string exit_status_event(int status);

// Put after a line of which only the first `written` of `size` bytes got
// into the file, once the log can be written again.
std::string torn_line_event(std::size_t written, std::size_t size);

}  // namespace koravale
