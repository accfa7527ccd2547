#include "printing/layoutfile.h"

#include "platform/report/bandlayout.h"
#include "platform/report/printersystem.h"
#include "platform/report/report.h"
#include "printing/layoutvalues.h"

#include <QHash>
#include <QStringEncoder>
#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;
using report::Component;
using report::ComponentClass;

namespace {

// ---- writing

// A value never breaks its line.
QString oneLine(QString text) {
    text.replace(u'\r', u' ').replace(u'\n', u' ');
    return text;
}

// The report's own name, which layouts give as the parent of its bands.
QString reportName(const report::ReportDefinition& def) {
    return def.className.startsWith(u'T') ? def.className.mid(1) : def.className;
}

class Writer {
public:
    void line(const QString& text) { m_lines << oneLine(text); }
    void value(QStringView key, const QString& text) { line(key + u'=' + text); }
    void value(QStringView key, int number) { value(key, QString::number(number)); }
    void value(QStringView key, bool flag) { value(key, LayoutBoolText(flag)); }
    void color(QStringView key, const QColor& c) { value(key, LayoutValueOfColor(c)); }

    void font(const report::FontSpec& f) {
        value(u"FontName", f.name);
        value(u"FontSize", int(std::lround(f.size)));
        value(u"FontStyle", LayoutFontStyleText(f));
        color(u"FontColor", f.color);
    }
    void frame(const report::FrameSpec& f) {
        color(u"FrameColor", f.color);
        value(u"DrawBottom", f.bottom);
        value(u"DrawLeft", f.left);
        value(u"DrawRight", f.right);
        value(u"DrawTop", f.top);
        value(u"FrameStyle", LayoutFrameStyleText(f.style));
        value(u"FrameLineWidth", f.width);
    }

    void block(const Component& c, const QString& report) {
        if (c.cls == ComponentClass::Band)
            line(QString(50, u'='));
        line(c.name);
        const QString parent = report::isBand(c.cls) ? report : c.parent;
        if (!parent.isEmpty())
            value(u"Parent", parent);
        value(u"Enabled", c.enabled);
        value(u"Height", c.height);
        value(u"Width", c.width);
        value(u"Left", c.left);
        value(u"Top", c.top);
        classPart(c);
        line(QString(40, u'-'));
    }

    QByteArray bytes() const {
        QStringEncoder encode("windows-1252");
        return encode(m_lines.join(u"\r\n"_s) + u"\r\n"_s);
    }

private:
    void classPart(const Component& c) {
        switch (c.cls) {
        case ComponentClass::Band:
        case ComponentClass::ChildBand:
        case ComponentClass::Group:
        case ComponentClass::SubDetail:
            frame(c.frame);
            break;
        case ComponentClass::Label:
        case ComponentClass::DBText:
        case ComponentClass::SysData:
        case ComponentClass::Expr:
            color(u"Color", c.color);
            if (c.cls == ComponentClass::Label)
                value(u"Caption", c.caption);
            if (c.cls == ComponentClass::DBText)
                value(u"MASK", c.mask);
            value(u"Alignment", LayoutAlignmentText(c.alignment));
            font(c.font);
            frame(c.frame);
            value(u"Transparent", c.transparent);
            break;
        case ComponentClass::RichText:
        case ComponentClass::DBRichText:
            color(u"Color", c.color);
            font(c.font);
            frame(c.frame);
            break;
        case ComponentClass::Image:
            frame(c.frame);
            value(u"Center", c.center);
            value(u"Stretch", c.stretch);
            break;
        case ComponentClass::Shape:
            break;
        }
    }

    QStringList m_lines;
};

// ---- reading

enum Key : unsigned {
    kEnabled = 1u << 0,
    kHeight = 1u << 1,
    kWidth = 1u << 2,
    kLeft = 1u << 3,
    kTop = 1u << 4,
    kFrameColor = 1u << 5,
    kDrawBottom = 1u << 6,
    kDrawLeft = 1u << 7,
    kDrawRight = 1u << 8,
    kDrawTop = 1u << 9,
    kFrameStyle = 1u << 10,
    kFrameLineWidth = 1u << 11,
    kColor = 1u << 12,
    kCaption = 1u << 13,
    kAlignment = 1u << 14,
    kMask = 1u << 15,
    kFontName = 1u << 16,
    kFontSize = 1u << 17,
    kFontStyle = 1u << 18,
    kFontColor = 1u << 19,
    kTransparent = 1u << 20,
    kCenter = 1u << 21,
    kStretch = 1u << 22,
};

constexpr unsigned kBandKeys = kEnabled | kHeight | kWidth | kLeft | kTop | kFrameColor |
                               kDrawBottom | kDrawLeft | kDrawRight | kDrawTop | kFrameStyle |
                               kFrameLineWidth;
constexpr unsigned kFontKeys = kFontName | kFontSize | kFontStyle | kFontColor;
constexpr unsigned kTextKeys = kBandKeys | kColor | kAlignment | kFontKeys | kTransparent;

// The keys a class takes; 0 for a class whose blocks are not read.
unsigned keysOf(ComponentClass cls) {
    switch (cls) {
    case ComponentClass::Band:
    case ComponentClass::ChildBand:
    case ComponentClass::Group:
    case ComponentClass::SubDetail:
        return kBandKeys;
    case ComponentClass::Label:
        return kTextKeys | kCaption;
    case ComponentClass::DBText:
        return kTextKeys | kMask;
    case ComponentClass::SysData:
    case ComponentClass::Expr:
        return kTextKeys;
    case ComponentClass::RichText:
    case ComponentClass::DBRichText:
        return kBandKeys | kColor | kFontKeys;
    case ComponentClass::Image:
        return kBandKeys | kCenter | kStretch;
    case ComponentClass::Shape:
        break;
    }
    return 0;
}

unsigned keyOf(const QString& name) {
    static const QHash<QString, unsigned> keys{{u"ENABLED"_s, kEnabled},
                                               {u"HEIGHT"_s, kHeight},
                                               {u"WIDTH"_s, kWidth},
                                               {u"LEFT"_s, kLeft},
                                               {u"TOP"_s, kTop},
                                               {u"FRAMECOLOR"_s, kFrameColor},
                                               {u"DRAWBOTTOM"_s, kDrawBottom},
                                               {u"DRAWLEFT"_s, kDrawLeft},
                                               {u"DRAWRIGHT"_s, kDrawRight},
                                               {u"DRAWTOP"_s, kDrawTop},
                                               {u"FRAMESTYLE"_s, kFrameStyle},
                                               {u"FRAMELINEWIDTH"_s, kFrameLineWidth},
                                               {u"COLOR"_s, kColor},
                                               {u"CAPTION"_s, kCaption},
                                               {u"ALIGNMENT"_s, kAlignment},
                                               {u"MASK"_s, kMask},
                                               {u"FONTNAME"_s, kFontName},
                                               {u"FONTSIZE"_s, kFontSize},
                                               {u"FONTSTYLE"_s, kFontStyle},
                                               {u"FONTCOLOR"_s, kFontColor},
                                               {u"TRANSPARENT"_s, kTransparent},
                                               {u"CENTER"_s, kCenter},
                                               {u"STRETCH"_s, kStretch}};
    return keys.value(name, 0);
}

void apply(Component& c, unsigned key, const QString& value) {
    switch (key) {
    case kEnabled:
        c.enabled = LayoutBool(value);
        break;
    case kHeight:
        c.height = report::clampedGeometry(LayoutInteger(value));
        break;
    case kWidth:
        c.width = report::clampedGeometry(LayoutInteger(value));
        break;
    case kLeft:
        c.left = report::clampedGeometry(LayoutInteger(value));
        break;
    case kTop:
        c.top = report::clampedGeometry(LayoutInteger(value));
        break;
    case kFrameColor:
        c.frame.color = ColorOfLayoutValue(LayoutInteger(value));
        break;
    case kDrawBottom:
        c.frame.bottom = LayoutBool(value);
        break;
    case kDrawLeft:
        c.frame.left = LayoutBool(value);
        break;
    case kDrawRight:
        c.frame.right = LayoutBool(value);
        break;
    case kDrawTop:
        c.frame.top = LayoutBool(value);
        break;
    case kFrameStyle:
        c.frame.style = LayoutFrameStyle(value);
        break;
    case kFrameLineWidth:
        c.frame.width = report::clampedLineWidth(LayoutInteger(value));
        break;
    case kColor:
        c.color = ColorOfLayoutValue(LayoutInteger(value));
        break;
    case kCaption:
        c.caption = value;
        break;
    case kAlignment:
        c.alignment = LayoutAlignment(value);
        break;
    case kMask:
        c.mask = value;
        break;
    case kFontName:
        c.font.name = value;
        c.font = report::clampedFont(c.font);
        break;
    case kFontSize:
        c.font.size = LayoutInteger(value);
        c.font = report::clampedFont(c.font);
        break;
    case kFontStyle:
        ApplyLayoutFontStyle(value, c.font);
        break;
    case kFontColor:
        c.font.color = ColorOfLayoutValue(LayoutInteger(value));
        break;
    case kTransparent:
        c.transparent = LayoutBool(value);
        break;
    case kCenter:
        c.center = LayoutBool(value);
        break;
    case kStretch:
        c.stretch = LayoutBool(value);
        break;
    default:
        break;
    }
}

struct KeyValue {
    QString key; // upper-cased, untrimmed
    QString value;
};

KeyValue split(const QString& line) {
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0)
        return {line.toUpper(), QString()};
    return {line.left(eq).toUpper(), line.mid(eq + 1)};
}

int bin(const QString& value) {
    const int number = LayoutInteger(value);
    return number >= 0 && number < report::kBinCount ? number : 0;
}

void readOptions(QString line, PrinterOptionValues& options) {
    if (!line.endsWith(u';'))
        line += u';';
    line = line.mid(line.indexOf(u':') + 1);
    for (const QString& item : line.split(u';')) {
        const qsizetype eq = item.indexOf(u'=');
        if (eq < 0)
            continue;
        const QString name = item.left(eq).toUpper();
        const QString value = item.mid(eq + 1);
        if (name == u"PRINDEX")
            options.printerIndex = LayoutInteger(value);
        else if (name == u"OBINFIRST")
            options.firstBin = bin(value);
        else if (name == u"OBINNEXT")
            options.nextBin = bin(value);
    }
}

void readMargin(const KeyValue& kv, report::ReportDefinition& def) {
    const QSizeF paper = PaperMm(def);
    const auto mm = [&kv](double paper) {
        return std::clamp(LayoutInteger(kv.value) / report::kDesignPixelsPerMm, 0.0,
                          paper / 2 - 10);
    };
    if (kv.key == u"FORMBORDERLEFT")
        def.marginLeft = mm(paper.width());
    else if (kv.key == u"FORMBORDERTOP")
        def.marginTop = mm(paper.height());
    else if (kv.key == u"FORMBORDERRIGHT")
        def.marginRight = mm(paper.width());
    else if (kv.key == u"FORMBORDERBOTTOM")
        def.marginBottom = mm(paper.height());
}

} // namespace

QByteArray WriteFormLayout(const report::Report& report, const QString& title,
                           const PrinterOptionValues& options) {
    const report::ReportDefinition& def = report.def();
    Writer w;
    w.line(u"OPTIONS:PRINDEX=%1;OBINFIRST=%2;OBINNEXT=%3;"_s.arg(options.printerIndex)
               .arg(options.firstBin)
               .arg(options.nextBin));
    w.value(u"FormBorderleft", DesignPixelsOfMm(def.marginLeft));
    w.value(u"FormBordertop", DesignPixelsOfMm(def.marginTop));
    w.value(u"FormBorderright", DesignPixelsOfMm(def.marginRight));
    w.value(u"FormBorderbottom", DesignPixelsOfMm(def.marginBottom));
    w.line(u"FRMTITLE:"_s + title);
    const QString name = reportName(def);
    for (const Component& c : def.components)
        w.block(c, name);
    return w.bytes();
}

void ReadFormLayout(const QStringList& lines, report::Report& report,
                    PrinterOptionValues& options) {
    // Every line is looked up as a name: one index instead of a search each.
    QHash<QString, Component*> byName;
    for (Component& c : report.def().components)
        byName.insert(c.name.toUpper(), &c);
    QString currentBand;
    qsizetype i = 0;
    while (i < lines.size()) {
        const QString& line = lines.at(i++);
        const KeyValue kv = split(line);
        if (kv.key.contains(u"FORMBORDER")) {
            readMargin(kv, report.def());
            continue;
        }
        if (kv.key.contains(u"OPTIONS")) {
            readOptions(line, options);
            continue;
        }
        Component* c = byName.value(kv.key);
        const unsigned accepted = c ? keysOf(c->cls) : 0;
        if (accepted == 0)
            continue;
        if (report::isBand(c->cls))
            currentBand = c->name;
        else if (!currentBand.isEmpty())
            c->parent = currentBand;
        while (i < lines.size()) {
            const KeyValue entry = split(lines.at(i++));
            if (entry.key == u"PARENT")
                continue;
            const unsigned key = keyOf(entry.key);
            if ((key & accepted) == 0)
                break;
            apply(*c, key, entry.value);
        }
    }
}
