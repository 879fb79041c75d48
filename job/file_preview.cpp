#include "job/file_preview.h"

#include <fcntl.h>

#include <cstring>
#include <memory>

#include "engine/line_converter.h"
#include "engine/piece_cutter.h"
#include "job/convert_job.h"
#include "job/file_converter.h"
#include "job/progress_counter.h"
#include "platform/file_handle.h"

namespace ruv {
namespace {

constexpr std::size_t PIECE_WINDOW_BYTES = MAX_LINE_BYTES + PIECE_LOOKAHEAD_BYTES;
constexpr std::uint8_t UTF16_MARK[] = {0xFF, 0xFE};
constexpr std::uint8_t UTF8_MARK[] = {0xEF, 0xBB, 0xBF};

// The line end a piece of n source bytes closes with, or None.
LineEnds PieceEnd(const std::uint8_t* data, std::size_t n, bool units) {
    const std::size_t width = units ? 2 : 1;
    const auto at = [&](std::size_t k) -> int {  // the k-th last character, -1 when none or wide
        if (n < k * width) return -1;
        const std::uint8_t* c = data + n - k * width;
        return units && c[1] != 0 ? -1 : c[0];
    };
    if (at(1) == 0x0A) return at(2) == 0x0D ? LineEnds::CrLf : LineEnds::Lf;
    if (at(1) == 0x0D) return LineEnds::Cr;
    return LineEnds::None;
}

LineEnds Join(LineEnds seen, LineEnds piece) {
    if (piece == LineEnds::None || seen == piece) return seen;
    return seen == LineEnds::None ? piece : LineEnds::Mixed;
}

}  // namespace

const char* LineEndsName(LineEnds ends) {
    switch (ends) {
        case LineEnds::CrLf:
            return "CR LF";
        case LineEnds::Lf:
            return "LF";
        case LineEnds::Cr:
            return "CR";
        case LineEnds::Mixed:
            return "mixed";
        default:
            return "none";
    }
}

// Swapped for the dry run of job/ once it exists: the same conversion, into nothing.
bool CountLostCharacters(const std::filesystem::path& path, KanjiCode code, KanjiCode target,
                         bool foldHalfWidthKana, std::uint64_t& lost, std::string& reason) {
    std::error_code error;
    const FileHandle source = FileHandle::OpenForReading(path, error);
    if (!source.IsOpen()) {
        reason = "cannot open: " + error.message();
        return false;
    }
    const FileHandle nowhere(::open("/dev/null", O_WRONLY | O_CLOEXEC));
    if (!nowhere.IsOpen()) {
        reason = "cannot open /dev/null";
        return false;
    }
    ConvertJob job;
    job.sourceCode = code;
    job.targetCode = target;
    job.newlineIndex = NEWLINE_LF;
    job.halfWidthKana = foldHalfWidthKana;
    ProgressCounter progress;
    ReplacedCharacters replaced;
    if (!ConvertFile(source, nowhere, job, progress, reason, &replaced)) return false;
    lost = replaced.count;
    return true;
}

FilePreview PreviewFile(const std::filesystem::path& path, KanjiCode code, KanjiCode target,
                        bool foldHalfWidthKana) {
    FilePreview preview;
    if (!IsSourceCode(code)) {
        preview.reason = "not text in a code ruv reads";
        return preview;
    }
    // One byte more than is shown tells whether the file goes on.
    auto head = std::make_unique<std::uint8_t[]>(PREVIEW_BYTES + 1);
    std::size_t size = 0;
    {
        std::error_code error;
        const FileHandle file = FileHandle::OpenForReading(path, error);
        if (file.IsOpen()) size = file.ReadSome(head.get(), PREVIEW_BYTES + 1, error);
        if (error) {
            preview.reason = "cannot read: " + error.message();
            return preview;
        }
    }
    preview.cut = size > PREVIEW_BYTES;
    if (preview.cut) size = PREVIEW_BYTES;

    const bool units = code == CODE_UNICODE;
    std::size_t at = 0;
    if (units && size >= 2 && std::memcmp(head.get(), UTF16_MARK, 2) == 0) at = 2;
    if (code == CODE_UTF8 && size >= 3 && std::memcmp(head.get(), UTF8_MARK, 3) == 0) at = 3;
    PieceCutter cutter(code);
    CodeConverter converter;
    LineBuffer line;
    ConvertedBuffer converted;
    // A cut head stops a window short of its end, so that no character or
    // CR LF pair is parted at the cut.
    while (at < size && (!preview.cut || size - at >= PIECE_WINDOW_BYTES)) {
        const Piece piece = cutter.Next(head.get() + at, size - at, !preview.cut, line);
        const std::int32_t n =
            converter.ConvertLine(converted, line, code, CODE_UTF8, NEWLINE_LF, false);
        if (n < 0) {
            preview.complete = false;
            break;
        }
        preview.text.append(reinterpret_cast<const char*>(AsBytes(converted)),
                            static_cast<std::size_t>(n));
        preview.lineEnds = Join(preview.lineEnds, PieceEnd(head.get() + at, piece.consumed, units));
        at += piece.consumed;
    }
    if (IsTargetCode(target))
        CountLostCharacters(path, code, target, foldHalfWidthKana, preview.lost, preview.reason);
    return preview;
}

}  // namespace ruv
