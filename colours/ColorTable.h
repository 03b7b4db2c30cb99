#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <unordered_map>
#include <vector>

namespace pix {

// A set of colour values of the pixel read (0 to 2^24 - 1), one bit each,
// 2 MiB of zero pages until touched: what one thread of a numbering pass
// collects before the colours join the table.
class TColourSet {
public:
    TColourSet();

    void Add(const int32_t* colourValues, int count)
    {
        for (int i = 0; i < count; ++i)
            fBits[colourValues[i] >> 6] |= uint64_t{1} << (colourValues[i] & 63);
    }
    // kColourValues / 64 words, value v at bit v % 64 of word v / 64.
    const uint64_t* Bits() const { return fBits.get(); }

private:
    struct FreeDeleter {
        void operator()(void* p) const { std::free(p); }
    };
    std::unique_ptr<uint64_t[], FreeDeleter> fBits;
};

// The distinct colour values of the current picture and their colour
// numbers: a value's number is its 1-based position in the table, in
// first-met order until SortColors, ascending by value after it.
//
// Pictures have up to 16,777,216 colours, so finding a value cannot be a
// search. A presence bit per 24-bit value (2 MiB) says which colours are in
// the table; once sorted, a colour's number is the count of present values
// below it, read from a running count per 64 values and the bits of its
// word. Numbers in first-met order, needed only until the sort, come from a
// slot per value (64 MiB of zero pages until touched), filled when first
// asked for. A reset clears only what the last picture used.
class TColorTable {
public:
    static constexpr int32_t kColourValues = 1 << 24;

    TColorTable();

    void Reset();

    // The number of colourValue, appended as the next number when new.
    int32_t FindOrAddColor(int32_t colourValue)
    {
        if (!InColourRange(colourValue))
            return FindOrAddOutsideColourRange(colourValue);
        if (!Present(colourValue)) {
            Append(colourValue);
            return ColorCount();
        }
        return fRanked ? RankedNumber(colourValue) : SlotNumber(colourValue);
    }

    // Room for entries colours, so that appending never moves the entries.
    void Reserve(int64_t entries) { fEntries.reserve(static_cast<std::size_t>(std::min<int64_t>(entries, kColourValues))); }
    // Appends every new value of count colour values of the pixel read, as
    // FindOrAddColor would, without working out their numbers.
    void AddColours(const int32_t* colourValues, int count)
    {
        for (int i = 0; i < count; ++i)
            if (!Present(colourValues[i]))
                Append(colourValues[i]);
    }

    // Appends the colours of the set that are new, in ascending order.
    void AddColours(const TColourSet& colours);

    // Orders the entries ascending by their signed value and renumbers them.
    void SortColors();

    // True when the table is sorted and holds colour values only, so that
    // NumberOf gives every number without changing the table: the second
    // pass can then run on several threads.
    bool Ranked() const { return fRanked; }
    // The number of a colour value in a ranked table that holds it.
    int32_t NumberOf(int32_t colourValue) const { return RankedNumber(colourValue); }

    int32_t ColorCount() const { return static_cast<int32_t>(fEntries.size()); }

    // The colour value with the given number, 1 to ColorCount().
    int32_t Entry(int32_t number) const { return fEntries[static_cast<std::size_t>(number) - 1]; }

private:
    static constexpr int kWords = kColourValues / 64;

    // std::popcount becomes a library call where the target may lack the
    // instruction; this is the same count, inline, once per exported pixel.
    static int CountBits(uint64_t bits)
    {
        bits -= (bits >> 1) & 0x5555555555555555u;
        bits = (bits & 0x3333333333333333u) + ((bits >> 2) & 0x3333333333333333u);
        bits = (bits + (bits >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
        return static_cast<int>((bits * 0x0101010101010101u) >> 56);
    }
    static bool InColourRange(int32_t value) { return static_cast<uint32_t>(value) < static_cast<uint32_t>(kColourValues); }
    bool Present(int32_t value) const { return fPresent[value >> 6] >> (value & 63) & 1; }
    int32_t RankedNumber(int32_t value) const
    {
        const uint64_t below = fPresent[value >> 6] & ((uint64_t{1} << (value & 63)) - 1);
        return fRankOfWord[static_cast<std::size_t>(value >> 6)] + CountBits(below) + 1;
    }
    void Append(int32_t value);
    int32_t SlotNumber(int32_t value);
    void FillSlots();
    void ClearSlots();
    int32_t FindOrAddOutsideColourRange(int32_t value);

    struct FreeDeleter {
        void operator()(void* p) const { std::free(p); }
    };
    std::unique_ptr<uint64_t[], FreeDeleter> fPresent;
    // Present colour values below each word's first value; valid while ranked.
    std::vector<int32_t> fRankOfWord;
    bool fRanked = false;
    // Numbers of the entries in first-met order; all zero unless filled.
    std::unique_ptr<int32_t[], FreeDeleter> fNumberOf;
    bool fSlotsFilled = false;
    std::vector<int32_t> fEntries;
    // Only callers outside the pixel read can pass values beyond 24 bits;
    // they are numbered like the rest, just not through the presence bits.
    std::unordered_map<int32_t, int32_t> fOutsideColourRange;
};

} // namespace pix
