// The byte rules of DetectCode, row by row.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "detect/code_detector.h"
#include "detect/code_labels.h"  // labels make failures readable

namespace ruv {
namespace {

struct Row {
    const char* what;
    std::vector<std::uint8_t> bytes;
    KanjiCode expected;
};

// The bytes in a block of exactly their length plus the two zero bytes that
// DetectCode may read, so that AddressSanitizer catches any read further on.
KanjiCode Detect(const std::vector<std::uint8_t>& bytes) {
    std::vector<std::uint8_t> block(bytes);
    block.resize(bytes.size() + DETECT_LOOKAHEAD_BYTES, 0);
    return DetectCode(block.data(), static_cast<std::int32_t>(bytes.size()));
}

void ExpectRows(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        EXPECT_STREQ(CodeLabel(Detect(row.bytes)), CodeLabel(row.expected)) << row.what;
    }
}

TEST(DetectCode, SevenBitTextIsUtf7OnlyWhereTheUtf7DecoderWouldAcceptIt) {
    ExpectRows({
        {"empty", {}, CODE_UNKNOWN},
        {"A", {0x41}, CODE_UNKNOWN},
        // hello CR LF
        {"plain text", {0x68, 0x65, 0x6C, 0x6C, 0x6F, 0x0D, 0x0A}, CODE_UTF7},
        // a TAB b CR LF
        {"TAB is direct", {0x61, 0x09, 0x62, 0x0D, 0x0A}, CODE_UTF7},
        // a+Zg-b
        {"closed shift", {0x61, 0x2B, 0x5A, 0x67, 0x2D, 0x62}, CODE_UTF7},
        // 1+1=2 LF
        {"'=' in a shift", {0x31, 0x2B, 0x31, 0x3D, 0x32, 0x0A}, CODE_ASCII},
        // a+Zg CR LF b: a line end does not end a shift
        {"line end in a shift", {0x61, 0x2B, 0x5A, 0x67, 0x0D, 0x0A, 0x62}, CODE_ASCII},
        // a\n; (C source): the decoder refuses a backslash outside a shift
        {"backslash", {0x61, 0x5C, 0x6E, 0x3B, 0x0A}, CODE_ASCII},
        // ~user/ LF
        {"tilde", {0x7E, 0x75, 0x73, 0x65, 0x72, 0x2F, 0x0A}, CODE_ASCII},
        // a BEL b
        {"control byte", {0x61, 0x07, 0x62, 0x0A}, CODE_ASCII},
        // a 80 b c: an 8-bit byte that starts no pair
        {"8-bit byte outside a shift", {0x61, 0x80, 0x62, 0x63}, CODE_ASCII},
        // a+ 80 b: the same byte inside a shift
        {"8-bit byte inside a shift", {0x61, 0x2B, 0x80, 0x62}, CODE_ASCII},
        // abc~: the last byte is never classified
        {"tilde as the last byte", {0x61, 0x62, 0x63, 0x7E}, CODE_UTF7},
    });
}

TEST(DetectCode, Utf16IsRecognisedByItsLineEndsAndZeroUnitsAreBinary) {
    ExpectRows({
        // FF FE, A CR LF
        {"mark, A, CR LF", {0xFF, 0xFE, 0x41, 0x00, 0x0D, 0x00, 0x0A, 0x00}, CODE_UNICODE},
        // AB, no line end
        {"no line end", {0x41, 0x00, 0x42, 0x00}, CODE_BINARY},
        // A CR LF U+0000 B: a zero unit after a line end
        {"zero unit", {0x41, 0x00, 0x0D, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x42, 0x00}, CODE_BINARY},
        // A U+0100 CR LF: 00 00 at an odd offset straddles two units
        {"00 00 at an odd offset", {0x41, 0x00, 0x00, 0x01, 0x0D, 0x00, 0x0A, 0x00}, CODE_UNICODE},
        // A 0D 00 B 00 C: CR 00 at an odd offset is no line end
        {"CR 00 at an odd offset", {0x41, 0x0D, 0x00, 0x42, 0x00, 0x43}, CODE_BINARY},
        // U+9F8D CR LF: the highest high byte still allowed at an odd offset
        {"high byte 9F", {0x8D, 0x9F, 0x0D, 0x00, 0x0A, 0x00}, CODE_UNICODE},
        // U+A000 CR LF
        {"high byte A0", {0x00, 0xA0, 0x0D, 0x00, 0x0A, 0x00}, CODE_BINARY},
        // U+F700 CR LF
        {"high byte F7", {0x00, 0xF7, 0x0D, 0x00, 0x0A, 0x00}, CODE_BINARY},
        // U+F800 CR LF
        {"high byte F8", {0x00, 0xF8, 0x0D, 0x00, 0x0A, 0x00}, CODE_UNICODE},
    });
}

TEST(DetectCode, OneTwoByteJisDesignationDecidesForJis) {
    ExpectRows({
        // ESC $ B 亜 ESC ( B
        {"ESC $ B", {0x1B, 0x24, 0x42, 0x30, 0x21, 0x1B, 0x28, 0x42}, CODE_JIS},
        // ESC $ @ 亜 ESC ( J
        {"ESC $ @", {0x1B, 0x24, 0x40, 0x30, 0x21, 0x1B, 0x28, 0x4A}, CODE_JIS},
        // ESC $ ( O 亜
        {"ESC $ ( O", {0x1B, 0x24, 0x28, 0x4F, 0x30, 0x21}, CODE_JIS},
        // ESC $ ( D (JIS X 0212) 0x2121 ESC ( B: no two-byte JIS escape, ESC refused
        {"ESC $ ( D", {0x1B, 0x24, 0x28, 0x44, 0x21, 0x21, 0x1B, 0x28, 0x42}, CODE_ASCII},
        // Shift_JIS あい, then ESC $ B あ ESC ( B
        {"with Shift_JIS pairs",
         {0x82, 0xA0, 0x82, 0xA2, 0x1B, 0x24, 0x42, 0x24, 0x22, 0x1B, 0x28, 0x42},
         CODE_JIS},
        // ESC $ B あ ESC ( B A NUL A: a zero byte before the last byte
        {"with a zero byte",
         {0x1B, 0x24, 0x42, 0x24, 0x22, 0x1B, 0x28, 0x42, 0x41, 0x00, 0x41},
         CODE_BINARY},
        // a ESC $ B: the escape's last byte is the last data byte
        {"escape at the end", {0x61, 0x1B, 0x24, 0x42}, CODE_JIS},
        // ab ESC $: the zero bytes after the data complete no escape
        {"cut escape", {0x61, 0x62, 0x1B, 0x24}, CODE_ASCII},
    });
}

TEST(DetectCode, TheLargestPairCountWinsAndATieIsUnknown) {
    ExpectRows({
        // あああ in Shift_JIS, EUC-JP and UTF-8
        {"Shift_JIS", {0x82, 0xA0, 0x82, 0xA0, 0x82, 0xA0}, CODE_SJIS},
        {"EUC-JP", {0xA4, 0xA2, 0xA4, 0xA2, 0xA4, 0xA2}, CODE_EUC},
        {"UTF-8", {0xE3, 0x81, 0x82, 0xE3, 0x81, 0x82, 0xE3, 0x81, 0x82}, CODE_UTF8},
        // あ in Shift_JIS, then あ in EUC-JP
        {"tie", {0x82, 0xA0, 0xA4, 0xA2}, CODE_UNKNOWN},
        // 燹 (EUC-JP E0 A1) twice: a lead byte E0-FC counts as Shift_JIS
        {"EUC-JP level 2 kanji", {0xE0, 0xA1, 0xE0, 0xA1}, CODE_SJIS},
        // 亜 (EUC-JP B0 A1) then 燹 (E0 A1): one pair each
        {"EUC-JP tie", {0xB0, 0xA1, 0xE0, 0xA1}, CODE_UNKNOWN},
        // い A2 (Shift_JIS): the trail byte A2 starts no EUC pair
        {"Shift_JIS trail skipped", {0x82, 0xA2, 0xA2}, CODE_SJIS},
        // あ A (UTF-8): the continuation bytes 81 82 form no Shift_JIS pair
        {"UTF-8 continuations skipped", {0xE3, 0x81, 0x82, 0x41}, CODE_UTF8},
        // ぱあぱあ in EUC-JP: D1 A4 A2 looks like a lead and two continuation
        // bytes, but D1 leads only two-byte sequences
        {"EUC-JP kana are no UTF-8", {0xA4, 0xD1, 0xA4, 0xA2, 0xA4, 0xD1, 0xA4, 0xA2}, CODE_EUC},
    });
}

}  // namespace
}  // namespace ruv
