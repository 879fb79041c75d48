// The code chosen by a group of six code radio buttons, by the index of the
// checked button in the order they stand on the window.
#pragma once

#include "engine/kanji_code.h"

namespace ruv {

// 0..5: CODE_JIS, CODE_SJIS, CODE_EUC, CODE_UNICODE, CODE_UTF8, CODE_UTF7;
// any other index (no button checked) gives CODE_SJIS.
KanjiCode CodeFromRadioIndex(int index);

}  // namespace ruv
