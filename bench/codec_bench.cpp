// Codecs and line-converter roads over real text, in MB/s of input.
//
// The corpora come from bench/prepare_corpus.py (Debian's edict in every code);
// set RUV_BENCH_CORPUS to their folder (default /tmp/ruv-corpus).  Each corpus
// is cut into pieces exactly as the file converter cuts it, and only its first
// CORPUS_SLICE_BYTES are used so that the pieces stay in the caches' reach the
// way they do in a real run.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "engine/euc_codec.h"
#include "engine/jis_codec.h"
#include "engine/line_converter.h"
#include "engine/piece_cutter.h"
#include "engine/sjis_primitives.h"
#include "engine/utf7_codec.h"
#include "engine/utf8_codec.h"

namespace ruv {
namespace {

constexpr std::size_t CORPUS_SLICE_BYTES = 4 * 1024 * 1024;

struct Code {
    const char* name;
    KanjiCode code;
};
const Code kCodes[] = {{"jis", CODE_JIS},         {"sjis", CODE_SJIS}, {"euc", CODE_EUC},
                       {"unicode", CODE_UNICODE}, {"utf8", CODE_UTF8}, {"utf7", CODE_UTF7}};

// The pieces of one corpus: each piece's terminated bytes, back to back.
struct Pieces {
    std::vector<LineBuffer> lines;
    std::size_t sourceBytes = 0;
};

const Pieces& PiecesOf(const Code& code) {
    static std::map<KanjiCode, Pieces> cache;
    auto found = cache.find(code.code);
    if (found != cache.end()) return found->second;
    const char* dir = std::getenv("RUV_BENCH_CORPUS");
    const std::string path =
        std::string(dir != nullptr ? dir : "/tmp/ruv-corpus") + "/edict." + code.name;
    std::ifstream in(path, std::ios::binary);
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (data.empty()) {
        std::fprintf(stderr, "missing corpus %s: run bench/prepare_corpus.py first\n",
                     path.c_str());
        std::exit(2);
    }
    data.resize(std::min(data.size(), CORPUS_SLICE_BYTES));
    Pieces& pieces = cache[code.code];
    PieceCutter cutter(code.code);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.data());
    std::size_t at = code.code == CODE_UNICODE ? 2 : 0;  // past the byte-order mark
    while (at < data.size()) {
        LineBuffer line;
        at += cutter.Next(bytes + at, data.size() - at, true, line).consumed;
        pieces.lines.push_back(line);
    }
    pieces.sourceBytes = data.size();
    return pieces;
}

void Road(benchmark::State& state, Code source, Code target) {
    const Pieces& pieces = PiecesOf(source);
    CodeConverter converter;
    ConvertedBuffer output;
    for (auto _ : state) {
        for (const LineBuffer& line : pieces.lines) {
            benchmark::DoNotOptimize(
                converter.ConvertLine(output, line, {source.code, target.code, Newline::Crlf}));
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * pieces.sourceBytes));
}

// One codec over the pieces of its input code.
template <typename Out, typename Codec>
void OneCodec(benchmark::State& state, Code input, Codec codec) {
    const Pieces& pieces = PiecesOf(input);
    std::array<Out, 4096> out;
    LostCount lost;  // counted as the line converter counts
    for (auto _ : state) {
        for (const LineBuffer& line : pieces.lines) {
            if constexpr (std::is_invocable_v<Codec, Out*, const char16_t*, std::int32_t,
                                              LostCount*>) {
                benchmark::DoNotOptimize(codec(out.data(), line.data(), 4000, &lost));
            } else {
                benchmark::DoNotOptimize(codec(out.data(), AsBytes(line), 4000, &lost));
            }
        }
    }
    benchmark::DoNotOptimize(lost);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * pieces.sourceBytes));
}

void RegisterAll() {
    const Code jis = kCodes[0], sjis = kCodes[1], euc = kCodes[2], wide = kCodes[3],
               utf8 = kCodes[4], utf7 = kCodes[5];
    benchmark::RegisterBenchmark("codec/JisToSjisText",
                                 OneCodec<std::uint8_t, decltype(&JisToSjisText)>, jis,
                                 &JisToSjisText);
    benchmark::RegisterBenchmark("codec/SjisToJisText",
                                 OneCodec<std::uint8_t, decltype(&SjisToJisText)>, sjis,
                                 &SjisToJisText);
    benchmark::RegisterBenchmark("codec/EucToSjisText",
                                 OneCodec<std::uint8_t, decltype(&EucToSjisText)>, euc,
                                 &EucToSjisText);
    benchmark::RegisterBenchmark("codec/SjisToEucText",
                                 OneCodec<std::uint8_t, decltype(&SjisToEucText)>, sjis,
                                 &SjisToEucText);
    benchmark::RegisterBenchmark("codec/SjisToSjisText",
                                 OneCodec<std::uint8_t, decltype(&SjisToSjisText)>, sjis,
                                 &SjisToSjisText);
    benchmark::RegisterBenchmark("codec/AnsiToWide", OneCodec<char16_t, decltype(&AnsiToWide)>,
                                 sjis, &AnsiToWide);
    benchmark::RegisterBenchmark("codec/WideToAnsi", OneCodec<std::uint8_t, decltype(&WideToAnsi)>,
                                 wide, &WideToAnsi);
    benchmark::RegisterBenchmark("codec/Utf8ToWideText",
                                 OneCodec<char16_t, decltype(&Utf8ToWideText)>, utf8,
                                 &Utf8ToWideText);
    benchmark::RegisterBenchmark("codec/WideToUtf8Text",
                                 OneCodec<std::uint8_t, decltype(&WideToUtf8Text)>, wide,
                                 &WideToUtf8Text);
    benchmark::RegisterBenchmark("codec/Utf7ToWideText",
                                 OneCodec<char16_t, decltype(&Utf7ToWideText)>, utf7,
                                 &Utf7ToWideText);
    benchmark::RegisterBenchmark("codec/WideToUtf7Text",
                                 OneCodec<std::uint8_t, decltype(&WideToUtf7Text)>, wide,
                                 &WideToUtf7Text);
    for (const Code& source : kCodes) {
        for (const Code& target : kCodes) {
            const std::string name = std::string("road/") + source.name + "->" + target.name;
            benchmark::RegisterBenchmark(name.c_str(), Road, source, target);
        }
    }
}

}  // namespace
}  // namespace ruv

int main(int argc, char** argv) {
    ruv::RegisterAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
