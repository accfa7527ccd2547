#include "platform/richtext/rtf.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <array>
#include <cmath>

namespace richtext {
namespace {

constexpr double kTwipsPerPixel = 15.0;

// Unicode -> Windows-1252 byte for the characters 0x80..0xFF of that code page.
const QHash<char16_t, uchar>& windows1252Bytes() {
    static const QHash<char16_t, uchar> table = [] {
        QHash<char16_t, uchar> result;
        QStringDecoder decoder("windows-1252");
        for (int byte = 0x80; byte <= 0xFF; ++byte) {
            const char raw = char(byte);
            const QString decoded = decoder.decode(QByteArrayView(&raw, 1));
            decoder.resetState();
            // Bytes the code page leaves undefined come back as C1 controls.
            if (decoded.size() == 1 &&
                (decoded[0].unicode() < 0x80 || decoded[0].unicode() >= 0xA0))
                result.insert(decoded[0].unicode(), uchar(byte));
        }
        return result;
    }();
    return table;
}

int toTwips(double pixels) {
    return int(std::lround(pixels * kTwipsPerPixel));
}

void appendControl(QByteArray& out, const char* word, int value) {
    out.append('\\').append(word).append(QByteArray::number(value));
}

void appendEscaped(QByteArray& out, QStringView text) {
    static const char hex[] = "0123456789abcdef";
    const auto& table = windows1252Bytes();
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        switch (c) {
        case u'\\':
            out.append("\\\\");
            continue;
        case u'{':
            out.append("\\{");
            continue;
        case u'}':
            out.append("\\}");
            continue;
        case u'\t':
            out.append("\\tab ");
            continue;
        case 0x2028:
            out.append("\\line ");
            continue;
        case 0x00A0:
            out.append("\\~");
            continue;
        case 0x00AD:
            out.append("\\-");
            continue;
        case 0x2011:
            out.append("\\_");
            continue;
        default:
            break;
        }
        if (c < 0x20 || c == 0x2029 || c == 0xFFFC || c == 0xFDD0 || c == 0xFDD1)
            continue; // object and frame markers have no text
        if (c < 0x80) {
            out.append(char(c));
            continue;
        }
        const auto byte = table.constFind(c);
        if (byte != table.cend()) {
            out.append("\\'").append(hex[*byte >> 4]).append(hex[*byte & 0xF]);
            continue;
        }
        // Outside the code page: the UTF-16 unit as a signed 16-bit number,
        // with '?' for readers that do not know \u.
        appendControl(out, "u", int(qint16(c)));
        out.append('?');
    }
}

struct CharProps {
    QString family;
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool strike = false;
    QTextCharFormat::UnderlineStyle underline = QTextCharFormat::NoUnderline;
    QColor foreground;
    QColor background;
    QTextCharFormat::VerticalAlignment valign = QTextCharFormat::AlignNormal;
};

class RtfWriter {
public:
    explicit RtfWriter(const QTextDocument& document) : m_document(document) {}
    QByteArray write();

private:
    CharProps propsOf(const QTextCharFormat& format) const;
    void collect(const CharProps& props);
    void writeHeader();
    void writeListTable();
    void writeBlock(const QTextBlock& block);
    void writeCharProps(const CharProps& props);
    int colourIndex(const QColor& colour) const;

    const QTextDocument& m_document;
    QByteArray m_out;
    QStringList m_fonts;
    QList<QColor> m_colours;
    QList<QTextList*> m_lists;
};

CharProps RtfWriter::propsOf(const QTextCharFormat& format) const {
    const QFont font = format.font().resolve(m_document.defaultFont());
    CharProps props;
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty())
        props.family = families.first();
    else if (format.hasProperty(QTextFormat::FontFamily))
        props.family = format.stringProperty(QTextFormat::FontFamily);
    else
        props.family = font.family();
    double points = font.pointSizeF();
    if (points <= 0 && font.pixelSize() > 0)
        points = font.pixelSize() * 72.0 / 96.0;
    if (points <= 0)
        points = 12;
    props.halfPoints = std::max(1, int(std::lround(points * 2)));
    props.bold = font.weight() >= QFont::DemiBold;
    props.italic = font.italic();
    props.strike = font.strikeOut();
    props.underline = format.underlineStyle();
    if (props.underline == QTextCharFormat::NoUnderline && font.underline())
        props.underline = QTextCharFormat::SingleUnderline;
    if (format.foreground().style() != Qt::NoBrush)
        props.foreground = format.foreground().color();
    if (format.background().style() != Qt::NoBrush)
        props.background = format.background().color();
    props.valign = format.verticalAlignment();
    return props;
}

void RtfWriter::collect(const CharProps& props) {
    if (!m_fonts.contains(props.family))
        m_fonts.append(props.family);
    for (const QColor& colour : {props.foreground, props.background}) {
        if (colour.isValid() && colourIndex(colour) == 0)
            m_colours.append(colour);
    }
}

int RtfWriter::colourIndex(const QColor& colour) const {
    if (!colour.isValid())
        return 0;
    for (qsizetype i = 0; i < m_colours.size(); ++i) {
        if (m_colours[i].rgb() == colour.rgb())
            return int(i) + 1;
    }
    return 0;
}

QByteArray RtfWriter::write() {
    for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next()) {
        collect(propsOf(block.charFormat()));
        for (auto it = block.begin(); !it.atEnd(); ++it)
            collect(propsOf(it.fragment().charFormat()));
        if (QTextList* list = block.textList(); list && !m_lists.contains(list))
            m_lists.append(list);
    }
    writeHeader();
    for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next())
        writeBlock(block);
    m_out.append("}\r\n");
    return m_out;
}

void RtfWriter::writeHeader() {
    m_out.append("{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\r\n{\\fonttbl");
    for (qsizetype i = 0; i < m_fonts.size(); ++i) {
        m_out.append("{");
        appendControl(m_out, "f", int(i));
        m_out.append("\\fnil\\fcharset0 ");
        // A semicolon would end the name; as a hex byte it is part of it.
        QByteArray name;
        appendEscaped(name, m_fonts[i]);
        m_out.append(name.replace(';', "\\'3b"));
        m_out.append(";}");
    }
    m_out.append("}\r\n{\\colortbl ;");
    for (const QColor& colour : std::as_const(m_colours)) {
        appendControl(m_out, "red", colour.red());
        appendControl(m_out, "green", colour.green());
        appendControl(m_out, "blue", colour.blue());
        m_out.append(';');
    }
    m_out.append("}\r\n");
    if (!m_lists.isEmpty())
        writeListTable();
}

struct ListStyleInfo {
    int numberFormat;
    const char* bullet; // level text of a bullet, escaped
};

ListStyleInfo listStyleInfo(QTextListFormat::Style style) {
    switch (style) {
    case QTextListFormat::ListCircle:
        return {23, "\\u9702 ?"};
    case QTextListFormat::ListSquare:
        return {23, "\\u9642 ?"};
    case QTextListFormat::ListDecimal:
        return {0, nullptr};
    case QTextListFormat::ListUpperRoman:
        return {1, nullptr};
    case QTextListFormat::ListLowerRoman:
        return {2, nullptr};
    case QTextListFormat::ListUpperAlpha:
        return {3, nullptr};
    case QTextListFormat::ListLowerAlpha:
        return {4, nullptr};
    default:
        return {23, "\\'95"};
    }
}

int listLevelOf(const QTextList* list) {
    return std::clamp(list->format().indent() - 1, 0, 8);
}

void RtfWriter::writeListTable() {
    // One list per text list, all nine levels alike; a paragraph names its
    // level by the list's indent.
    m_out.append("{\\*\\listtable");
    for (qsizetype i = 0; i < m_lists.size(); ++i) {
        const ListStyleInfo info = listStyleInfo(m_lists[i]->format().style());
        m_out.append("{\\list\\listtemplateid");
        m_out.append(QByteArray::number(i + 1));
        m_out.append("\\listhybrid");
        for (int level = 0; level < 9; ++level) {
            m_out.append("\r\n{\\listlevel");
            appendControl(m_out, "levelnfc", info.numberFormat);
            appendControl(m_out, "levelnfcn", info.numberFormat);
            m_out.append("\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat1{\\leveltext");
            if (info.bullet) {
                m_out.append("\\'01").append(info.bullet).append(";}{\\levelnumbers;}");
            } else {
                m_out.append("\\'02\\'0").append(char('0' + level)).append(".;}");
                m_out.append("{\\levelnumbers\\'01;}");
            }
            appendControl(m_out, "fi", -360);
            appendControl(m_out, "li", 720 * (level + 1));
            m_out.append('}');
        }
        appendControl(m_out, "listid", int(i + 1));
        m_out.append("}\r\n");
    }
    m_out.append("}\r\n{\\*\\listoverridetable");
    for (qsizetype i = 0; i < m_lists.size(); ++i) {
        m_out.append("{\\listoverride");
        appendControl(m_out, "listid", int(i + 1));
        m_out.append("\\listoverridecount0");
        appendControl(m_out, "ls", int(i + 1));
        m_out.append('}');
    }
    m_out.append("}\r\n");
}

void RtfWriter::writeCharProps(const CharProps& props) {
    appendControl(m_out, "f", int(m_fonts.indexOf(props.family)));
    appendControl(m_out, "fs", props.halfPoints);
    if (props.bold)
        m_out.append("\\b");
    if (props.italic)
        m_out.append("\\i");
    switch (props.underline) {
    case QTextCharFormat::NoUnderline:
        break;
    case QTextCharFormat::DotLine:
        m_out.append("\\uld");
        break;
    case QTextCharFormat::DashUnderline:
    case QTextCharFormat::DashDotLine:
    case QTextCharFormat::DashDotDotLine:
        m_out.append("\\uldash");
        break;
    case QTextCharFormat::WaveUnderline:
        m_out.append("\\ulwave");
        break;
    default:
        m_out.append("\\ul");
    }
    if (props.strike)
        m_out.append("\\strike");
    if (const int index = colourIndex(props.foreground))
        appendControl(m_out, "cf", index);
    if (const int index = colourIndex(props.background))
        appendControl(m_out, "highlight", index);
    if (props.valign == QTextCharFormat::AlignSuperScript)
        m_out.append("\\super");
    else if (props.valign == QTextCharFormat::AlignSubScript)
        m_out.append("\\sub");
    m_out.append(' ');
}

void RtfWriter::writeBlock(const QTextBlock& block) {
    const QTextBlockFormat format = block.blockFormat();
    m_out.append("\\pard");
    const Qt::Alignment alignment = format.alignment() & Qt::AlignHorizontal_Mask;
    if (alignment & Qt::AlignHCenter)
        m_out.append("\\qc");
    else if (alignment & Qt::AlignJustify)
        m_out.append("\\qj");
    else if (alignment & (Qt::AlignRight | Qt::AlignTrailing))
        m_out.append("\\qr");
    else
        m_out.append("\\ql");

    QTextList* list = block.textList();
    const int listNumber = list ? int(m_lists.indexOf(list)) + 1 : 0;
    if (list) {
        const int level = listLevelOf(list);
        appendControl(m_out, "ls", listNumber);
        appendControl(m_out, "ilvl", level);
        appendControl(m_out, "fi", -360);
        appendControl(m_out, "li", 720 * (level + 1));
    } else {
        const double left = format.leftMargin() + format.indent() * m_document.indentWidth();
        if (const int twips = toTwips(left))
            appendControl(m_out, "li", twips);
        if (const int twips = toTwips(format.textIndent()))
            appendControl(m_out, "fi", twips);
    }
    if (const int twips = toTwips(format.rightMargin()))
        appendControl(m_out, "ri", twips);
    if (const int twips = toTwips(format.topMargin()))
        appendControl(m_out, "sb", twips);
    if (const int twips = toTwips(format.bottomMargin()))
        appendControl(m_out, "sa", twips);
    for (const QTextOption::Tab& tab : format.tabPositions()) {
        if (tab.type == QTextOption::RightTab)
            m_out.append("\\tqr");
        else if (tab.type == QTextOption::CenterTab)
            m_out.append("\\tqc");
        else if (tab.type == QTextOption::DelimiterTab)
            m_out.append("\\tqdec");
        appendControl(m_out, "tx", toTwips(tab.position));
    }
    if (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
        m_out.append("\\pagebb");

    // Paragraph mark formatting outside the runs' groups: it sizes empty lines.
    m_out.append("\\plain");
    writeCharProps(propsOf(block.charFormat()));
    if (list) {
        m_out.append("{\\listtext\\plain");
        writeCharProps(propsOf(block.charFormat()));
        const QString number = list->itemText(block);
        appendEscaped(m_out, number.isEmpty() ? QStringLiteral("\u2022") : number);
        m_out.append("\\tab}");
    }
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        // Each run starts from plain characters, not from the mark's format.
        m_out.append("{\\plain");
        writeCharProps(propsOf(fragment.charFormat()));
        appendEscaped(m_out, fragment.text());
        m_out.append('}');
    }
    m_out.append("\\par\r\n");
}

} // namespace

QByteArray toRtf(const QTextDocument& document) {
    return RtfWriter(document).write();
}

QByteArray rtfFromPlainText(const QString& text, const QFont& font) {
    QTextDocument document;
    document.setDefaultFont(font);
    document.setPlainText(text);
    return toRtf(document);
}

} // namespace richtext
