#include "colours/ColorTable.h"

#include <algorithm>
#include <new>

namespace pix {

TColorTable ColorTable;

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

void TColorTable::SortColors()
{
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
