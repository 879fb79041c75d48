// Code detection: classifies the head of a file as one KanjiCode.
//
// One pass over the bytes counts evidence for every code (UTF-16 line ends,
// JIS escapes, UTF-8 sequences, Shift_JIS and EUC-JP pairs, plausible UTF-7),
// then a fixed order of decisions picks the result:
//
//   UTF-16 line ends, no high byte at an odd offset     CODE_UNICODE
//   a zero byte (00 00 at an even offset: at once)      CODE_BINARY
//   a two-byte JIS designation                          CODE_JIS
//   the strictly largest of UTF-8 / SJIS / EUC counts   CODE_UTF8, CODE_SJIS, CODE_EUC
//   a tie among those counts                            CODE_UNKNOWN
//   plausible UTF-7                                     CODE_UTF7
//   anything else                                       CODE_ASCII
//
// Plausible UTF-7 stays true until a byte rules it out:
//   inside a "+...-" shift    only base64 digits; only "-" ends a shift
//   outside a shift           only bytes the UTF-7 decoder accepts there: no
//                             controls but TAB LF CR, no backslash, tilde or DEL,
//                             no byte >= 0x80
// so C source with a backslash, a "~user" path or 8-bit text is never UTF-7.
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
// Never returns CODE_ERROR; fewer than two bytes give CODE_UNKNOWN.
KanjiCode DetectCode(const std::uint8_t* bytes, std::int32_t count);

// Reads at most HEAD_READ_BYTES of the file into converter.headBuffer (its
// length into headLength) and classifies them. CODE_ERROR when the file cannot
// be opened (missing, not a regular file, locked by another process) or read;
// the head buffer is then left zeroed.
KanjiCode DetectFileCode(CodeConverter& converter, const std::filesystem::path& path);

// The same for a file already open (and locked), read from its current offset;
// the caller rewinds it afterwards if it reads the file again.  CODE_ERROR when
// it cannot be read.
KanjiCode DetectOpenFileCode(CodeConverter& converter, const FileHandle& file);

}  // namespace ruv
