// The names the window and ruv-cli give to codes and code buttons.
#include <gtest/gtest.h>

#include "detect/code_labels.h"
#include "detect/radio_code.h"

namespace ruv {
namespace {

// Each label with the string id the window's string table gives it.
TEST(CodeLabel, EveryDetectionResultHasItsLabelAndAnythingElseIsError) {
    const struct {
        KanjiCode code;
        int stringId;
        const char* label;
    } rows[] = {
        {CODE_ASCII, 10100, "ASCII"},     {CODE_JIS, 10101, "JIS"},
        {CODE_SJIS, 10102, "Shift-JIS"},  {CODE_EUC, 10103, "EUC"},
        {CODE_UNICODE, 10104, "Unicode"}, {CODE_UTF8, 10105, "UTF-8"},
        {CODE_UTF7, 10106, "UTF-7"},      {CODE_UNKNOWN, 10110, "不明"},
        {CODE_BINARY, 10111, "binary"},   {CODE_ERROR, 10112, "error"},
        {0x803, 10112, "error"},          {0x1001, 10112, "error"},
    };
    for (const auto& row : rows) {
        EXPECT_STREQ(CodeLabel(row.code), row.label) << row.code;
        int stringId = CODE_ERROR_LABEL.stringId;
        for (const CodeLabelEntry& entry : CODE_LABELS) {
            if (entry.code == row.code) stringId = entry.stringId;
        }
        EXPECT_EQ(stringId, row.stringId) << row.label;
    }
}

TEST(CodeFromRadioIndex, TheSixButtonsGiveTheirCodesAndNoButtonGivesShiftJis) {
    const KanjiCode expected[] = {CODE_JIS,     CODE_SJIS, CODE_EUC,
                                  CODE_UNICODE, CODE_UTF8, CODE_UTF7};
    for (int index = 0; index < 6; ++index) EXPECT_EQ(CodeFromRadioIndex(index), expected[index]);
    EXPECT_EQ(CodeFromRadioIndex(6), CODE_SJIS);
    EXPECT_EQ(CodeFromRadioIndex(-1), CODE_SJIS);
}

}  // namespace
}  // namespace ruv
