#pragma once
// Making room for a file that is about to be created.

#include <string>

namespace koravale {

// Creates the missing folders above `file_path`. A folder that cannot be
// made is not reported here: creating the file then fails and says why.
void create_parent_folders(const std::wstring& file_path);

}  // namespace koravale
