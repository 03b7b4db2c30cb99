#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <unordered_map>
#include <vector>

namespace pix {

// The distinct colour values of the current picture and their colour
// numbers: a value's number is its 1-based position in the table, in
// first-met order until SortColors, ascending by value after it.
//
// Pictures have up to 16,777,216 colours, so finding a value cannot be a
// search: every 24-bit value has a slot holding its number (0 = absent).
// The slots are zero pages until touched, and a reset clears only the slots
// in use, so a reset costs what the last picture had, not 64 MiB.
class TColorTable {
public:
    static constexpr int32_t kColourValues = 1 << 24;

    TColorTable();

    void Reset();

    // The number of colourValue, appended as the next number when new.
    int32_t FindOrAddColor(int32_t colourValue)
    {
        if (static_cast<uint32_t>(colourValue) < static_cast<uint32_t>(kColourValues)) {
            int32_t& number = fNumberOf[colourValue];
            if (number == 0)
                number = Append(colourValue);
            return number;
        }
        return FindOrAddOutsideColourRange(colourValue);
    }

    // Orders the entries ascending by their signed value and renumbers them.
    void SortColors();

    int32_t ColorCount() const { return static_cast<int32_t>(fEntries.size()); }

    // The colour value with the given number, 1 to ColorCount().
    int32_t Entry(int32_t number) const { return fEntries[static_cast<std::size_t>(number) - 1]; }

private:
    int32_t Append(int32_t colourValue);
    int32_t FindOrAddOutsideColourRange(int32_t value);

    struct FreeDeleter {
        void operator()(int32_t* p) const { std::free(p); }
    };
    std::unique_ptr<int32_t[], FreeDeleter> fNumberOf;
    std::vector<int32_t> fEntries;
    // Only callers outside the pixel read can pass values beyond 24 bits;
    // they are numbered like the rest, just not through the direct slots.
    std::unordered_map<int32_t, int32_t> fOutsideColourRange;
};

} // namespace pix
