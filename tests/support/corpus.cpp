#include "support/corpus.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fstream>
#include <utility>

#include "support/iconv.h"

namespace ruv::test {
namespace {

// Lines are taken in this many blocks, spread evenly over the file.
constexpr std::size_t SAMPLE_BLOCKS = 16;

struct CorpusFile {
    const char* path;
    const char* package;
};

CorpusFile FileOf(Corpus corpus) {
    if (corpus == Corpus::Edict) return {"/usr/share/edict/edict", "edict"};
    return {"/usr/share/skk/SKK-JISYO.L", "skkdic"};
}

// The iconv name of a text code; nullptr for the detection outcomes.
const char* IconvName(KanjiCode code) {
    const KanjiCode codes[] = {CODE_ASCII,   CODE_JIS,  CODE_SJIS, CODE_EUC,
                               CODE_UNICODE, CODE_UTF8, CODE_UTF7};
    const char* names[] = {"ASCII", "ISO-2022-JP", "CP932", "EUC-JP", "UTF-16LE", "UTF-8", "UTF-7"};
    const auto at = std::find(std::begin(codes), std::end(codes), code) - codes;
    return at < 7 ? names[at] : nullptr;
}

// True when the EUC-JP line holds neither SS2 (half-width kana) nor SS3 (JIS
// X 0212) and goes into Shift_JIS and ISO-2022-JP and back unchanged (which the
// Unicode forms then hold as well).
bool IsPortable(std::string_view line) {
    static Iconv there[] = {{"CP932", "EUC-JP"}, {"ISO-2022-JP", "EUC-JP"}};
    static Iconv back[] = {{"EUC-JP", "CP932"}, {"EUC-JP", "ISO-2022-JP"}};
    if (line.find_first_of("\x8E\x8F") != std::string_view::npos) return false;
    for (int i = 0; i < 2; ++i) {
        const std::optional<std::string> converted = there[i].Convert(line);
        if (!converted || back[i].Convert(*converted) != line) return false;
    }
    return true;
}

bool IsBase64Digit(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '/';
}

}  // namespace

::testing::AssertionResult CorpusAvailable(Corpus corpus) {
    const CorpusFile file = FileOf(corpus);
    if (std::ifstream(file.path, std::ios::binary).good()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "test corpus " << file.path << " is missing: install the Debian package "
           << file.package << " (scripts/install-deps.sh does)";
}

std::string LoadPortableLines(Corpus corpus, std::size_t byteLimit) {
    std::ifstream in(FileOf(corpus).path, std::ios::binary | std::ios::ate);
    if (!in) return {};
    const auto fileSize = static_cast<std::size_t>(in.tellg());
    const std::size_t quota = byteLimit / SAMPLE_BLOCKS;
    std::string text;
    std::string line;
    for (std::size_t block = 0; block < SAMPLE_BLOCKS; ++block) {
        const std::size_t end = fileSize / SAMPLE_BLOCKS * (block + 1);
        in.clear();
        in.seekg(static_cast<std::streamoff>(fileSize / SAMPLE_BLOCKS * block));
        if (block > 0) std::getline(in, line);  // the rest of a line cut by the seek
        std::size_t taken = 0;
        while (std::getline(in, line) && static_cast<std::size_t>(in.tellg()) <= end) {
            if (taken + line.size() + 1 > quota) break;
            if (!IsPortable(line)) continue;
            text += line + '\n';
            taken += line.size() + 1;
        }
    }
    return text;
}

std::optional<std::string> ConvertBytes(std::string_view bytes, KanjiCode from, KanjiCode to) {
    if (IconvName(from) == nullptr || IconvName(to) == nullptr) return std::nullopt;
    return Iconv(IconvName(to), IconvName(from)).Convert(bytes);
}

std::optional<std::string> EncodeFile(std::string_view eucText, KanjiCode code) {
    std::optional<std::string> bytes = ConvertBytes(eucText, CODE_EUC, code);
    if (bytes && code == CODE_UNICODE) bytes->insert(0, "\xFF\xFE");
    if (bytes && code == CODE_UTF7) *bytes = CloseUtf7Runs(*bytes);
    return bytes;
}

std::string CloseUtf7Runs(std::string_view utf7) {
    std::string closed;
    for (std::size_t i = 0; i < utf7.size();) {
        const char c = utf7[i++];
        closed += c;
        if (c != '+') continue;
        const std::size_t digits = i;
        while (i < utf7.size() && IsBase64Digit(utf7[i])) closed += utf7[i++];
        if (i < utf7.size() && utf7[i] == '-') {
            closed += utf7[i++];
        } else if (i != digits) {  // "+-" is a plus sign, not a run
            closed += '-';
        }
    }
    return closed;
}

}  // namespace ruv::test
