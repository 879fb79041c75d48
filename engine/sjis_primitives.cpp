#include "engine/sjis_primitives.h"

namespace ruv {
// Placeholder until the primitives land.
const std::array<std::uint16_t, 64> KanaSingleTable{};
const std::array<std::uint16_t, 64> KanaVoicedTable{};
const std::array<std::uint16_t, 64> KanaSemiVoicedTable{};
std::uint16_t SjisReadChar(const std::uint8_t* text, std::int32_t& length) { length = 1; return *text; }
std::int32_t PutCodeChar(std::uint8_t*, std::uint16_t value) { return value >= 0x100 ? 2 : 1; }
}  // namespace ruv
