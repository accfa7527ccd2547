#include "core/datagui/logoimage.h"

#include <QBuffer>
#include <QImageWriter>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <vector>

namespace {

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format)) << format;
    return bytes;
}

QImage sample() {
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(QColor(200, 30, 30));
    for (int x = 0; x < 20; ++x)
        for (int y = 0; y < 30; ++y)
            image.setPixelColor(x, y, QColor(20, 40, 220));
    return image;
}

TEST(LogoImageTest, StoredPicturesOfTheOfferedFormatsAreShown) {
    for (const char* format : {"JPG", "BMP", "ICO", "PNG"}) {
        SCOPED_TRACE(format);
        const QImage image = DecodeLogo(encoded(sample(), format));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(40, 30));
        // Lossy JPEG keeps the colours near enough.
        const QColor left = image.pixelColor(5, 15);
        const QColor right = image.pixelColor(35, 15);
        EXPECT_GT(left.blue(), 180);
        EXPECT_GT(right.red(), 160);
    }
}

// A JPEG written by libjpeg itself, so the sample needs no image plugin.
QByteArray libjpegSample(int width, int height, bool gray) {
    jpeg_compress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = gray ? 1 : 3;
    info.in_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(size_t(width) * size_t(info.input_components), 128);
    while (info.next_scanline < info.image_height) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&info, &r, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(out), qsizetype(size));
    free(out);
    return bytes;
}

TEST(LogoImageTest, ColourAndGrayJpegsAreDecodedThroughLibjpeg) {
    for (bool gray : {false, true}) {
        SCOPED_TRACE(gray);
        const QImage image = DecodeLogo(libjpegSample(17, 9, gray));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(17, 9));
        EXPECT_NEAR(image.pixelColor(8, 4).green(), 128, 3);
    }
}

TEST(LogoImageTest, ContentThatCannotBeShownGivesNoPicture) {
    QByteArray truncatedJpeg = QByteArray::fromHex("FFD8FFE000104A464946");
    const QByteArray cases[] = {
        QByteArray(),
        QByteArray("kein Bild"),
        truncatedJpeg,
        QByteArray::fromHex("FFD8") + QByteArray(200, '\x55'),
        QByteArray("BM") + QByteArray(10, '\0'),
    };
    for (const QByteArray& content : cases) {
        SCOPED_TRACE(content.toHex().toStdString());
        EXPECT_TRUE(DecodeLogo(content).isNull());
    }
}

} // namespace
