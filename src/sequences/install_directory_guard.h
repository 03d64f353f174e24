#pragma once
// Nothing another account can change: an install writes only into a
// folder that is the user's and the system's alone, outside the user's
// profile as well as in it.

#include <string>

#include "common/result.h"
#include "sequences/sequence_stages.h"

namespace koravale {

// What an earlier look has already logged need not be logged again.
enum class GuardNotes { Logged, Quiet };

// An existing install directory outside the user's profile: refused when
// it is a link, when its owner, its access list or what it directly holds
// cannot be read, when another account owns it or something inside, or
// may write something inside; closed, and read back, when other accounts
// may write in it and it holds nothing but the program's own files;
// refused when it holds more, or when the closing does not take. Before
// anything of the install is changed. A missing directory passes.
Status guard_existing_install_directory(const SequenceStages& stages, const std::string& install_dir,
                                        GuardNotes notes = GuardNotes::Logged);

// Creates the install directory when it is missing and says what it got;
// one that turns out to be there already (another account may have won
// the race to make it) is guarded as above.
Status make_install_directory(const SequenceStages& stages, const std::string& install_dir);

}  // namespace koravale
