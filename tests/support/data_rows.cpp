#include "support/data_rows.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace ruv::test {

std::vector<DataRow> DataRows(const std::string& file) {
    std::ifstream in(std::string(RUV_SOURCE_DIR) + "/tests/data/" + file);
    if (!in) ADD_FAILURE() << "cannot read tests/data/" << file;
    std::vector<DataRow> rows;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        DataRow& row = rows.emplace_back();
        for (std::string field; std::getline(fields, field, '\t');) row.push_back(field);
        if (line.back() == '\t') row.emplace_back();
    }
    return rows;
}

std::string Unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        const std::size_t base = c == 'x' ? 16 : c >= '0' && c <= '7' ? 8 : 0;
        if (base == 0) {
            const std::string_view from = "nrtea", to = "\n\r\t\x1B\a";
            const std::size_t at = from.find(c);
            out += at == std::string_view::npos ? c : to[at];
            continue;
        }
        const std::size_t start = base == 16 ? i + 1 : i;
        const std::size_t width = base == 16 ? 2 : 3;
        out += static_cast<char>(std::stoi(std::string(text.substr(start, width)), nullptr, base));
        i = start + width - 1;
    }
    return out;
}

}  // namespace ruv::test
