#include "product/security/install_directory_verdict.h"

#include "texts/directory_texts.h"

namespace koravale {
namespace {

DirectoryVerdict refuse(std::string text) { return {DirectoryAction::Refuse, std::move(text)}; }

}  // namespace

DirectoryVerdict judge_install_directory(DirectoryFinding finding, std::string_view install_dir, DirectoryLook look) {
    // Still open once closed: the list did not take, or something made it
    // open again. Never the Program Files hint: running elevated is no cure.
    const bool after_closing = look == DirectoryLook::AfterClosing;
    switch (finding) {
        case DirectoryFinding::Missing:
        case DirectoryFinding::Closed:
            return {};
        case DirectoryFinding::Unreadable:
            return refuse(unreadable_install_directory_text(install_dir));
        case DirectoryFinding::ForeignOwner:
            return refuse(foreign_install_directory_text(install_dir));
        case DirectoryFinding::OwnerWithoutAccount:
            return refuse(ownerless_install_directory_text(install_dir));
        case DirectoryFinding::ReparsePoint:
            return refuse(linked_install_directory_text(install_dir));
        case DirectoryFinding::ForeignEntry:
            return refuse(foreign_install_entry_text(install_dir));
        case DirectoryFinding::WritableEntry:
            return refuse(writable_install_entry_text(install_dir));
        case DirectoryFinding::OpenWithOtherContent:
            return refuse(after_closing ? unclosable_install_directory_text(install_dir)
                                        : occupied_open_install_directory_text(install_dir));
        case DirectoryFinding::Open:
            if (after_closing) return refuse(unclosable_install_directory_text(install_dir));
            return {DirectoryAction::Close, {}};
    }
    return refuse(unreadable_install_directory_text(install_dir));
}

}  // namespace koravale
