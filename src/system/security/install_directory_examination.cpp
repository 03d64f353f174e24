#include "system/security/install_directory_examination.h"

#include <aclapi.h>

#include <optional>
#include <vector>

#include "product/installation/install_layout.h"
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

ExaminedDirectory unreadable(std::string why) { return {DirectoryFinding::Unreadable, std::move(why)}; }

std::vector<AccessGrant> grants_of(const ACL& dacl) {
    std::vector<AccessGrant> grants;
    for (DWORD index = 0; index < dacl.AceCount; ++index) {
        void* ace = nullptr;
        if (!GetAce(const_cast<ACL*>(&dacl), index, &ace)) continue;
        const BYTE type = static_cast<const ACE_HEADER*>(ace)->AceType;
        // Every kind starts with header and mask; the plain ones go on with the SID.
        const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
        const bool denies = type == ACCESS_DENIED_ACE_TYPE || type == ACCESS_DENIED_CALLBACK_ACE_TYPE ||
                            type == ACCESS_DENIED_OBJECT_ACE_TYPE || type == ACCESS_DENIED_CALLBACK_OBJECT_ACE_TYPE;
        std::string trustee = "?";
        if (type == ACCESS_ALLOWED_ACE_TYPE || type == ACCESS_ALLOWED_CALLBACK_ACE_TYPE) {
            if (const Result<std::string> named = sid_text(const_cast<DWORD*>(&allowed->SidStart))) trustee = *named;
        }
        // An allowing entry we cannot name (of another kind, say) is someone else's.
        grants.push_back({!denies, allowed->Mask, std::move(trustee)});
    }
    return grants;
}

// The owner and the access list; the descriptor holds the owner's SID.
struct Security {
    UniqueSecurityDescriptor descriptor;
    PSID owner = nullptr;
    std::string owner_sid;
    std::optional<std::vector<AccessGrant>> list;  // none: a null DACL
};

// The error is in the run log's words.
Result<Security> read_security(HANDLE entry) {
    Security security;
    PACL dacl = nullptr;
    constexpr SECURITY_INFORMATION wanted = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    if (const DWORD error = GetSecurityInfo(entry, SE_FILE_OBJECT, wanted, &security.owner, nullptr, &dacl, nullptr,
                                            security.descriptor.put())) {
        return SetupError{"cannot read its owner and access list: " + io_error_from_code(error).text};
    }
    if (security.owner == nullptr) return SetupError{"it names no owner"};
    const Result<std::string> owner_text = sid_text(security.owner);
    if (!owner_text) return owner_text.error();
    security.owner_sid = *owner_text;
    if (dacl != nullptr) security.list = grants_of(*dacl);
    return security;
}

// An entry directly inside: refused when another account owns it, when it
// cannot be read, or, unless the program writes that name anew, when
// another account may write it or it is a hard link (its other names may
// lie where other accounts may write). None when it may stay.
std::optional<ExaminedDirectory> examine_entry(const std::string& path, bool programs_own,
                                               const std::string& user_sid) {
    const UniqueFileHandle entry = open_itself(to_wide(path), READ_CONTROL | FILE_READ_ATTRIBUTES);
    if (!entry) {
        const DWORD error = GetLastError();
        if (is_gone(error)) return std::nullopt;
        return unreadable(path + ": cannot open it to read its owner and access list: " +
                          io_error_from_code(error).text);
    }
    const Result<Security> security = read_security(entry.get());
    if (!security) return unreadable(path + ": " + security.error().message);
    if (!is_trusted_owner(security->owner_sid, user_sid)) {
        return ExaminedDirectory{DirectoryFinding::ForeignEntry, path + ": owner " + security->owner_sid};
    }
    if (programs_own) return std::nullopt;
    if (const std::optional<std::string> who = other_accounts_write_access(security->list, user_sid)) {
        return ExaminedDirectory{DirectoryFinding::WritableEntry, path + ": " + *who};
    }
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(entry.get(), &information)) {
        return unreadable(path + ": cannot read its links: " + last_io_error().text);
    }
    if (!(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && information.nNumberOfLinks > 1) {
        return ExaminedDirectory{DirectoryFinding::WritableEntry,
                                 path + ": " + std::to_string(information.nNumberOfLinks) + " links"};
    }
    return std::nullopt;
}

// What the entries directly inside say: the first that refuses the
// folder, and the first that is not one of the program's own.
struct Contents {
    std::optional<ExaminedDirectory> refusal;
    std::optional<std::string> other_entry;
};

Contents examine_contents(const std::string& install_dir, const std::string& user_sid) {
    WIN32_FIND_DATAW found;
    const std::wstring pattern = to_wide(install_dir) + L"\\*";
    UniqueFindHandle find(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0));
    if (!find) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) return {};
        return {unreadable("cannot list it: " + io_error_from_code(error).text), {}};
    }
    Contents contents;
    do {
        const std::wstring wide_name = found.cFileName;
        if (wide_name == L"." || wide_name == L"..") continue;
        const std::string name = from_wide_lossy(wide_name);
        const std::string path = join_path(install_dir, name);
        const bool programs_own = is_program_entry_name(name);
        if (!programs_own && !contents.other_entry) contents.other_entry = path;
        contents.refusal = examine_entry(path, programs_own, user_sid);
        if (contents.refusal) return contents;
    } while (FindNextFileW(find.get(), &found));
    if (const DWORD error = GetLastError(); error != ERROR_NO_MORE_FILES) {
        return {unreadable("cannot list it: " + io_error_from_code(error).text), {}};
    }
    return contents;
}

}  // namespace

ExaminedDirectory examine_install_directory(const std::string& install_dir) {
    const UniqueFileHandle dir = open_itself(to_wide(install_dir), READ_CONTROL | FILE_READ_ATTRIBUTES);
    if (!dir) {
        const DWORD error = GetLastError();
        if (is_gone(error)) return {DirectoryFinding::Missing, {}};
        return unreadable("cannot open it to read its owner and access list: " + io_error_from_code(error).text);
    }
    const Result<std::string> user_sid = current_user_sid_text();
    if (!user_sid) return unreadable(user_sid.error().message);
    FILE_ATTRIBUTE_TAG_INFO information;
    if (!GetFileInformationByHandleEx(dir.get(), FileAttributeTagInfo, &information, sizeof(information))) {
        return unreadable("cannot read its attributes: " + last_io_error().text);
    }
    if ((information.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || listed_as_reparse_point(to_wide(install_dir))) {
        return {DirectoryFinding::ReparsePoint, "it is a link or junction"};
    }

    const Result<Security> security = read_security(dir.get());
    if (!security) return unreadable(security.error().message);
    const std::string owner = "owner " + security->owner_sid;
    // The system's own accounts first: Wine names no account for TrustedInstaller.
    if (!is_trusted_owner(security->owner_sid, *user_sid)) {
        if (names_no_account(security->owner)) {
            return {DirectoryFinding::OwnerWithoutAccount, owner + ", which names no account on this PC"};
        }
        return {DirectoryFinding::ForeignOwner, owner};
    }
    Contents contents = examine_contents(install_dir, *user_sid);
    if (contents.refusal) return std::move(*contents.refusal);
    const std::optional<std::string> who = other_accounts_write_access(security->list, *user_sid);
    if (!who) return {DirectoryFinding::Closed, owner};
    if (contents.other_entry) {
        return {DirectoryFinding::OpenWithOtherContent,
                "open to other accounts (" + *who + ") and holds " + *contents.other_entry};
    }
    return {DirectoryFinding::Open, *who};
}

Status close_install_directory(const std::string& install_dir, PSECURITY_DESCRIPTOR protection) {
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    if (!GetSecurityDescriptorDacl(protection, &present, &dacl, &defaulted) || !present) {
        return SetupError{"the protected access list has no entries: " + last_io_error().text};
    }
    const UniqueFileHandle dir = open_itself(to_wide(install_dir), READ_CONTROL | WRITE_DAC);
    if (!dir) return SetupError{"cannot open it to change its access list: " + last_io_error().text};
    const DWORD error = SetSecurityInfo(dir.get(), SE_FILE_OBJECT,
                                        DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                                        nullptr, dacl, nullptr);
    if (error) return SetupError{"cannot replace its access list: " + io_error_from_code(error).text};
    return Done{};
}

}  // namespace koravale
