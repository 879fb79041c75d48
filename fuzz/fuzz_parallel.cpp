// Fuzzes the conversion of a whole file in blocks on several threads against
// the conversion on one thread.  The first byte picks the source and the
// target; the second the newline choice and the strict, guessed, keep-zero
// and clean-start flags; the third the thread count (2 to 4) and how many
// times the rest is repeated to make the file (up to 64, so that short inputs
// make files of many blocks); the fourth the block size (16 bytes and up).
// Unless kept, zero bytes become line feeds, so that most files convert; a
// clean start is a first copy in 7 bits, so that the first fault comes after
// clean blocks.  Both must give the same bytes, the same success or reason,
// the same lost characters with the first one's line and offset, the same
// comparison with the source and the same progress.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "job/file_converter.h"

namespace {

using namespace ruv;

constexpr KanjiCode kCodes[] = {CODE_SJIS,    CODE_EUC,  CODE_JIS,  CODE_UTF8,
                                CODE_UNICODE, CODE_UTF7, CODE_ASCII};
constexpr Newline kNewlines[] = {Newline::Keep, Newline::Lf, Newline::Crlf, Newline::Cr};

FileHandle MemoryFile() { return FileHandle(::memfd_create("ruv-fuzz", 0)); }

struct Run {
    bool ok = false;
    std::string reason;
    std::vector<std::uint8_t> output;
    FileConversion result;
    std::uint32_t progress = 0;
};

Run Convert(const std::vector<std::uint8_t>& text, const ConversionOptions& options,
            const JobSettings& settings) {
    FileHandle source = MemoryFile(), output = MemoryFile();
    std::error_code error;
    if (!source.WriteAll(text.data(), text.size(), error) || !source.Rewind(error))
        fuzz::Fail("memory file");
    ConvertJob job;
    job.settings = settings;
    ProgressCounter progress;
    progress.AddFileSize(text.size());
    progress.ScaleProgress();
    Run run;
    run.ok = ConvertFile(source, &output, options, job, progress, run.reason, &run.result);
    run.progress = job.progressPosition.load();
    const std::uint64_t size = output.Size(error);
    run.output.resize(size);
    if (size != 0 &&
        ::pread(output.Descriptor(), run.output.data(), size, 0) != static_cast<ssize_t>(size)) {
        fuzz::Fail("reading the output back");
    }
    return run;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const ConversionOptions options{kCodes[(data[0] & 0x0F) % std::size(kCodes)],
                                    kCodes[(data[0] >> 4) % std::size(kCodes)],
                                    kNewlines[data[1] & 3]};
    JobSettings one;
    one.strict = (data[1] & 4) != 0;
    one.autoDetect = (data[1] & 8) != 0;
    const bool keepZero = (data[1] & 16) != 0;
    one.blocks.threads = 1;
    JobSettings blocks = one;
    blocks.blocks = {2 + data[2] % 3u, 16 + std::size_t{data[3]} * 8, 0};
    std::vector<std::uint8_t> text;
    const bool cleanStart = (data[1] & 32) != 0;
    for (unsigned copy = 0; copy < 1 + cleanStart + data[2] / 3u % 64; ++copy) {
        for (std::size_t i = 4; i < size; ++i) {
            const std::uint8_t b = cleanStart && copy == 0 ? data[i] & 0x7F : data[i];
            text.push_back(!keepZero && b == 0 ? 0x0A : b);
        }
    }
    fuzz::shown = {data, size};

    const Run a = Convert(text, options, one);
    const Run b = Convert(text, options, blocks);
    if (a.ok != b.ok || a.reason != b.reason) fuzz::Fail("success or reason differs");
    if (a.output != b.output) fuzz::Fail("output differs");
    if (a.progress != b.progress) fuzz::Fail("progress differs");
    const ReplacedCharacters &x = a.result.replaced, &y = b.result.replaced;
    if (x.count != y.count || x.firstLine != y.firstLine ||
        x.firstLineOffset != y.firstLineOffset || x.firstHadNoCode != y.firstHadNoCode) {
        fuzz::Fail("lost characters differ");
    }
    if (a.result.unchanged != b.result.unchanged) fuzz::Fail("comparison with the source differs");
    return 0;
}
