#include "engine/jis_codec.h"

namespace ruv {
// Placeholder until the codec lands.
std::int32_t SjisToJisText(std::uint8_t*, const std::uint8_t*, std::int32_t) { return -1; }
std::int32_t JisToSjisText(std::uint8_t*, const std::uint8_t*, std::int32_t) { return -1; }
}  // namespace ruv
