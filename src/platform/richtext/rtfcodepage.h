#pragma once

#include <QStringDecoder>

namespace richtext {

// The Windows code page of an RTF font charset (\fcharset); 0 for the
// document's own code page.
int codePageOfCharset(int charset);

// A decoder for a Windows code page number; Windows-1252 for unknown ones.
QStringDecoder decoderForCodePage(int codePage);

} // namespace richtext
