// Random argument lists (one argument a line): the options read from them
// survive being written out and read again, a directory or log file is never
// blank or padded, and a later value replaces or clears an earlier one.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/text.h"
#include "product/options/setup_options.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

std::vector<std::string> written_out(const koravale::SetupOptions& options) {
    std::vector<std::string> arguments;
    if (options.uninstall) arguments.push_back("--uninstall");
    if (options.silent) arguments.push_back("/S");
    if (options.relaunch) arguments.push_back("--relaunch");
    if (options.purge_data) arguments.push_back("/purge-data");
    if (options.passive) arguments.push_back("/Passive");
    if (options.wait_pid) arguments.insert(arguments.end(), {"--wait-pid", std::to_string(*options.wait_pid)});
    if (options.dir) arguments.insert(arguments.end(), {"/D", *options.dir});
    if (options.log_file) arguments.push_back("--log=" + *options.log_file);  // its file may look like a switch
    return arguments;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace koravale;
    std::vector<std::string> arguments;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    for (std::size_t start = 0; start <= input.size();) {
        const std::size_t end = std::min(input.find('\n', start), input.size());
        arguments.emplace_back(input.substr(start, end - start));
        start = end + 1;
    }

    const SetupOptions options = parse_options(arguments);
    for (const std::optional<std::string>& text : {options.dir, options.log_file}) {
        if (!text) continue;
        require(!text->empty());
        require(trim_white_space(*text) == *text);
    }
    const std::vector<std::string> again = written_out(options);
    require(parse_options(again) == options);

    // A value option as the last argument changes nothing. (Not after the
    // input itself: its last argument may be an option waiting for a value.)
    std::vector<std::string> longer = again;
    longer.push_back("--wait-pid");
    require(parse_options(longer) == options);

    // The last directory that is not blank wins; a bad process id clears one.
    longer = again;
    longer.insert(longer.end(), {"--DIR", " KoraVale ", "--wait-pid", "-1"});
    SetupOptions expected = options;
    expected.dir = "KoraVale";
    expected.wait_pid.reset();
    require(parse_options(longer) == expected);
    return 0;
}
