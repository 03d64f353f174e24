#include "sequences/install_directory_guard.h"

#include "product/run_log/run_log_events.h"
#include "product/security/install_directory_verdict.h"
#include "system/security/install_directory_creation.h"
#include "system/security/install_directory_examination.h"
#include "system/security/install_directory_security.h"
#include "texts/directory_texts.h"

namespace koravale {
namespace {

SetupError refuse(const SequenceStages& stages, const std::string& install_dir, std::string_view why,
                  std::string text) {
    stages.log_event(refused_install_directory_event(install_dir, why));
    return SetupError{std::move(text)};
}

// Replaces the list of a folder other accounts may write in, then reads
// it back: a list that did not take, or what slipped in before it took,
// is refused as well.
Status close_open_directory(const SequenceStages& stages, const std::string& install_dir,
                            const ExaminedDirectory& open) {
    const Result<UniqueSecurityDescriptor> protection = install_directory_descriptor();
    const Status closed = protection ? close_install_directory(install_dir, protection->get())
                                     : Status(protection.error());
    if (!closed) {
        return refuse(stages, install_dir,
                      "open to other accounts (" + open.detail + ") and not to be closed: " + closed.error().message,
                      unclosable_install_directory_text(install_dir));
    }
    const ExaminedDirectory again = examine_install_directory(install_dir);
    const DirectoryVerdict verdict = judge_install_directory(again.finding, install_dir, DirectoryLook::AfterClosing);
    if (verdict.action == DirectoryAction::Refuse) {
        return refuse(stages, install_dir, "read back after closing it: " + again.detail, verdict.refusal);
    }
    if (again.finding == DirectoryFinding::Closed) {
        stages.log_event(closed_install_directory_event(install_dir, open.detail));
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
    const DirectoryVerdict verdict =
        judge_install_directory(examined.finding, install_dir, DirectoryLook::BeforeClosing);
    switch (verdict.action) {
        case DirectoryAction::Refuse:
            return refuse(stages, install_dir, examined.detail, verdict.refusal);
        case DirectoryAction::Close:
            return close_open_directory(stages, install_dir, examined);
        case DirectoryAction::Use:
            if (logged) stages.log_event(used_install_directory_event(install_dir, examined.detail));
            return Done{};
    }
    return Done{};
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
