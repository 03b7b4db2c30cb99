#pragma once

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

} // namespace pix
