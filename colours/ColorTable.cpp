#include "colours/ColorTable.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

namespace pix {

namespace {

// Below this many colours the entries are sorted directly; above it the
// presence bits, read in order, are the sorted table.
constexpr std::size_t kScanFrom = 1 << 15;

template <class T>
T* ZeroPages(std::size_t count)
{
    // calloc rather than a zero-filled vector: the operating system hands
    // out zero pages lazily, so only what is touched uses memory.
    auto* memory = static_cast<T*>(std::calloc(count, sizeof(T)));
    if (!memory)
        throw std::bad_alloc();
    return memory;
}

} // namespace

TColourSet::TColourSet()
    : fBits(ZeroPages<uint64_t>(TColorTable::kColourValues / 64))
{
}

TColorTable::TColorTable()
    : fPresent(ZeroPages<uint64_t>(kWords))
    , fRankOfWord(kWords)
    , fNumberOf(ZeroPages<int32_t>(kColourValues))
{
}

void TColorTable::Reset()
{
    ClearSlots();
    if (fEntries.size() > kWords / 8) {
        std::memset(fPresent.get(), 0, kWords * sizeof(uint64_t));
    } else {
        for (const int32_t value : fEntries)
            if (InColourRange(value))
                fPresent[value >> 6] = 0;
    }
    fEntries.clear();
    fOutsideColourRange.clear();
    fRanked = false;
}

void TColorTable::Append(int32_t value)
{
    fPresent[value >> 6] |= uint64_t{1} << (value & 63);
    fEntries.push_back(value);
    fRanked = false;
    if (fSlotsFilled)
        fNumberOf[value] = ColorCount();
}

void TColorTable::AddColours(const TColourSet& colours)
{
    const uint64_t* bits = colours.Bits();
    for (int word = 0; word < kWords; ++word)
        for (uint64_t added = bits[word] & ~fPresent[word]; added != 0; added &= added - 1)
            Append(word * 64 + std::countr_zero(added));
}

int32_t TColorTable::SlotNumber(int32_t value)
{
    if (!fSlotsFilled)
        FillSlots();
    return fNumberOf[value];
}

void TColorTable::FillSlots()
{
    for (std::size_t i = 0; i < fEntries.size(); ++i)
        if (InColourRange(fEntries[i]))
            fNumberOf[fEntries[i]] = static_cast<int32_t>(i + 1);
    fSlotsFilled = true;
}

void TColorTable::ClearSlots()
{
    if (!fSlotsFilled)
        return;
    for (const int32_t value : fEntries)
        if (InColourRange(value))
            fNumberOf[value] = 0;
    fSlotsFilled = false;
}

int32_t TColorTable::FindOrAddOutsideColourRange(int32_t value)
{
    const auto [slot, added] = fOutsideColourRange.try_emplace(value, 0);
    if (added) {
        fEntries.push_back(value);
        fRanked = false;
        slot->second = ColorCount();
    }
    return slot->second;
}

void TColorTable::SortColors()
{
    if (fRanked)
        return;
    ClearSlots();
    if (!fOutsideColourRange.empty()) {
        // Negative values sort first, so numbers are no counts of present
        // colour values: they go to the slots.
        std::sort(fEntries.begin(), fEntries.end());
        for (std::size_t i = 0; i < fEntries.size(); ++i)
            if (!InColourRange(fEntries[i]))
                fOutsideColourRange[fEntries[i]] = static_cast<int32_t>(i + 1);
        FillSlots();
        return;
    }
    if (fEntries.size() < kScanFrom) {
        // Only the words of present values are ever read for a rank.
        std::sort(fEntries.begin(), fEntries.end());
        for (std::size_t i = fEntries.size(); i-- > 0;)
            fRankOfWord[static_cast<std::size_t>(fEntries[i] >> 6)] = static_cast<int32_t>(i);
    } else {
        int32_t count = 0;
        for (int word = 0; word < kWords; ++word) {
            fRankOfWord[static_cast<std::size_t>(word)] = count;
            for (uint64_t bits = fPresent[word]; bits != 0; bits &= bits - 1)
                fEntries[static_cast<std::size_t>(count++)] = word * 64 + std::countr_zero(bits);
        }
    }
    fRanked = true;
}

} // namespace pix
