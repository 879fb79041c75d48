// ruv_convert_file FROM TO INPUT OUTPUT: converts one file as a run does, for
// timing beside other converters.  Codes: jis sjis euc unicode utf8 utf7.
// RUV_THREADS=N converts it on N threads (default: one per core).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "job/file_converter.h"

namespace {

ruv::KanjiCode CodeNamed(const char* name) {
    const struct {
        const char* name;
        ruv::KanjiCode code;
    } names[] = {{"jis", ruv::CODE_JIS},   {"sjis", ruv::CODE_SJIS},
                 {"euc", ruv::CODE_EUC},   {"unicode", ruv::CODE_UNICODE},
                 {"utf8", ruv::CODE_UTF8}, {"utf7", ruv::CODE_UTF7}};
    for (const auto& entry : names) {
        if (std::strcmp(entry.name, name) == 0) return entry.code;
    }
    return ruv::CODE_ERROR;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5 || CodeNamed(argv[1]) == ruv::CODE_ERROR ||
        CodeNamed(argv[2]) == ruv::CODE_ERROR) {
        std::fprintf(stderr, "usage: %s FROM TO INPUT OUTPUT\n", argv[0]);
        return 2;
    }
    ruv::ConvertJob job;
    if (const char* threads = std::getenv("RUV_THREADS")) {
        job.settings.blocks.threads = static_cast<unsigned>(std::strtoul(threads, nullptr, 10));
    }
    const ruv::ConversionOptions options{CodeNamed(argv[1]), CodeNamed(argv[2]), ruv::Newline::Lf};
    ruv::ProgressCounter progress;
    std::string reason;
    if (!ruv::ConvertFile(argv[3], argv[4], options, job, progress, reason)) {
        std::fprintf(stderr, "%s: %s\n", argv[3], reason.c_str());
        return 1;
    }
    return 0;
}
