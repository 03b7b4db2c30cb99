#pragma once

#include "colours/CsvFormat.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace pix {

// Writes the decimal digits of number so that they end just before end and
// returns where they start: two digits per step, no locale, no allocation,
// as the export writes millions of cells.
inline char* FormatDecimal(uint32_t number, char* end)
{
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    char* p = end;
    while (number >= 100) {
        const uint32_t pair = (number % 100) * 2;
        number /= 100;
        p -= 2;
        std::memcpy(p, kPairs + pair, 2);
    }
    if (number >= 10) {
        p -= 2;
        std::memcpy(p, kPairs + number * 2, 2);
    } else {
        *--p = static_cast<char>('0' + number);
    }
    return p;
}

// The four digits of every number below 10,000, zero-padded, first digit
// in the lowest byte.
inline constexpr std::array<uint32_t, 10000> kFourDigits = [] {
    std::array<uint32_t, 10000> digits{};
    for (uint32_t n = 0; n < 10000; ++n)
        digits[n] = (0x30 + n / 1000) | (0x30 + n / 100 % 10) << 8 | (0x30 + n / 10 % 10) << 16 | (0x30 + n % 10) << 24;
    return digits;
}();

// Writes a CSV cell, the digits of number (1 to 99,999,999) and the cell
// end, at out and returns its end. Always stores kWidestCell bytes: the
// buffer needs that room after out. Two table reads and a shift, without a branch per digit: the
// export writes one cell per pixel.
inline char* AppendCell(char* out, uint32_t number)
{
    static_assert(std::endian::native == std::endian::little, "the digits are stored lowest byte first");
    uint64_t text = kFourDigits[number / 10000] | uint64_t{kFourDigits[number % 10000]} << 32;
    // Leading zeros are the low bytes equal to '0'; a number above 0 has a
    // digit that is not.
    const int zeros = std::countr_zero(text ^ 0x3030303030303030u) / 8;
    text >>= 8 * zeros;
    std::memcpy(out, &text, 8);
    out[8 - zeros] = kCellEnd;
    return out + kWidestCell - zeros;
}

} // namespace pix
