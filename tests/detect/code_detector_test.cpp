// The byte rules of DetectCode, one row of tests/data/detect_code.tsv each.
#include "detect/code_detector.h"

#include <gtest/gtest.h>

#include <sstream>

#include "detect/code_labels.h"  // labels make failures readable
#include "support/data_rows.h"

namespace ruv {
namespace {

class DetectCodeRows : public testing::TestWithParam<test::DataRow> {};

TEST_P(DetectCodeRows, GiveTheExpectedCode) {
    const test::DataRow& row = GetParam();
    std::vector<std::uint8_t> bytes;
    bool cut = false;
    std::istringstream tokens(row.at(0));
    for (std::string token; tokens >> token;) {
        if (token == "...")
            cut = true;
        else
            bytes.push_back(static_cast<std::uint8_t>(std::stoul(token, nullptr, 16)));
    }
    // Exactly the bytes and the zero bytes DetectCode may read, so that
    // AddressSanitizer catches any read further on.
    const auto count = static_cast<std::int32_t>(bytes.size());
    bytes.resize(bytes.size() + DETECT_LOOKAHEAD_BYTES, 0);
    EXPECT_STREQ(CodeLabel(DetectCode(bytes.data(), count, cut)), row.at(1).c_str()) << row.at(2);
}

INSTANTIATE_TEST_SUITE_P(Tsv, DetectCodeRows, testing::ValuesIn(test::DataRows("detect_code.tsv")));

}  // namespace
}  // namespace ruv
