#include "job/block_converter.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "engine/line_converter.h"
#include "engine/piece_cutter.h"
#include "platform/byte_words.h"

namespace ruv {
namespace {

// More threads than this gain little and cost a block's buffers each.
constexpr unsigned MAX_BLOCK_THREADS = 4;
// What the cutter needs in front of a piece before it may cut it.
constexpr std::size_t PIECE_WINDOW_BYTES = MAX_LINE_BYTES + PIECE_LOOKAHEAD_BYTES;
constexpr std::uint8_t LF = 0x0A;
constexpr std::uint8_t CR = 0x0D;
constexpr std::uint8_t UTF16_MARK[] = {0xFF, 0xFE};
constexpr std::uint8_t UTF8_MARK[] = {0xEF, 0xBB, 0xBF};

// What one block found, joined to the file's totals in the blocks' order.
struct BlockSummary {
    std::uint64_t lineEnds = 0;  // before its first replaced character (all, without one)
    ReplacedCharacters lost;     // firstLine counts from the block's first line, from 0
    std::uint64_t written = 0;   // bytes of output
    bool same = true;            // the output is the block's bytes, every one
};

// One block of the source and its output.  The reader fills the input while
// the block is free; the thread that takes it owns the rest until it frees it.
struct Block {
    std::unique_ptr<std::uint8_t[]> input;
    std::unique_ptr<std::uint8_t[]> output;
    std::size_t length = 0;     // bytes of the block: up to its last line end
    std::size_t available = 0;  // bytes read: the block and what follows it
    bool atEnd = false;         // the source ends with the bytes read
    std::uint64_t offset = 0;   // source offset of input[0]
    std::size_t used = 0;       // bytes of output not yet written
    BlockSummary summary;
    bool busy = false;       // handed out and not yet written
    bool converted = false;  // converted, waiting for its turn to be written
    bool ownOutput = false;  // the block is its own output: its input is written

    const std::uint8_t* Written() const { return ownOutput ? input.get() : output.get(); }
};

// Whether the block's bytes hold a zero byte, or a 0000 unit.
bool HoldsZero(const Block& block, bool units) {
    if (!units) return std::memchr(block.input.get(), 0, block.length) != nullptr;
    const std::uint8_t* p = block.input.get();
    const std::size_t count = block.length / 2;
    // An odd last byte is a unit of its own value.
    return detail::ZeroUnitIndex(p, count) != count ||
           (block.length % 2 != 0 && p[block.length - 1] == 0);
}

// The end of the last line in input[0, limit): after an LF byte, or an LF unit
// at an even offset; 0 when there is none.
std::size_t LastLineEnd(const std::uint8_t* input, std::size_t limit, bool units) {
    if (!units) {
        const void* lf = ::memrchr(input, LF, limit);
        return lf == nullptr ? 0 : static_cast<const std::uint8_t*>(lf) - input + 1;
    }
    for (std::size_t i = limit & ~std::size_t{1}; i >= 2; i -= 2) {
        if (input[i - 2] == LF && input[i - 1] == 0) return i;
    }
    return 0;
}

class BlockRun {
public:
    BlockRun(const FileHandle* output, const ConversionOptions& options, ConvertJob& job,
             ProgressCounter& progress, const BlockPlan& plan, unsigned threads)
        : output_(output),
          options_(options),
          job_(job),
          progress_(progress),
          units_(options.source == CODE_UNICODE),
          blockBytes_(std::max<std::size_t>(plan.blockBytes, 16)),
          outputBytes_(2 * blockBytes_ + CONVERTED_BUFFER_BYTES),
          blocks_(threads + 2) {
        for (Block& block : blocks_) {
            block.input.reset(new std::uint8_t[blockBytes_ + PIECE_WINDOW_BYTES]);
            if (output != nullptr) block.output.reset(new std::uint8_t[outputBytes_]);
        }
        try {
            for (unsigned i = 0; i < threads; ++i) threads_.emplace_back([this] { Serve(); });
        } catch (const std::system_error&) {
            // The system has no thread to spare: the ones started do the work.
        }
    }

    // Whether any thread converts the blocks.
    bool HasThreads() const { return !threads_.empty(); }

    // Reads the source into blocks and hands them out until it ends; then
    // waits for the threads.  False: the file must be converted again on one
    // thread.
    bool Run(const FileHandle& source, FileConversion* result) {
        const bool clean = Read(source);
        {
            std::lock_guard lock(mutex_);
            readerDone_ = true;
            stop_ = stop_ || !clean;
            trouble_ = trouble_ || !clean;
        }
        changed_.notify_all();
        for (std::jthread& thread : threads_) thread.join();
        // Every block handed out is written unless the run stopped; anything
        // else would leave the output short, so the file is done again.
        if (!stop_ && turn_ != handedOut_) trouble_ = true;
        if (trouble_) {
            // The file is converted again from its start: its progress too.
            job_.progressPosition.store(progress_.TakeBackProgress(counted_.load()),
                                        std::memory_order_relaxed);
            return false;
        }
        if (result != nullptr) {
            result->replaced = lost_;
            result->unchanged = same_ && written_ == offset_ && !Cancelled();
        }
        return true;
    }

private:
    bool Cancelled() const { return job_.cancel.load(std::memory_order_relaxed); }

    // The reader's side.  The byte-order marks are taken here, before any
    // block is handed out.
    bool Read(const FileHandle& source) {
        std::error_code error;
        const Block* previous = nullptr;
        for (std::uint64_t sequence = 0;; ++sequence) {
            Block& block = blocks_[sequence % blocks_.size()];
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return stop_ || !block.busy; });
                if (stop_) return true;
            }
            if (Cancelled()) return true;
            std::size_t available = 0;
            if (previous != nullptr) {
                available = previous->available - previous->length;
                std::memcpy(block.input.get(), previous->input.get() + previous->length, available);
            }
            const std::size_t capacity = blockBytes_ + PIECE_WINDOW_BYTES;
            const std::size_t n =
                source.ReadSome(block.input.get() + available, capacity - available, error);
            if (error) return false;
            available += n;
            block.atEnd = available < capacity;
            block.available = available;
            block.offset = previous != nullptr ? previous->offset + previous->length : 0;
            if (sequence == 0 && !TakeMarks(block)) return false;
            if (block.available == 0) return true;
            // Every piece of the block has the bytes the cutter may look at after it.
            block.length =
                block.atEnd
                    ? block.available
                    : LastLineEnd(block.input.get(),
                                  std::min(blockBytes_, block.available - PIECE_WINDOW_BYTES),
                                  units_);
            if (block.length == 0) return false;  // no line end: one thread reads it
            block.used = 0;
            block.summary = {};
            {
                std::lock_guard lock(mutex_);
                block.busy = true;
                ++handedOut_;
            }
            changed_.notify_all();
            if (block.atEnd) return true;
            previous = &block;
        }
    }

    // Skips the source's byte-order mark and writes the target's, as the
    // conversion on one thread does.
    bool TakeMarks(Block& block) {
        const auto skip = [&](const std::uint8_t* mark, std::size_t n) {
            if (block.available < n || std::memcmp(block.input.get(), mark, n) != 0) return false;
            std::memmove(block.input.get(), block.input.get() + n, block.available - n);
            block.available -= n;
            block.offset = n;
            return true;
        };
        std::error_code error;
        std::uint64_t written = 0;
        if (units_) skip(UTF16_MARK, sizeof UTF16_MARK);
        if (options_.source == CODE_UTF8 && skip(UTF8_MARK, sizeof UTF8_MARK) &&
            options_.target == CODE_UTF8) {
            written = sizeof UTF8_MARK;
            if (output_ != nullptr && !output_->WriteAll(UTF8_MARK, written, error)) return false;
        }
        if (options_.target == CODE_UNICODE) {
            written = sizeof UTF16_MARK;
            if (output_ != nullptr && !output_->WriteAll(UTF16_MARK, written, error)) return false;
        }
        // A mark of one length is always the same mark (FF FE, or EF BB BF).
        same_ = written == block.offset;
        written_ = written;
        offset_ = block.offset;
        return true;
    }

    // A converting thread's side: takes the blocks in order until the reader
    // is done or the run stops.
    void Serve() {
        CodeConverter converter;
        converter.sourceGuessed = job_.settings.autoDetect;
        auto line = std::make_unique<LineBuffer>();
        auto converted = std::make_unique<ConvertedBuffer>();
        for (;;) {
            std::uint64_t sequence = 0;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return stop_ || taken_ < handedOut_ || readerDone_; });
                if (stop_ || taken_ == handedOut_) return;
                sequence = taken_++;
            }
            Block& block = blocks_[sequence % blocks_.size()];
            PieceCutter cutter(options_.source);  // every block starts at a line start
            const bool clean = !HoldsZero(block, units_) &&
                               Convert(block, sequence, cutter, converter, *line, *converted);
            std::unique_lock lock(mutex_);
            if (!clean) {
                Stop(block);
                continue;
            }
            block.converted = true;
            WriteInTurn(lock);
        }
    }

    // Writes the converted blocks whose turn has come, in order, unless a
    // thread already does.  So the thread that converts the block at the turn
    // writes it and every block after it that is ready, and a thread that
    // finishes a block out of turn goes on to the next one without waiting.
    // Called and returns with the lock held.
    void WriteInTurn(std::unique_lock<std::mutex>& lock) {
        while (!writing_ && !stop_) {
            Block& block = blocks_[turn_ % blocks_.size()];
            if (!block.converted) return;
            writing_ = true;
            lock.unlock();
            std::error_code error;
            const bool written = output_ == nullptr || block.used == 0 ||
                                 output_->WriteAll(block.Written(), block.used, error);
            lock.lock();
            writing_ = false;
            block.converted = false;
            if (!written) {
                Stop(block);
                return;
            }
            block.used = 0;
            Join(block, turn_);
            block.busy = false;
            changed_.notify_all();
        }
    }

    // A fault or a cancel in a block: every thread ends, and a fault has the
    // file converted again on one thread.  Under the lock.
    void Stop(Block& block) {
        if (!Cancelled()) trouble_ = true;
        stop_ = true;
        block.busy = false;
        changed_.notify_all();
    }

    // Whether the block converts into itself: UTF-16 into UTF-16 with its line
    // ends kept or made LF, from text without a CR or a surrogate (a lone one
    // would be replaced) and of whole units.  Each of its lines is then
    // written as it is, so the block is taken whole.
    bool IsOwnOutput(const Block& block) const {
        if (!units_ || options_.target != CODE_UNICODE || block.length % 2 != 0) return false;
        if (options_.newline != Newline::Keep && options_.newline != Newline::Lf) return false;
        const auto* p = reinterpret_cast<const char16_t*>(block.input.get());
        const std::size_t count = block.length / 2;
        return detail::UnitIndex(block.input.get(), count, CR, CR) == count &&
               detail::SurrogateFreeLength(p, p + count) == static_cast<std::int32_t>(count);
    }

    // Converts the block's pieces into its output buffer, as the conversion on
    // one thread converts them; false when it would fail or was cancelled.
    bool Convert(Block& block, std::uint64_t sequence, PieceCutter& cutter,
                 CodeConverter& converter, LineBuffer& line, ConvertedBuffer& converted) {
        const bool guessed = job_.settings.autoDetect;
        BlockSummary& summary = block.summary;
        block.ownOutput = IsOwnOutput(block);
        if (block.ownOutput) {
            block.used = output_ != nullptr ? block.length : 0;
            summary.lineEnds = detail::CountUnits(block.input.get(), block.length / 2, LF);
            summary.written = block.length;
            std::size_t bytes = block.length;
            Count(bytes);
            return !Cancelled();
        }
        const std::uint8_t* input = block.input.get();
        std::size_t at = 0;
        std::uint64_t lineOffset = block.offset;
        std::size_t uncounted = 0;  // bytes converted but not yet added to the progress
        while (at < block.length) {
            if (Cancelled() || stop_.load(std::memory_order_relaxed)) return false;
            const Piece piece = cutter.Next(input + at, block.available - at, block.atEnd, line);
            converter.lost = {};
            ConversionOptions pieceOptions = options_;
            pieceOptions.newline = NewlineFor(options_.newline, piece.lineEnd);
            const std::int32_t n = converter.ConvertLine(converted, line, pieceOptions);
            if (n < 0 || (guessed && converter.lost.broken != 0)) return false;
            if (at + piece.consumed > block.length) return false;  // a piece across the cut
            if (const std::uint32_t count = converter.lost.Total(); count != 0) {
                if (job_.settings.strict) return false;
                if (summary.lost.count == 0) {
                    summary.lost.firstLine = summary.lineEnds;
                    summary.lost.firstLineOffset = lineOffset;
                    summary.lost.firstHadNoCode = converter.lost.broken == 0;
                }
                summary.lost.count += count;
            } else if (summary.lost.count == 0 && piece.lineEnd != LineEnd::None) {
                ++summary.lineEnds;
                lineOffset = block.offset + at + piece.consumed;
            }
            const auto size = static_cast<std::size_t>(n);
            if (output_ != nullptr) {
                if (block.used + size > outputBytes_ && !Flush(block, sequence)) return false;
                std::memcpy(block.output.get() + block.used, AsBytes(converted), size);
                block.used += size;
            }
            const std::uint64_t written = summary.written;
            summary.same = summary.same && written >= at &&
                           written - at + size <= block.available - at &&
                           std::memcmp(input + written, AsBytes(converted), size) == 0;
            summary.written += size;
            at += piece.consumed;
            uncounted += piece.consumed;
            if (uncounted >= PROGRESS_STEP_BYTES) Count(uncounted);
        }
        Count(uncounted);
        return true;
    }

    // Adds bytes converted to the progress, and to what a redo takes back.
    void Count(std::size_t& bytes) {
        if (bytes == 0) return;
        counted_.fetch_add(bytes, std::memory_order_relaxed);
        RaiseProgress(job_.progressPosition, progress_.AddProgress(bytes));
        bytes = 0;
    }

    // Writes the block's output so far once every block before it is written:
    // for a block whose output outgrows its buffer before the block is done.
    bool Flush(Block& block, std::uint64_t sequence) {
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return stop_ || turn_ == sequence; });
            if (stop_) return false;
        }
        std::error_code error;
        if (output_ != nullptr && block.used != 0 &&
            !output_->WriteAll(block.output.get(), block.used, error)) {
            return false;
        }
        block.used = 0;
        return true;
    }

    // Adds the block, written, to the file's totals and passes the turn on.
    // Called in the blocks' order, under the lock.
    void Join(const Block& block, std::uint64_t sequence) {
        const BlockSummary& summary = block.summary;
        if (lost_.count == 0 && summary.lost.count != 0) {
            lost_ = summary.lost;
            lost_.firstLine += lineNumber_;
        } else {
            lost_.count += summary.lost.count;
        }
        if (lost_.count == 0) lineNumber_ += summary.lineEnds;
        // The output so far is the source so far only while both kept pace.
        same_ = same_ && summary.same && written_ == offset_ && summary.written == block.length;
        written_ += summary.written;
        offset_ += block.length;
        turn_ = sequence + 1;
    }

    const FileHandle* output_;
    const ConversionOptions& options_;
    ConvertJob& job_;
    ProgressCounter& progress_;
    const bool units_;
    const std::size_t blockBytes_;
    const std::size_t outputBytes_;
    std::vector<Block> blocks_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::uint64_t handedOut_ = 0;  // blocks the reader has handed out
    std::uint64_t taken_ = 0;      // blocks a thread has taken
    std::uint64_t turn_ = 0;       // the block whose output is written next
    bool readerDone_ = false;
    bool writing_ = false;                   // a thread writes a block's output
    std::atomic<bool> stop_{false};          // a fault or a cancel: every thread ends
    std::atomic<std::uint64_t> counted_{0};  // bytes added to the progress
    bool trouble_ = false;                   // a fault: convert the file on one thread
    // The file's totals, in the blocks' order.
    ReplacedCharacters lost_;
    std::uint64_t lineNumber_ = 1;
    std::uint64_t written_ = 0;
    std::uint64_t offset_ = 0;
    bool same_ = true;

    std::vector<std::jthread> threads_;  // last: they end before the rest goes
};

}  // namespace

unsigned BlockThreads(const BlockPlan& plan) {
    // Asked once: the standard library reads it from the system at every call.
    static const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    return std::min(plan.threads == 0 ? cores : plan.threads, MAX_BLOCK_THREADS);
}

BlockOutcome ConvertInBlocks(const FileHandle& source, const FileHandle* output,
                             const ConversionOptions& options, ConvertJob& job,
                             ProgressCounter& progress, FileConversion* result) {
    const BlockPlan& plan = job.settings.blocks;
    std::error_code error;
    const std::uint64_t size = source.Size(error);
    if (error || size < plan.minimumBytes) return BlockOutcome::NotTaken;
    const unsigned threads = BlockThreads(plan);
    if (threads < 2 || std::endian::native != std::endian::little) return BlockOutcome::NotTaken;
    BlockRun run(output, options, job, progress, plan, threads);
    if (!run.HasThreads()) return BlockOutcome::NotTaken;
    return run.Run(source, result) ? BlockOutcome::Done : BlockOutcome::Redo;
}

}  // namespace ruv
