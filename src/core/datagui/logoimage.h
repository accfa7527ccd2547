#pragma once

#include <QByteArray>
#include <QImage>

// Decodes a stored picture file: JPEG through libjpeg, BMP, GIF, ICO and the
// other formats through Qt's image readers. A content that cannot be shown
// gives a null image; it never raises.
QImage DecodeLogo(const QByteArray& content);

// The company logo of the data module's company record into `picture`; true
// when the picture holds an image afterwards.
bool LoadFirmenLogo(QImage& picture);
