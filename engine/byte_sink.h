// The output side of the Shift_JIS-based codecs: a running count and, when
// writing, the caller's buffer and its capacity.
//
// Every piece (one byte, one character value, one escape sequence) is counted
// first.  When writing, a piece that brings the count to the capacity or beyond
// stops the codec (the Put functions return false) before anything of it is
// written, so the output always keeps one byte for the terminator.  When only
// measuring (kWrite false) nothing is written and nothing is refused.
#pragma once

#include <cstdint>

namespace ruv::detail {

template <bool kWrite>
class ByteSink {
  public:
    ByteSink(std::uint8_t* out, std::int32_t capacity) : out_(out), capacity_(capacity) {}

    bool PutByte(std::uint8_t b) {
        if constexpr (kWrite) {
            if (count_ + 1 >= capacity_) return false;
            out_[count_] = b;
        }
        ++count_;
        return true;
    }

    // A character value, written as PutCodeChar writes it: below 0x100 one byte
    // (0 as "?"), otherwise two bytes, high byte first.
    bool PutValue(std::uint16_t value) {
        if (value < 0x100) return PutByte(value == 0 ? '?' : static_cast<std::uint8_t>(value));
        if constexpr (kWrite) {
            if (count_ + 2 >= capacity_) return false;
            out_[count_] = static_cast<std::uint8_t>(value >> 8);
            out_[count_ + 1] = static_cast<std::uint8_t>(value);
        }
        count_ += 2;
        return true;
    }

    bool PutSequence(const std::uint8_t (&bytes)[3]) {
        if constexpr (kWrite) {
            if (count_ + 3 >= capacity_) return false;
            out_[count_] = bytes[0];
            out_[count_ + 1] = bytes[1];
            out_[count_ + 2] = bytes[2];
        }
        count_ += 3;
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
};

}  // namespace ruv::detail
