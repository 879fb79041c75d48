#include "cli/code_names.h"

#include <array>
#include <utility>

namespace ruv {
namespace {

constexpr std::array<std::pair<std::string_view, KanjiCode>, 17> kNames = {{
    {"jis", CODE_JIS},
    {"iso-2022-jp", CODE_JIS},
    {"sjis", CODE_SJIS},
    {"shift_jis", CODE_SJIS},
    {"shift-jis", CODE_SJIS},
    {"cp932", CODE_SJIS},
    {"ms932", CODE_SJIS},
    {"windows-31j", CODE_SJIS},
    {"euc", CODE_EUC},
    {"euc-jp", CODE_EUC},
    {"eucjp", CODE_EUC},
    {"unicode", CODE_UNICODE},
    {"utf-16le", CODE_UNICODE},
    {"utf8", CODE_UTF8},
    {"utf-8", CODE_UTF8},
    {"utf7", CODE_UTF7},
    {"utf-7", CODE_UTF7},
}};

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char c = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
        if (c != b[i]) return false;
    }
    return true;
}

}  // namespace

KanjiCode CodeFromName(std::string_view name) {
    for (const auto& [known, code] : kNames) {
        if (SameIgnoringCase(name, known)) return code;
    }
    return CODE_ERROR;
}

std::string_view ShortCodeName(KanjiCode code) {
    for (const auto& [known, named] : kNames) {
        if (named == code) return known;
    }
    return {};
}

}  // namespace ruv
