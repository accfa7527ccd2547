#include "masterdata/emailaddress.h"

int CheckEmailAddress(const QString& text) {
    const QString address = text.trimmed();
    if (address.size() <= 8)
        return 1;
    const qsizetype at = address.indexOf(u'@');
    if (at < 0)
        return 2;
    if (address.indexOf(u'.', at + 1) < 0)
        return 3;
    for (const QChar c : address) {
        const char16_t u = c.unicode();
        const bool allowed = (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') ||
                             (u >= u'0' && u <= u'9') || u == u'-' || u == u'.' || u == u'_' ||
                             u == u'@';
        if (!allowed)
            return 4;
    }
    return 0;
}

bool IsValidEmail(const QString& text) {
    return !text.isEmpty() && CheckEmailAddress(text) == 0;
}
