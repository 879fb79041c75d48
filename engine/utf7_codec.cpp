#include "engine/utf7_codec.h"

namespace ruv {
// Stand-in: the tables are filled so that detection can be built and tested;
// the codec functions stay placeholders until the codec lands.
const char Utf7Alphabet[65] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Position of each 7-bit character in Utf7Alphabet, 255 for a non-digit.
const std::array<std::uint8_t, 128> Utf7DigitValue{
    255, 255, 255, 255, 255, 255, 255, 255,  // 0x00-0x07
    255, 255, 255, 255, 255, 255, 255, 255,  // 0x08-0x0F
    255, 255, 255, 255, 255, 255, 255, 255,  // 0x10-0x17
    255, 255, 255, 255, 255, 255, 255, 255,  // 0x18-0x1F
    255, 255, 255, 255, 255, 255, 255, 255,  // 0x20-0x27
    255, 255, 255,  62, 255, 255, 255,  63,  // 0x28-0x2F
     52,  53,  54,  55,  56,  57,  58,  59,  // 0x30-0x37
     60,  61, 255, 255, 255, 255, 255, 255,  // 0x38-0x3F
    255,   0,   1,   2,   3,   4,   5,   6,  // 0x40-0x47
      7,   8,   9,  10,  11,  12,  13,  14,  // 0x48-0x4F
     15,  16,  17,  18,  19,  20,  21,  22,  // 0x50-0x57
     23,  24,  25, 255, 255, 255, 255, 255,  // 0x58-0x5F
    255,  26,  27,  28,  29,  30,  31,  32,  // 0x60-0x67
     33,  34,  35,  36,  37,  38,  39,  40,  // 0x68-0x6F
     41,  42,  43,  44,  45,  46,  47,  48,  // 0x70-0x77
     49,  50,  51, 255, 255, 255, 255, 255,  // 0x78-0x7F
};

// Utf7Class of each 7-bit character.
const std::array<std::uint8_t, 128> Utf7CharClass{
    0, 0, 0, 0, 0, 0, 0, 0,  // 0x00-0x07
    0, 1, 1, 0, 0, 1, 0, 0,  // 0x08-0x0F
    0, 0, 0, 0, 0, 0, 0, 0,  // 0x10-0x17
    0, 0, 0, 0, 0, 0, 0, 0,  // 0x18-0x1F
    1, 2, 2, 2, 2, 2, 2, 1,  // 0x20-0x27
    1, 1, 2, 3, 1, 1, 1, 1,  // 0x28-0x2F
    1, 1, 1, 1, 1, 1, 1, 1,  // 0x30-0x37
    1, 1, 1, 2, 2, 2, 2, 1,  // 0x38-0x3F
    1, 1, 1, 1, 1, 1, 1, 1,  // 0x40-0x47
    1, 1, 1, 1, 1, 1, 1, 1,  // 0x48-0x4F
    1, 1, 1, 1, 1, 1, 1, 1,  // 0x50-0x57
    1, 1, 1, 2, 0, 2, 2, 2,  // 0x58-0x5F
    2, 1, 1, 1, 1, 1, 1, 1,  // 0x60-0x67
    1, 1, 1, 1, 1, 1, 1, 1,  // 0x68-0x6F
    1, 1, 1, 1, 1, 1, 1, 1,  // 0x70-0x77
    1, 1, 1, 2, 2, 2, 0, 0,  // 0x78-0x7F
};

std::int32_t WideToUtf7Text(std::uint8_t*, const char16_t*, std::int32_t) { return -1; }
std::int32_t Utf7ToWideText(char16_t*, const std::uint8_t*, std::int32_t) { return -1; }
std::int32_t Utf7EncodeRun(std::uint8_t*, const char16_t*, std::int32_t, std::int32_t) { return -1; }
std::int32_t Utf7DecodeRun(char16_t*, const std::uint8_t*, std::int32_t, std::int32_t*) { return -1; }
}  // namespace ruv
