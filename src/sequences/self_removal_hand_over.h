#pragma once
// The last step of an uninstall run from the installed uninstaller, in two
// halves: inside the sequence, under the setup lock, the uninstaller takes
// its retired name; after the run (at once when silent, once the window has
// closed) the hidden shell is started for it.

#include <optional>
#include <string>

#include "product/installation/install_layout.h"
#include "sequences/sequence_stages.h"
#include "system/files/file_identity.h"
#include "system/shell/run_log.h"

namespace koravale {

// The uninstaller cannot delete itself while it runs: these two are
// removed after the process has ended.
struct PendingSelfRemoval {
    std::string uninstaller;  // the file the shell deletes: its retired name, or uninstall.exe when it kept its own
    std::string install_dir;
    std::optional<std::string> own_name;  // uninstall.exe, when the file took its retired name
    // The file this program runs from, as known under the lock: its path
    // may name another file by the time the shell is started.
    std::optional<FileIdentity> own_file;

    bool operator==(const PendingSelfRemoval&) const = default;
};

PendingSelfRemoval retire_for_self_removal(const InstallLayout& layout, const SequenceStages& stages);

// Only this program's own file goes to the shell. One that kept its name
// is handed over under the setup lock: not when an install made since uses
// it, and otherwise with a marker that makes the next install wait for the
// shell. A shell that cannot start leaves the uninstaller where it is,
// under its own name again unless another setup program is at work.
void hand_over_self_removal(const PendingSelfRemoval& removal, const RunLog& log);

}  // namespace koravale
