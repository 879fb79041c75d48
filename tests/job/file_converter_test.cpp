// Whole files through the file converter: marks, line ends, progress, failures.
#include "job/file_converter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>

#include "detect/code_detector.h"
#include "support/corpus.h"
#include "support/data_rows.h"
#include "support/temp_dir.h"

namespace ruv {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

struct Outcome {
    bool ok;
    std::string output;
    std::string reason;
    std::uint32_t progress;
};

Outcome ConvertBytes(const std::string& input, KanjiCode source, KanjiCode target,
                     std::int32_t newline = NEWLINE_CRLF, bool guessed = false,
                     ReplacedCharacters* replaced = nullptr, bool strict = false) {
    TempDir dir;
    WriteFile(dir / "in.txt", input);
    ConvertJob job;
    job.autoDetect = guessed;
    job.sourceCode = source;
    job.targetCode = target;
    job.newlineIndex = newline;
    job.strict = strict;
    ProgressCounter progress;
    progress.AddFileSize(input.size());
    progress.ScaleProgress();
    Outcome outcome{};
    outcome.ok =
        ConvertFile(dir / "in.txt", dir / "out.txt", job, progress, outcome.reason, replaced);
    if (std::filesystem::exists(dir / "out.txt")) outcome.output = ReadFile(dir / "out.txt");
    outcome.progress = job.progressPosition;
    return outcome;
}

TEST(FileConverter, ByteOrderMarks) {
    struct Row {
        const char* what;
        std::string in;
        KanjiCode source, target;
        std::string out;
    };
    const Row rows[] = {
        {"empty file", "", CODE_SJIS, CODE_SJIS, ""},
        {"empty file to UTF-16 gets the mark", "", CODE_SJIS, CODE_UNICODE, "\xFF\xFE"},
        {"UTF-16 to UTF-16 keeps one mark", std::string("\xFF\xFE" "a\0", 4), CODE_UNICODE,
         CODE_UNICODE, std::string("\xFF\xFE" "a\0", 4)},
        {"UTF-16 without a mark: the first unit is data", std::string("a\0", 2), CODE_UNICODE,
         CODE_UTF8, "a"},
        {"UTF-8 mark is not text", "\xEF\xBB\xBF\xE3\x81\x82", CODE_UTF8, CODE_SJIS, "\x82\xA0"},
        {"UTF-8 to UTF-8 keeps the mark", "\xEF\xBB\xBF" "a", CODE_UTF8, CODE_UTF8,
         "\xEF\xBB\xBF" "a"},
        {"UTF-8 mark only at the start", "a\xEF\xBB\xBF", CODE_UTF8, CODE_UNICODE,
         std::string("\xFF\xFE" "a\0\xFF\xFE", 6)},
        {"an odd last UTF-16 byte is kept", std::string("\xFF\xFE" "a\0" "b", 5), CODE_UNICODE,
         CODE_UNICODE, std::string("\xFF\xFE" "a\0" "b\0", 6)},
    };
    for (const Row& row : rows) {
        const Outcome outcome = ConvertBytes(row.in, row.source, row.target);
        EXPECT_TRUE(outcome.ok) << row.what << ": " << outcome.reason;
        EXPECT_EQ(outcome.output, row.out) << row.what;
    }
}

TEST(FileConverter, ReplacedCharactersAreCountedWithTheFirstOnesLine) {
    const std::map<std::string, KanjiCode> codes = {{"sjis", CODE_SJIS},       {"euc", CODE_EUC},
                                                    {"jis", CODE_JIS},         {"utf8", CODE_UTF8},
                                                    {"unicode", CODE_UNICODE}, {"utf7", CODE_UTF7}};
    for (const test::DataRow& row : test::DataRows("lost_characters.tsv")) {
        const std::string input = test::Unescape(row.at(2));
        const KanjiCode source = codes.at(row.at(0)), target = codes.at(row.at(1));
        ReplacedCharacters lost;
        const Outcome outcome = ConvertBytes(input, source, target, NEWLINE_LF, false, &lost);
        const std::string what = row.at(7);
        ASSERT_TRUE(outcome.ok) << what << ": " << outcome.reason;
        EXPECT_EQ(std::to_string(lost.count) + " " + std::to_string(lost.firstLine) + " " +
                      std::to_string(lost.firstLineOffset) + " " +
                      (lost.count == 0       ? "-"
                       : lost.firstHadNoCode ? "code"
                                             : "broken"),
                  row.at(3) + " " + row.at(4) + " " + row.at(5) + " " + row.at(6))
            << what;
        const Outcome strict =
            ConvertBytes(input, source, target, NEWLINE_LF, false, nullptr, true);
        EXPECT_EQ(strict.ok, lost.count == 0) << what;
        if (lost.count != 0) {
            const std::string at = "line " + row[4] + " (byte " + row[5] + ")";
            EXPECT_EQ(strict.reason.find(at), 0u) << what << ": " << strict.reason;
        }
    }
}

TEST(FileConverter, LineEndsOfEveryStyleComeOutInOne) {
    const Outcome crlf = ConvertBytes("a\r\nb\rc\nd", CODE_SJIS, CODE_EUC, NEWLINE_CRLF);
    EXPECT_EQ(crlf.output, "a\r\nb\r\nc\r\nd");
    EXPECT_EQ(crlf.progress, 8u) << "progress counts every byte, the LF of CR LF too";
    EXPECT_EQ(ConvertBytes("a\r\nb\rc\nd", CODE_SJIS, CODE_EUC, NEWLINE_LF).output, "a\nb\nc\nd");
    EXPECT_EQ(ConvertBytes("a\r\nb\rc\nd", CODE_SJIS, CODE_EUC, NEWLINE_CR).output, "a\rb\rc\rd");
    const std::string utf16("\xFF\xFE" "a\0\r\0\n\0" "\x0D\x30", 10);  // a CR LF 」(U+300D)
    EXPECT_EQ(ConvertBytes(utf16, CODE_UNICODE, CODE_UTF8, NEWLINE_LF).output,
              "a\n\xE3\x80\x8D");
}

TEST(FileConverter, FailuresAreReportedWithTheirReason) {
    std::string farZero(300000, 'a');
    farZero += '\0';
    const struct {
        const char* what;
        std::string in;
        KanjiCode source;
        bool guessed;
        const char* reason;
    } rows[] = {
        {"refused by the decoder", "ok\nC:\\path~\n", CODE_UTF7, false, "byte 3 cannot be"},
        {"a malformed run in guessed UTF-7", "ok\na+b=c\n", CODE_UTF7, true,
         "byte 3 does not read as UTF-7; name its code with --from"},
        {"8-bit text in guessed ASCII", "ok\ncaf\xC3\xA9\n", CODE_ASCII, true,
         "byte 3 does not read as 7-bit text (ASCII); name its code with --from"},
        {"a zero byte", std::string("abc\0def\n", 8), CODE_SJIS, false,
         "holds a zero byte at offset 3"},
        {"a zero unit", std::string("\xFF\xFE" "a\0\0\0b\0", 8), CODE_UNICODE, false, "offset 4"},
        {"a zero byte past the first block", farZero, CODE_UTF8, false, "offset 300000"},
    };
    for (const auto& row : rows) {
        const Outcome outcome =
            ConvertBytes(row.in, row.source, CODE_UTF8, NEWLINE_LF, row.guessed);
        EXPECT_FALSE(outcome.ok) << row.what;
        EXPECT_NE(outcome.reason.find(row.reason), std::string::npos)
            << row.what << ": " << outcome.reason;
    }
    // A guessed UTF-7 run longer than a piece is cut on whole groups, never
    // right after its "+" (here at byte 999), and read strictly all the same.
    std::string kanji;
    for (int i = 0; i < 700; ++i) kanji += "\xE6\x97\xA5";  // 日
    const std::string utf8 = std::string(999, 'a') + kanji + "\n";
    const Outcome longRun = ConvertBytes(test::ConvertBytes(utf8, CODE_UTF8, CODE_UTF7).value(),
                                         CODE_UTF7, CODE_UTF8, NEWLINE_LF, true);
    EXPECT_EQ(longRun.output, utf8) << longRun.reason;
    // Named by the user, UTF-7 is read leniently; 00 00 across two units is no zero unit.
    EXPECT_EQ(ConvertBytes("a+b=c\n", CODE_UTF7, CODE_UTF8, NEWLINE_LF).output, "a=c\n");
    EXPECT_TRUE(ConvertBytes(std::string("\xFF\xFE" "a\0\0b", 6), CODE_UNICODE, CODE_UTF8).ok);

    TempDir dir;
    ConvertJob job;
    ProgressCounter progress;
    std::string reason;
    EXPECT_FALSE(ConvertFile(dir / "missing", dir / "out", job, progress, reason));
    EXPECT_FALSE(std::filesystem::exists(dir / "out")) << "no output without a source";
    EXPECT_FALSE(reason.empty());
}

// Detection, then conversion of what it found, as a run under auto-detection
// does: 7-bit lines with a plus sign keep their text in every code.
TEST(FileConverter, SevenBitLinesWithAPlusSignKeepTheirText) {
    std::ifstream table(RUV_SOURCE_DIR "/tests/data/ascii_plus_lines.tsv");
    ASSERT_TRUE(table.is_open());
    std::string plain;
    while (plain.size() < HEAD_READ_BYTES) plain += "plain text of 7-bit bytes, one line\n";
    for (std::string row; std::getline(table, row);) {
        if (row.empty() || row[0] == '#') continue;
        const std::size_t tab = row.find('\t');
        const std::string text = row.substr(0, tab) + (row.substr(tab + 1) == "LF" ? "\n" : "");
        for (const std::string& input : {text, plain + text}) {
            TempDir dir;
            WriteFile(dir / "in.txt", input);
            CodeConverter detector;
            const KanjiCode source = DetectFileCode(detector, dir / "in.txt");
            EXPECT_EQ(source, CODE_ASCII) << text;
            for (KanjiCode target :
                 {CODE_JIS, CODE_SJIS, CODE_EUC, CODE_UNICODE, CODE_UTF8, CODE_UTF7}) {
                const Outcome outcome = ConvertBytes(input, source, target, NEWLINE_LF, true);
                ASSERT_TRUE(outcome.ok) << text << ": " << outcome.reason;
                if (target == CODE_UTF7) {  // iconv reads it back
                    EXPECT_EQ(test::ConvertBytes(outcome.output, CODE_UTF7, CODE_UTF8), input)
                        << text;
                } else if (target == CODE_UNICODE) {
                    std::string wide = "\xFF\xFE";
                    for (char c : input) wide += {c, '\0'};
                    EXPECT_EQ(outcome.output, wide) << text;
                } else {
                    EXPECT_EQ(outcome.output, input) << text << " to " << target;
                }
            }
        }
    }
}

TEST(FileConverter, CancelStopsBeforeTheNextPiece) {
    TempDir dir;
    WriteFile(dir / "in", std::string(5000, 'x'));
    ConvertJob job;
    job.cancel = true;
    ProgressCounter progress;
    std::string reason;
    EXPECT_TRUE(ConvertFile(dir / "in", dir / "out", job, progress, reason));
    EXPECT_EQ(ReadFile(dir / "out"), "");
}

TEST(FileConverter, LargeFilesStreamThroughManyBlocks) {
    // Several read blocks of lines of varying length, Shift_JIS to UTF-16 and back.
    std::string text;
    for (int i = 0; text.size() < 900 * 1024; ++i) {
        text += std::string(static_cast<std::size_t>(i % 1500), 'a' + i % 26);
        text += "\x88\x9F\r\n";  // 亜
    }
    TempDir dir;
    WriteFile(dir / "a", text);
    ConvertJob job;
    ProgressCounter progress;
    std::string reason;
    job.sourceCode = CODE_SJIS;
    job.targetCode = CODE_UNICODE;
    ASSERT_TRUE(ConvertFile(dir / "a", dir / "b", job, progress, reason)) << reason;
    job.sourceCode = CODE_UNICODE;
    job.targetCode = CODE_SJIS;
    ASSERT_TRUE(ConvertFile(dir / "b", dir / "c", job, progress, reason)) << reason;
    EXPECT_TRUE(ReadFile(dir / "c") == text);
}

TEST(ProgressCounter, ScalesTheTotalIntoSixteenBits) {
    struct Row {
        std::uint64_t total;
        std::int32_t shift;
        std::uint32_t scaled;
    };
    const Row rows[] = {
        {0, 0, 0},
        {32000, 0, 32000},
        {32001, 1, 16000},
        {std::uint64_t{4} << 30, 18, 16384},          // 4 GiB
        {(std::uint64_t{5} << 30) + 12345, 18, 20480},  // beyond 32 bits
    };
    for (const Row& row : rows) {
        ProgressCounter counter;
        counter.AddFileSize(row.total);
        EXPECT_EQ(counter.ScaleProgress(), row.scaled) << row.total;
        EXPECT_EQ(counter.ShiftCount(), row.shift) << row.total;
        EXPECT_EQ(counter.AddProgress(row.total), row.scaled) << "the end of the run is the end of the bar";
    }
}

}  // namespace
}  // namespace ruv
