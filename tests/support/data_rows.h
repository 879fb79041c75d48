// Rows of a tab-separated file in tests/data, for tests driven by a table.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/kanji_code.h"

namespace ruv::test {

// The fields of one line; a test parameter prints as its first field.
struct DataRow : std::vector<std::string> {};
inline void PrintTo(const DataRow& row, std::ostream* out) { *out << row.at(0); }

// The lines of tests/data/<file> that are neither empty nor "#" comments, split
// at tabs; a missing file fails the test.
std::vector<DataRow> DataRows(const std::string& file);

// The text with its C escapes decoded: \n \r \t \e \a \xHH, and a backslash
// before any other character stands for that character.
std::string Unescape(std::string_view text);

// The code a row names: ascii, jis, sjis, euc, unicode (or utf16), utf8, utf7, unknown,
// binary.
KanjiCode CodeNamed(const std::string& name);

// Unescape, and "{N:s}" for N times s.
std::string Expand(const std::string& field);

}  // namespace ruv::test
