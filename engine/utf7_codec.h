// UTF-7 (RFC 2152) <-> UTF-16.
//
//   where this differs from RFC 2152                            direction
//   optional direct characters (! " # ... }) are encoded too    encode: conservative
//   "@" (set O) is written directly                             encode
//   every run is closed with "-"                                encode: conservative
//   a byte >= 0x80 or a class-0 character outside a run         decode: refused (-1)
//   a run ends at any non-digit; leftover bits are ignored      decode: lenient
//   "+" before a character that is neither digit nor "-" is     decode: lenient
//   dropped, the character read as text
//   a lone surrogate is written as "?" and decodes to "?"       both: replaced
//   a run that decodes to U+0000 (+AAA-)                        decode: refused (-1)
//   a high surrogate ending one run and a low one opening the   decode: lenient
//   next are one pair
//
// The strict reading, for text whose code was only guessed, refuses (-1) the
// runs that no encoder writes: "+" before a byte that is neither a digit nor
// "-", a run whose digits leave six or more bits over, and a run whose
// leftover bits are not zero.  "C++", "+81-3" or "a+b=c" in plain ASCII text
// thus never read as UTF-7 by accident.
#pragma once

#include <array>
#include <cstdint>

#include "platform/cp932.h"

namespace ruv {

enum Utf7Class : std::uint8_t {
    UTF7_ENCODED = 0,   // controls but TAB LF CR, backslash, tilde, DEL; every unit >= 0x80
    UTF7_DIRECT = 1,    // TAB LF CR space ' ( ) , - . / 0-9 : ? @ A-Z a-z
    UTF7_OPTIONAL = 2,  // ! " # $ % & * ; < = > [ ] ^ _ ` { | }
    UTF7_PLUS = 3,      // +
};

extern const char Utf7Alphabet[65];                         // the 64 digits and a NUL
extern const std::array<std::uint8_t, 128> Utf7DigitValue;  // 255: not a digit
extern const std::array<std::uint8_t, 128> Utf7CharClass;

// True when b is a base64 digit of the UTF-7 alphabet (bytes >= 0x80 never are).
inline bool IsUtf7Digit(std::uint8_t b) { return b < 0x80 && Utf7DigitValue[b] != 255; }

// True when a run of `digits` base64 digits, the last of value lastDigit, ends
// as an encoder ends it: fewer than six bits left over, and those bits zero.
inline bool Utf7RunEndsWell(std::int32_t digits, std::uint32_t lastDigit) {
    const std::int32_t leftover = (digits * 6) % 16;
    return leftover < 6 && (lastDigit & ((1u << leftover) - 1)) == 0;
}

enum class Utf7Reading : std::uint8_t { Lenient, Strict };

// The bytes from p up to end (never read) that UTF-7 text holds as themselves:
// classes 1 and 2 outside a run (Text), or class 1, written as itself (Direct).
// The text starts at text: the bytes from there to end may all be read.
enum class Utf7Bytes : std::uint8_t { Text, Direct };
std::int32_t Utf7ByteRunLength(const std::uint8_t* text, const std::uint8_t* p,
                               const std::uint8_t* end, Utf7Bytes which);

// The text functions add the lone surrogates they replace to lost, when given;
// the decoders find them among the units written, so measuring counts none.

std::int32_t WideToUtf7Text(std::uint8_t* out, const char16_t* text, std::int32_t capacity,
                            LostCount* lost = nullptr);
// The same for text whose length in units the caller knows (text[length] is
// its terminator), which saves a pass to find it.
std::int32_t WideToUtf7TextOfLength(std::uint8_t* out, const char16_t* text, std::int32_t length,
                                    std::int32_t capacity, LostCount* lost = nullptr);
std::int32_t Utf7ToWideText(char16_t* out, const std::uint8_t* text, std::int32_t capacity,
                            LostCount* lost = nullptr);
std::int32_t Utf7ToWideTextStrict(char16_t* out, const std::uint8_t* text, std::int32_t capacity,
                                  LostCount* lost = nullptr);

}  // namespace ruv
