#include "app/uninstall_sequence.h"

#include <windows.h>

#include "app/path_compare.h"
#include "app/product_constants.h"
#include "checks/install_dir_rules.h"
#include "system/directory_purge.h"
#include "system/file_deletion.h"
#include "system/file_identity.h"
#include "system/file_queries.h"
#include "system/program_files.h"
#include "system/install_paths.h"
#include "system/running_application.h"
#include "system/self_removal.h"
#include "system/shortcuts.h"
#include "system/uninstall_registration.h"
#include "system/wide_string.h"

namespace koravale {
namespace {

constexpr std::string_view CLOSING_TEXT = "正在关闭运行中的 KoraVale…";
constexpr std::string_view REMOVING_TEXT = "正在移除程序文件与快捷方式…";
constexpr std::string_view UNREGISTERING_TEXT = "正在清理系统卸载记录…";
constexpr std::string_view PURGING_TEXT = "正在清除本地数据与缓存…";

constexpr int APP_DELETE_ATTEMPTS = 20;
constexpr DWORD APP_DELETE_RETRY_DELAY_MS = 150;

// The player may take a moment to let go of its file after it was closed.
void delete_program_with_retries(const std::string& app_exe) {
    for (int attempt = 0; attempt < APP_DELETE_ATTEMPTS; ++attempt) {
        if (!path_exists(app_exe) || delete_file(app_exe)) return;
        Sleep(APP_DELETE_RETRY_DELAY_MS);
    }
}

}  // namespace

Result<InstallLayout> resolve_uninstall_layout(const std::optional<std::string>& directory) {
    if (directory) {
        const std::string canonical = normalize_install_dir(*directory);
        if (!canonical.empty()) return layout_for(canonical);
    }
    if (const std::optional<std::string> own_dir = running_uninstaller_dir()) return layout_for(*own_dir);
    if (const std::optional<std::string> registered = read_installed_product().install_location) {
        return layout_for(*registered);
    }
    const Result<std::string> fallback = default_install_dir();
    if (!fallback) return fallback.error();
    return layout_for(*fallback);
}

Result<UninstallOutcome> run_uninstall_sequence(const UninstallRequest& request, const ProgressReporter& progress) {
    const Result<InstallLayout> resolved = resolve_uninstall_layout(request.directory);
    if (!resolved) return resolved.error();
    const InstallLayout& layout = *resolved;

    report(progress, CLOSING_TEXT);
    close_running_application(std::nullopt);

    report(progress, REMOVING_TEXT);
    delete_program_with_retries(layout.app_exe);
    delete_file(staging_path(layout.install_dir, APP_STAGING_NAME));
    delete_file(staging_path(layout.install_dir, UNINSTALLER_STAGING_NAME));
    remove_retired_uninstallers(layout.install_dir);
    remove_shortcuts(layout);

    report(progress, UNREGISTERING_TEXT);
    delete_uninstall_registration();

    if (request.purge_data && path_exists(layout.data_dir)) {
        report(progress, PURGING_TEXT);
        purge_directory_tree(layout.data_dir);
    }

    if (is_running_executable(layout.uninstaller)) return UninstallOutcome{PendingSelfRemoval{layout.uninstaller, layout.install_dir}};
    delete_file(layout.uninstaller);
    RemoveDirectoryW(to_wide(layout.install_dir).c_str());
    return UninstallOutcome{};
}

Status run_silent_uninstall(const SetupOptions& options) {
    const Result<UninstallOutcome> outcome =
        run_uninstall_sequence({.directory = options.dir, .purge_data = options.purge_data});
    if (!outcome) return outcome.error();
    if (const UninstallOutcome& pending = *outcome) schedule_self_removal(pending->uninstaller, pending->install_dir);
    return Done{};
}

}  // namespace koravale
