// A look into a file before anything is written: its first 64 KB decoded into
// UTF-8 for the screen, the kind of line ends it uses, and how many characters
// converting the whole file into a target would replace.
//
// The file is opened, read and closed again within each call; nothing is
// written, and no handle outlives the call.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "engine/kanji_code.h"

namespace ruv {

// Bytes of the file that the preview shows at most.
inline constexpr std::size_t PREVIEW_BYTES = 64 * 1024;

enum class LineEnds { None, CrLf, Lf, Cr, Mixed };

struct FilePreview {
    std::string text;      // the head decoded into UTF-8, line ends as LF
    bool cut = false;      // the file goes on past the bytes shown
    bool complete = true;  // false: a piece could not be read as the code (text stops there)
    LineEnds lineEnds = LineEnds::None;
    std::uint64_t lost = 0;  // characters converting into the target would replace
    std::string reason;      // why the file, or its lost count, could not be read; empty: fine
};

// Reads the head of the file as `code` and counts what converting the whole
// file into `target` (with the half-width kana choice) would lose.
FilePreview PreviewFile(const std::filesystem::path& path, KanjiCode code, KanjiCode target,
                        bool foldHalfWidthKana);

// How a run of line ends reads: "CR LF", "LF", "CR", "mixed" or "none".
const char* LineEndsName(LineEnds ends);

}  // namespace ruv
