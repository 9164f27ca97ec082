// The window icon: the dynamite compiled into the program, with the designed 16 and 32 pixel
// images in 16 colours and a transparency mask, and larger sizes for panels that want them.

#include "ui/app_icon.h"
#include "ui/form1.h"

#include <QImage>
#include <gtest/gtest.h>

namespace tessfield {
namespace {

// The window carries the icon at every size that is compiled in.
TEST(ApplicationIcon, TheWindowCarriesEverySize)
{
    Form1 form;
    const QList<QSize> sizes = form.windowIcon().availableSizes();
    for (const int size : {16, 32, 48, 64, 128})
        EXPECT_TRUE(sizes.contains(QSize(size, size))) << size << " px missing";
}

// 16 and 32 pixels: at most 16 palette entries, and a mask: every pixel fully transparent
// or fully opaque, with the background clear.
TEST(ApplicationIcon, SmallImagesAreSixteenColoursWithTransparency)
{
    for (const int size : {16, 32}) {
        const QImage image(applicationIconPath(size));
        ASSERT_FALSE(image.isNull()) << applicationIconPath(size).toStdString();
        EXPECT_EQ(image.size(), QSize(size, size));
        EXPECT_EQ(image.format(), QImage::Format_Indexed8) << size << " px is not a palette image";
        EXPECT_LE(image.colorCount(), 16) << size << " px";
        EXPECT_TRUE(image.hasAlphaChannel()) << size << " px";
        int transparent = 0;
        int partial = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const int alpha = qAlpha(image.pixel(x, y));
                transparent += alpha == 0 ? 1 : 0;
                partial += alpha != 0 && alpha != 255 ? 1 : 0;
            }
        }
        EXPECT_EQ(partial, 0) << size << " px: a mask has no partly transparent pixels";
        EXPECT_EQ(qAlpha(image.pixel(size - 1, size - 1)), 0) << size;
        EXPECT_GT(transparent, size * size / 4) << size << " px: the background must be clear";
    }
}

// The larger sizes are full colour with alpha, rendered from the same picture: the red stick
// fills the middle and the corners stay clear.
TEST(ApplicationIcon, LargeImagesShowTheRedStick)
{
    for (const int size : {48, 64, 128}) {
        const QImage image = QImage(applicationIconPath(size)).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(size, size)) << size;
        EXPECT_EQ(qAlpha(image.pixel(size - 1, 0)), 0) << size;
        const QColor middle = image.pixelColor(size * 5 / 8, size * 5 / 8);
        EXPECT_GT(middle.red(), 150) << size;
        EXPECT_LT(middle.green(), 100) << size;
    }
}

} // namespace
} // namespace tessfield
