#include "platform/richtext/rtfcodepage.h"

namespace richtext {

int codePageOfCharset(int charset) {
    switch (charset) {
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return 0;
    }
}

QStringDecoder decoderForCodePage(int codePage) {
    QByteArray name;
    switch (codePage) {
    case 932:
        name = "Shift_JIS";
        break;
    case 936:
        name = "GBK";
        break;
    case 949:
        name = "windows-949";
        break;
    case 950:
        name = "Big5";
        break;
    case 437:
    case 850:
    case 852:
    case 866:
        name = "IBM" + QByteArray::number(codePage);
        break;
    case 10000:
        name = "macintosh";
        break;
    case 65001:
        name = "UTF-8";
        break;
    default:
        name = "windows-" + QByteArray::number(codePage);
    }
    QStringDecoder decoder(name.constData());
    if (decoder.isValid())
        return decoder;
    return QStringDecoder("windows-1252");
}

} // namespace richtext
