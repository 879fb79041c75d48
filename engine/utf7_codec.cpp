// UTF-7 <-> UTF-16; the departures from RFC 2152 are tabulated in utf7_codec.h.
//
// Runs are modified base64 of the UTF-16 units, high byte first, between "+"
// and "-".  The encoder opens a run for every unit that is not plainly safe
// (class 0 or 2) and closes it with "-" before the next direct character; the
// decoder takes "+-" as "+", ends a run at its "-" (taken) or at any other
// non-digit (left for the text), and refuses what may not stand outside a run.
#include "engine/utf7_codec.h"

#include "platform/utf16_units.h"

namespace ruv {
namespace {

constexpr std::uint8_t kNotDigit = 255;

constexpr std::array<std::uint8_t, 128> MakeDigitValues(const char* alphabet) {
    std::array<std::uint8_t, 128> values{};
    for (auto& v : values) v = kNotDigit;
    for (std::uint8_t i = 0; i < 64; ++i) values[static_cast<std::uint8_t>(alphabet[i])] = i;
    return values;
}

constexpr char16_t kPlus = u'+';
constexpr char16_t kMinus = u'-';

}  // namespace

constexpr char Utf7Alphabet[65] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<std::uint8_t, 128> Utf7DigitValue = MakeDigitValues(Utf7Alphabet);

static_assert(Utf7DigitValue['A'] == 0 && Utf7DigitValue['a'] == 26);
static_assert(Utf7DigitValue['0'] == 52 && Utf7DigitValue['+'] == 62);
static_assert(Utf7DigitValue['/'] == 63 && Utf7DigitValue['-'] == kNotDigit);
static_assert(Utf7DigitValue['='] == kNotDigit && Utf7DigitValue[0] == kNotDigit);

// 0 encoded, 1 direct, 2 optional direct (encoded here all the same), 3 the plus sign.
constexpr std::array<std::uint8_t, 128> Utf7CharClass = {
    0, 0, 0, 0, 0, 0, 0, 0,  // 00-07  controls
    0, 1, 1, 0, 0, 1, 0, 0,  // 08-0F  TAB LF CR direct
    0, 0, 0, 0, 0, 0, 0, 0,  // 10-17  controls
    0, 0, 0, 0, 0, 0, 0, 0,  // 18-1F  controls
    1, 2, 2, 2, 2, 2, 2, 1,  // 20-27  space ! " # $ % & '
    1, 1, 2, 3, 1, 1, 1, 1,  // 28-2F  ( ) * + , - . /
    1, 1, 1, 1, 1, 1, 1, 1,  // 30-37  0-7
    1, 1, 1, 2, 2, 2, 2, 1,  // 38-3F  8 9 : ; < = > ?
    1, 1, 1, 1, 1, 1, 1, 1,  // 40-47  @ A-G
    1, 1, 1, 1, 1, 1, 1, 1,  // 48-4F  H-O
    1, 1, 1, 1, 1, 1, 1, 1,  // 50-57  P-W
    1, 1, 1, 2, 0, 2, 2, 2,  // 58-5F  X Y Z [ \ ] ^ _
    2, 1, 1, 1, 1, 1, 1, 1,  // 60-67  ` a-g
    1, 1, 1, 1, 1, 1, 1, 1,  // 68-6F  h-o
    1, 1, 1, 1, 1, 1, 1, 1,  // 70-77  p-w
    1, 1, 1, 2, 2, 2, 0, 0,  // 78-7F  x y z { | } ~ DEL
};

constexpr std::int32_t CountClass(std::uint8_t c) {
    std::int32_t n = 0;
    for (auto k : Utf7CharClass) n += k == c;
    return n;
}
static_assert(CountClass(UTF7_ENCODED) == 32 && CountClass(UTF7_DIRECT) == 76);
static_assert(CountClass(UTF7_OPTIONAL) == 19 && CountClass(UTF7_PLUS) == 1);
static_assert(Utf7CharClass['@'] == UTF7_DIRECT && Utf7CharClass['+'] == UTF7_PLUS);

namespace {

// Every unit of 0x80 or above is encoded.
inline std::uint8_t ClassOf(char16_t u) {
    return u < 0x80 ? Utf7CharClass[u] : static_cast<std::uint8_t>(UTF7_ENCODED);
}

// One run "+digits-" for count units, a zero byte after it; bytes of the run or -1.
std::int32_t EncodeRun(std::uint8_t* out, const char16_t* units, std::int32_t capacity,
                       std::int32_t count) {
    std::int32_t length = 1;  // the plus sign
    if (out != nullptr) {
        if (capacity <= 1) return -1;
        out[0] = '+';
    }
    // The units as a stream of bits, cut into digits of six from the top; the
    // last digit is padded with zero bits.
    std::uint32_t bits = 0;
    std::int32_t pending = 0;  // bits not yet written, at most 21
    auto put = [&](std::uint32_t digit) {
        ++length;
        if (out == nullptr) return true;
        if (length >= capacity) return false;
        out[length - 1] = static_cast<std::uint8_t>(Utf7Alphabet[digit & 0x3F]);
        return true;
    };
    for (std::int32_t i = 0; i < count; ++i) {
        bits = (bits << 16) | units[i];
        pending += 16;
        while (pending >= 6) {
            pending -= 6;
            if (!put(bits >> pending)) return -1;
        }
        bits &= (1u << pending) - 1;
    }
    if (pending > 0 && !put(bits << (6 - pending))) return -1;
    ++length;  // the minus sign
    if (out != nullptr) {
        if (length >= capacity) return -1;
        out[length - 1] = '-';
        out[length] = 0;
    }
    return length;
}

}  // namespace

std::int32_t WideToUtf7Text(std::uint8_t* out, const char16_t* text, std::int32_t capacity,
                            LostCount* lost) {
    std::int32_t count = 0;
    const char16_t* run = nullptr;  // first unit of the open run, if any
    auto closeRun = [&](const char16_t* end) {
        const std::int32_t n = EncodeRun(out != nullptr ? out + count : nullptr, run,
                                         capacity - count, static_cast<std::int32_t>(end - run));
        run = nullptr;
        if (n < 0) return false;
        count += n;
        return true;
    };
    const char16_t* p = text;
    for (; *p != 0; ++p) {
        // A lone surrogate is no character: a "?", which also closes the run.
        char16_t u = *p;
        if (IsLoneSurrogateAt(text, p - text)) {
            u = LONE_SURROGATE_REPLACEMENT;
            if (lost != nullptr) ++lost->broken;
        }
        const std::uint8_t c = ClassOf(u);
        if (c != UTF7_DIRECT) {
            if (run != nullptr) continue;  // joins the open run
            if (c != UTF7_PLUS) {
                run = p;
                continue;
            }
            count += 2;  // "+-" outside a run
            if (out != nullptr) {
                if (count >= capacity) return -1;
                out[count - 2] = '+';
                out[count - 1] = '-';
            }
            continue;
        }
        if (run != nullptr && !closeRun(p)) return -1;
        ++count;
        if (out != nullptr) {
            if (count >= capacity) return -1;
            out[count - 1] = static_cast<std::uint8_t>(u);
        }
    }
    if (run != nullptr && !closeRun(p)) return -1;
    if (out != nullptr) {
        if (count >= capacity) return -1;
        out[count] = 0;
    }
    return count;
}

namespace {

std::int32_t DecodeRun(char16_t* out, const std::uint8_t* text, std::int32_t capacity,
                       std::int32_t* consumed, Utf7Reading reading) {
    std::int32_t count = 0;
    std::int32_t pos = 1;     // after the plus sign
    if (text[1] == kMinus) {  // "+-" is the plus sign itself
        pos = 2;
        count = 1;
        if (out != nullptr && count < capacity) out[0] = kPlus;
    } else {
        std::int32_t phase = 0;
        std::int32_t high = -1;  // first byte of a unit, waiting for its partner
        std::uint32_t v = 0;
        for (;;) {
            const std::uint8_t b = text[pos];
            if (b == kMinus || !IsUtf7Digit(b)) {  // the terminator and bytes >= 0x80 included
                // pos - 1 digits were read; none means "+" before a non-digit.
                if (reading == Utf7Reading::Strict && (pos == 1 || !Utf7RunEndsWell(pos - 1, v))) {
                    return -1;
                }
                if (b == kMinus) ++pos;
                break;
            }
            // b is not the terminator, so the byte after it may be looked at.
            v = Utf7DigitValue[b];
            const std::uint32_t w = IsUtf7Digit(text[pos + 1]) ? Utf7DigitValue[text[pos + 1]] : 0;
            ++pos;
            std::int32_t byte = -1;
            switch (phase) {
                case 0: byte = ((v << 2) | (w >> 4)) & 0xFF; break;
                case 1: byte = ((v << 4) | (w >> 2)) & 0xFF; break;
                case 2: byte = ((v << 6) | w) & 0xFF; break;
                default: break;
            }
            phase = (phase + 1) & 3;
            if (byte < 0) continue;
            if (high < 0) {
                high = byte;
                continue;
            }
            const auto unit = static_cast<char16_t>((high << 8) | byte);
            // A zero unit would end the line early on every road after this one: the
            // text is refused, as a file holding a zero byte is.
            if (unit == 0) return -1;
            ++count;
            if (out != nullptr) {
                if (count >= capacity) return -1;
                out[count - 1] = unit;
            }
            high = -1;
        }
    }
    if (consumed != nullptr) *consumed = pos;
    if (out != nullptr) {
        if (count >= capacity) return -1;
        out[count] = 0;
    }
    return count;
}

std::int32_t DecodeText(char16_t* out, const std::uint8_t* text, std::int32_t capacity,
                        Utf7Reading reading, LostCount* lost) {
    std::int32_t count = 0;
    const std::uint8_t* p = text;
    while (*p != 0) {
        const std::uint8_t b = *p;
        if (b == kPlus) {
            std::int32_t taken = 0;
            const std::int32_t n = DecodeRun(out != nullptr ? out + count : nullptr, p,
                                             capacity - count, &taken, reading);
            if (n < 0) return -1;
            count += n;
            p += taken;
            continue;
        }
        if (b >= 0x80 || Utf7CharClass[b] == UTF7_ENCODED) return -1;
        ++count;
        if (out != nullptr) {
            if (count >= capacity) return -1;
            out[count - 1] = b;
        }
        ++p;
    }
    if (out != nullptr) {
        if (count >= capacity) return -1;
        out[count] = 0;
        // Over the whole text, so that a pair split between two runs is kept;
        // each one counted.
        for (std::int32_t i = 0; i < count; ++i) {
            if (!IsLoneSurrogateAt(out, static_cast<std::size_t>(i))) continue;
            out[i] = LONE_SURROGATE_REPLACEMENT;
            if (lost != nullptr) ++lost->broken;
        }
    }
    return count;
}

}  // namespace

std::int32_t Utf7ToWideText(char16_t* out, const std::uint8_t* text, std::int32_t capacity,
                            LostCount* lost) {
    return DecodeText(out, text, capacity, Utf7Reading::Lenient, lost);
}

std::int32_t Utf7ToWideTextStrict(char16_t* out, const std::uint8_t* text, std::int32_t capacity,
                                  LostCount* lost) {
    return DecodeText(out, text, capacity, Utf7Reading::Strict, lost);
}

}  // namespace ruv
