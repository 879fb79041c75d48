#include "job/file_preview.h"

#include <cstring>
#include <memory>

#include "engine/line_converter.h"
#include "engine/piece_cutter.h"
#include "job/convert_job.h"
#include "job/dry_run.h"
#include "platform/file_handle.h"

namespace ruv {
namespace {

constexpr std::size_t PIECE_WINDOW_BYTES = MAX_LINE_BYTES + PIECE_LOOKAHEAD_BYTES;
constexpr std::uint8_t UTF16_MARK[] = {0xFF, 0xFE};
constexpr std::uint8_t UTF8_MARK[] = {0xEF, 0xBB, 0xBF};

// The line ends of the pieces so far, joined with the end of one more piece.
LineEnds Join(LineEnds seen, LineEnd found) {
    LineEnds piece = LineEnds::None;
    switch (found) {
        case LineEnd::CrLf: piece = LineEnds::CrLf; break;
        case LineEnd::Lf: piece = LineEnds::Lf; break;
        case LineEnd::Cr: piece = LineEnds::Cr; break;
        case LineEnd::None: return seen;
    }
    if (seen == piece) return seen;
    return seen == LineEnds::None ? piece : LineEnds::Mixed;
}
}  // namespace

const char* LineEndsName(LineEnds ends) {
    switch (ends) {
        case LineEnds::CrLf: return "CR LF";
        case LineEnds::Lf: return "LF";
        case LineEnds::Cr: return "CR";
        case LineEnds::Mixed: return "mixed";
        default: return "none";
    }
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
            converter.ConvertLine(converted, line, {code, CODE_UTF8, Newline::Lf});
        if (n < 0) {
            preview.complete = false;
            break;
        }
        preview.text.append(reinterpret_cast<const char*>(AsBytes(converted)),
                            static_cast<std::size_t>(n));
        preview.lineEnds = Join(preview.lineEnds, piece.lineEnd);
        at += piece.consumed;
    }
    if (IsTargetCode(target)) {
        JobSettings settings;
        settings.conversion = {code, target, Newline::Keep, foldHalfWidthKana};
        settings.autoDetect = false;
        JobFile file;
        file.path = path;
        file.code = code;
        const DryRunResult whole = DryRunFile(file, settings);
        preview.lost = whole.lost.count;
        if (!whole.converted) preview.reason = whole.reason;
    }
    return preview;
}

}  // namespace ruv
