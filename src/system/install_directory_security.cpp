#include "system/install_directory_security.h"

#include <windows.h>
#include <sddl.h>

#include <optional>
#include <string_view>
#include <vector>

#include "app/install_directory_acl.h"
#include "app/path_compare.h"
#include "system/file_identity.h"
#include "system/known_folders.h"
#include "system/os_error.h"
#include "system/wide_string.h"

namespace koravale {
namespace {

// Called right after the failed call: the error is read before anything else.
SetupError cannot(std::string_view what, const IoError& error = last_io_error()) {
    return SetupError{std::string("cannot ").append(what).append(": ").append(error.text)};
}

// The SID of the process token's user, as SDDL text.
Result<std::string> token_user_sid() {
    UniqueKernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) return cannot("open the process token");
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size ? size : sizeof(TOKEN_USER));
    if (!GetTokenInformation(token.get(), TokenUser, buffer.data(), static_cast<DWORD>(buffer.size()), &size)) {
        return cannot("read the user of the process token");
    }
    const auto* user = reinterpret_cast<const TOKEN_USER*>(buffer.data());
    UniqueLocalText sid;
    if (!ConvertSidToStringSidW(user->User.Sid, sid.put())) return cannot("write the user's SID as text");
    return from_wide_lossy(sid.get());  // a SID's text is ASCII
}

}  // namespace

Result<UniqueSecurityDescriptor> install_directory_descriptor() {
    const Result<std::string> sid = token_user_sid();
    if (!sid) return sid.error();
    UniqueSecurityDescriptor descriptor;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(to_wide(install_directory_sddl(*sid)).c_str(),
                                                              SDDL_REVISION_1, descriptor.put(), nullptr)) {
        return cannot("build the access list");
    }
    return descriptor;
}

bool is_in_user_profile(const std::string& dir) {
    const std::optional<std::string> profile = known_folder_path(FOLDERID_Profile);
    if (!profile) return false;
    const std::optional<std::string> canonical_profile = canonical_path(*profile);
    const std::optional<std::string> canonical_dir = canonical_path(dir);
    if (!canonical_profile || !canonical_dir) return false;
    return is_within_canonical_path(*canonical_dir, *canonical_profile);
}

}  // namespace koravale
