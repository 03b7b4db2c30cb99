#pragma once

#include "graphics/Bitmap32.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace pix {

enum TImageFormat { ifPNG, ifICO, ifBMP32 };

struct TsImgListItem {
    QString ImageName;
    TImageFormat ImageFormat = ifPNG;
    int OrigWidth = 0;
    int OrigHeight = 0;
    // The decoded picture at the list's nominal size, once it was asked for.
    std::unique_ptr<TBitmap32> CacheBmp;
    // The picture file's bytes as stored.
    QByteArray ImgData;
};

// Tells a control that the list it shows pictures from has changed.
class TChangeLink {
public:
    std::function<void()> OnChange;
};

// The pictures of the image buttons, carried as PNG files and decoded on
// demand at the size the caller asks for.
class TsAlphaImageList : public QObject {
    Q_OBJECT

public:
    explicit TsAlphaImageList(QObject* parent = nullptr);

    int Width = 255;
    int Height = 65;
    bool UseCache = true;
    std::vector<TsImgListItem> Items;

    int Count() const { return static_cast<int>(Items.size()); }

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
    std::vector<TChangeLink*> fChangeLinks;
};

// Fills the list with the four button pictures of the window.
void LoadButtonPictures(TsAlphaImageList& list);

} // namespace pix
