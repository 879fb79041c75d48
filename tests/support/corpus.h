// Real Japanese text for tests, from Debian's dictionary packages, and iconv
// conversions of it into every kanji code.
//
//   corpus     file                       package   content
//   Edict      /usr/share/edict/edict     edict     headwords, readings, English glosses
//   SkkJisyo   /usr/share/skk/SKK-JISYO.L skkdic    kana readings and kanji candidates
//
// Both files are EUC-JP. LoadPortableLines keeps only lines that all six codes
// can hold (ASCII and JIS X 0208: no SS2 half-width kana, no SS3 JIS X 0212),
// so a test can convert them anywhere and back without loss.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "engine/kanji_code.h"

namespace ruv::test {

enum class Corpus { Edict, SkkJisyo };

// Success when the corpus file is readable; otherwise a failure that names the
// file and the package that installs it. Use as ASSERT_TRUE(CorpusAvailable(c)).
::testing::AssertionResult CorpusAvailable(Corpus corpus);

// Whole lines (each ending in LF) of the corpus, EUC-JP, that every code can
// hold, about byteLimit bytes in all (never more). The lines are taken in
// blocks from positions spread evenly over the file, so a sample stands for
// the whole dictionary; the same arguments always give the same text. Empty
// when the file cannot be read.
std::string LoadPortableLines(Corpus corpus, std::size_t byteLimit);

// bytes converted by iconv (code page 932 for Shift_JIS, no byte-order mark,
// nothing transliterated); nullopt for a character with no counterpart, a
// malformed input or a detection outcome.
std::optional<std::string> ConvertBytes(std::string_view bytes, KanjiCode from, KanjiCode to);

// A file's content in the given code as ruv writes it: UTF-16 begins with the
// byte-order mark FF FE, and every UTF-7 run is closed by "-" (iconv leaves out
// a "-" that the next character makes unnecessary). nullopt as ConvertBytes.
std::optional<std::string> EncodeFile(std::string_view eucText, KanjiCode code);

// The text with a "-" after every UTF-7 run that ends without one.
std::string CloseUtf7Runs(std::string_view utf7);

}  // namespace ruv::test
