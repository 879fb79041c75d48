#include "engine/euc_codec.h"

namespace ruv {
// Placeholder until the codec lands.
std::int32_t SjisToEucText(std::uint8_t*, const std::uint8_t*, std::int32_t) { return -1; }
std::int32_t EucToSjisText(std::uint8_t*, const std::uint8_t*, std::int32_t) { return -1; }
std::int32_t SjisToSjisText(std::uint8_t*, const std::uint8_t*, std::int32_t) { return -1; }
}  // namespace ruv
