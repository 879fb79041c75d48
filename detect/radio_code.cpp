#include "detect/radio_code.h"

#include <array>

namespace ruv {
namespace {

constexpr std::array<KanjiCode, 6> RADIO_CODES{CODE_JIS,     CODE_SJIS, CODE_EUC,
                                               CODE_UNICODE, CODE_UTF8, CODE_UTF7};
constexpr KanjiCode RADIO_FALLBACK_CODE = CODE_SJIS;

}  // namespace

KanjiCode CodeFromRadioIndex(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= RADIO_CODES.size()) {
        return RADIO_FALLBACK_CODE;
    }
    return RADIO_CODES[static_cast<std::size_t>(index)];
}

}  // namespace ruv
