#include "support/corpus.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fstream>

namespace ruv::test {
namespace {

constexpr std::uint8_t EUC_SS2 = 0x8E;  // half-width katakana follows
constexpr std::uint8_t EUC_SS3 = 0x8F;  // a JIS X 0212 pair follows

// Lines are taken in this many blocks, spread evenly over the file.
constexpr std::size_t SAMPLE_BLOCKS = 16;

struct CorpusFile {
    const char* name;
    const char* path;
    const char* package;
};

CorpusFile FileOf(Corpus corpus) {
    switch (corpus) {
        case Corpus::Edict: return {"edict", "/usr/share/edict/edict", "edict"};
        case Corpus::SkkJisyo: return {"SKK-JISYO.L", "/usr/share/skk/SKK-JISYO.L", "skkdic"};
    }
    return {"?", "", ""};
}

// One iconv conversion descriptor with one owner.
class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    ~Iconv() {
        if (IsOpen()) iconv_close(cd_);
    }
    bool IsOpen() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // The whole input converted, the shift state closed at the end.
    std::optional<std::string> Convert(std::string_view input) {
        if (!IsOpen()) return std::nullopt;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string output(input.size() * 4 + 16, '\0');
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        std::size_t done = 0;
        for (bool flushing = false;;) {
            char* out = output.data() + done;
            std::size_t outLeft = output.size() - done;
            const std::size_t result = flushing ? iconv(cd_, nullptr, nullptr, &out, &outLeft)
                                                : iconv(cd_, &in, &inLeft, &out, &outLeft);
            const int error = errno;
            done = output.size() - outLeft;
            if (result != static_cast<std::size_t>(-1)) {
                if (flushing) break;
                flushing = true;
            } else if (error == E2BIG) {
                output.resize(output.size() * 2);
            } else {
                return std::nullopt;  // EILSEQ, EINVAL: malformed or no counterpart
            }
        }
        output.resize(done);
        return output;
    }

private:
    iconv_t cd_;
};

// True when the EUC-JP line goes into Shift_JIS and ISO-2022-JP and back
// unchanged (which the Unicode forms then hold as well).
class PortabilityCheck {
public:
    bool Holds(std::string_view line) {
        if (std::any_of(line.begin(), line.end(), [](char c) {
                const auto b = static_cast<std::uint8_t>(c);
                return b == EUC_SS2 || b == EUC_SS3;
            })) {
            return false;
        }
        return RoundTrips(line, toSjis_, fromSjis_) && RoundTrips(line, toJis_, fromJis_);
    }

private:
    static bool RoundTrips(std::string_view line, Iconv& there, Iconv& back) {
        const std::optional<std::string> converted = there.Convert(line);
        if (!converted) return false;
        const std::optional<std::string> restored = back.Convert(*converted);
        return restored && *restored == line;
    }

    Iconv toSjis_{"CP932", "EUC-JP"};
    Iconv fromSjis_{"EUC-JP", "CP932"};
    Iconv toJis_{"ISO-2022-JP", "EUC-JP"};
    Iconv fromJis_{"EUC-JP", "ISO-2022-JP"};
};

bool IsBase64Digit(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           c == '+' || c == '/';
}

}  // namespace

const char* CorpusName(Corpus corpus) { return FileOf(corpus).name; }

std::filesystem::path CorpusPath(Corpus corpus) { return FileOf(corpus).path; }

::testing::AssertionResult CorpusAvailable(Corpus corpus) {
    const CorpusFile file = FileOf(corpus);
    if (std::ifstream(file.path, std::ios::binary).good()) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "test corpus " << file.path << " is missing: install the Debian package "
           << file.package << " (scripts/install-deps.sh does)";
}

std::string LoadPortableLines(Corpus corpus, std::size_t byteLimit) {
    std::ifstream in(FileOf(corpus).path, std::ios::binary | std::ios::ate);
    if (!in) return {};
    const auto fileSize = static_cast<std::size_t>(in.tellg());
    const std::size_t quota = byteLimit / SAMPLE_BLOCKS;
    PortabilityCheck check;
    std::string text;
    std::string line;
    for (std::size_t block = 0; block < SAMPLE_BLOCKS; ++block) {
        const std::size_t start = fileSize / SAMPLE_BLOCKS * block;
        const std::size_t end = fileSize / SAMPLE_BLOCKS * (block + 1);
        in.clear();
        in.seekg(static_cast<std::streamoff>(start));
        if (block > 0) std::getline(in, line);  // the rest of a line cut by the seek
        std::size_t taken = 0;
        while (std::getline(in, line) && static_cast<std::size_t>(in.tellg()) <= end) {
            if (taken + line.size() + 1 > quota) break;
            if (!check.Holds(line)) continue;
            text += line;
            text += '\n';
            taken += line.size() + 1;
        }
    }
    return text;
}

const char* IconvName(KanjiCode code) {
    switch (code) {
        case CODE_ASCII: return "ASCII";
        case CODE_JIS: return "ISO-2022-JP";
        case CODE_SJIS: return "CP932";
        case CODE_EUC: return "EUC-JP";
        case CODE_UNICODE: return "UTF-16LE";
        case CODE_UTF8: return "UTF-8";
        case CODE_UTF7: return "UTF-7";
        default: return nullptr;
    }
}

std::optional<std::string> ConvertBytes(std::string_view bytes, KanjiCode from, KanjiCode to) {
    const char* fromName = IconvName(from);
    const char* toName = IconvName(to);
    if (fromName == nullptr || toName == nullptr) return std::nullopt;
    return Iconv(toName, fromName).Convert(bytes);
}

std::optional<std::string> EncodeFile(std::string_view eucText, KanjiCode code) {
    std::optional<std::string> bytes = ConvertBytes(eucText, CODE_EUC, code);
    if (!bytes) return bytes;
    if (code == CODE_UNICODE) bytes->insert(0, "\xFF\xFE");
    if (code == CODE_UTF7) *bytes = CloseUtf7Runs(*bytes);
    return bytes;
}

std::string CloseUtf7Runs(std::string_view utf7) {
    std::string closed;
    closed.reserve(utf7.size() + utf7.size() / 8);
    std::size_t i = 0;
    while (i < utf7.size()) {
        const char c = utf7[i++];
        closed += c;
        if (c != '+') continue;
        const std::size_t digits = i;
        while (i < utf7.size() && IsBase64Digit(utf7[i])) closed += utf7[i++];
        const bool emptyRun = i == digits;  // "+-" is a plus sign, not a run
        if (i < utf7.size() && utf7[i] == '-') {
            closed += utf7[i++];
        } else if (!emptyRun) {
            closed += '-';
        }
    }
    return closed;
}

}  // namespace ruv::test
