// The single-pass road from UTF-7 for the line converter.
//
// A UTF-7 line is mostly stretches of text bytes, which every byte code writes
// as the same bytes, between segments of base64 runs.  The road copies the
// stretches and takes each segment alone through the steps of the road through
// UTF-16.  A segment's neighbours are ASCII characters, which close every run,
// shift and surrogate pair and combine with nothing, so the output and the
// count of replaced characters are those of the whole line through UTF-16.
//
// It writes the terminated result into out (capacity bytes) and adds what it
// replaced to lost.  When a segment does not fit the road's fixed buffers or a
// step fails for capacity, the road declines (DIRECT_ROAD_DECLINED, nothing
// added to lost) and the road through UTF-16 decides.
#pragma once

#include <cstdint>

#include "engine/kanji_code.h"
#include "engine/utf7_codec.h"
#include "platform/cp932.h"

namespace ruv {

// UTF-7 into Shift_JIS (folded when fold), EUC-JP, JIS, UTF-8 or UTF-7: the
// bytes written, -1 when the decoder refuses the text, or declined.
std::int32_t Utf7ToBytesRoad(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity,
                             KanjiCode target, Utf7Reading reading, bool fold, LostCount& lost);

}  // namespace ruv
