#include "support/run_log_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "product/identity/product_constants.h"
#include "support/test_support.h"

namespace koravale::testing_support {

std::vector<std::string> logged_events(const std::wstring& log_file) {
    const std::string text = read_file(log_file);
    EXPECT_FALSE(text.starts_with("\xEF\xBB\xBF")) << "UTF-8 without a byte-order mark";
    EXPECT_TRUE(text.empty() || text.ends_with("\r\n")) << "whole lines only";
    static const std::regex stamped(R"((\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\.\d{3}) (.*))");
    std::vector<std::string> stamps;
    std::vector<std::string> events;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find("\r\n", start), text.size());
        const std::string line = text.substr(start, end - start);
        std::smatch parts;
        if (std::regex_match(line, parts, stamped)) {
            stamps.push_back(parts[1]);
            events.push_back(parts[2]);
        } else {
            ADD_FAILURE() << "a line without its time stamp: " << line;
        }
        start = end + 2;
    }
    EXPECT_TRUE(std::is_sorted(stamps.begin(), stamps.end())) << text;
    return events;
}

std::string program_event_text() {
    return std::string(PRODUCT_NAME) + " setup " + std::string(PRODUCT_VERSION) + ", build " + std::string(BUILD_CODE);
}

}  // namespace koravale::testing_support
