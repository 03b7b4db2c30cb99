#pragma once

#include "graphics/Bitmap32.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pix {

enum TImageFormat { ifPNG, ifICO, ifBMP32 };

struct TsImgListItem {
    std::string ImageName;
    TImageFormat ImageFormat = ifPNG;
    int OrigWidth = 0;
    int OrigHeight = 0;
    // The decoded picture at the list's nominal size, once it was asked for.
    std::unique_ptr<TBitmap32> CacheBmp;
    // The picture file's bytes as stored.
    std::vector<uint8_t> ImgData;
};

// Tells a control that the list it shows pictures from has changed, or is
// gone.
struct TChangeLink {
    std::function<void()> OnChange;
    std::function<void()> OnListDestroyed;
};

struct TPictureSize {
    int Width = 0;
    int Height = 0;

    bool operator==(const TPictureSize&) const = default;
};

// The pictures of the image buttons, carried as PNG files and decoded on
// demand at the size the caller asks for.
class TsAlphaImageList {
public:
    TsAlphaImageList() = default;
    ~TsAlphaImageList();
    TsAlphaImageList(const TsAlphaImageList&) = delete;
    TsAlphaImageList& operator=(const TsAlphaImageList&) = delete;

    int Width = 0;
    int Height = 0;
    bool UseCache = true;
    std::vector<TsImgListItem> Items;

    int Count() const { return static_cast<int>(Items.size()); }

    // The size a picture is drawn at on a display of the given density.
    TPictureSize PictureSizeAt(int density) const;

    // Fills image, whose size the caller has set, with item index at that
    // size; false and image untouched when index is out of range.
    // glyphHeight has no effect.
    bool GetBitmap32(int index, TBitmap32& image, int glyphHeight = 0);

    void RegisterChanges(TChangeLink* link);
    void UnRegisterChanges(TChangeLink* link);
    void Change();

    // Run once the items are in: records every item's decoded size.
    void Loaded();

private:
    void TellLinks(std::function<void()> TChangeLink::*message);

    std::vector<TChangeLink*> fChangeLinks;
};

// Fills the list with the four button pictures of the window.
void LoadButtonPictures(TsAlphaImageList& list);

} // namespace pix
