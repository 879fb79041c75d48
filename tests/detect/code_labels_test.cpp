// The names the window and ruv-cli give to codes and code buttons.
#include <gtest/gtest.h>

#include <utility>

#include "detect/code_labels.h"
#include "detect/radio_code.h"

namespace ruv {
namespace {

TEST(CodeLabel, EveryDetectionResultHasItsLabelAndAnythingElseIsError) {
    const std::pair<KanjiCode, const char*> rows[] = {
        {CODE_ASCII, "ASCII"},     {CODE_JIS, "JIS"},     {CODE_SJIS, "Shift-JIS"},
        {CODE_EUC, "EUC"},         {CODE_UNICODE, "Unicode"}, {CODE_UTF8, "UTF-8"},
        {CODE_UTF7, "UTF-7"},      {CODE_UNKNOWN, "不明"}, {CODE_BINARY, "binary"},
        {CODE_ERROR, "error"},     {0x803, "error"},
    };
    for (const auto& [code, label] : rows) EXPECT_STREQ(CodeLabel(code), label) << code;
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
