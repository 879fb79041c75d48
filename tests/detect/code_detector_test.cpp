// The byte rules of DetectCode, one row of tests/data/detect_code.tsv each.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "detect/code_detector.h"
#include "detect/code_labels.h"  // labels make failures readable

namespace ruv {
namespace {

const std::map<std::string, KanjiCode> CODE_NAMES = {
    {"ASCII", CODE_ASCII},     {"JIS", CODE_JIS},        {"SJIS", CODE_SJIS},
    {"EUC", CODE_EUC},         {"UNICODE", CODE_UNICODE}, {"UTF8", CODE_UTF8},
    {"UTF7", CODE_UTF7},       {"UNKNOWN", CODE_UNKNOWN}, {"BINARY", CODE_BINARY},
};

TEST(DetectCode, EveryRowOfTheTable) {
    std::ifstream table(RUV_SOURCE_DIR "/tests/data/detect_code.tsv");
    ASSERT_TRUE(table.is_open());
    std::string line;
    int rows = 0;
    while (std::getline(table, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string hex, expected, what;
        std::getline(fields, hex, '\t');
        std::getline(fields, expected, '\t');
        std::getline(fields, what);
        std::vector<std::uint8_t> bytes;
        bool cut = false;
        std::istringstream tokens(hex);
        for (std::string token; tokens >> token;) {
            if (token == "...") cut = true;
            else bytes.push_back(static_cast<std::uint8_t>(std::stoul(token, nullptr, 16)));
        }
        ASSERT_EQ(CODE_NAMES.count(expected), 1u) << line;
        // Exactly the bytes and the two zero bytes DetectCode may read, so that
        // AddressSanitizer catches any read further on.
        const auto count = static_cast<std::int32_t>(bytes.size());
        bytes.resize(bytes.size() + DETECT_LOOKAHEAD_BYTES, 0);
        EXPECT_STREQ(CodeLabel(DetectCode(bytes.data(), count, cut)),
                     CodeLabel(CODE_NAMES.at(expected)))
            << what << ": " << hex;
        ++rows;
    }
    EXPECT_GT(rows, 40);
}

}  // namespace
}  // namespace ruv
