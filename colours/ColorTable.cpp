#include "colours/ColorTable.h"

#include <algorithm>
#include <new>

namespace pix {

TColorTable::TColorTable()
    // calloc rather than a zero-filled vector: the operating system hands out
    // zero pages lazily, so only slots of colours actually met use memory.
    : fNumberOf(static_cast<int32_t*>(std::calloc(kColourValues, sizeof(int32_t))))
{
    if (!fNumberOf)
        throw std::bad_alloc();
}

void TColorTable::Reset()
{
    for (const int32_t value : fEntries)
        if (static_cast<uint32_t>(value) < static_cast<uint32_t>(kColourValues))
            fNumberOf[value] = 0;
    fEntries.clear();
    fOutsideColourRange.clear();
}

int32_t TColorTable::Append(int32_t colourValue)
{
    fEntries.push_back(colourValue);
    return ColorCount();
}

int32_t TColorTable::FindOrAddOutsideColourRange(int32_t value)
{
    const auto [slot, added] = fOutsideColourRange.try_emplace(value, 0);
    if (added)
        slot->second = Append(value);
    return slot->second;
}

namespace {

// Below this a comparison sort is as fast and needs no second buffer.
constexpr std::size_t kRadixSortFrom = 1 << 16;
constexpr int kDigitBits = 12; // two passes cover the 24 bits of a colour value
constexpr std::size_t kDigitValues = std::size_t{1} << kDigitBits;

// Least significant digit first, so the second pass keeps the order of the
// first among equal high digits: linear in the number of colours.
void RadixSortColourValues(std::vector<int32_t>& values)
{
    std::vector<int32_t> buffer(values.size());
    for (int shift = 0; shift < 24; shift += kDigitBits) {
        std::vector<std::size_t> start(kDigitValues + 1, 0);
        for (const int32_t value : values)
            ++start[((value >> shift) & (kDigitValues - 1)) + 1];
        for (std::size_t digit = 1; digit <= kDigitValues; ++digit)
            start[digit] += start[digit - 1];
        for (const int32_t value : values)
            buffer[start[(value >> shift) & (kDigitValues - 1)]++] = value;
        values.swap(buffer);
    }
}

} // namespace

void TColorTable::SortColors()
{
    if (fEntries.size() >= kRadixSortFrom && fOutsideColourRange.empty())
        RadixSortColourValues(fEntries);
    else
        std::sort(fEntries.begin(), fEntries.end());
    for (std::size_t i = 0; i < fEntries.size(); ++i) {
        const int32_t value = fEntries[i];
        const auto number = static_cast<int32_t>(i + 1);
        if (static_cast<uint32_t>(value) < static_cast<uint32_t>(kColourValues))
            fNumberOf[value] = number;
        else
            fOutsideColourRange[value] = number;
    }
}

} // namespace pix
