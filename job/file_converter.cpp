#include "job/file_converter.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <optional>

#include "engine/line_converter.h"
#include "engine/piece_cutter.h"
#include "job/block_converter.h"
#include "platform/byte_words.h"

namespace ruv {
namespace {

// Source bytes read at a time, and converted bytes gathered before one write.
constexpr std::size_t READ_BLOCK_BYTES = 256 * 1024;
constexpr std::size_t WRITE_BLOCK_BYTES = 256 * 1024;
// What the cutter needs in front of it before it may cut a piece.
constexpr std::size_t PIECE_WINDOW_BYTES = MAX_LINE_BYTES + PIECE_LOOKAHEAD_BYTES;
static_assert(PIECE_WINDOW_BYTES < READ_BLOCK_BYTES);
static_assert(CONVERTED_BUFFER_BYTES < WRITE_BLOCK_BYTES);

constexpr std::uint8_t UTF16_MARK[] = {0xFF, 0xFE};
constexpr std::uint8_t UTF8_MARK[] = {0xEF, 0xBB, 0xBF};

std::string Describe(const char* what, const std::error_code& error) {
    return std::string(what) + ": " + error.message();
}

// A window on the source that refills from the file as it is consumed.  Every
// byte read is looked at once for a zero byte (a 0000 unit in UTF-16): the
// line converter takes zero as the end of a piece, so such a file cannot be
// converted without losing what follows it.
class SourceReader {
public:
    SourceReader(const FileHandle& file, std::span<const std::uint8_t> head, bool units)
        : file_(file), data_(new std::uint8_t[READ_BLOCK_BYTES]), end_(head.size()), units_(units) {
        if (!head.empty()) std::memcpy(data_.get(), head.data(), head.size());
        FindZero(0);
    }

    // Makes at least `want` bytes available unless the file ends first.
    bool Fill(std::size_t want, std::error_code& error) {
        if (atEnd_ || Available() >= want) return true;
        std::memmove(data_.get(), data_.get() + begin_, Available());
        end_ -= begin_;
        base_ += begin_;
        begin_ = 0;
        const std::size_t scanFrom = end_;
        while (!atEnd_ && end_ < want) {
            const std::size_t n =
                file_.ReadSome(data_.get() + end_, READ_BLOCK_BYTES - end_, error);
            if (error) return false;
            if (n == 0) atEnd_ = true;
            end_ += n;
            if (end_ == READ_BLOCK_BYTES) break;
        }
        FindZero(scanFrom);
        return true;
    }

    const std::uint8_t* Data() const { return data_.get() + begin_; }
    std::size_t Available() const { return end_ - begin_; }
    bool AtEnd() const { return atEnd_; }
    void Consume(std::size_t n) { begin_ += n; }
    // The offset of the first zero byte or unit read so far, if any.
    std::optional<std::uint64_t> ZeroAt() const { return zeroAt_; }

    bool Skip(const std::uint8_t* mark, std::size_t n) {
        if (Available() < n || std::memcmp(Data(), mark, n) != 0) return false;
        Consume(n);
        return true;
    }

private:
    // Looks at the bytes read since data_[from]; units stand at even offsets
    // of the source, so a unit whose first byte came with the last read is
    // looked at now.
    void FindZero(std::size_t from) {
        if (zeroAt_) return;
        if (!units_) {
            const void* zero = std::memchr(data_.get() + from, 0, end_ - from);
            if (zero != nullptr) {
                zeroAt_ = base_ + (static_cast<const std::uint8_t*>(zero) - data_.get());
            }
            return;
        }
        if ((base_ + from) % 2 != 0 && from > 0) --from;
        const std::size_t count = (end_ - from) / 2;
        const std::size_t k = detail::ZeroUnitIndex(data_.get() + from, count);
        if (k < count) {
            zeroAt_ = base_ + from + 2 * k;
        } else if (atEnd_ && (end_ - from) % 2 != 0 && data_[end_ - 1] == 0) {
            zeroAt_ = base_ + end_ - 1;  // an odd last byte becomes a unit of its own value
        }
    }

    const FileHandle& file_;
    std::unique_ptr<std::uint8_t[]> data_;
    std::uint64_t base_ = 0;  // the source offset of data_[0]
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool atEnd_ = false;
    bool units_;
    std::optional<std::uint64_t> zeroAt_;
};

// Gathers converted pieces and writes them in large blocks; without a file,
// takes them and writes nothing.
class OutputBuffer {
public:
    explicit OutputBuffer(const FileHandle* file)
        : file_(file), data_(file != nullptr ? new std::uint8_t[WRITE_BLOCK_BYTES] : nullptr) {}

    bool Append(const std::uint8_t* bytes, std::size_t n, std::error_code& error) {
        if (file_ == nullptr) return true;
        if (used_ + n > WRITE_BLOCK_BYTES && !Flush(error)) return false;
        std::memcpy(data_.get() + used_, bytes, n);
        used_ += n;
        return true;
    }

    bool Flush(std::error_code& error) {
        if (used_ == 0) return true;
        const bool ok = file_->WriteAll(data_.get(), used_, error);
        used_ = 0;
        return ok;
    }

private:
    const FileHandle* file_;
    std::unique_ptr<std::uint8_t[]> data_;
    std::size_t used_ = 0;
};

// UTF-16 output is little-endian in the file whatever the machine.
void ToLittleEndian(ConvertedBuffer& converted, std::int32_t bytes) {
    if constexpr (std::endian::native == std::endian::big) {
        for (std::int32_t i = 0; i < bytes / 2; ++i) {
            const char16_t u = converted[i];
            converted[i] = static_cast<char16_t>((u >> 8) | (u << 8));
        }
    }
}

// Fills the reader for the next piece; false with a reason when reading fails
// or the source holds a zero byte.
bool Refill(SourceReader& reader, std::error_code& error, std::string& reason) {
    if (!reader.Fill(PIECE_WINDOW_BYTES, error)) {
        reason = Describe("cannot read", error);
        return false;
    }
    if (const auto zero = reader.ZeroAt()) {
        reason = "holds a zero byte at offset " + std::to_string(*zero);
        return false;
    }
    return true;
}

// How a piece that the line converter refused is described.  When the code
// was only guessed, the guess is the likely fault, and the user can name it.
std::string CannotConvert(KanjiCode source, bool guessed) {
    const char* name = CodeName(source);
    if (!guessed || name == nullptr) return " cannot be converted";
    return std::string(" does not read as ") + name +
           "; name its code with --from, or choose the source code in the window";
}

// Why a strict conversion refuses the file at its first replaced character.
std::string WouldLose(const ReplacedCharacters& first, KanjiCode source, KanjiCode target) {
    const char* name = CodeName(first.firstHadNoCode ? target : source);
    return "line " + std::to_string(first.firstLine) + " (byte " +
           std::to_string(first.firstLineOffset) + ") holds a character that " +
           (first.firstHadNoCode ? "has no code in " : "is not valid ") + (name ? name : "") +
           "; it would be replaced";
}

}  // namespace

const char* CodeName(KanjiCode code) {
    switch (code) {
        case CODE_ASCII: return "7-bit text (ASCII)";
        case CODE_UTF7: return "UTF-7";
        case CODE_UTF8: return "UTF-8";
        case CODE_SJIS: return "Shift_JIS";
        case CODE_EUC: return "EUC-JP";
        case CODE_JIS: return "ISO-2022-JP";
        case CODE_UNICODE: return "UTF-16";
        default: return nullptr;
    }
}

bool ConvertFile(const FileHandle& source, const FileHandle* output,
                 const ConversionOptions& options, ConvertJob& job, ProgressCounter& progress,
                 std::string& reason, FileConversion* result) {
    return ConvertFile({}, source, output, options, job, progress, reason, result);
}

bool ConvertFile(std::span<const std::uint8_t> head, const FileHandle& source,
                 const FileHandle* output, const ConversionOptions& options, ConvertJob& job,
                 ProgressCounter& progress, std::string& reason, FileConversion* result) {
    if (head.size() > READ_BLOCK_BYTES) {
        reason = "the head read ahead is larger than a read block";
        return false;
    }
    if (head.empty()) {
        // A large file goes on several threads; one with a fault in it is
        // converted again here, where the fault is found and described.
        const BlockOutcome blocks = ConvertInBlocks(source, output, options, job, progress, result);
        if (blocks == BlockOutcome::Done) return true;
        std::error_code error;
        if (blocks == BlockOutcome::Redo &&
            (!source.Rewind(error) || (output != nullptr && !output->Empty(error)))) {
            reason = Describe("cannot read", error);
            return false;
        }
    }
    const KanjiCode sourceCode = options.source;
    const KanjiCode targetCode = options.target;
    const bool guessed = job.settings.autoDetect;
    const bool strict = job.settings.strict;
    const bool units = sourceCode == CODE_UNICODE;

    SourceReader reader(source, head, units);
    OutputBuffer writer(output);
    std::error_code error;
    if (!Refill(reader, error, reason)) return false;
    std::uint64_t offset = 0;   // of the next piece in the source, from the start of the file
    std::uint64_t written = 0;  // bytes of output so far
    if (units && reader.Skip(UTF16_MARK, sizeof UTF16_MARK)) offset = sizeof UTF16_MARK;
    if (sourceCode == CODE_UTF8 && reader.Skip(UTF8_MARK, sizeof UTF8_MARK)) {
        offset = sizeof UTF8_MARK;
        if (targetCode == CODE_UTF8) {
            writer.Append(UTF8_MARK, sizeof UTF8_MARK, error);
            written = sizeof UTF8_MARK;
        }
    }
    if (targetCode == CODE_UNICODE) {
        writer.Append(UTF16_MARK, sizeof UTF16_MARK, error);
        written = sizeof UTF16_MARK;
    }
    // Whether the output so far is the source so far: a mark of one length is
    // always the same mark (FF FE, or EF BB BF).
    bool same = written == offset;

    PieceCutter cutter(sourceCode);
    CodeConverter converter;
    converter.sourceGuessed = guessed;
    LineBuffer line;
    ConvertedBuffer converted;
    ReplacedCharacters lost;
    std::uint64_t lineNumber = 1;  // of the next piece, counted until the first replacement
    std::uint64_t lineOffset = offset;
    std::uint64_t uncounted = 0;  // bytes converted but not yet added to the progress
    const auto countProgress = [&] {
        RaiseProgress(job.progressPosition, progress.AddProgress(uncounted));
        uncounted = 0;
    };
    while (!job.cancel.load(std::memory_order_relaxed)) {
        // The window is topped up only when a piece may need more than it holds.
        if (!reader.AtEnd() && reader.Available() < PIECE_WINDOW_BYTES &&
            !Refill(reader, error, reason)) {
            return false;
        }
        if (reader.Available() == 0) break;
        const Piece piece = cutter.Next(reader.Data(), reader.Available(), reader.AtEnd(), line);
        converter.lost = {};
        ConversionOptions pieceOptions = options;
        pieceOptions.newline = NewlineFor(options.newline, piece.lineEnd);
        const std::int32_t n = converter.ConvertLine(converted, line, pieceOptions);
        // A character that is not valid in a code that was only guessed most
        // likely means the guess was wrong: replacing it would corrupt the
        // file, so the file is refused and the user can name its code.
        if (n < 0 || (guessed && converter.lost.broken != 0)) {
            reason =
                "the text at byte " + std::to_string(offset) + CannotConvert(sourceCode, guessed);
            return false;
        }
        if (const std::uint32_t count = converter.lost.Total(); count != 0) {
            if (lost.count == 0) {
                // A decoder runs before an encoder, so a broken character of the
                // piece is taken as its first.
                lost.firstLine = lineNumber;
                lost.firstLineOffset = lineOffset;
                lost.firstHadNoCode = converter.lost.broken == 0;
                if (strict) {
                    reason = WouldLose(lost, sourceCode, targetCode);
                    return false;
                }
            }
            lost.count += count;
        } else if (lost.count == 0 && piece.lineEnd != LineEnd::None) {
            ++lineNumber;
            lineOffset = offset + piece.consumed;
        }
        if (targetCode == CODE_UNICODE) ToLittleEndian(converted, n);
        const auto size = static_cast<std::size_t>(n);
        if (!writer.Append(AsBytes(converted), size, error)) {
            reason = Describe("cannot write", error);
            return false;
        }
        // The source bytes at the output's offset are in the reader's window
        // as long as the output has not fallen behind or run far ahead.
        same = same && written >= offset && written - offset + size <= reader.Available() &&
               std::memcmp(reader.Data() + (written - offset), AsBytes(converted), size) == 0;
        written += size;
        reader.Consume(piece.consumed);
        offset += piece.consumed;
        uncounted += piece.consumed;
        if (uncounted >= PROGRESS_STEP_BYTES) countProgress();
    }
    countProgress();
    if (!writer.Flush(error)) {
        reason = Describe("cannot write", error);
        return false;
    }
    if (result != nullptr) {
        result->replaced = lost;
        result->unchanged =
            same && written == offset && !job.cancel.load(std::memory_order_relaxed);
    }
    return true;
}

bool ConvertFile(const std::filesystem::path& source, const std::filesystem::path& output,
                 const ConversionOptions& options, ConvertJob& job, ProgressCounter& progress,
                 std::string& reason, FileConversion* result) {
    std::error_code error;
    const FileHandle in = FileHandle::OpenForReading(source, error);
    if (!in.IsOpen()) {
        reason = Describe("cannot open", error);
        return false;
    }
    const FileHandle out = FileHandle::Create(output, error);
    if (!out.IsOpen()) {
        reason = Describe("cannot create the output", error);
        return false;
    }
    return ConvertFile(in, &out, options, job, progress, reason, result);
}

}  // namespace ruv
