// Rows of a tab-separated file in tests/data, for tests driven by a table.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

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

}  // namespace ruv::test
