// The output side of the Shift_JIS-based codecs: a running count and, when
// writing, the caller's buffer and its capacity.
//
// Every piece (one byte, one character value, one escape sequence) is counted
// first; a run of bytes counts as that many one-byte pieces.  When writing, a
// piece that brings the count to the capacity or beyond stops the codec (the
// Put functions return false) before anything of it is written, so the output
// always keeps one byte for the terminator.  When only measuring (kWrite
// false) nothing is written and nothing is refused.  Each replacement is
// counted, by its kind, into the tally the sink was given.
#pragma once

#include <cstdint>
#include <cstring>

#include "platform/byte_words.h"
#include "platform/cp932.h"

namespace ruv::detail {

// Why a character was replaced: the target has no code for it, or the source
// holds it broken or unassigned.
enum class LostKind : std::uint8_t { NoCode, Broken };

// The kind of a Shift_JIS value that has no JIS row and cell: a single byte
// from 0x80 up is no character of the source, a pair (user-defined, IBM
// extension without an equivalent) is one the target cannot hold.
constexpr LostKind LostKindOf(std::uint16_t value) {
    return value < 0x100 ? LostKind::Broken : LostKind::NoCode;
}

// Runs a codec body over a tally of its own and adds that to lost when given,
// so the codec's loops never test for a null pointer.
template <typename Body>
std::int32_t Tallied(LostCount* lost, Body body) {
    LostCount tally;
    const std::int32_t n = body(tally);
    if (lost != nullptr) lost->Add(tally);
    return n;
}

template <bool kWrite>
class ByteSink {
public:
    ByteSink(std::uint8_t* out, std::int32_t capacity, LostCount& lost)
        : out_(out), capacity_(capacity), lost_(&lost) {}

    bool PutByte(std::uint8_t b) {
        if constexpr (kWrite) {
            if (count_ + 1 >= capacity_) return false;
            out_[count_] = b;
        }
        ++count_;
        return true;
    }

    // Two bytes, high first: a double-byte character known to be one.
    bool PutPair(std::uint16_t value) {
        if constexpr (kWrite) {
            if (count_ + 2 >= capacity_) return false;
            out_[count_] = static_cast<std::uint8_t>(value >> 8);
            out_[count_ + 1] = static_cast<std::uint8_t>(value);
        }
        count_ += 2;
        return true;
    }

    // A character value, written as PutCodeChar writes it: below 0x100 one byte
    // (0 as "?"), otherwise two bytes, high byte first.
    bool PutValue(std::uint16_t value) {
        if (value < 0x100) return PutByte(value == 0 ? '?' : static_cast<std::uint8_t>(value));
        return PutPair(value);
    }

    // The replacement for a character that has no place in the output or that
    // is broken in the input: the one place where every codec writes one, and
    // counts it.
    bool PutLost(std::uint16_t replacement, LostKind kind) {
        ++(kind == LostKind::NoCode ? lost_->noCode : lost_->broken);
        return PutValue(replacement);
    }

    // An escape sequence, whole or not at all.
    bool PutSequence(const std::uint8_t* bytes, std::int32_t n) {
        if constexpr (kWrite) {
            if (count_ + n >= capacity_) return false;
            std::memcpy(out_ + count_, bytes, static_cast<std::size_t>(n));
        }
        count_ += n;
        return true;
    }

    // A run of n single-byte characters, as n calls of PutByte would write it
    // (the bytes that fit, then false) but against the capacity once.
    bool PutRun(const std::uint8_t* bytes, std::int32_t n) {
        if constexpr (kWrite) {
            const std::int32_t room = capacity_ - 1 - count_;  // bytes before the terminator's
            if (n > room) {
                if (room > 0) std::memcpy(out_ + count_, bytes, static_cast<std::size_t>(room));
                return false;
            }
            std::memcpy(out_ + count_, bytes, static_cast<std::size_t>(n));
        }
        count_ += n;
        return true;
    }

    // Ends the output: the count, with a terminator after it when writing, or -1
    // when the terminator does not fit.
    std::int32_t Finish() {
        if constexpr (kWrite) {
            if (count_ >= capacity_) return -1;
            out_[count_] = 0;
        }
        return count_;
    }

private:
    std::uint8_t* out_;
    std::int32_t capacity_;
    std::int32_t count_ = 0;
    LostCount* lost_;
};

// Runs a codec loop over a sink that writes to out, or only measures when out
// is null, counting into a tally of its own that is added to lost when given.
template <typename Loop>
std::int32_t RunOnSink(std::uint8_t* out, std::int32_t capacity, LostCount* lost, Loop loop) {
    return Tallied(lost, [&](LostCount& tally) {
        if (out == nullptr) return loop(ByteSink<false>(out, capacity, tally));
        return loop(ByteSink<true>(out, capacity, tally));
    });
}

}  // namespace ruv::detail
