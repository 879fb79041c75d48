// The names ruv-cli gives the six codes on its command line.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "engine/kanji_code.h"

namespace ruv {

// jis, sjis, euc, unicode, utf8, utf7.
const std::map<std::string, KanjiCode>& CodeNames();

// The code of a name, or CODE_ERROR for an unknown name.
KanjiCode CodeFromName(std::string_view name);

}  // namespace ruv
