// The names the window and ruv-cli give to codes.
#include <gtest/gtest.h>

#include <utility>

#include "detect/code_labels.h"

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

}  // namespace
}  // namespace ruv
