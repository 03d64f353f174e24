#include "system/files/program_files.h"

#include <windows.h>

#include <algorithm>
#include <optional>

#include "product/installation/install_layout.h"
#include "product/installation/io_failure_text.h"
#include "product/installation/self_removal_command.h"
#include "system/files/file_deletion.h"
#include "system/files/file_identity.h"
#include "system/files/file_queries.h"
#include "system/platform/file_sharing.h"
#include "system/platform/os_error.h"
#include "system/platform/retry_with_pauses.h"
#include "system/platform/unique_handle.h"
#include "system/platform/wide_string.h"
#include "texts/directory_texts.h"

namespace koravale {
namespace {

// A staging file is always made anew, so that it takes the folder's
// access list: a leftover keeps its own owner and list, and the move would
// carry them onto the program. A reader that shares deletion (a scanner)
// keeps a deleted file's name until it lets go, so the leftover first takes
// a name of its own, which frees this one at once; an uninstall sweeps
// that name up should it outlive this run.
OsStatus remove_leftover(const std::string& staged, const std::string& final_path) {
    const std::string aside = retired_uninstaller_path(final_path, GetCurrentProcessId(), GetTickCount64());
    const std::wstring wide_staged = to_wide(staged);
    const std::wstring wide_aside = to_wide(aside);
    if (!MoveFileExW(wide_staged.c_str(), wide_aside.c_str(), 0)) {
        const DWORD error = GetLastError();
        return {error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : error};
    }
    return delete_file(aside);
}

SetupError write_failure(const std::string& staged, const IoError& error) {
    return describe_io_failure(WRITE_PROGRAM_FILE_VERB, staged, error);
}

// The bytes must be on the disk before the file is moved over the old
// one: a power loss after the move must not leave an empty program.
DWORD flush_to_disk(const std::wstring& path) {
    const UniqueFileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, SHARE_ALL, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return ERROR_SUCCESS;  // a copy we may not open stays as it was copied
    return FlushFileBuffers(file.get()) ? ERROR_SUCCESS : GetLastError();
}

// The move behind replace_file_with_retry. When every attempt fails, the
// staged file is deleted and the last attempt's error returned.
OsStatus move_over_with_retries(const std::string& staged_path, const std::string& final_path) {
    const std::wstring staged = to_wide(staged_path);
    const std::wstring final_name = to_wide(final_path);
    constexpr DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    OsStatus moved;
    retry_with_pauses(REPLACE_ATTEMPTS, POLL_INTERVAL_MS, [&] {
        const bool done = MoveFileExW(staged.c_str(), final_name.c_str(), flags);
        moved = {done ? ERROR_SUCCESS : GetLastError()};
        return done;
    });
    // Best effort: a staged file left here is cleared before the next write.
    if (!moved) static_cast<void>(delete_file(staged_path));
    return moved;
}

}  // namespace

Status check_install_path_not_file(const std::string& install_dir) {
    if (is_existing_file(install_dir)) {
        return SetupError{path_is_file_text(install_dir)};
    }
    return Done{};
}

Result<std::string> write_staged_program(const std::string& install_dir, std::span<const std::uint8_t> image) {
    std::string staged = staging_path(install_dir, APP_STAGING_NAME);
    if (const OsStatus cleared = remove_leftover(staged, join_path(install_dir, APP_EXE_NAME)); !cleared) {
        return write_failure(staged, io_error_from_code(cleared.code));
    }
    const std::wstring wide_staged = to_wide(staged);
    UniqueFileHandle file(CreateFileW(wide_staged.c_str(), GENERIC_WRITE, SHARE_ALL, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return write_failure(staged, last_io_error());
    while (!image.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(image.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file.get(), image.data(), chunk, &written, nullptr)) {
            return write_failure(staged, last_io_error());
        }
        if (written == 0) {
            return write_failure(staged, IoError{.os_code = std::nullopt, .text = std::string(NOTHING_WRITTEN_TEXT)});
        }
        image = image.subspan(written);
    }
    if (!FlushFileBuffers(file.get())) return write_failure(staged, last_io_error());
    if (!CloseHandle(file.release())) return write_failure(staged, last_io_error());
    return staged;
}

Status replace_file_with_retry(const std::string& staged_path, const std::string& final_path) {
    if (move_over_with_retries(staged_path, final_path)) return Done{};
    return SetupError{program_file_held_text(final_path)};
}

Status place_uninstaller_copy(const std::string& install_dir, const std::string& uninstaller_path) {
    const std::optional<std::string> exe = running_executable_path();
    if (!exe) return SetupError{std::string(NO_OWN_PATH_TEXT)};
    if (is_running_executable(uninstaller_path)) return Done{};  // we are that uninstaller

    const std::string staged = staging_path(install_dir, UNINSTALLER_STAGING_NAME);
    if (const OsStatus cleared = remove_leftover(staged, uninstaller_path); !cleared) {
        return describe_failure(COPY_UNINSTALLER_VERB, staged, io_error_from_code(cleared.code).text);
    }
    const std::wstring wide_exe = to_wide(*exe);
    const std::wstring wide_staged = to_wide(staged);
    if (!CopyFileExW(wide_exe.c_str(), wide_staged.c_str(), nullptr, nullptr, nullptr, COPY_FILE_FAIL_IF_EXISTS)) {
        const DWORD error = GetLastError();
        return describe_failure(COPY_UNINSTALLER_VERB, staged, io_error_from_code(error).text);
    }
    if (const DWORD error = flush_to_disk(wide_staged)) {
        static_cast<void>(delete_file(staged));  // as above: cleared before the next write
        return describe_failure(COPY_UNINSTALLER_VERB, staged, io_error_from_code(error).text);
    }
    // The log wants the system's reason, not the hint about a running player.
    if (const OsStatus moved = move_over_with_retries(staged, uninstaller_path); !moved) {
        return describe_failure(COPY_UNINSTALLER_VERB, uninstaller_path, io_error_from_code(moved.code).text);
    }
    return Done{};
}

SkippedFailures remove_old_program_files(const std::string& old_install_dir) {
    SkippedFailures skipped;
    for (const std::string_view name : PROGRAM_FILE_NAMES) {
        const std::string path = join_path(old_install_dir, name);
        if (!path_exists(path)) continue;
        if (is_running_executable(path)) continue;
        add_if_failed(skipped, delete_file_best_effort(path));
    }
    const SkippedFailures swept = remove_retired_uninstallers(old_install_dir);
    skipped.insert(skipped.end(), swept.begin(), swept.end());
    add_if_failed(skipped, remove_directory_if_empty(old_install_dir));
    return skipped;
}

SkippedFailures remove_retired_uninstallers(const std::string& install_dir) {
    SkippedFailures skipped;
    WIN32_FIND_DATAW found;
    const std::wstring pattern = to_wide(join_path(install_dir, "*.removing"));
    const HANDLE first = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    DWORD listing_error = first == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    const UniqueFindHandle find(first);
    for (bool more = static_cast<bool>(find); more;) {
        const std::optional<std::string> name = from_wide_strict(found.cFileName);
        const bool is_file = !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
        if (name && is_file && is_retired_program_file_name(*name)) {
            // A shell still at work may hold it; it deletes the file itself.
            add_if_failed(skipped, delete_file_best_effort(join_path(install_dir, *name)));
        }
        more = FindNextFileW(find.get(), &found);
        if (!more) listing_error = GetLastError();
    }
    // No match and no folder are an empty listing; the end of one is its end.
    if (listing_error != ERROR_SUCCESS && listing_error != ERROR_FILE_NOT_FOUND &&
        listing_error != ERROR_PATH_NOT_FOUND && listing_error != ERROR_NO_MORE_FILES) {
        skipped.push_back(describe_failure(LIST_DIRECTORY_VERB, install_dir, io_error_from_code(listing_error).text));
    }
    return skipped;
}

}  // namespace koravale
