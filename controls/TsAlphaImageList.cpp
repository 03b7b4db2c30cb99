#include "controls/TsAlphaImageList.h"

#include "controls/Density.h"
#include "controls/Resampler.h"
#include "resources/Pictures.h"

#include <algorithm>

namespace pix {

namespace {

bool SameSize(const TBitmap32& a, const TBitmap32& b)
{
    return a.Width() == b.Width() && a.Height() == b.Height();
}

} // namespace

TsAlphaImageList::~TsAlphaImageList()
{
    TellLinks(&TChangeLink::OnListDestroyed);
}

TPictureSize TsAlphaImageList::PictureSizeAt(int density) const
{
    return {ScaledLength(Width, density), ScaledLength(Height, density)};
}

bool TsAlphaImageList::GetBitmap32(int index, TBitmap32& image, int)
{
    if (index < 0 || index >= Count())
        return false;
    TsImgListItem& item = Items[static_cast<std::size_t>(index)];
    if (UseCache && item.CacheBmp && SameSize(*item.CacheBmp, image)) {
        image = *item.CacheBmp;
        return true;
    }
    item.CacheBmp.reset();
    const TBitmap32 decoded = DecodePicture32(item.ImgData);
    if (SameSize(decoded, image))
        image = decoded;
    else
        ResampleMitchell(decoded, image);
    if (UseCache && image.Width() == Width && image.Height() == Height)
        item.CacheBmp = std::make_unique<TBitmap32>(image);
    return true;
}

void TsAlphaImageList::RegisterChanges(TChangeLink* link)
{
    if (link && std::find(fChangeLinks.begin(), fChangeLinks.end(), link) == fChangeLinks.end())
        fChangeLinks.push_back(link);
}

void TsAlphaImageList::UnRegisterChanges(TChangeLink* link)
{
    std::erase(fChangeLinks, link);
}

void TsAlphaImageList::Change()
{
    TellLinks(&TChangeLink::OnChange);
}

void TsAlphaImageList::TellLinks(std::function<void()> TChangeLink::*message)
{
    // A link may unregister itself while being told; walk a copy.
    const std::vector<TChangeLink*> links = fChangeLinks;
    for (TChangeLink* link : links)
        if (link->*message)
            (link->*message)();
}

void TsAlphaImageList::Loaded()
{
    for (TsImgListItem& item : Items) {
        const TBitmap32 decoded = DecodePicture32(item.ImgData);
        item.OrigWidth = decoded.Width();
        item.OrigHeight = decoded.Height();
    }
    Change();
}

void LoadButtonPictures(TsAlphaImageList& list)
{
    list.Width = kButtonPictureWidth;
    list.Height = kButtonPictureHeight;
    for (const TEmbeddedPicture& picture : ButtonPictures()) {
        TsImgListItem item;
        item.ImageName = picture.ImageName;
        item.ImageFormat = ifPNG;
        item.ImgData.assign(picture.Png.begin(), picture.Png.end());
        list.Items.push_back(std::move(item));
    }
    list.Loaded();
}

} // namespace pix
