#include "sequences/install_directory_guard.h"
#include "texts/directory_texts.h"

#include "product/run_log/run_log_events.h"
#include "product/security/install_directory_acl.h"
#include "system/files/program_files.h"
#include "system/security/install_directory_creation.h"
#include "system/security/install_directory_examination.h"
#include "system/security/install_directory_security.h"

namespace koravale {
namespace {

// A refusal, or none when the finding leaves the folder usable.
std::optional<SetupError> refusal_for(const SequenceStages& stages, const std::string& install_dir,
                                      const ExaminedDirectory& examined) {
    switch (examined.finding) {
        case DirectoryFinding::ForeignOwner:
            stages.log_event(refused_install_directory_event(install_dir, examined.detail));
            return SetupError{foreign_install_directory_text(install_dir)};
        case DirectoryFinding::ReparsePoint:
            stages.log_event(refused_install_directory_event(install_dir, "it is a link or junction"));
            return SetupError{foreign_install_directory_text(install_dir)};
        case DirectoryFinding::ForeignEntry:
            stages.log_event(refused_install_directory_event(install_dir, examined.detail));
            return SetupError{foreign_install_entry_text(install_dir)};
        default:
            return std::nullopt;
    }
}

// Replaces the list of a folder other accounts may write in, then looks
// again: what slipped in before the list took is refused as well.
Status close_open_directory(const SequenceStages& stages, const std::string& install_dir) {
    const Result<UniqueSecurityDescriptor> protection = install_directory_descriptor();
    if (!protection) {
        stages.log_event(unclosed_install_directory_event(install_dir, protection.error().message));
        return Done{};
    }
    if (Status closed = close_install_directory(install_dir, protection->get()); !closed) return closed.error();
    stages.log_event(closed_install_directory_event(install_dir));
    const ExaminedDirectory again = examine_install_directory(install_dir);
    if (std::optional<SetupError> refused = refusal_for(stages, install_dir, again)) return *refused;
    if (again.finding == DirectoryFinding::Open) {
        stages.log_event(unclosed_install_directory_event(install_dir, "the replaced access list did not take"));
    }
    return Done{};
}

}  // namespace

Status guard_existing_install_directory(const SequenceStages& stages, const std::string& install_dir,
                                        GuardNotes notes) {
    if (is_in_user_profile(install_dir)) return Done{};
    const ExaminedDirectory examined = examine_install_directory(install_dir);
    if (examined.finding == DirectoryFinding::Missing) return Done{};
    const bool logged = notes == GuardNotes::Logged;
    if (!drive_keeps_permissions(install_dir)) {
        if (logged) stages.log_event(drive_without_permissions_event(install_dir));
        return Done{};
    }
    if (std::optional<SetupError> refused = refusal_for(stages, install_dir, examined)) return *refused;
    switch (examined.finding) {
        case DirectoryFinding::Unreadable:
            if (logged) stages.log_event(existing_install_directory_event(install_dir));
            return Done{};
        case DirectoryFinding::Open:
            return close_open_directory(stages, install_dir);
        default:
            return Done{};
    }
}

Status make_install_directory(const SequenceStages& stages, const std::string& install_dir) {
    const Result<EnsuredInstallDirectory> dir = ensure_install_directory(install_dir);
    if (!dir) return dir.error();
    switch (dir->origin) {
        case InstallDirectoryOrigin::Existed:
            return guard_existing_install_directory(stages, install_dir, GuardNotes::Quiet);
        case InstallDirectoryOrigin::CreatedUnprotected:
            stages.log_event(unprotected_install_directory_event(dir->why_unprotected));
            return Done{};
        case InstallDirectoryOrigin::CreatedOnADriveWithoutPermissions:
            stages.log_event(drive_without_permissions_event(install_dir));
            return Done{};
        case InstallDirectoryOrigin::CreatedProtected:
            return Done{};
    }
    return Done{};
}

}  // namespace koravale
