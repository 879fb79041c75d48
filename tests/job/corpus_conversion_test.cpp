// Real Japanese text (Debian's dictionaries) through the file converter, from
// every code into every code, checked against glibc iconv; and the same text
// on one 100 KB line, which must come out as the same text.
//
// The engine passes through code page 932, so where JIS X 0208 and Microsoft's
// table give a character different code points (WAVE DASH U+301C against
// FULLWIDTH TILDE U+FF5E, and six more: tests/data/cp932_variants.tsv), both
// sides are compared in code page 932's form.  That is the only difference allowed.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "job/file_converter.h"
#include "support/corpus.h"
#include "support/data_rows.h"
#include "support/temp_dir.h"

namespace ruv {
namespace {

using test::Corpus;

const KanjiCode kCodes[] = {CODE_JIS, CODE_SJIS, CODE_EUC, CODE_UNICODE, CODE_UTF8, CODE_UTF7};

std::string InCodePageForm(std::string utf8) {
    static const std::vector<test::DataRow> variants = test::DataRows("cp932_variants.tsv");
    for (const test::DataRow& row : variants) {
        const std::string& from = row.at(0);
        for (std::size_t at = utf8.find(from); at != std::string::npos;
             at = utf8.find(from, at + row.at(1).size())) {
            utf8.replace(at, from.size(), row[1]);
        }
    }
    return utf8;
}

// A file's text as UTF-8, read by iconv; a UTF-16 file's mark is not text.
std::string TextOf(const std::string& bytes, KanjiCode code) {
    const std::string_view body = code == CODE_UNICODE && bytes.rfind("\xFF\xFE", 0) == 0
                                      ? std::string_view(bytes).substr(2)
                                      : bytes;
    const auto utf8 = test::ConvertBytes(body, code, CODE_UTF8);
    EXPECT_TRUE(utf8.has_value()) << "iconv cannot read the output as " << code;
    return InCodePageForm(utf8.value_or(""));
}

// The text in a code as a file holds it: Unicode forms made from the code page
// 932 form, UTF-16 with its mark, UTF-7 runs closed.
std::string FileIn(const std::string& sjis, KanjiCode code) {
    std::string bytes = test::ConvertBytes(sjis, CODE_SJIS, code).value();
    if (code == CODE_UNICODE) bytes.insert(0, "\xFF\xFE");
    if (code == CODE_UTF7) bytes = test::CloseUtf7Runs(bytes);
    return bytes;
}

std::string ConvertWithRuv(const std::string& input, KanjiCode source, KanjiCode target) {
    test::TempDir dir;
    test::WriteFile(dir / "in", input);
    ConvertJob job;
    ProgressCounter progress;
    std::string reason;
    EXPECT_TRUE(
        ConvertFile(dir / "in", dir / "out", {source, target, Newline::Lf}, job, progress, reason))
        << reason;
    return test::ReadFile(dir / "out");
}

// Every code into every code gives the text of the Shift_JIS input.
void CheckEveryPair(const std::string& sjis) {
    const std::string reference = TextOf(sjis, CODE_SJIS);
    for (KanjiCode source : kCodes) {
        const std::string input = FileIn(sjis, source);
        for (KanjiCode target : kCodes) {
            const std::string text = TextOf(ConvertWithRuv(input, source, target), target);
            EXPECT_TRUE(text == reference)
                << source << " -> " << target << ": " << text.size() << " bytes";
        }
    }
}

class CorpusConversion : public ::testing::TestWithParam<Corpus> {
protected:
    void SetUp() override {
        ASSERT_TRUE(test::CorpusAvailable(GetParam()));
        sjis_ =
            test::ConvertBytes(test::LoadPortableLines(GetParam(), 160 * 1024), CODE_EUC, CODE_SJIS)
                .value();
        ASSERT_FALSE(sjis_.empty());
    }

    std::string sjis_;
};

TEST_P(CorpusConversion, EveryCodeConvertsIntoEveryCode) { CheckEveryPair(sjis_); }

TEST_P(CorpusConversion, ShiftJisEucJpAndUtf8AreByteExactWithIconv) {
    const std::string euc = test::ConvertBytes(sjis_, CODE_SJIS, CODE_EUC).value();
    EXPECT_TRUE(ConvertWithRuv(sjis_, CODE_SJIS, CODE_EUC) == euc);
    EXPECT_TRUE(ConvertWithRuv(euc, CODE_EUC, CODE_SJIS) == sjis_);
    EXPECT_TRUE(ConvertWithRuv(FileIn(sjis_, CODE_UTF8), CODE_UTF8, CODE_SJIS) == sjis_);
    EXPECT_TRUE(ConvertWithRuv(sjis_, CODE_SJIS, CODE_UTF8) == FileIn(sjis_, CODE_UTF8));
    EXPECT_TRUE(ConvertWithRuv(sjis_, CODE_SJIS, CODE_UNICODE) == FileIn(sjis_, CODE_UNICODE));
}

TEST_P(CorpusConversion, OneLongLineAndLongShiftRunsSurviveTheCuts) {
    // The whole sample on one 100 KB line, and only its double-byte characters
    // (one unbroken ISO-2022-JP kanji run, one UTF-7 base64 run): every
    // 1000-byte cut falls somewhere inside.
    std::string line = sjis_.substr(0, 100 * 1024), kanji;
    line.resize(line.rfind('\n'));
    std::replace(line.begin(), line.end(), '\n', ' ');
    CheckEveryPair(line);
    for (std::size_t i = 0; i + 1 < sjis_.size() && kanji.size() < 100 * 1024; ++i) {
        const auto b = static_cast<unsigned char>(sjis_[i]);
        if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) kanji.append(sjis_, i++, 2);
    }
    CheckEveryPair(kanji);
}

INSTANTIATE_TEST_SUITE_P(Dictionaries, CorpusConversion,
                         ::testing::Values(Corpus::Edict, Corpus::SkkJisyo), [](const auto& info) {
                             return std::string(info.param == Corpus::Edict ? "Edict" : "SkkJisyo");
                         });

}  // namespace
}  // namespace ruv
