#include "platform/richtext/rtf.h"
#include "platform/richtext/rtfcodepage.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextList>
#include <algorithm>
#include <limits>
#include <map>
#include <optional>
#include <string_view>
#include <unordered_map>

namespace richtext {
namespace {

// Real documents nest a few dozen groups deep; the limit keeps the state stack
// of hostile input small.
constexpr int kMaxGroupDepth = 500;
constexpr int kMaxTabStops = 64;
// 22 inches: larger indents and tab positions are clamped.
constexpr int kMaxTwips = 31680;
constexpr double kTwipsPerPixel = 15.0; // 1440 twips per inch, 96 pixels per inch

enum class Dest : quint8 {
    Text,
    Skip,
    FontTable,
    ColorTable,
    ListTable,
    ListOverrideTable,
    LevelText,
    NumberingGroup,
    ListText,
};

struct CharState {
    int font = -1;
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool strike = false;
    bool hidden = false;
    QTextCharFormat::UnderlineStyle underline = QTextCharFormat::NoUnderline;
    int foreground = 0;
    int background = 0;
    QTextCharFormat::VerticalAlignment valign = QTextCharFormat::AlignNormal;
    bool operator==(const CharState&) const = default;
};

struct ParaState {
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftTwips = 0;
    int rightTwips = 0;
    int firstLineTwips = 0;
    int beforeTwips = 0;
    int afterTwips = 0;
    QList<QTextOption::Tab> tabs;
    QTextOption::TabType nextTabType = QTextOption::LeftTab;
    int listOverride = 0; // \ls, 0 = none
    int listLevel = 0;
    // The older paragraph numbering (\pn) of rich-edit controls.
    QTextListFormat::Style numbering = QTextListFormat::ListStyleUndefined;
    int numberingLevel = 0;
    bool pageBreakBefore = false;
};

struct GroupState {
    Dest dest = Dest::Text;
    CharState chars;
    ParaState para;
    int unicodeSkip = 1;
};

struct FontDef {
    QString name;
    int codePage = 0; // 0: the document's code page
};

struct ListLevel {
    int numberFormat = 23;
    QString text;
};

struct ListDef {
    int id = 0;
    QList<ListLevel> levels;
};

struct Run {
    QString text;
    CharState chars;
};

enum class Kw : quint8 {
    // destinations
    SkipDest,
    FontTable,
    ColorTable,
    ListTable,
    ListOverrideTable,
    ListText,
    Numbering,
    TextDest,
    LevelText,
    // font and colour tables, lists
    F,
    FCharset,
    Cpg,
    Red,
    Green,
    Blue,
    List,
    ListLevelKw,
    ListId,
    LevelNfc,
    ListOverride,
    Ls,
    Ilvl,
    PnBullet,
    PnBody,
    PnLevel,
    PnDecimal,
    PnUpperAlpha,
    PnLowerAlpha,
    PnUpperRoman,
    PnLowerRoman,
    // document
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCpg,
    Deff,
    Uc,
    U,
    Bin,
    // characters
    Plain,
    B,
    I,
    Ul,
    UlNone,
    UlDotted,
    UlDash,
    UlDouble,
    UlWave,
    Strike,
    Fs,
    Cf,
    Background,
    Super,
    Sub,
    NoSuperSub,
    Hidden,
    // paragraphs
    Pard,
    Ql,
    Qr,
    Qc,
    Qj,
    Li,
    Ri,
    Fi,
    Sb,
    Sa,
    Tx,
    Tqr,
    Tqc,
    Tqdec,
    PageBb,
    // breaks and special characters
    Par,
    Sect,
    Page,
    Line,
    Tab,
    Cell,
    Row,
    Char,
};

struct KeywordInfo {
    Kw kw;
    char16_t ch = 0; // for Kw::Char
};

const std::unordered_map<std::string_view, KeywordInfo>& keywords() {
    static const std::unordered_map<std::string_view, KeywordInfo> table = {
        {"fonttbl", {Kw::FontTable}},
        {"colortbl", {Kw::ColorTable}},
        {"listtable", {Kw::ListTable}},
        {"listoverridetable", {Kw::ListOverrideTable}},
        {"listtext", {Kw::ListText}},
        {"pntext", {Kw::ListText}},
        {"pn", {Kw::Numbering}},
        {"leveltext", {Kw::LevelText}},
        {"fldrslt", {Kw::TextDest}},
        {"field", {Kw::TextDest}},
        {"result", {Kw::TextDest}},
        {"stylesheet", {Kw::SkipDest}},
        {"info", {Kw::SkipDest}},
        {"pict", {Kw::SkipDest}},
        {"header", {Kw::SkipDest}},
        {"headerl", {Kw::SkipDest}},
        {"headerr", {Kw::SkipDest}},
        {"headerf", {Kw::SkipDest}},
        {"footer", {Kw::SkipDest}},
        {"footerl", {Kw::SkipDest}},
        {"footerr", {Kw::SkipDest}},
        {"footerf", {Kw::SkipDest}},
        {"footnote", {Kw::SkipDest}},
        {"annotation", {Kw::SkipDest}},
        {"fldinst", {Kw::SkipDest}},
        {"object", {Kw::SkipDest}},
        {"objdata", {Kw::SkipDest}},
        {"shp", {Kw::SkipDest}},
        {"nonshppict", {Kw::SkipDest}},
        {"xe", {Kw::SkipDest}},
        {"tc", {Kw::SkipDest}},
        {"txe", {Kw::SkipDest}},
        {"upr", {Kw::SkipDest}},
        {"levelnumbers", {Kw::SkipDest}},
        {"listname", {Kw::SkipDest}},
        {"lfolevel", {Kw::SkipDest}},
        {"pntxta", {Kw::SkipDest}},
        {"pntxtb", {Kw::SkipDest}},
        {"template", {Kw::SkipDest}},
        {"private", {Kw::SkipDest}},
        {"f", {Kw::F}},
        {"fcharset", {Kw::FCharset}},
        {"cpg", {Kw::Cpg}},
        {"red", {Kw::Red}},
        {"green", {Kw::Green}},
        {"blue", {Kw::Blue}},
        {"list", {Kw::List}},
        {"listlevel", {Kw::ListLevelKw}},
        {"listid", {Kw::ListId}},
        {"levelnfc", {Kw::LevelNfc}},
        {"levelnfcn", {Kw::LevelNfc}},
        {"listoverride", {Kw::ListOverride}},
        {"ls", {Kw::Ls}},
        {"ilvl", {Kw::Ilvl}},
        {"pnlvlblt", {Kw::PnBullet}},
        {"pnlvlbody", {Kw::PnBody}},
        {"pnlvl", {Kw::PnLevel}},
        {"pndec", {Kw::PnDecimal}},
        {"pnucltr", {Kw::PnUpperAlpha}},
        {"pnlcltr", {Kw::PnLowerAlpha}},
        {"pnucrm", {Kw::PnUpperRoman}},
        {"pnlcrm", {Kw::PnLowerRoman}},
        {"ansi", {Kw::Ansi}},
        {"mac", {Kw::Mac}},
        {"pc", {Kw::Pc}},
        {"pca", {Kw::Pca}},
        {"ansicpg", {Kw::AnsiCpg}},
        {"deff", {Kw::Deff}},
        {"uc", {Kw::Uc}},
        {"u", {Kw::U}},
        {"bin", {Kw::Bin}},
        {"plain", {Kw::Plain}},
        {"b", {Kw::B}},
        {"i", {Kw::I}},
        {"ul", {Kw::Ul}},
        {"ulnone", {Kw::UlNone}},
        {"uld", {Kw::UlDotted}},
        {"ulth", {Kw::Ul}},
        {"ulw", {Kw::Ul}},
        {"uldash", {Kw::UlDash}},
        {"uldashd", {Kw::UlDash}},
        {"uldashdd", {Kw::UlDash}},
        {"ulldash", {Kw::UlDash}},
        {"uldb", {Kw::UlDouble}},
        {"ulwave", {Kw::UlWave}},
        {"ulhwave", {Kw::UlWave}},
        {"ululdbwave", {Kw::UlWave}},
        {"strike", {Kw::Strike}},
        {"striked", {Kw::Strike}},
        {"fs", {Kw::Fs}},
        {"cf", {Kw::Cf}},
        {"cb", {Kw::Background}},
        {"highlight", {Kw::Background}},
        {"chcbpat", {Kw::Background}},
        {"super", {Kw::Super}},
        {"sub", {Kw::Sub}},
        {"nosupersub", {Kw::NoSuperSub}},
        {"v", {Kw::Hidden}},
        {"pard", {Kw::Pard}},
        {"ql", {Kw::Ql}},
        {"qr", {Kw::Qr}},
        {"qc", {Kw::Qc}},
        {"qj", {Kw::Qj}},
        {"qd", {Kw::Qj}},
        {"li", {Kw::Li}},
        {"lin", {Kw::Li}},
        {"ri", {Kw::Ri}},
        {"rin", {Kw::Ri}},
        {"fi", {Kw::Fi}},
        {"sb", {Kw::Sb}},
        {"sa", {Kw::Sa}},
        {"tx", {Kw::Tx}},
        {"tb", {Kw::Tx}},
        {"tqr", {Kw::Tqr}},
        {"tqc", {Kw::Tqc}},
        {"tqdec", {Kw::Tqdec}},
        {"pagebb", {Kw::PageBb}},
        {"par", {Kw::Par}},
        {"sect", {Kw::Sect}},
        {"page", {Kw::Page}},
        {"line", {Kw::Line}},
        {"lbr", {Kw::Line}},
        {"tab", {Kw::Tab}},
        {"cell", {Kw::Cell}},
        {"nestcell", {Kw::Cell}},
        {"row", {Kw::Row}},
        {"nestrow", {Kw::Row}},
        {"emdash", {Kw::Char, u'\u2014'}},
        {"endash", {Kw::Char, u'\u2013'}},
        {"emspace", {Kw::Char, u'\u2003'}},
        {"enspace", {Kw::Char, u'\u2002'}},
        {"qmspace", {Kw::Char, u'\u2005'}},
        {"bullet", {Kw::Char, u'\u2022'}},
        {"lquote", {Kw::Char, u'\u2018'}},
        {"rquote", {Kw::Char, u'\u2019'}},
        {"ldblquote", {Kw::Char, u'\u201C'}},
        {"rdblquote", {Kw::Char, u'\u201D'}},
        {"zwj", {Kw::Char, u'\u200D'}},
        {"zwnj", {Kw::Char, u'\u200C'}},
    };
    return table;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

int clampTwips(int value) {
    return std::clamp(value, -kMaxTwips, kMaxTwips);
}

// Characters that must not reach a QTextDocument as text: they would split
// blocks or pose as frame and object markers.
bool isUnwantedChar(char16_t c) {
    if (c < 0x20)
        return c != u'\t';
    if (c >= 0x7F && c < 0xA0)
        return true; // C1 controls
    return c == 0x2029 || c == 0xFFFC || c == 0xFDD0 || c == 0xFDD1 || c == 0xFEFF;
}

QTextListFormat::Style styleOfNumberFormat(int numberFormat, const QString& levelText) {
    switch (numberFormat) {
    case 1:
        return QTextListFormat::ListUpperRoman;
    case 2:
        return QTextListFormat::ListLowerRoman;
    case 3:
        return QTextListFormat::ListUpperAlpha;
    case 4:
        return QTextListFormat::ListLowerAlpha;
    case 23:
    case 255:
        if (levelText.contains(u'o') || levelText.contains(QChar(0x25E6)))
            return QTextListFormat::ListCircle;
        if (levelText.contains(QChar(0x25AA)) || levelText.contains(QChar(0x25A0)) ||
            levelText.contains(QChar(0xA7)))
            return QTextListFormat::ListSquare;
        return QTextListFormat::ListDisc;
    default:
        return QTextListFormat::ListDecimal;
    }
}

class RtfReader {
public:
    RtfReader(const QByteArray& data, QTextDocument* document)
        : m_data(data.constData()), m_size(data.size()), m_cursor(document) {}

    void read();

private:
    GroupState& state() { return m_stack.back(); }
    void pushGroup();
    void popGroup();
    void controlWord(std::string_view word, bool hasParam, int param);
    void controlSymbol(char c);
    void destinationWord(const KeywordInfo& info);
    void textByte(char c);
    void decodedByte(char c);
    void appendText(QStringView text);
    void appendChar(char16_t c) { appendText(QStringView(&c, 1)); }
    void flushBytes();
    void endParagraph();
    void cellEnd();
    void rowEnd();
    void finishFont();
    void flushFontName();
    int parseParam(bool& hasParam);
    QStringDecoder& decoderFor(int codePage);
    int currentCodePage();
    QTextCharFormat charFormat(const CharState& chars);
    QTextBlockFormat blockFormat(const ParaState& para) const;
    QTextList* listFor(const ParaState& para, QTextListFormat::Style& style, int& indent);

    const char* m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    QTextCursor m_cursor;
    QList<GroupState> m_stack;
    bool m_starPending = false;
    int m_skipCount = 0;
    int m_documentCodePage = 1252;
    int m_defaultFont = 0;

    QByteArray m_pendingBytes;
    QList<Run> m_runs;
    QString m_listText;
    bool m_firstParagraph = true;
    bool m_cellSeparatorPending = false;
    bool m_pageBreakPending = false;

    QHash<int, FontDef> m_fonts;
    int m_fontInTable = -1;
    int m_fontCharsetCodePage = 0;
    QByteArray m_fontName; // bytes not yet decoded
    QString m_fontNameText;

    QList<QColor> m_colours;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colourSeen = false;

    QList<ListDef> m_lists;
    QHash<int, int> m_listIndexById;
    QHash<int, int> m_overrideToListId;
    int m_overrideListId = 0;

    QHash<qint64, QTextList*> m_listsByKey;
    QTextList* m_numberingList = nullptr;
    QTextListFormat::Style m_numberingStyle = QTextListFormat::ListStyleUndefined;
    int m_numberingIndent = 0;

    std::map<int, QStringDecoder> m_decoders;
    std::optional<std::pair<CharState, QTextCharFormat>> m_lastFormat;
};

void RtfReader::read() {
    // Skip to the opening brace that isRtf() found.
    while (m_pos < m_size && m_data[m_pos] != '{')
        ++m_pos;
    // One edit: the cursor skips its layout work after every insertion.
    m_cursor.beginEditBlock();
    while (m_pos < m_size) {
        const char c = m_data[m_pos];
        switch (c) {
        case '{':
            ++m_pos;
            pushGroup();
            break;
        case '}':
            ++m_pos;
            popGroup();
            if (m_stack.isEmpty())
                m_pos = m_size; // whatever follows the document is not part of it
            break;
        case '\\': {
            ++m_pos;
            if (m_pos >= m_size)
                break;
            if (isLetter(m_data[m_pos])) {
                const qsizetype start = m_pos;
                while (m_pos < m_size && isLetter(m_data[m_pos]))
                    ++m_pos;
                const std::string_view word(m_data + start, size_t(m_pos - start));
                bool hasParam = false;
                const int param = parseParam(hasParam);
                if (m_pos < m_size && m_data[m_pos] == ' ')
                    ++m_pos;
                controlWord(word, hasParam, param);
            } else {
                const char symbol = m_data[m_pos++];
                controlSymbol(symbol);
            }
            break;
        }
        case '\r':
        case '\n':
            ++m_pos;
            break;
        default:
            ++m_pos;
            textByte(c);
        }
    }
    flushBytes();
    if (!m_runs.isEmpty() || !m_listText.isEmpty() || m_firstParagraph) {
        // An unfinished last paragraph; the mark formatting comes from the
        // outermost group that is still open.
        if (m_stack.isEmpty())
            m_stack.append(GroupState{});
        endParagraph();
    }
    m_cursor.endEditBlock();
}

int RtfReader::parseParam(bool& hasParam) {
    bool negative = false;
    if (m_pos + 1 < m_size && m_data[m_pos] == '-' && isDigit(m_data[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    if (m_pos >= m_size || !isDigit(m_data[m_pos])) {
        hasParam = false;
        return 0;
    }
    hasParam = true;
    // Only the magnitude of a negative number may reach 2^31.
    const qint64 limit = qint64(std::numeric_limits<int>::max()) + (negative ? 1 : 0);
    qint64 value = 0;
    while (m_pos < m_size && isDigit(m_data[m_pos])) {
        value = value * 10 + (m_data[m_pos] - '0');
        if (value > limit)
            throw RtfError(
                QStringLiteral(
                    "Die RTF-Daten sind beschädigt: eine Zahl ist zu groß (Position %1).")
                    .arg(m_pos));
        ++m_pos;
    }
    return int(negative ? -value : value);
}

void RtfReader::pushGroup() {
    flushBytes();
    m_skipCount = 0;
    m_starPending = false;
    if (m_stack.size() >= kMaxGroupDepth)
        throw RtfError(QStringLiteral(
            "Die RTF-Daten sind beschädigt: die Gruppen sind zu tief verschachtelt."));
    if (m_stack.isEmpty())
        m_stack.append(GroupState{});
    else
        m_stack.append(m_stack.back());
}

void RtfReader::popGroup() {
    flushBytes();
    m_skipCount = 0;
    m_starPending = false;
    if (m_stack.isEmpty())
        return;
    const GroupState closed = m_stack.takeLast();
    if (closed.dest == Dest::FontTable)
        finishFont();
    if (m_stack.isEmpty()) {
        // The document ends: a last paragraph without \par still counts, with
        // the formatting of the outermost group.
        if (!m_runs.isEmpty() || !m_listText.isEmpty() || m_firstParagraph) {
            m_stack.append(closed);
            m_stack.back().dest = Dest::Text;
            endParagraph();
            m_stack.clear();
        }
        return;
    }
    // Numbering set up in a \pn group belongs to the paragraph around it.
    if (closed.dest == Dest::NumberingGroup && state().dest != Dest::NumberingGroup) {
        state().para.numbering = closed.para.numbering;
        state().para.numberingLevel = closed.para.numberingLevel;
    }
}

void RtfReader::finishFont() {
    if (m_fontInTable < 0)
        return;
    FontDef def;
    def.codePage = m_fontCharsetCodePage;
    flushFontName();
    def.name = m_fontNameText;
    m_fontNameText.clear();
    def.name.removeIf([](QChar c) { return isUnwantedChar(c.unicode()) || c == u'\t'; });
    def.name = def.name.trimmed();
    m_fonts.insert(m_fontInTable, def);
    m_fontInTable = -1;
    m_fontCharsetCodePage = 0;
}

void RtfReader::flushFontName() {
    if (m_fontName.isEmpty())
        return;
    QStringDecoder& decoder =
        decoderFor(m_fontCharsetCodePage ? m_fontCharsetCodePage : m_documentCodePage);
    m_fontNameText += decoder.decode(m_fontName);
    decoder.resetState();
    m_fontName.clear();
}

void RtfReader::controlSymbol(char c) {
    m_starPending = false;
    // Hex bytes collect with the text around them: a character of a
    // multi-byte code page may span two of them.
    if (c == '\'') {
        const int high = m_pos < m_size ? hexValue(m_data[m_pos]) : -1;
        const int low = m_pos + 1 < m_size ? hexValue(m_data[m_pos + 1]) : -1;
        if (high < 0 || low < 0)
            return;
        m_pos += 2;
        decodedByte(char(high * 16 + low));
        return;
    }
    flushBytes();
    if (c == '*') {
        m_starPending = true;
        return;
    }
    if (m_skipCount > 0) {
        --m_skipCount;
        return;
    }
    switch (c) {
    case '\\':
    case '{':
    case '}':
        textByte(c);
        break;
    case '~':
        appendChar(u'\u00A0');
        break;
    case '-':
        appendChar(u'\u00AD');
        break;
    case '_':
        appendChar(u'\u2011');
        break;
    case '\r':
    case '\n':
        if (state().dest == Dest::Text)
            endParagraph();
        break;
    case '\t':
        appendChar(u'\t');
        break;
    default:
        break;
    }
}

void RtfReader::destinationWord(const KeywordInfo& info) {
    Dest& dest = state().dest;
    switch (info.kw) {
    case Kw::SkipDest:
        dest = Dest::Skip;
        break;
    case Kw::FontTable:
        dest = Dest::FontTable;
        break;
    case Kw::ColorTable:
        dest = Dest::ColorTable;
        m_colours.clear();
        m_colourSeen = false;
        m_red = m_green = m_blue = 0;
        break;
    case Kw::ListTable:
        dest = Dest::ListTable;
        break;
    case Kw::ListOverrideTable:
        dest = Dest::ListOverrideTable;
        break;
    case Kw::ListText:
        dest = Dest::ListText;
        break;
    case Kw::Numbering:
        dest = Dest::NumberingGroup;
        state().para.numbering = QTextListFormat::ListDecimal;
        state().para.numberingLevel = 0;
        break;
    case Kw::LevelText:
        dest = dest == Dest::ListTable ? Dest::LevelText : Dest::Skip;
        break;
    case Kw::TextDest:
        break;
    default:
        break;
    }
}

void RtfReader::controlWord(std::string_view word, bool hasParam, int param) {
    flushBytes();
    const bool star = m_starPending;
    m_starPending = false;
    const auto& table = keywords();
    const auto found = table.find(word);
    if (found == table.end()) {
        if (star)
            state().dest = Dest::Skip;
        return;
    }
    const KeywordInfo& info = found->second;
    const Kw kw = info.kw;

    if (kw == Kw::Bin) {
        // Binary data is skipped in every destination, also inside a \u fallback.
        const qint64 count = hasParam ? std::max(param, 0) : 0;
        m_pos += std::min<qint64>(count, m_size - m_pos);
        return;
    }
    if (m_skipCount > 0) {
        --m_skipCount;
        return;
    }
    if (kw <= Kw::LevelText) {
        if (state().dest != Dest::Skip)
            destinationWord(info);
        return;
    }

    GroupState& st = state();
    const int value = hasParam ? param : 1;
    switch (st.dest) {
    case Dest::Skip:
        return;
    case Dest::FontTable:
        if (kw == Kw::F) {
            finishFont();
            m_fontInTable = value;
        } else if (kw == Kw::FCharset) {
            m_fontCharsetCodePage = codePageOfCharset(value);
        } else if (kw == Kw::Cpg) {
            m_fontCharsetCodePage = value;
        } else if (kw == Kw::U && hasParam && m_fontInTable >= 0) {
            flushFontName();
            m_fontNameText.append(QChar(char16_t(param)));
            m_skipCount = st.unicodeSkip;
        }
        return;
    case Dest::ColorTable:
        if (kw == Kw::Red || kw == Kw::Green || kw == Kw::Blue) {
            const int component = std::clamp(value, 0, 255);
            (kw == Kw::Red ? m_red : kw == Kw::Green ? m_green : m_blue) = component;
            m_colourSeen = true;
        }
        return;
    case Dest::ListTable:
    case Dest::LevelText:
        if (kw == Kw::List) {
            m_lists.append(ListDef{});
        } else if (kw == Kw::ListLevelKw) {
            if (!m_lists.isEmpty() && m_lists.back().levels.size() < 9)
                m_lists.back().levels.append(ListLevel{});
        } else if (kw == Kw::ListId) {
            if (!m_lists.isEmpty()) {
                m_lists.back().id = value;
                if (!m_listIndexById.contains(value))
                    m_listIndexById.insert(value, int(m_lists.size() - 1));
            }
        } else if (kw == Kw::LevelNfc) {
            if (!m_lists.isEmpty() && !m_lists.back().levels.isEmpty())
                m_lists.back().levels.back().numberFormat = value;
        } else if (kw == Kw::U && st.dest == Dest::LevelText) {
            if (!m_lists.isEmpty() && !m_lists.back().levels.isEmpty())
                m_lists.back().levels.back().text.append(QChar(char16_t(param)));
            m_skipCount = st.unicodeSkip;
        }
        return;
    case Dest::ListOverrideTable:
        if (kw == Kw::ListOverride)
            m_overrideListId = 0;
        else if (kw == Kw::ListId)
            m_overrideListId = value;
        else if (kw == Kw::Ls)
            m_overrideToListId.insert(value, m_overrideListId);
        return;
    case Dest::NumberingGroup:
        switch (kw) {
        case Kw::PnBullet:
            st.para.numbering = QTextListFormat::ListDisc;
            break;
        case Kw::PnBody:
            st.para.numberingLevel = 0;
            break;
        case Kw::PnLevel:
            st.para.numberingLevel = std::clamp(value - 1, 0, 8);
            break;
        case Kw::PnDecimal:
            st.para.numbering = QTextListFormat::ListDecimal;
            break;
        case Kw::PnUpperAlpha:
            st.para.numbering = QTextListFormat::ListUpperAlpha;
            break;
        case Kw::PnLowerAlpha:
            st.para.numbering = QTextListFormat::ListLowerAlpha;
            break;
        case Kw::PnUpperRoman:
            st.para.numbering = QTextListFormat::ListUpperRoman;
            break;
        case Kw::PnLowerRoman:
            st.para.numbering = QTextListFormat::ListLowerRoman;
            break;
        default:
            break;
        }
        return;
    case Dest::Text:
    case Dest::ListText:
        break;
    }

    CharState& ch = st.chars;
    ParaState& para = st.para;
    switch (kw) {
    case Kw::Ansi:
        m_documentCodePage = 1252;
        break;
    case Kw::Mac:
        m_documentCodePage = 10000;
        break;
    case Kw::Pc:
        m_documentCodePage = 437;
        break;
    case Kw::Pca:
        m_documentCodePage = 850;
        break;
    case Kw::AnsiCpg:
        if (hasParam)
            m_documentCodePage = param;
        break;
    case Kw::Deff:
        m_defaultFont = value;
        break;
    case Kw::Uc:
        st.unicodeSkip = std::clamp(value, 0, 16);
        break;
    case Kw::U:
        if (hasParam) {
            const int code = param < 0 ? param + 65536 : param;
            if (code >= 0 && code <= 0xFFFF)
                appendChar(char16_t(code));
            m_skipCount = st.unicodeSkip;
        }
        break;
    case Kw::F:
        ch.font = value;
        break;
    case Kw::Plain:
        ch = CharState{};
        break;
    case Kw::B:
        ch.bold = value != 0;
        break;
    case Kw::I:
        ch.italic = value != 0;
        break;
    case Kw::Ul:
        ch.underline = value ? QTextCharFormat::SingleUnderline : QTextCharFormat::NoUnderline;
        break;
    case Kw::UlNone:
        ch.underline = QTextCharFormat::NoUnderline;
        break;
    case Kw::UlDotted:
        ch.underline = value ? QTextCharFormat::DotLine : QTextCharFormat::NoUnderline;
        break;
    case Kw::UlDash:
        ch.underline = value ? QTextCharFormat::DashUnderline : QTextCharFormat::NoUnderline;
        break;
    case Kw::UlDouble:
        // Qt draws no double underline; a single one is the closest.
        ch.underline = value ? QTextCharFormat::SingleUnderline : QTextCharFormat::NoUnderline;
        break;
    case Kw::UlWave:
        ch.underline = value ? QTextCharFormat::WaveUnderline : QTextCharFormat::NoUnderline;
        break;
    case Kw::Strike:
        ch.strike = value != 0;
        break;
    case Kw::Fs:
        if (hasParam && param > 0)
            ch.halfPoints = std::min(param, 3276);
        break;
    case Kw::Cf:
        ch.foreground = hasParam ? param : 0;
        break;
    case Kw::Background:
        ch.background = hasParam ? param : 0;
        break;
    case Kw::Super:
        ch.valign = value ? QTextCharFormat::AlignSuperScript : QTextCharFormat::AlignNormal;
        break;
    case Kw::Sub:
        ch.valign = value ? QTextCharFormat::AlignSubScript : QTextCharFormat::AlignNormal;
        break;
    case Kw::NoSuperSub:
        ch.valign = QTextCharFormat::AlignNormal;
        break;
    case Kw::Hidden:
        ch.hidden = value != 0;
        break;
    case Kw::Pard:
        para = ParaState{};
        break;
    case Kw::Ql:
        para.alignment = Qt::AlignLeft;
        break;
    case Kw::Qr:
        para.alignment = Qt::AlignRight;
        break;
    case Kw::Qc:
        para.alignment = Qt::AlignHCenter;
        break;
    case Kw::Qj:
        para.alignment = Qt::AlignJustify;
        break;
    case Kw::Li:
        para.leftTwips = clampTwips(hasParam ? param : 0);
        break;
    case Kw::Ri:
        para.rightTwips = clampTwips(hasParam ? param : 0);
        break;
    case Kw::Fi:
        para.firstLineTwips = clampTwips(hasParam ? param : 0);
        break;
    case Kw::Sb:
        para.beforeTwips = std::clamp(hasParam ? param : 0, 0, kMaxTwips);
        break;
    case Kw::Sa:
        para.afterTwips = std::clamp(hasParam ? param : 0, 0, kMaxTwips);
        break;
    case Kw::Tqr:
        para.nextTabType = QTextOption::RightTab;
        break;
    case Kw::Tqc:
        para.nextTabType = QTextOption::CenterTab;
        break;
    case Kw::Tqdec:
        para.nextTabType = QTextOption::DelimiterTab;
        break;
    case Kw::Tx:
        if (hasParam && para.tabs.size() < kMaxTabStops) {
            QTextOption::Tab tab;
            tab.position = std::clamp(param, 0, kMaxTwips) / kTwipsPerPixel;
            tab.type = para.nextTabType;
            if (tab.type == QTextOption::DelimiterTab)
                tab.delimiter = QLatin1Char(',');
            para.tabs.append(tab);
        }
        para.nextTabType = QTextOption::LeftTab;
        break;
    case Kw::PageBb:
        para.pageBreakBefore = value != 0;
        break;
    case Kw::Ls:
        para.listOverride = value;
        break;
    case Kw::Ilvl:
        para.listLevel = std::clamp(value, 0, 8);
        break;
    case Kw::Par:
        if (st.dest == Dest::Text)
            endParagraph();
        break;
    case Kw::Sect:
    case Kw::Page:
        if (st.dest == Dest::Text) {
            if (!m_runs.isEmpty())
                endParagraph();
            if (kw == Kw::Page)
                m_pageBreakPending = true;
        }
        break;
    case Kw::Line:
        appendChar(u'\u2028');
        break;
    case Kw::Tab:
        appendChar(u'\t');
        break;
    case Kw::Cell:
        if (st.dest == Dest::Text)
            cellEnd();
        break;
    case Kw::Row:
        if (st.dest == Dest::Text)
            rowEnd();
        break;
    case Kw::Char:
        appendChar(info.ch);
        break;
    default:
        break;
    }
}

void RtfReader::textByte(char c) {
    if (m_skipCount > 0) {
        --m_skipCount;
        return;
    }
    switch (state().dest) {
    case Dest::Text:
    case Dest::ListText:
        if (c == '\t') {
            flushBytes();
            appendChar(u'\t');
        } else {
            m_pendingBytes.append(c);
        }
        break;
    case Dest::FontTable:
        if (c == ';')
            finishFont();
        else if (m_fontInTable >= 0)
            m_fontName.append(c);
        break;
    case Dest::ColorTable:
        if (c == ';') {
            m_colours.append(m_colourSeen ? QColor(m_red, m_green, m_blue) : QColor());
            m_colourSeen = false;
            m_red = m_green = m_blue = 0;
        }
        break;
    case Dest::LevelText:
        if (!m_lists.isEmpty() && !m_lists.back().levels.isEmpty() && c != ';')
            m_lists.back().levels.back().text.append(QLatin1Char(c));
        break;
    default:
        break;
    }
}

void RtfReader::decodedByte(char c) {
    if (m_skipCount > 0) {
        --m_skipCount;
        return;
    }
    // A hex byte never ends a font name or colour entry.
    if (state().dest == Dest::FontTable) {
        if (m_fontInTable >= 0)
            m_fontName.append(c);
        return;
    }
    if (state().dest == Dest::LevelText) {
        // The first byte of a level text is its length, not text.
        if (!m_lists.isEmpty() && !m_lists.back().levels.isEmpty() && uchar(c) >= 0x20)
            m_lists.back().levels.back().text.append(QChar(uchar(c)));
        return;
    }
    if (state().dest == Dest::Text || state().dest == Dest::ListText)
        m_pendingBytes.append(c);
}

int RtfReader::currentCodePage() {
    const int index = state().chars.font >= 0 ? state().chars.font : m_defaultFont;
    const auto font = m_fonts.constFind(index);
    if (font != m_fonts.cend() && font->codePage != 0)
        return font->codePage;
    return m_documentCodePage;
}

QStringDecoder& RtfReader::decoderFor(int codePage) {
    auto found = m_decoders.find(codePage);
    if (found == m_decoders.end() && m_decoders.size() > 32)
        m_decoders.clear(); // a document uses a handful; more is hostile input
    if (found == m_decoders.end())
        found = m_decoders.emplace(codePage, decoderForCodePage(codePage)).first;
    return found->second;
}

void RtfReader::flushBytes() {
    if (m_pendingBytes.isEmpty())
        return;
    QStringDecoder& decoder = decoderFor(currentCodePage());
    const QString text = decoder.decode(m_pendingBytes);
    decoder.resetState();
    m_pendingBytes.clear();
    appendText(text);
}

void RtfReader::appendText(QStringView text) {
    GroupState& st = state();
    QString* target = nullptr;
    if (st.dest == Dest::FontTable) {
        // Special characters written as control symbols in a font name
        if (m_fontInTable < 0)
            return;
        flushFontName();
        target = &m_fontNameText;
    } else if (st.dest == Dest::ListText) {
        target = &m_listText;
    } else {
        if (st.dest != Dest::Text || st.chars.hidden)
            return;
        if (m_cellSeparatorPending) {
            m_cellSeparatorPending = false;
            appendChar(u'\t');
        }
        if (m_runs.isEmpty() || !(m_runs.back().chars == st.chars))
            m_runs.append(Run{QString(), st.chars});
        target = &m_runs.back().text;
    }
    target->reserve(target->size() + text.size());
    for (const QChar c : text) {
        if (c == QChar(0x2029))
            target->append(QChar(0x2028));
        else if (!isUnwantedChar(c.unicode()))
            target->append(c);
    }
}

void RtfReader::cellEnd() {
    // Cells of a row become one paragraph, separated by tabs.
    if (m_cellSeparatorPending) {
        m_cellSeparatorPending = false;
        appendChar(u'\t');
    }
    m_cellSeparatorPending = true;
}

void RtfReader::rowEnd() {
    m_cellSeparatorPending = false;
    if (!m_runs.isEmpty())
        endParagraph();
}

QTextCharFormat RtfReader::charFormat(const CharState& chars) {
    if (m_lastFormat && m_lastFormat->first == chars)
        return m_lastFormat->second;
    QTextCharFormat format;
    const auto font = m_fonts.constFind(chars.font >= 0 ? chars.font : m_defaultFont);
    if (font != m_fonts.cend() && !font->name.isEmpty())
        format.setFontFamilies(QStringList{font->name});
    format.setFontPointSize(chars.halfPoints / 2.0);
    format.setFontWeight(chars.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(chars.italic);
    format.setUnderlineStyle(chars.underline);
    format.setFontStrikeOut(chars.strike);
    if (chars.foreground > 0 && chars.foreground < m_colours.size() &&
        m_colours[chars.foreground].isValid())
        format.setForeground(m_colours[chars.foreground]);
    if (chars.background > 0 && chars.background < m_colours.size() &&
        m_colours[chars.background].isValid())
        format.setBackground(m_colours[chars.background]);
    if (chars.valign != QTextCharFormat::AlignNormal)
        format.setVerticalAlignment(chars.valign);
    m_lastFormat.emplace(chars, format);
    return format;
}

QTextBlockFormat RtfReader::blockFormat(const ParaState& para) const {
    QTextBlockFormat format;
    format.setAlignment(para.alignment);
    format.setLeftMargin(para.leftTwips / kTwipsPerPixel);
    format.setRightMargin(para.rightTwips / kTwipsPerPixel);
    format.setTextIndent(para.firstLineTwips / kTwipsPerPixel);
    format.setTopMargin(para.beforeTwips / kTwipsPerPixel);
    format.setBottomMargin(para.afterTwips / kTwipsPerPixel);
    if (!para.tabs.isEmpty())
        format.setTabPositions(para.tabs);
    return format;
}

QTextList* RtfReader::listFor(const ParaState& para, QTextListFormat::Style& style, int& indent) {
    if (para.listOverride > 0) {
        indent = para.listLevel + 1;
        const qint64 key = (qint64(para.listOverride) << 8) | para.listLevel;
        if (QTextList* list = m_listsByKey.value(key, nullptr))
            return list;
        style = QTextListFormat::ListDisc;
        const int listId = m_overrideToListId.value(para.listOverride, -1);
        const int index = m_listIndexById.value(listId, -1);
        if (index >= 0 && para.listLevel < m_lists[index].levels.size()) {
            const ListLevel& level = m_lists[index].levels[para.listLevel];
            style = styleOfNumberFormat(level.numberFormat, level.text);
        }
        return nullptr;
    }
    style = para.numbering;
    indent = para.numberingLevel + 1;
    if (m_numberingList && m_numberingStyle == style && m_numberingIndent == indent)
        return m_numberingList;
    return nullptr;
}

void RtfReader::endParagraph() {
    flushBytes();
    const GroupState& st = state();
    const ParaState& para = st.para;
    const bool isListItem =
        para.listOverride > 0 || para.numbering != QTextListFormat::ListStyleUndefined;
    // The rendered bullet or number is dropped when the paragraph is a list
    // item (the list draws its own); otherwise it is the paragraph's text.
    if (!isListItem && !m_listText.isEmpty())
        m_runs.prepend(Run{m_listText, st.chars});
    m_listText.clear();
    m_cellSeparatorPending = false;

    QTextBlockFormat format = blockFormat(para);
    if (isListItem) {
        format.setLeftMargin(0);
        format.setTextIndent(0);
    }
    if (para.pageBreakBefore || m_pageBreakPending)
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    m_pageBreakPending = false;
    const QTextCharFormat markFormat = charFormat(st.chars);
    if (m_firstParagraph) {
        m_cursor.setBlockFormat(format);
        m_cursor.setBlockCharFormat(markFormat);
        m_firstParagraph = false;
    } else {
        m_cursor.insertBlock(format, markFormat);
    }

    if (isListItem) {
        QTextListFormat::Style style = QTextListFormat::ListDisc;
        int indent = 1;
        QTextList* list = listFor(para, style, indent);
        if (list) {
            list->add(m_cursor.block());
        } else {
            QTextListFormat listFormat;
            listFormat.setStyle(style);
            listFormat.setIndent(indent);
            list = m_cursor.createList(listFormat);
            if (para.listOverride > 0) {
                m_listsByKey.insert((qint64(para.listOverride) << 8) | para.listLevel, list);
            } else {
                m_numberingList = list;
                m_numberingStyle = style;
                m_numberingIndent = indent;
            }
        }
    } else if (para.numbering == QTextListFormat::ListStyleUndefined) {
        m_numberingList = nullptr;
    }

    for (const Run& run : std::as_const(m_runs)) {
        if (!run.text.isEmpty())
            m_cursor.insertText(run.text, charFormat(run.chars));
    }
    m_runs.clear();
}

} // namespace

bool isRtf(const QByteArray& data) {
    qsizetype pos = 0;
    if (data.startsWith("\xEF\xBB\xBF"))
        pos = 3;
    while (pos < data.size() &&
           (data[pos] == ' ' || data[pos] == '\t' || data[pos] == '\r' || data[pos] == '\n'))
        ++pos;
    return data.mid(pos, 5) == "{\\rtf";
}

std::unique_ptr<QTextDocument> fromRtf(const QByteArray& rtf) {
    if (!isRtf(rtf))
        throw RtfError(QStringLiteral("Der Text ist kein RTF-Text."));
    auto document = std::make_unique<QTextDocument>();
    // The reading is no user's edit: nothing for the undo stack.
    document->setUndoRedoEnabled(false);
    RtfReader reader(rtf, document.get());
    reader.read();
    document->setUndoRedoEnabled(true);
    return document;
}

void readRtf(const QByteArray& rtf, QTextDocument* document) {
    // Read apart first, so that broken input leaves the document as it was.
    const auto read = fromRtf(rtf);
    document->clear();
    QTextCursor(document).insertFragment(QTextDocumentFragment(read.get()));
}

std::unique_ptr<QTextDocument> fromRtfOrPlainText(const QByteArray& data) {
    if (isRtf(data))
        return fromRtf(data);
    auto document = std::make_unique<QTextDocument>();
    document->setPlainText(decoderForCodePage(1252).decode(data));
    return document;
}

QString plainTextOfRtf(const QByteArray& data) {
    if (!isRtf(data))
        return decoderForCodePage(1252).decode(data);
    QString text = fromRtf(data)->toRawText();
    // Paragraph and line separators become plain line ends.
    for (QChar& c : text) {
        if (c == QChar(0x2029) || c == QChar(0x2028))
            c = u'\n';
    }
    return text;
}

} // namespace richtext
