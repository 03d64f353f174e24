#pragma once
// The one way a single file is deleted, read-only files included.

#include <windows.h>

#include <string>

#include "common/result.h"
#include "system/platform/os_error.h"

namespace koravale {

// DeleteFileW; when that is refused (access denied, as for a read-only
// file), the entry itself (never a link's target) is marked for deletion.
// A failure reports the first DeleteFileW's error.
OsStatus delete_file(const std::string& path);

// For best-effort removals: a file or folder that is not there counts as
// removed; any other failure is described for the log.
Status delete_file_best_effort(const std::string& path);
// RemoveDirectoryW: only an empty folder goes.
Status remove_directory_if_empty(const std::string& dir);

// Marks an open entry for deletion, ignoring its read-only attribute.
// The handle needs DELETE access. Where the file system refuses the
// extended disposition (FAT volumes, Wine), the read-only attribute is
// cleared through a second handle to the same entry and the plain delete
// disposition is set; should that fail, the attribute is put back.
OsStatus mark_for_deletion(HANDLE entry);

}  // namespace koravale
