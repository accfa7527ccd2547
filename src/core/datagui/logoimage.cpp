#include "core/datagui/logoimage.h"

#include "core/data/datamodule.h"
#include "platform/table/table.h"

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace {

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void jpegFailed(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

void jpegWarning(j_common_ptr, int) {}

bool isJpeg(const QByteArray& content) {
    return content.size() > 3 && uchar(content[0]) == 0xFF && uchar(content[1]) == 0xD8;
}

// Only plain data lives in this frame between setjmp and a possible
// longjmp; the image is the caller's and filled through the pointer.
bool readJpeg(const QByteArray& content, QImage* image) {
    jpeg_decompress_struct info{};
    JpegError error{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = jpegFailed;
    error.manager.emit_message = jpegWarning;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(content.constData()),
                 static_cast<unsigned long>(content.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    bool ok = info.output_width > 0 && info.output_height > 0 && info.output_components == 3 &&
              info.output_width <= 20000 && info.output_height <= 20000;
    if (ok) {
        *image = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB888);
        ok = !image->isNull();
    }
    if (ok) {
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = image->scanLine(int(info.output_scanline));
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
    }
    jpeg_destroy_decompress(&info);
    return ok;
}

QImage decodeJpeg(const QByteArray& content) {
    QImage image;
    if (!readJpeg(content, &image))
        return {};
    return image;
}

} // namespace

QImage DecodeLogo(const QByteArray& content) {
    if (content.isEmpty())
        return {};
    if (isJpeg(content))
        return decodeJpeg(content);
    return QImage::fromData(content);
}

bool LoadFirmenLogo(QImage& picture) {
    table::Table& firmen = DataModule1().TabFirmen();
    const table::Field& logo = firmen.field(QStringLiteral("F_Logo"));
    picture = logo.isNull() ? QImage() : DecodeLogo(logo.asBytes());
    return !picture.isNull();
}
