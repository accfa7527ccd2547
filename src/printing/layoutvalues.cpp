#include "printing/layoutvalues.h"

#include <QStringList>
#include <array>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

// Blanks and control characters, as the old runtime's trim removes them.
QString trimmedControl(const QString& value) {
    qsizetype begin = 0;
    qsizetype end = value.size();
    while (begin < end && value.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && value.at(end - 1).unicode() <= 0x20)
        --end;
    return value.mid(begin, end - begin);
}

QString normalized(const QString& value) {
    return trimmedControl(value).toUpper();
}

const std::array<QString, 7>& frameStyleNames() {
    static const std::array<QString, 7> names{u"psSolid"_s,      u"psDash"_s,       u"psDot"_s,
                                              u"psDashDot"_s,    u"psDashDotDot"_s, u"psClear"_s,
                                              u"psInsideFrame"_s};
    return names;
}

// The standard Windows scheme of the system colours 0 to 30.
constexpr std::array<QRgb, 31> kSystemColors{
    0xC8C8C8, 0x000000, 0x99B4D1, 0xBFCDDB, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
    0x000000, 0x000000, 0xB4B4B4, 0xF4F7FC, 0xABABAB, 0x0078D7, 0xFFFFFF, 0xF0F0F0,
    0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
    0xFFFFE1, 0x000000, 0x0066CC, 0xB9D1EA, 0xD7E4F2, 0x3399FF, 0xF0F0F0};

} // namespace

int LayoutInteger(const QString& value) {
    QString text = trimmedControl(value);
    bool negative = false;
    if (text.startsWith(u'-') || text.startsWith(u'+')) {
        negative = text.startsWith(u'-');
        text.remove(0, 1);
    }
    bool ok = false;
    qint64 number = 0;
    if (text.startsWith(u'$')) {
        const QString digits = text.mid(1);
        if (digits.isEmpty() || digits.size() > 8)
            return 0;
        const quint32 bits = digits.toUInt(&ok, 16);
        if (!ok)
            return 0;
        number = static_cast<qint32>(bits);
    } else {
        // Only digits: no blanks or signs inside, no "0x" prefix.
        for (const QChar c : text)
            if (!c.isDigit() || c.unicode() > 0x7F)
                return 0;
        number = text.toLongLong(&ok, 10);
        if (!ok)
            return 0;
    }
    if (negative)
        number = -number;
    if (number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max())
        return 0;
    return int(number);
}

bool LayoutBool(const QString& value) {
    return normalized(value) == u"TRUE";
}

report::Alignment LayoutAlignment(const QString& value) {
    const QString name = normalized(value);
    if (name == u"TALEFTJUSTIFY")
        return report::Alignment::Left;
    if (name == u"TARIGHTJUSTIFY")
        return report::Alignment::Right;
    return report::Alignment::Center;
}

void ApplyLayoutFontStyle(const QString& value, report::FontSpec& font) {
    const QString styles = value.toUpper();
    font.bold = styles.contains(u"BOLD");
    font.italic = styles.contains(u"ITALIC");
    font.underline = styles.contains(u"UNDERLINE");
    font.strikeOut = styles.contains(u"STRIKEOUT");
}

int LayoutFrameStyle(const QString& value) {
    const QString name = normalized(value);
    const auto& names = frameStyleNames();
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i].toUpper() == name)
            return int(i);
    return report::psSolid;
}

QString LayoutBoolText(bool value) {
    return value ? u"true"_s : u"false"_s;
}

QString LayoutAlignmentText(report::Alignment alignment) {
    switch (alignment) {
    case report::Alignment::Left:
        return u"taLeftJustify"_s;
    case report::Alignment::Right:
        return u"taRightJustify"_s;
    case report::Alignment::Center:
        break;
    }
    return u"taCenter"_s;
}

QString LayoutFontStyleText(const report::FontSpec& font) {
    QStringList styles;
    if (font.bold)
        styles << u"Bold"_s;
    if (font.italic)
        styles << u"Italic"_s;
    if (font.underline)
        styles << u"Underline"_s;
    if (font.strikeOut)
        styles << u"StrikeOut"_s;
    return u'[' + styles.join(u',') + u']';
}

QString LayoutFrameStyleText(int style) {
    const auto& names = frameStyleNames();
    return style >= 0 && style < int(names.size()) ? names[size_t(style)] : names[0];
}

QColor ColorOfLayoutValue(int value) {
    if (value < 0) {
        const int index = value & 0xFF;
        return QColor::fromRgb(index < int(kSystemColors.size()) ? kSystemColors[size_t(index)]
                                                                 : QRgb(0));
    }
    const auto bgr = quint32(value);
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

int LayoutValueOfColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return rgb.red() | (rgb.green() << 8) | (rgb.blue() << 16);
}

int DesignPixelsOfMm(double mm) {
    return int(std::lround(mm * report::kDesignPixelsPerMm));
}

QSizeF PaperMm(const report::ReportDefinition& def) {
    return def.landscape ? QSizeF(297, 210) : QSizeF(210, 297);
}
