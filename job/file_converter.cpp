#include "job/file_converter.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <optional>

#include "engine/line_converter.h"
#include "engine/piece_cutter.h"

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

// Where the first 0000 unit stands among the units at p (count of them), or
// count.  Chunks are tested without branching, the unit found only in a
// chunk that holds one.
std::size_t FindZeroUnit(const std::uint8_t* p, std::size_t count) {
    constexpr std::size_t CHUNK_UNITS = 64;
    for (std::size_t base = 0; base < count; base += CHUNK_UNITS) {
        const std::size_t end = std::min(count, base + CHUNK_UNITS);
        bool zero = false;
        for (std::size_t k = base; k < end; ++k) zero |= (p[2 * k] | p[2 * k + 1]) == 0;
        if (!zero) continue;
        for (std::size_t k = base; k < end; ++k) {
            if ((p[2 * k] | p[2 * k + 1]) == 0) return k;
        }
    }
    return count;
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
            const std::size_t n = file_.ReadSome(data_.get() + end_, READ_BLOCK_BYTES - end_, error);
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
        const std::size_t k = FindZeroUnit(data_.get() + from, count);
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

// Gathers converted pieces and writes them in large blocks.
class OutputBuffer {
public:
    explicit OutputBuffer(const FileHandle& file)
        : file_(file), data_(new std::uint8_t[WRITE_BLOCK_BYTES]) {}

    bool Append(const std::uint8_t* bytes, std::size_t n, std::error_code& error) {
        if (used_ + n > WRITE_BLOCK_BYTES && !Flush(error)) return false;
        std::memcpy(data_.get() + used_, bytes, n);
        used_ += n;
        return true;
    }

    bool Flush(std::error_code& error) {
        if (used_ == 0) return true;
        const bool ok = file_.WriteAll(data_.get(), used_, error);
        used_ = 0;
        return ok;
    }

private:
    const FileHandle& file_;
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

// True when the piece of n source bytes at data ends a line: its last byte, or
// unit, is LF or CR (the LF of a CR LF pair is taken with it).
bool EndsLine(const std::uint8_t* data, std::size_t n, bool units) {
    if (units) return n >= 2 && data[n - 1] == 0 && (data[n - 2] == 0x0A || data[n - 2] == 0x0D);
    return n >= 1 && (data[n - 1] == 0x0A || data[n - 1] == 0x0D);
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
        case CODE_ASCII:
            return "7-bit text (ASCII)";
        case CODE_UTF7:
            return "UTF-7";
        case CODE_UTF8:
            return "UTF-8";
        case CODE_SJIS:
            return "Shift_JIS";
        case CODE_EUC:
            return "EUC-JP";
        case CODE_JIS:
            return "ISO-2022-JP";
        case CODE_UNICODE:
            return "UTF-16";
        default:
            return nullptr;
    }
}

bool ConvertFile(const FileHandle& source, const FileHandle& output, ConvertJob& job,
                 ProgressCounter& progress, std::string& reason, ReplacedCharacters* replaced) {
    return ConvertFile({}, source, output, job, progress, reason, replaced);
}

bool ConvertFile(std::span<const std::uint8_t> head, const FileHandle& source,
                 const FileHandle& output, ConvertJob& job, ProgressCounter& progress,
                 std::string& reason, ReplacedCharacters* replaced) {
    if (head.size() > READ_BLOCK_BYTES) {
        reason = "the head read ahead is larger than a read block";
        return false;
    }
    const KanjiCode sourceCode = job.sourceCode.load(std::memory_order_relaxed);
    const KanjiCode targetCode = job.targetCode.load(std::memory_order_relaxed);
    const std::int32_t newline = job.newlineIndex.load(std::memory_order_relaxed);
    const bool fold = job.halfWidthKana.load(std::memory_order_relaxed);
    const bool guessed = job.autoDetect.load(std::memory_order_relaxed);
    const bool strict = job.strict.load(std::memory_order_relaxed);
    const bool units = sourceCode == CODE_UNICODE;

    SourceReader reader(source, head, units);
    OutputBuffer writer(output);
    std::error_code error;
    if (!Refill(reader, error, reason)) return false;
    std::uint64_t offset = 0;  // of the next piece in the source, from the start of the file
    if (units && reader.Skip(UTF16_MARK, sizeof UTF16_MARK)) offset = sizeof UTF16_MARK;
    if (sourceCode == CODE_UTF8 && reader.Skip(UTF8_MARK, sizeof UTF8_MARK)) {
        offset = sizeof UTF8_MARK;
        if (targetCode == CODE_UTF8) writer.Append(UTF8_MARK, sizeof UTF8_MARK, error);
    }
    if (targetCode == CODE_UNICODE) writer.Append(UTF16_MARK, sizeof UTF16_MARK, error);

    PieceCutter cutter(sourceCode);
    CodeConverter converter;
    converter.sourceGuessed = guessed;
    LineBuffer line;
    ConvertedBuffer converted;
    ReplacedCharacters lost;
    std::uint64_t lineNumber = 1;  // of the next piece, counted until the first replacement
    std::uint64_t lineOffset = offset;
    while (!job.cancel.load(std::memory_order_relaxed)) {
        if (!Refill(reader, error, reason)) return false;
        if (reader.Available() == 0) break;
        const Piece piece = cutter.Next(reader.Data(), reader.Available(), reader.AtEnd(), line);
        converter.lost = {};
        const std::int32_t n =
            converter.ConvertLine(converted, line, sourceCode, targetCode, newline, fold);
        if (n < 0) {
            reason = "the text at byte " + std::to_string(offset) +
                     CannotConvert(sourceCode, guessed);
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
        } else if (lost.count == 0 && EndsLine(reader.Data(), piece.consumed, units)) {
            ++lineNumber;
            lineOffset = offset + piece.consumed;
        }
        if (targetCode == CODE_UNICODE) ToLittleEndian(converted, n);
        if (!writer.Append(AsBytes(converted), static_cast<std::size_t>(n), error)) {
            reason = Describe("cannot write", error);
            return false;
        }
        reader.Consume(piece.consumed);
        offset += piece.consumed;
        job.progressPosition.store(progress.AddProgress(piece.consumed), std::memory_order_relaxed);
    }
    if (!writer.Flush(error)) {
        reason = Describe("cannot write", error);
        return false;
    }
    if (replaced != nullptr) *replaced = lost;
    return true;
}

bool ConvertFile(const std::filesystem::path& source, const std::filesystem::path& output,
                 ConvertJob& job, ProgressCounter& progress, std::string& reason,
                 ReplacedCharacters* replaced) {
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
    return ConvertFile(in, out, job, progress, reason, replaced);
}

}  // namespace ruv
