#pragma once
// What an install does with an existing folder outside the user's profile,
// from what a look at it found: use it, close it to other accounts first,
// or refuse it with the text that says why.

#include <string>
#include <string_view>

namespace koravale {

enum class DirectoryFinding {
    Missing,               // nothing there (any more)
    Unreadable,            // its owner or access list, its listing, or an entry's could not be read
    ForeignOwner,          // owned by an account other than the user or the system's own
    OwnerWithoutAccount,   // owned by a SID that names no account on this PC
    ReparsePoint,          // a link or junction: what it leads to may change at any time
    ForeignEntry,          // something directly inside belongs to another account
    WritableEntry,         // something directly inside that other accounts may write, or a hard link
    OpenWithOtherContent,  // another account may write in it, and it holds more than the program's files
    Open,                  // another account may write in it; it holds the program's files at most
    Closed,                // only the user and the system's own accounts may change it
};

struct ExaminedDirectory {
    DirectoryFinding finding = DirectoryFinding::Missing;
    // For the run log: what decided it, with the owner or the trustee and
    // its rights, or why it could not be read.
    std::string detail;
};

// The first look, or the one after its access list was replaced.
enum class DirectoryLook { BeforeClosing, AfterClosing };

enum class DirectoryAction { Use, Close, Refuse };

struct DirectoryVerdict {
    DirectoryAction action = DirectoryAction::Use;
    std::string refusal;  // the user's text, for Refuse
};

DirectoryVerdict judge_install_directory(DirectoryFinding finding, std::string_view install_dir, DirectoryLook look);

}  // namespace koravale
