// Whole files through the file converter: marks, line ends, progress, failures,
// blocks on several threads, and real text from every code into every code.
#include "job/file_converter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "detect/code_detector.h"
#include "support/corpus.h"
#include "support/data_rows.h"
#include "support/temp_dir.h"

namespace ruv {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

const KanjiCode kCodes[] = {CODE_JIS, CODE_SJIS, CODE_EUC, CODE_UNICODE, CODE_UTF8, CODE_UTF7};
const std::map<std::string, Newline> kNewlines = {
    {"crlf", Newline::Crlf}, {"cr", Newline::Cr}, {"lf", Newline::Lf}, {"keep", Newline::Keep}};

struct Outcome {
    bool ok;
    std::string output, reason;
    std::uint32_t progress;
    FileConversion result;
};

// Converts the file `in` into `in`.out by the settings (`cancel`: cancelled
// before the first piece), and again into nothing, a dry run that must find the same.
Outcome Convert(const fs::path& in, const ConversionOptions& options, const JobSettings& settings,
                bool cancel = false) {
    ConvertJob job;
    job.settings = settings;
    job.cancel = cancel;
    ProgressCounter progress;
    progress.AddFileSize(fs::file_size(in));
    progress.ScaleProgress();
    const fs::path out = in.string() + ".out";
    Outcome outcome{};
    outcome.ok = ConvertFile(in, out, options, job, progress, outcome.reason, &outcome.result);
    if (fs::exists(out)) outcome.output = ReadFile(out);
    outcome.progress = job.progressPosition;

    std::error_code error;
    const FileHandle source = FileHandle::OpenForReading(in, error);
    FileConversion dry;
    std::string reason;
    EXPECT_EQ(ConvertFile(source, nullptr, options, job, progress, reason, &dry), outcome.ok);
    EXPECT_EQ(reason, outcome.reason);
    if (outcome.ok) {
        EXPECT_EQ(outcome.result.unchanged, outcome.output == ReadFile(in));
        EXPECT_EQ(dry.unchanged, outcome.result.unchanged);
        EXPECT_EQ(dry.replaced.count, outcome.result.replaced.count);
    }
    return outcome;
}

// The bytes converted as a file; guessed: the source code came from detection.
Outcome ConvertBytes(const std::string& input, const ConversionOptions& options,
                     bool guessed = false, bool strict = false) {
    TempDir dir;
    WriteFile(dir / "in", input);
    JobSettings settings;
    settings.autoDetect = guessed;
    settings.strict = strict;
    return Convert(dir / "in", options, settings);
}

class FileRows : public ::testing::TestWithParam<test::DataRow> {};

TEST_P(FileRows, ConvertAsTheRowSays) {
    const test::DataRow& row = GetParam();
    const Newline newline = kNewlines.at(row.at(3));
    const std::string pad(std::stoul(row.at(4)), 'a'), in = pad + test::Expand(row.at(5)),
                                                       out = pad + test::Expand(row.at(6));
    if (row.at(1) == "every") {
        for (KanjiCode source : kCodes)
            for (KanjiCode target : kCodes)
                EXPECT_EQ(
                    ConvertBytes(test::EncodeFile(in, source).value(), {source, target, newline})
                        .output,
                    test::EncodeFile(out, target).value())
                    << source << " -> " << target;
        return;
    }
    std::string sourceName = row.at(1);
    const bool guessed = sourceName.back() == '?';
    if (guessed) sourceName.pop_back();
    const KanjiCode source = test::CodeNamed(sourceName);
    const Outcome outcome =
        ConvertBytes(in, {source, test::CodeNamed(row.at(2)), newline}, guessed);
    if (row.at(6)[0] == '!') {
        EXPECT_FALSE(outcome.ok);
        EXPECT_NE(outcome.reason.find(row[6].substr(1)), std::string::npos) << outcome.reason;
        return;
    }
    EXPECT_TRUE(outcome.ok) << outcome.reason;
    EXPECT_EQ(outcome.output, out);
    // Progress counts every byte after a mark, the LF of CR LF too.
    const std::size_t mark = source == CODE_UNICODE && in.starts_with("\xFF\xFE")    ? 2
                             : source == CODE_UTF8 && in.starts_with("\xEF\xBB\xBF") ? 3
                                                                                     : 0;
    EXPECT_EQ(outcome.progress, in.size() - mark);
}

INSTANTIATE_TEST_SUITE_P(Rows, FileRows,
                         ::testing::ValuesIn(test::DataRows("file_conversions.tsv")));

TEST(FileConverter, ReplacedCharactersAreCountedWithTheFirstOnesLine) {
    for (const test::DataRow& row : test::DataRows("lost_characters.tsv")) {
        const std::string input = test::Unescape(row.at(2)), what = row.at(7);
        const ConversionOptions options{test::CodeNamed(row.at(0)), test::CodeNamed(row.at(1)),
                                        Newline::Lf};
        const Outcome outcome = ConvertBytes(input, options);
        const ReplacedCharacters& lost = outcome.result.replaced;
        ASSERT_TRUE(outcome.ok) << what << ": " << outcome.reason;
        const char* kind = lost.count == 0 ? "-" : lost.firstHadNoCode ? "code" : "broken";
        EXPECT_EQ(std::tuple(lost.count, lost.firstLine, lost.firstLineOffset, std::string(kind)),
                  std::tuple(std::stoull(row.at(3)), std::stoull(row.at(4)), std::stoull(row.at(5)),
                             row.at(6)))
            << what;
        const Outcome strict = ConvertBytes(input, options, false, true);
        EXPECT_EQ(strict.ok, lost.count == 0) << what;
        if (lost.count != 0) {
            const std::string at = "line " + row[4] + " (byte " + row[5] + ")";
            EXPECT_EQ(strict.reason.find(at), 0u) << what << ": " << strict.reason;
        }
    }
}

// Detection, then conversion of what it found, as a run under auto-detection
// does: 7-bit lines with a plus sign keep their text in every code.
TEST(FileConverter, SevenBitLinesWithAPlusSignKeepTheirText) {
    std::string plain;
    while (plain.size() < HEAD_READ_BYTES) plain += "plain text of 7-bit bytes, one line\n";
    for (const test::DataRow& row : test::DataRows("ascii_plus_lines.tsv")) {
        const std::string text = row.at(0) + (row.at(1) == "LF" ? "\n" : "");
        for (const std::string& input : {text, plain + text}) {
            TempDir dir;
            WriteFile(dir / "in", input);
            CodeConverter detector;
            const KanjiCode source = DetectFileCode(detector, dir / "in");
            EXPECT_EQ(source, CODE_ASCII) << text;
            for (KanjiCode target : kCodes) {
                const Outcome outcome = Convert(dir / "in", {source, target, Newline::Lf}, {});
                const std::string& out = outcome.output;  // UTF-7 may encode "@" or not
                EXPECT_TRUE(target == CODE_UTF7
                                ? test::ConvertBytes(out, target, CODE_UTF8) == input
                                : test::EncodeFile(input, target) == out)
                    << text << " -> " << target << ": " << out << outcome.reason;
            }
        }
    }
}

TEST(FileConverter, LargeFilesStreamAndAreComparedToTheLastByteACancelStops) {
    // Several read blocks of lines of varying length, Shift_JIS to UTF-16 and back.
    std::string text;
    for (int i = 0; text.size() < 900 * 1024; ++i) {
        text += std::string(static_cast<std::size_t>(i % 1500), 'a' + i % 26);
        text += "\x88\x9F\r\n";  // 亜
    }
    TempDir dir;
    WriteFile(dir / "a", text);
    const Outcome wide = Convert(dir / "a", {CODE_SJIS, CODE_UNICODE}, {});
    WriteFile(dir / "b", wide.output);
    EXPECT_TRUE(Convert(dir / "b", {CODE_UNICODE, CODE_SJIS}, {}).output == text) << wide.reason;
    // Already Shift_JIS with CR LF: the same bytes, until a line end differs anywhere.
    EXPECT_TRUE(Convert(dir / "a", {CODE_SJIS, CODE_SJIS, Newline::Crlf}, {}).result.unchanged);
    for (const std::size_t at : {std::size_t{0}, text.size() / 2, text.size() - 1}) {
        std::string changed = text;
        changed[at] = changed[at] == '\n' ? '\r' : '\n';
        WriteFile(dir / "d", changed);
        EXPECT_FALSE(Convert(dir / "d", {CODE_SJIS, CODE_SJIS, Newline::Crlf}, {}).result.unchanged)
            << at;
    }
    // Cancelled before the first piece: nothing written, and not the source's bytes.
    const Outcome cancelled = Convert(dir / "a", {}, {}, true);
    EXPECT_TRUE(cancelled.ok && cancelled.output.empty() && !cancelled.result.unchanged);
}

// A file cut into blocks on several threads gives what one thread gives: the
// bytes, the reason of a failure, the lost characters with the first one's
// line and offset, the comparison with the source, the progress.  Text of
// Debian's dictionary in every code, and Shift_JIS with faults put in: a
// character EUC-JP and ISO-2022-JP have no code for, a broken one, a zero
// byte, a line longer than a block, CR LF line ends.
TEST(FileConverter, BlocksOnSeveralThreadsGiveWhatOneThreadGives) {
    ASSERT_TRUE(test::CorpusAvailable(test::Corpus::Edict));
    const std::string euc = test::LoadPortableLines(test::Corpus::Edict, 64 * 1024);
    const std::string sjis = test::ConvertBytes(euc, CODE_EUC, CODE_SJIS).value();
    const std::size_t middle = sjis.find('\n', sjis.size() / 2) + 1;
    std::string crlf;
    for (char c : sjis) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const std::map<std::string, std::string> faults = {
        {"no code", sjis.substr(0, middle) + "\x87\x40\n" + sjis.substr(middle)},  // ①
        {"broken", sjis.substr(0, middle) + "ab\x85\x40\n" + sjis.substr(middle)},
        {"zero", sjis.substr(0, sjis.size() - 10) + '\0' + sjis.substr(sjis.size() - 10)},
        {"long line", sjis.substr(0, middle) + std::string(9000, 'x') + sjis.substr(middle)},
        {"crlf", crlf}};
    TempDir dir;
    JobSettings one, blocks;
    one.blocks.threads = 1;
    blocks.blocks = {3, 4 * 1024, 0};
    const auto compare = [&](const std::string& what, const ConversionOptions& options,
                             bool flags) {
        SCOPED_TRACE(what + " -> " + std::to_string(options.target));
        for (bool strict : {false, flags})
            for (bool guessed : {false, flags}) {
                one.strict = blocks.strict = strict;
                one.autoDetect = blocks.autoDetect = guessed;
                const Outcome a = Convert(dir / "in", options, one);
                const Outcome b = Convert(dir / "in", options, blocks);
                const ReplacedCharacters &x = a.result.replaced, &y = b.result.replaced;
                EXPECT_EQ(std::tuple(a.ok, a.reason, a.progress, a.result.unchanged, x.count,
                                     x.firstLine, x.firstLineOffset, x.firstHadNoCode),
                          std::tuple(b.ok, b.reason, b.progress, b.result.unchanged, y.count,
                                     y.firstLine, y.firstLineOffset, y.firstHadNoCode));
                EXPECT_TRUE(a.output == b.output);
            }
    };
    for (KanjiCode source : kCodes) {
        WriteFile(dir / "in", test::EncodeFile(euc, source).value());
        for (KanjiCode target : kCodes)
            compare(std::to_string(source), {source, target, Newline::Keep}, false);
    }
    for (const auto& [name, text] : faults) {
        WriteFile(dir / "in", text);
        for (KanjiCode target : {CODE_EUC, CODE_UTF8, CODE_SJIS})
            compare(name, {CODE_SJIS, target}, true);
    }
}

// Real Japanese text (Debian's dictionaries) from every code into every code,
// checked against glibc iconv, also on one 100 KB line and as one unbroken
// run of double-byte characters.  The engine passes through code page 932, so
// where JIS X 0208 and Microsoft's table give a character different code
// points (WAVE DASH U+301C against FULLWIDTH TILDE U+FF5E, and six more:
// tests/data/cp932_variants.tsv), both sides are compared in code page 932's
// form.  That is the only difference allowed.
//
// A file's text as UTF-8 in code page 932's form, read by iconv; a UTF-16 mark is not text.
std::string TextOf(const std::string& bytes, KanjiCode code) {
    static const std::vector<test::DataRow> variants = test::DataRows("cp932_variants.tsv");
    const std::size_t mark = code == CODE_UNICODE && bytes.starts_with("\xFF\xFE") ? 2 : 0;
    std::string utf8 =
        test::ConvertBytes(std::string_view(bytes).substr(mark), code, CODE_UTF8).value_or("?");
    for (const test::DataRow& row : variants) {
        for (std::size_t at = utf8.find(row.at(0)); at != std::string::npos;
             at = utf8.find(row[0], at + row.at(1).size()))
            utf8.replace(at, row[0].size(), row[1]);
    }
    return utf8;
}

// The text in a code as a file holds it: Unicode forms made from the code page
// 932 form, UTF-16 with its mark, UTF-7 runs closed.
std::string FileIn(const std::string& sjis, KanjiCode code) {
    std::string bytes = test::ConvertBytes(sjis, CODE_SJIS, code).value();
    if (code == CODE_UNICODE) bytes.insert(0, "\xFF\xFE");
    return code == CODE_UTF7 ? test::CloseUtf7Runs(bytes) : bytes;
}

std::string ConvertGuessed(const std::string& input, KanjiCode source, KanjiCode target) {
    return ConvertBytes(input, {source, target, Newline::Lf}, true).output;
}

// Every code into every code gives the text of the Shift_JIS input.
void CheckEveryPair(const std::string& sjis) {
    const std::string reference = TextOf(sjis, CODE_SJIS);
    for (KanjiCode source : kCodes) {
        const std::string input = FileIn(sjis, source);
        for (KanjiCode target : kCodes) {
            const std::string text = TextOf(ConvertGuessed(input, source, target), target);
            EXPECT_TRUE(text == reference)
                << source << " -> " << target << ": " << text.size() << " bytes";
        }
    }
}

class CorpusConversion : public ::testing::TestWithParam<test::Corpus> {
protected:
    void SetUp() override {
        ASSERT_TRUE(test::CorpusAvailable(GetParam()));
        sjis_ =
            test::ConvertBytes(test::LoadPortableLines(GetParam(), 160 * 1024), CODE_EUC, CODE_SJIS)
                .value();
    }

    std::string sjis_;
};

TEST_P(CorpusConversion, EveryCodeConvertsIntoEveryCode) { CheckEveryPair(sjis_); }

TEST_P(CorpusConversion, ShiftJisEucJpAndUtf8AreByteExactWithIconv) {
    const std::string euc = test::ConvertBytes(sjis_, CODE_SJIS, CODE_EUC).value();
    EXPECT_TRUE(ConvertGuessed(sjis_, CODE_SJIS, CODE_EUC) == euc);
    EXPECT_TRUE(ConvertGuessed(euc, CODE_EUC, CODE_SJIS) == sjis_);
    EXPECT_TRUE(ConvertGuessed(FileIn(sjis_, CODE_UTF8), CODE_UTF8, CODE_SJIS) == sjis_);
    EXPECT_TRUE(ConvertGuessed(sjis_, CODE_SJIS, CODE_UTF8) == FileIn(sjis_, CODE_UTF8));
    EXPECT_TRUE(ConvertGuessed(sjis_, CODE_SJIS, CODE_UNICODE) == FileIn(sjis_, CODE_UNICODE));
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
                         ::testing::Values(test::Corpus::Edict, test::Corpus::SkkJisyo));

TEST(ProgressCounter, ScalesTheTotalIntoSixteenBits) {
    for (const test::DataRow& row : test::DataRows("progress_scale.tsv")) {
        ProgressCounter counter;
        counter.AddFileSize(std::stoull(row.at(0)));
        EXPECT_EQ(counter.ScaleProgress(), std::stoul(row.at(2))) << row[0];
        EXPECT_EQ(counter.ShiftCount(), std::stoi(row.at(1))) << row[0];
        EXPECT_EQ(counter.AddProgress(std::stoull(row[0])), std::stoul(row[2]))
            << "the end of the bar";
    }
}

}  // namespace
}  // namespace ruv
