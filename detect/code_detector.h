// Code detection: classifies the head of a file as one KanjiCode.
//
// One pass over the bytes counts evidence for every code (UTF-16 line ends,
// JIS escapes, UTF-8 sequences and form, Shift_JIS and EUC-JP pairs, well-formed UTF-7
// runs), then a fixed order of decisions picks the result:
//
//   the mark FF FE first, surrogates only in pairs      CODE_UNICODE
//     (a high one may end a head cut from a longer file)
//   UTF-16 line ends, no high byte at an odd offset     CODE_UNICODE
//   a zero byte (00 00 at an even offset: at once)      CODE_BINARY
//   a two-byte JIS designation or ESC ( I               CODE_JIS
//   every 8-bit byte in a well-formed UTF-8 sequence    CODE_UTF8
//   the strictly largest of UTF-8 / SJIS / EUC counts,  CODE_UTF8, CODE_SJIS, CODE_EUC
//     where a code that meets a sequence it cannot
//     hold is ruled out if the other one meets none
//   a tie among those counts, or a ruled-out code that  CODE_UNKNOWN
//     found more pairs than the one left (mixed text)
//   plausible UTF-7 with at least one encoded run       CODE_UTF7
//   anything else                                       CODE_ASCII
//
// Shift_JIS and EUC-JP pairs are each counted on their own alignment, so one
// code's trail byte never starts the other's character; pairs inside a UTF-8
// triple do not count.  Impossible are, in Shift_JIS, 80 or A0 where a
// character starts, FD-FF, a lead byte without a trail byte 40-FC (not 7F);
// in EUC-JP, 80-A0 but SS2 8E and SS3 8F, FF, a lead A1-FE without a trail
// A1-FE, SS2 without A1-DF, SS3 without two bytes A1-FE.  A lead byte that
// ends the data is no fault.
//
// A marked head's line ends and high bytes do not matter: one-line files,
// emoji and Hangul are UTF-16 all the same.  Without the mark, UTF-16 text
// needs its line ends and no byte A0-F7 at an odd offset.
//
// Plausible UTF-7 stays true until a byte rules it out, judged as the strict
// UTF-7 decoder (utf7_codec.h) reads the text:
//   a shift "+..."            only base64 digits; it ends at the first other
//                             byte, and must end well: "+" right before a byte
//                             other than a digit or "-", or leftover bits that
//                             are six or more or not zero, rule UTF-7 out, as
//                             do units no Japanese text holds (controls,
//                             Hangul, private use, lone surrogates)
//   outside a shift           only bytes the UTF-7 decoder accepts there: no
//                             controls but TAB LF CR, no backslash, tilde or DEL,
//                             no byte >= 0x80
//   the end of the file       a shift still open there rules UTF-7 out (not
//                             where the head is merely cut)
// so ASCII text is UTF-7 only when it holds a run no plain text would: "C++",
// "+81-3", "a+b=c", "a\n" or "~user" keep it ASCII.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "engine/kanji_code.h"
#include "engine/line_converter.h"
#include "platform/file_handle.h"

namespace ruv {

// DetectCode looks this many bytes beyond the data (for a JIS escape or a
// UTF-8 sequence that starts on the last bytes); they must be readable and zero.
inline constexpr std::size_t DETECT_LOOKAHEAD_BYTES = 2;
static_assert(HEAD_BUFFER_BYTES >= HEAD_READ_BYTES + DETECT_LOOKAHEAD_BYTES,
              "the head buffer must hold the zero bytes that detection reads past the head");

// Classifies bytes[0 .. count-1]; bytes[count] and bytes[count+1] must be zero.
// moreFollows tells that the text goes on past them (a head cut from a longer
// file).  Never returns CODE_ERROR; fewer than two bytes give CODE_UNKNOWN.
KanjiCode DetectCode(const std::uint8_t* bytes, std::int32_t count, bool moreFollows);
// The same for a head as read: one of HEAD_READ_BYTES may go on, a shorter one
// is the whole text.
KanjiCode DetectCode(const std::uint8_t* bytes, std::int32_t count);

// Reads at most HEAD_READ_BYTES of the file into converter.headBuffer (its
// length into headLength) and classifies the file by them, reading on past a
// 7-bit head as DetectOpenFileCode does. CODE_ERROR when the file cannot be
// opened (missing, not a regular file, locked by another process) or read;
// the head buffer is then left zeroed.
KanjiCode DetectFileCode(CodeConverter& converter, const std::filesystem::path& path);

// The same for a file already open (and locked), read from its current offset;
// the caller rewinds it afterwards if it reads the file again.  CODE_ERROR when
// it cannot be read.  A 7-bit head (ASCII or UTF-7) promises nothing about the
// rest: the file is then read on, in blocks, to the first byte >= 0x80, zero
// byte or JIS escape, and the text from the start of that line decides; a file
// that stays 7-bit keeps the head's result, UTF-7 only if all of it reads so.
KanjiCode DetectOpenFileCode(CodeConverter& converter, const FileHandle& file);

}  // namespace ruv
