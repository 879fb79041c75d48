// Code page 932 <-> UTF-16 tables, generated into cp932_tables.cpp by
// tools/gen_cp932.py.
//
// Decoding: Cp932SingleByteTable gives the character of every single byte (0 for
// the terminator and the lead bytes 81-9F, E0-FC); Cp932DoubleByteTable gives the
// character of a lead byte and a trail byte, 0 when the pair is unassigned.
// Encoding: two levels by the high and the low byte of a UTF-16 unit; an entry
// below 0x100 is one byte, above it lead * 256 + trail, 0 when there is no code.
#pragma once

#include <array>
#include <cstdint>

namespace ruv {

inline constexpr int kCp932LeadCount = 60;     // 81-9F and E0-FC
inline constexpr int kCp932TrailFirst = 0x40;  // trail bytes 40-7E and 80-FC
inline constexpr int kCp932TrailSlots = 189;   // 40-FC, the slot of 0x7F always 0
// Blocks of 256 units with at least one code, plus the empty page 0.  The
// generated definition states its own count, so a mismatch does not compile.
inline constexpr int kCp932EncodePageCount = 108;

// Row of a lead byte in Cp932DoubleByteTable.
constexpr int Cp932LeadRow(std::uint8_t lead) { return lead <= 0x9F ? lead - 0x81 : lead - 0xC1; }

extern const std::array<char16_t, 256> Cp932SingleByteTable;
extern const std::array<std::array<char16_t, kCp932TrailSlots>, kCp932LeadCount>
    Cp932DoubleByteTable;
extern const std::array<std::uint8_t, 256> Cp932EncodePageIndex;
extern const std::array<std::array<std::uint16_t, 256>, kCp932EncodePageCount> Cp932EncodePages;
inline constexpr int kCp932IbmLeadFirst = 0xFA;
extern const std::array<std::uint16_t, 3 * kCp932TrailSlots> Cp932IbmEquivalents;

}  // namespace ruv
