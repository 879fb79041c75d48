#include "support/data_rows.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
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
        } else if (text[++i] == 'x') {
            out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            const std::size_t at = std::string_view("nrtea").find(text[i]);
            out += at == std::string_view::npos ? text[i] : "\n\r\t\x1B\a"[at];
        }
    }
    return out;
}

KanjiCode CodeNamed(const std::string& name) {
    static const std::map<std::string, KanjiCode> codes = {
        {"ascii", CODE_ASCII},  {"jis", CODE_JIS},         {"sjis", CODE_SJIS},
        {"euc", CODE_EUC},      {"unicode", CODE_UNICODE}, {"utf16", CODE_UNICODE},
        {"utf8", CODE_UTF8},    {"utf7", CODE_UTF7},       {"unknown", CODE_UNKNOWN},
        {"binary", CODE_BINARY}};
    return codes.at(name);
}

std::string Expand(const std::string& field) {
    std::string out;
    for (std::size_t i = 0; i < field.size();) {
        const std::size_t open = field.find('{', i);
        out += Unescape(field.substr(i, open - i));
        if (open == std::string::npos) break;
        const std::size_t colon = field.find(':', open), close = field.find('}', colon);
        const std::string unit = Unescape(field.substr(colon + 1, close - colon - 1));
        for (int n = std::stoi(field.substr(open + 1)); n > 0; --n) out += unit;
        i = close + 1;
    }
    return out;
}

}  // namespace ruv::test
