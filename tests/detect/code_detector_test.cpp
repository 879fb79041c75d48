// The byte rules of DetectCode, one row of tests/data/detect_code.tsv each.
#include "detect/code_detector.h"

#include <gtest/gtest.h>

#include "detect/code_labels.h"  // labels make failures readable
#include "engine/codec_cases.h"
#include "support/data_rows.h"

namespace ruv {
namespace {

class DetectCodeRows : public testing::TestWithParam<test::DataRow> {};

TEST_P(DetectCodeRows, GiveTheExpectedCode) {
    const test::DataRow& row = GetParam();
    std::vector<std::uint8_t> bytes = test::Hex(row.at(0));  // up to a final "..."
    const bool cut = row.at(0).ends_with("...");
    // Exactly the bytes and the zero bytes DetectCode may read, so that
    // AddressSanitizer catches any read further on.
    const auto count = static_cast<std::int32_t>(bytes.size());
    bytes.resize(bytes.size() + DETECT_LOOKAHEAD_BYTES, 0);
    EXPECT_STREQ(CodeLabel(DetectCode(bytes.data(), count, cut)), row.at(1).c_str()) << row.at(2);
}

INSTANTIATE_TEST_SUITE_P(Tsv, DetectCodeRows, testing::ValuesIn(test::DataRows("detect_code.tsv")));

}  // namespace
}  // namespace ruv
