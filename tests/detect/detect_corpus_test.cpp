// The whole detector over real Japanese text: dictionary lines in every code,
// cut into file heads at many arbitrary offsets, one row of
// tests/data/detect_corpus.tsv each. Prints the accuracy per row and holds it
// above the row's floor.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>

#include "detect/code_detector.h"
#include "detect/code_labels.h"
#include "support/corpus.h"
#include "support/data_rows.h"

namespace ruv {
namespace {

using test::Corpus;

constexpr std::size_t SAMPLE_BYTES = 256 * 1024;  // EUC-JP lines per corpus
constexpr int HEADS_PER_CASE = 400;
constexpr std::uint32_t SEED = 20240611;

// The whole sample of the corpus in the code and form of a row.
std::string Encode(Corpus corpus, KanjiCode code, const std::string& form) {
    static std::map<Corpus, std::string> samples;
    std::string& euc = samples[corpus];
    if (euc.empty()) euc = test::LoadPortableLines(corpus, SAMPLE_BYTES);
    if (form == "text") return test::EncodeFile(euc, code).value_or("");
    if (form == "iconv" || form == "file")
        return test::ConvertBytes(euc, CODE_EUC, code).value_or("");
    std::string utf8;  // emoji
    for (char ch : test::ConvertBytes(euc, CODE_EUC, CODE_UTF8).value_or("")) {
        if (ch == '\n') utf8 += "\xF0\x9F\x98\x80\xED\x95\x9C";  // 😀한
        utf8 += ch;
        if (ch == '/') utf8 += "\xF0\x9F\x98\x80";
    }
    return test::ConvertBytes(utf8, CODE_UTF8, CODE_UNICODE).value_or("");
}

class DetectCorpus : public ::testing::TestWithParam<test::DataRow> {};

TEST_P(DetectCorpus, FileHeadsAtArbitraryOffsetsAreDetected) {
    const test::DataRow& row = GetParam();
    const Corpus corpus = row.at(0) == "edict" ? Corpus::Edict : Corpus::SkkJisyo;
    const auto entry = std::find_if(CODE_LABELS.begin(), CODE_LABELS.end(),
                                    [&](const auto& e) { return e.text == row.at(1); });
    ASSERT_NE(entry, CODE_LABELS.end()) << row.at(1);
    const std::string& form = row.at(2);
    const std::size_t length = row.at(3) == "head" ? HEAD_READ_BYTES : std::stoul(row.at(3));
    ASSERT_TRUE(test::CorpusAvailable(corpus));
    const std::string text = Encode(corpus, entry->code, form);
    ASSERT_GT(text.size(), 4 * HEAD_READ_BYTES) << "sample too small or not convertible";

    // The first head starts at the file's start, the others anywhere, at even
    // offsets for UTF-16; a head of a whole UTF-16 file starts with the mark.
    const bool marked = form == "file" || form == "emoji";
    const bool aligned = entry->code == CODE_UNICODE;
    std::mt19937 random(SEED);
    std::map<KanjiCode, int> results;
    std::array<std::uint8_t, HEAD_BUFFER_BYTES> head{};
    for (int n = 0; n < HEADS_PER_CASE; ++n) {
        std::size_t offset = n == 0 ? 0 : random() % (text.size() - length);
        if (aligned) offset &= ~std::size_t{1};
        if (marked && (text[offset + 1] & 0xFC) == 0xDC) offset += 2;  // never in a pair
        head.fill(0);
        const std::size_t mark = marked ? 2 : 0;
        if (marked) head[0] = 0xFF, head[1] = 0xFE;
        std::memcpy(head.data() + mark, text.data() + offset, length - mark);
        // Cut from the middle of the text: more follows every head.
        ++results[DetectCode(head.data(), static_cast<std::int32_t>(length), true)];
    }

    const double accuracy = double(results[entry->code]) / HEADS_PER_CASE;
    std::string outcome;
    for (const auto& [code, count] : results) {
        if (count > 0) outcome += std::string(" ") + CodeLabel(code) + "=" + std::to_string(count);
    }
    std::printf("[ accuracy ] %-11s %-9s %-5s %4zu bytes %6.2f%%  (%d heads:%s)\n",
                row.at(0).c_str(), entry->text, form.c_str(), length, 100.0 * accuracy,
                HEADS_PER_CASE, outcome.c_str());
    EXPECT_GE(accuracy, std::stod(row.at(4))) << row.at(5);
}

INSTANTIATE_TEST_SUITE_P(Dictionaries, DetectCorpus,
                         ::testing::ValuesIn(test::DataRows("detect_corpus.tsv")));

}  // namespace
}  // namespace ruv
