// The names ruv-cli gives the six codes on its command line.
#pragma once

#include <string_view>

#include "engine/kanji_code.h"

namespace ruv {

// jis, sjis, euc, unicode, utf8, utf7: the names the help lists.
inline constexpr std::string_view CODE_NAME_LIST = "jis | sjis | euc | unicode | utf8 | utf7";

// The code of a name, in any case: the six names above and the usual
// spellings (utf-8, shift_jis, shift-jis, cp932, ms932, windows-31j, euc-jp,
// eucjp, iso-2022-jp, utf-16le, utf-7); CODE_ERROR for an unknown name.
KanjiCode CodeFromName(std::string_view name);

// The first of the six names above for the code ("sjis"), empty for none.
std::string_view ShortCodeName(KanjiCode code);

}  // namespace ruv
