// Random directory texts: whatever is accepted is a canonical, bounded path
// on a drive with no refused character, and normalising it again keeps it.
// Normalising is one pass by design, so a refused text may still change on
// a second pass.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "checks/install_dir_rules.h"
#include "common/text.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace koravale;
    // The first line is the candidate, the rest the data directory.
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t newline = input.find('\n');
    const std::string_view candidate = input.substr(0, newline);
    const std::string_view data_dir = newline == std::string_view::npos ? std::string_view() : input.substr(newline + 1);

    const std::string once = normalize_install_dir(candidate);

    const std::optional<std::string> root = drive_root_of(candidate);
    require(!root || (root->size() == 3 && once.starts_with(*root)));

    const Result<std::string> accepted = validate_install_dir(candidate, data_dir);
    if (accepted.ok()) {
        const std::string& dir = accepted.value();
        require(dir == once);
        require(normalize_install_dir(dir) == dir);
        require(dir.size() > 3 && dir.size() <= MAX_INSTALL_DIR_BYTES);
        require(dir[0] >= 'A' && dir[0] <= 'Z' && dir[1] == ':' && dir[2] == '\\');
        require(dir.find_first_of("\"*<>?|/", 0) == std::string::npos);
        require(dir.find(':', 2) == std::string::npos);
        require(dir.find("\\\\") == std::string::npos && dir.back() != '\\');
        for (char c : dir) require(static_cast<unsigned char>(c) >= 0x20);
        require(same_directory(dir, candidate));
        // Against the data directory's canonical form itself: that form,
        // unlike an accepted one, need not survive a second normalisation.
        require(!ascii_iequals(dir, normalize_install_dir(data_dir)));
    }
    return 0;
}
