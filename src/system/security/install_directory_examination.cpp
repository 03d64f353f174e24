#include "system/security/install_directory_examination.h"

#include <aclapi.h>

#include <optional>
#include <vector>

#include "product/installation/install_layout.h"
#include "product/installation/io_failure_text.h"
#include "product/security/install_directory_acl.h"
#include "system/platform/file_sharing.h"
#include "system/platform/os_error.h"
#include "system/platform/unique_handle.h"
#include "system/platform/wide_string.h"
#include "system/security/user_identity.h"

namespace koravale {
namespace {

// The entry itself, never what a link leads to.
UniqueFileHandle open_itself(const std::wstring& path, DWORD access) {
    return UniqueFileHandle(CreateFileW(path.c_str(), access, SHARE_ALL, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

// Its parent's listing says the same as the handle on Windows; Wine 8
// opens a Unix link's target even when asked not to, and tells of the
// link only here.
bool listed_as_reparse_point(const std::wstring& path) {
    WIN32_FIND_DATAW data;
    const UniqueFindHandle find(FindFirstFileExW(path.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0));
    return find && (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool is_gone(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

struct Security {
    std::string owner_sid;
    std::optional<std::vector<AccessGrant>> list;  // none: a null DACL
};

std::vector<AccessGrant> grants_of(const ACL& dacl) {
    std::vector<AccessGrant> grants;
    for (DWORD index = 0; index < dacl.AceCount; ++index) {
        void* ace = nullptr;
        if (!GetAce(const_cast<ACL*>(&dacl), index, &ace)) continue;
        const BYTE type = static_cast<const ACE_HEADER*>(ace)->AceType;
        // These share one layout: header, mask, SID.
        if (type != ACCESS_ALLOWED_ACE_TYPE && type != ACCESS_DENIED_ACE_TYPE &&
            type != ACCESS_ALLOWED_CALLBACK_ACE_TYPE && type != ACCESS_DENIED_CALLBACK_ACE_TYPE) {
            continue;
        }
        const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
        const Result<std::string> trustee = sid_text(const_cast<DWORD*>(&allowed->SidStart));
        const bool allows = type == ACCESS_ALLOWED_ACE_TYPE || type == ACCESS_ALLOWED_CALLBACK_ACE_TYPE;
        // An allowing entry we cannot name is someone else's.
        grants.push_back({allows, allowed->Mask, trustee ? *trustee : std::string("?")});
    }
    return grants;
}

// The owner, and the access list when asked for; the error in the run log's words.
Result<Security> read_security(HANDLE entry, bool with_list) {
    PSID owner = nullptr;
    PACL dacl = nullptr;
    UniqueSecurityDescriptor descriptor;
    const SECURITY_INFORMATION wanted = OWNER_SECURITY_INFORMATION | (with_list ? DACL_SECURITY_INFORMATION : 0);
    if (const DWORD error = GetSecurityInfo(entry, SE_FILE_OBJECT, wanted, &owner, nullptr, with_list ? &dacl : nullptr,
                                            nullptr, descriptor.put())) {
        return SetupError{"cannot read its owner and access list: " + io_error_from_code(error).text};
    }
    Security security;
    if (owner != nullptr) {
        const Result<std::string> owner_text = sid_text(owner);
        if (!owner_text) return owner_text.error();
        security.owner_sid = *owner_text;
    }
    if (with_list && dacl != nullptr) security.list = grants_of(*dacl);
    return security;
}

// The first entry directly inside that is not the user's or the system's
// own; one whose owner cannot be read counts as such. Empty when none.
Result<std::string> find_foreign_entry(const std::string& install_dir, const std::string& user_sid) {
    WIN32_FIND_DATAW found;
    const std::wstring pattern = to_wide(install_dir) + L"\\*";
    UniqueFindHandle find(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0));
    if (!find) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) return std::string();
        return SetupError{"cannot list it: " + io_error_from_code(error).text};
    }
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::string path = join_path(install_dir, from_wide_lossy(name));
        const UniqueFileHandle entry = open_itself(to_wide(path), READ_CONTROL);
        if (!entry) {
            const DWORD error = GetLastError();
            if (is_gone(error)) continue;
            return path + " (its owner cannot be read: " + io_error_from_code(error).text + ")";
        }
        const Result<Security> security = read_security(entry.get(), false);
        if (!security) return path + " (" + security.error().message + ")";
        if (!is_trusted_owner(security->owner_sid, user_sid)) return path + " (owner " + security->owner_sid + ")";
    } while (FindNextFileW(find.get(), &found));
    if (const DWORD error = GetLastError(); error != ERROR_NO_MORE_FILES) {
        return SetupError{"cannot list it: " + io_error_from_code(error).text};
    }
    return std::string();
}

}  // namespace

ExaminedDirectory examine_install_directory(const std::string& install_dir) {
    const UniqueFileHandle dir = open_itself(to_wide(install_dir), READ_CONTROL | FILE_READ_ATTRIBUTES);
    if (!dir) {
        const DWORD error = GetLastError();
        if (is_gone(error)) return {DirectoryFinding::Missing, {}};
        return {DirectoryFinding::Unreadable, "cannot open it: " + io_error_from_code(error).text};
    }
    const Result<std::string> user_sid = current_user_sid_text();
    if (!user_sid) return {DirectoryFinding::Unreadable, user_sid.error().message};
    FILE_ATTRIBUTE_TAG_INFO information;
    if (!GetFileInformationByHandleEx(dir.get(), FileAttributeTagInfo, &information, sizeof(information))) {
        return {DirectoryFinding::Unreadable, "cannot read its attributes: " + last_io_error().text};
    }
    if ((information.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || listed_as_reparse_point(to_wide(install_dir))) {
        return {DirectoryFinding::ReparsePoint, {}};
    }

    const Result<Security> security = read_security(dir.get(), true);
    if (!security) return {DirectoryFinding::Unreadable, security.error().message};
    if (!is_trusted_owner(security->owner_sid, *user_sid)) {
        return {DirectoryFinding::ForeignOwner, "owner " + (security->owner_sid.empty() ? "none" : security->owner_sid)};
    }
    const Result<std::string> foreign = find_foreign_entry(install_dir, *user_sid);
    if (!foreign) return {DirectoryFinding::Unreadable, foreign.error().message};
    if (!foreign->empty()) return {DirectoryFinding::ForeignEntry, *foreign};
    if (lets_other_accounts_write(security->list, *user_sid)) return {DirectoryFinding::Open, {}};
    return {DirectoryFinding::Closed, {}};
}

Status close_install_directory(const std::string& install_dir, PSECURITY_DESCRIPTOR protection) {
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    if (!GetSecurityDescriptorDacl(protection, &present, &dacl, &defaulted) || !present) {
        return describe_io_failure(PROTECT_INSTALL_DIR_VERB, install_dir, last_io_error());
    }
    const UniqueFileHandle dir = open_itself(to_wide(install_dir), READ_CONTROL | WRITE_DAC);
    if (!dir) return describe_io_failure(PROTECT_INSTALL_DIR_VERB, install_dir, last_io_error());
    const DWORD error = SetSecurityInfo(dir.get(), SE_FILE_OBJECT,
                                        DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                                        nullptr, dacl, nullptr);
    if (error) return describe_io_failure(PROTECT_INSTALL_DIR_VERB, install_dir, io_error_from_code(error));
    return Done{};
}

}  // namespace koravale
