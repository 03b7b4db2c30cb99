#include "resources/Pictures.h"

#include "png/ByteSource.h"
#include "png/PngImage.h"

#include <QFile>

#include <mutex>
#include <stdexcept>

// The resources of a static library are registered by hand; the call has to
// stand outside any namespace.
static void RegisterPictures()
{
    Q_INIT_RESOURCE(pictures);
}

namespace pix {

namespace {

constexpr int kIconSizes[] = {16, 20, 24, 32, 40, 48, 64, 256};

QByteArray EmbeddedFile(const QString& name)
{
    static std::once_flag registered;
    std::call_once(registered, RegisterPictures);
    QFile file(QStringLiteral(":/pictures/") + name);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("The program's picture \"" + name.toStdString() + "\" is missing.");
    return file.readAll();
}

} // namespace

std::vector<TEmbeddedPicture> ButtonPictures()
{
    std::vector<TEmbeddedPicture> pictures;
    for (const char* name : {"Load2", "Load1", "Save2", "Save1"})
        pictures.push_back({name, EmbeddedFile(QString::fromLatin1(name) + QStringLiteral(".png"))});
    return pictures;
}

QByteArray PlaceholderPng()
{
    return EmbeddedFile(QStringLiteral("Placeholder.png"));
}

TBitmap32 DecodePicture32(std::span<const uint8_t> png)
{
    TMemorySource source(png);
    TPngImage image;
    image.LoadFromStream(source);
    const TChunkIHDR& header = image.Header();
    const int bitCount = header.BitmapInfo.bmiHeader.biBitCount;
    TBitmap32 picture(static_cast<int>(image.Width()), static_cast<int>(image.Height()));
    for (uint32_t y = 0; y < image.Height(); ++y) {
        const uint8_t* colours = image.Scanline(y);
        const uint8_t* alphas = image.AlphaScanline(y);
        uint8_t* pixel = picture.Row(static_cast<int>(y));
        for (uint32_t x = 0; x < image.Width(); ++x, pixel += 4) {
            if (bitCount == 24) {
                pixel[kBlue] = colours[3 * x];
                pixel[kGreen] = colours[3 * x + 1];
                pixel[kRed] = colours[3 * x + 2];
            } else {
                const TRGBQuad& entry = header.BitmapInfo.bmiColors[IndexAt(colours, x, bitCount)];
                pixel[kBlue] = entry.rgbBlue;
                pixel[kGreen] = entry.rgbGreen;
                pixel[kRed] = entry.rgbRed;
            }
            pixel[kAlpha] = alphas ? alphas[x] : 255;
        }
    }
    return picture;
}

TBitmap32 DecodePicture32(const QByteArray& png)
{
    return DecodePicture32(ByteSpan(png));
}

TBitmap32 PlaceholderPicture()
{
    return DecodePicture32(PlaceholderPng());
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : kIconSizes) {
        const QString name = QStringLiteral("ProgramIcon%1.png").arg(size);
        icon.addPixmap(QPixmap::fromImage(ToQImage(DecodePicture32(EmbeddedFile(name)))));
    }
    return icon;
}

QImage ToQImage(const TBitmap32& picture)
{
    QImage image(picture.Width(), picture.Height(), QImage::Format_ARGB32);
    for (int y = 0; y < picture.Height(); ++y) {
        const uint8_t* pixel = picture.Row(y);
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < picture.Width(); ++x, pixel += 4)
            line[x] = qRgba(pixel[kRed], pixel[kGreen], pixel[kBlue], pixel[kAlpha]);
    }
    return image;
}

} // namespace pix
