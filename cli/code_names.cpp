#include "cli/code_names.h"

namespace ruv {

const std::map<std::string, KanjiCode>& CodeNames() {
    static const std::map<std::string, KanjiCode> names = {
        {"jis", CODE_JIS},         {"sjis", CODE_SJIS}, {"euc", CODE_EUC},
        {"unicode", CODE_UNICODE}, {"utf8", CODE_UTF8}, {"utf7", CODE_UTF7}};
    return names;
}

KanjiCode CodeFromName(std::string_view name) {
    const auto found = CodeNames().find(std::string(name));
    return found == CodeNames().end() ? CODE_ERROR : found->second;
}

}  // namespace ruv
