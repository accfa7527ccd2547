#include "documentdescription.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <cmath>

namespace {

QString number(double value) {
    return QString::number(std::round(value * 10) / 10);
}

QString describeFormat(const QTextDocument& document, const QTextCharFormat& format) {
    const QFont font = format.font().resolve(document.defaultFont());
    const QStringList families = format.fontFamilies().toStringList();
    QString text = (families.isEmpty() ? font.family() : families.first()) + QLatin1Char(' ') +
                   number(font.pointSizeF());
    if (font.weight() >= QFont::DemiBold)
        text += QStringLiteral(" bold");
    if (font.italic())
        text += QStringLiteral(" italic");
    QTextCharFormat::UnderlineStyle underline = format.underlineStyle();
    if (underline == QTextCharFormat::NoUnderline && font.underline())
        underline = QTextCharFormat::SingleUnderline;
    if (underline != QTextCharFormat::NoUnderline)
        text += QStringLiteral(" underline%1").arg(int(underline));
    if (font.strikeOut())
        text += QStringLiteral(" strike");
    if (format.foreground().style() != Qt::NoBrush)
        text += QStringLiteral(" fg") + format.foreground().color().name();
    if (format.background().style() != Qt::NoBrush)
        text += QStringLiteral(" bg") + format.background().color().name();
    if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        text += QStringLiteral(" super");
    if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
        text += QStringLiteral(" sub");
    return text;
}

QString visible(QString text) {
    text.replace(QLatin1Char('\t'), QStringLiteral("<tab>"));
    text.replace(QChar(0x2028), QStringLiteral("<line>"));
    return text;
}

} // namespace

QString describeDocument(const QTextDocument& document) {
    QString result;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat format = block.blockFormat();
        const Qt::Alignment alignment = format.alignment() & Qt::AlignHorizontal_Mask;
        result += QStringLiteral("[");
        if (alignment & Qt::AlignHCenter)
            result += QStringLiteral("center");
        else if (alignment & Qt::AlignJustify)
            result += QStringLiteral("justify");
        else if (alignment & Qt::AlignRight)
            result += QStringLiteral("right");
        else
            result += QStringLiteral("left");
        if (const QTextList* list = block.textList()) {
            result += QStringLiteral(" list%1/%2")
                          .arg(int(list->format().style()))
                          .arg(list->format().indent());
        } else {
            const double left = format.leftMargin() + format.indent() * document.indentWidth();
            if (left != 0 || format.textIndent() != 0)
                result += QStringLiteral(" indent ") + number(left) + QLatin1Char('/') +
                          number(format.textIndent());
        }
        if (format.rightMargin() != 0)
            result += QStringLiteral(" right ") + number(format.rightMargin());
        if (format.topMargin() != 0 || format.bottomMargin() != 0)
            result += QStringLiteral(" space ") + number(format.topMargin()) + QLatin1Char('/') +
                      number(format.bottomMargin());
        for (const QTextOption::Tab& tab : format.tabPositions())
            result += QStringLiteral(" tab%1@").arg(int(tab.type)) + number(tab.position);
        if (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
            result += QStringLiteral(" pagebreak");
        result += QStringLiteral("]");
        if (block.length() == 1)
            result += QStringLiteral(" (") + describeFormat(document, block.charFormat()) +
                      QStringLiteral(")");
        // Runs of equal formatting count as one, however they were inserted.
        QString runText;
        QString runFormat;
        const auto flush = [&] {
            if (!runText.isEmpty())
                result += QStringLiteral(" {") + runFormat + QStringLiteral("}") + visible(runText);
            runText.clear();
        };
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QString described = describeFormat(document, it.fragment().charFormat());
            if (described != runFormat)
                flush();
            runFormat = described;
            runText += it.fragment().text();
        }
        flush();
        result += QLatin1Char('\n');
    }
    return result;
}

QString describeCharAt(const QTextDocument& document, int position) {
    const QTextBlock block = document.findBlock(position);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.contains(position))
            return describeFormat(document, fragment.charFormat());
    }
    return {};
}
