#include "printing/listreport.h"

#include "platform/errors.h"
#include "platform/report/reportreader.h"
#include "printing/layoutvalues.h"
#include "printing/listdescription.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <map>

using namespace Qt::StringLiterals;

namespace {

// The page: A4 portrait with 15 mm on the left for punching and 10 mm elsewhere.
constexpr double kMarginLeft = 15;
constexpr double kMarginOther = 10;
constexpr double kPrintWidthMm = 210 - kMarginLeft - kMarginOther;
constexpr int kBaseFontSize = 9;
constexpr int kTitleFontSize = 12;
constexpr int kRow = 17;     // design pixels per line of 9-point text
constexpr int kHeight = 15;  // of a control on its line
constexpr int kPad = 2;      // above the first line of a band
constexpr double kGapMm = 2; // between two columns
// The optional fields: caption and value pairs, two to a line.
constexpr double kOptCaptionMm = 36;
constexpr double kOptPairMm = kPrintWidthMm / 2;
// The right side of the title: "Datum:" and the print date.
constexpr double kDateMm = 42;
constexpr double kDateCaptionMm = 14;
// The spare labels lie on their band side by side, each this wide.
constexpr double kSpareMm = 20;
const QString kHead = u"F_REListenkopf"_s;
const QString kCompanyDataset = u"TabFirmen"_s;

int px(double mm) {
    return DesignPixelsOfMm(mm);
}

QString letters(const QString& caption) {
    static const QHash<QChar, QString> spelled = {{u'ä', u"ae"_s}, {u'ö', u"oe"_s}, {u'ü', u"ue"_s},
                                                  {u'Ä', u"Ae"_s}, {u'Ö', u"Oe"_s}, {u'Ü', u"Ue"_s},
                                                  {u'ß', u"ss"_s}};
    QString out;
    for (const QChar c : caption) {
        if (spelled.contains(c))
            out += spelled.value(c);
        else if (c.isLetterOrNumber() && c.unicode() < 128)
            out += c;
    }
    return out;
}

class Builder {
public:
    explicit Builder(const ListDescription& d) : m_d(d), m_width(px(kPrintWidthMm)) {}

    QJsonObject build() {
        QJsonObject def{
            {u"class"_s, m_d.className},
            {u"title"_s, m_d.reportTitle},
            {u"orientation"_s, u"portrait"_s},
            {u"margins"_s, QJsonObject{{u"left"_s, kMarginLeft},
                                       {u"top"_s, kMarginOther},
                                       {u"right"_s, kMarginOther},
                                       {u"bottom"_s, kMarginOther}}},
            {u"options"_s, QJsonObject{{u"firstPageHeader"_s, !m_d.headInTitle},
                                       {u"lastPageFooter"_s, true},
                                       {u"printIfEmpty"_s, true}}},
            {u"font"_s, QJsonObject{{u"name"_s, u"Arial"_s}, {u"size"_s, kBaseFontSize}}},
            {u"dataset"_s, m_d.datasets.first().name},
            {u"datasets"_s, datasets()}};
        pageHeader();
        title();
        columnHeader();
        detail();
        group();
        subDetail();
        summary();
        pageFooter();
        def.insert(u"bands"_s, m_bands);
        return def;
    }

private:
    [[noreturn]] void fail(const QString& what) const {
        throw DbError(u"Fehler in der Listenbeschreibung \"%1\": %2"_s.arg(m_d.fileName, what));
    }

    QString unique(const QString& base) {
        QString name = base;
        for (int n = 2; m_names.contains(name.toLower()); ++n)
            name = base + u'_' + QString::number(n);
        m_names.insert(name.toLower());
        return name;
    }

    QJsonArray datasets() {
        QJsonArray out;
        auto add = [&out](const ListDataset& d) {
            QJsonObject o{{u"name"_s, d.name}, {u"table"_s, d.table}};
            if (!d.index.isEmpty())
                o.insert(u"index"_s, d.index);
            if (!d.master.isEmpty()) {
                o.insert(u"master"_s, d.master);
                o.insert(u"masterFields"_s, QJsonArray::fromStringList(d.masterFields));
                o.insert(u"detailFields"_s, QJsonArray::fromStringList(d.detailFields));
            }
            QJsonArray lookups;
            for (const ListLookup& l : d.lookups)
                lookups.append(QJsonObject{{u"name"_s, l.field},
                                           {u"table"_s, l.table},
                                           {u"keyFields"_s, QJsonArray{l.key}},
                                           {u"lookupKeys"_s, QJsonArray{l.on}},
                                           {u"result"_s, l.field}});
            if (!lookups.isEmpty())
                o.insert(u"lookups"_s, lookups);
            out.append(o);
        };
        bool company = false;
        for (const ListDataset& d : m_d.datasets) {
            add(d);
            company = company || d.name == kCompanyDataset;
        }
        if (m_d.hasSubDetail())
            add(m_d.subDataset);
        if (!company)
            add({kCompanyDataset, u"Firmen.DB"_s, {}, {}, {}, {}, {}});
        return out;
    }

    // A band and its controls; the band is added by finishBand.
    struct Band {
        QJsonObject head;
        QJsonArray controls;
        int bottom = 0;
    };

    Band band(const QString& cls, const QString& name, const QString& type = {}) {
        Band b;
        b.head = QJsonObject{{u"class"_s, cls}, {u"name"_s, unique(name)}};
        if (!type.isEmpty())
            b.head.insert(u"type"_s, type);
        return b;
    }

    void finishBand(Band& b, int minHeight = 0) {
        b.head.insert(u"height"_s, std::max(b.bottom > 0 ? b.bottom + kPad : 0, minHeight));
        b.head.insert(u"controls"_s, b.controls);
        m_bands.append(b.head);
    }

    static QJsonObject geometry(QJsonObject o, int left, int top, int width, int height) {
        o.insert(u"left"_s, left);
        o.insert(u"top"_s, top);
        o.insert(u"width"_s, width);
        o.insert(u"height"_s, height);
        return o;
    }

    void put(Band& b, QJsonObject control, int left, int top, int width, int height = kHeight) {
        b.controls.append(geometry(std::move(control), left, top, width, height));
        b.bottom = std::max(b.bottom, top + height);
    }

    QJsonObject label(const QString& name, const QString& caption, const QString& align = {}) {
        QJsonObject o{
            {u"class"_s, u"TQRLabel"_s}, {u"name"_s, unique(name)}, {u"caption"_s, caption}};
        if (!align.isEmpty() && align != u"left")
            o.insert(u"alignment"_s, align);
        return o;
    }

    QJsonObject captionOf(const ListItem& item) {
        const QString name =
            item.field.isEmpty() ? u"L_"_s + letters(item.caption) : u"L_"_s + item.field;
        QJsonObject o = label(name, item.caption, item.captionWidth > 0 ? QString() : item.align);
        if (item.optional || item.captionOptional)
            o.insert(u"enabled"_s, false);
        return o;
    }

    QJsonObject valueOf(const ListItem& item, const QString& dataset) {
        QString cls = u"TQRDBText"_s;
        if (item.kind == ListItem::Kind::Rich)
            cls = u"TQRDBRichText"_s;
        QJsonObject o{{u"class"_s, cls}, {u"name"_s, unique(item.field)}, {u"field"_s, item.field}};
        const QString ds = item.dataset.isEmpty() ? dataset : item.dataset;
        if (!ds.isEmpty())
            o.insert(u"dataset"_s, ds);
        if (item.align != u"left")
            o.insert(u"alignment"_s, item.align);
        if (!item.mask.isEmpty())
            o.insert(u"mask"_s, item.mask);
        if (item.kind != ListItem::Kind::Text)
            o.insert(u"autoStretch"_s, true);
        if (item.kind == ListItem::Kind::Wrap)
            o.insert(u"wordWrap"_s, true);
        if (item.bold)
            o.insert(u"font"_s, QJsonObject{{u"bold"_s, true}});
        if (item.optional)
            o.insert(u"enabled"_s, false);
        return o;
    }

    // Lays out one line of items left to right; captions go beside the
    // values (inline) or into `captions` at the same place, on `captionTop`.
    void line(Band& b, const ListLine& items, int top, const QString& dataset,
              Band* captions = nullptr, int captionTop = 0) {
        double x = 0;
        for (const ListItem& item : items) {
            const double rest = kPrintWidthMm - x;
            const double total = item.width > 0 ? item.captionWidth + item.width : rest;
            if (total > rest + 0.01 || rest <= 0)
                fail(u"die Zeile mit \"%1\" ist breiter als die Seite"_s.arg(
                    item.field.isEmpty() ? item.caption : item.field));
            if (item.captionWidth > 0 || item.field.isEmpty()) {
                const double w = item.field.isEmpty() ? total : item.captionWidth;
                if (!item.caption.isEmpty())
                    put(b, captionOf(item), px(x), top, px(w));
                if (!item.field.isEmpty())
                    put(b, valueOf(item, dataset), px(x + w), top, px(total) - px(w));
            } else {
                if (captions && !item.caption.isEmpty())
                    put(*captions, captionOf(item), px(x), captionTop, px(total));
                put(b, valueOf(item, dataset), px(x), top, px(total));
            }
            x += total + kGapMm;
        }
    }

    static bool hasCaptions(const ListLine& items) {
        return std::any_of(items.begin(), items.end(), [](const ListItem& i) {
            return !i.caption.isEmpty() && i.captionWidth == 0 && !i.field.isEmpty();
        });
    }

    // Lines of a band: each line below the last; captions of lines that have
    // them go into rows of `captions` from `captionTop` on.
    void lines(Band& b, const QList<ListLine>& all, const QString& dataset, Band* captions,
               int captionTop) {
        int row = 0;
        for (const ListLine& items : all) {
            line(b, items, b.bottom > 0 ? b.bottom + kPad : kPad, dataset, captions,
                 captionTop + row * kRow);
            if (captions && hasCaptions(items))
                ++row;
        }
    }

    // The captions of a sub-detail's lines, as rows at the bottom of the band before it.
    void captionRow(Band& b, const QList<ListLine>& all) {
        int top = b.bottom > 0 ? b.bottom + kPad : kPad;
        for (const ListLine& items : all) {
            if (!hasCaptions(items))
                continue;
            double x = 0;
            for (const ListItem& item : items) {
                const double total = item.width > 0 ? item.width : kPrintWidthMm - x;
                if (!item.caption.isEmpty()) {
                    QJsonObject c = captionOf(item);
                    c.insert(u"font"_s, QJsonObject{{u"underline"_s, true}});
                    put(b, c, px(x), top, px(total));
                }
                x += total + kGapMm;
            }
            top += kRow;
        }
    }

    void spare(Band& b, int from, int to) {
        int slot = 0;
        for (int n = from; n <= to; ++n) {
            if (!m_d.spare.contains(n))
                continue;
            const QString text = u"Reserve"_s + QString::number(n);
            QJsonObject o = label(u"L_"_s + text, text);
            o.insert(u"enabled"_s, false);
            o.insert(u"font"_s, QJsonObject{{u"bold"_s, true}});
            put(b, o, px(slot++ * kSpareMm), kPad, px(kSpareMm));
        }
    }

    QJsonObject listHead() {
        return QJsonObject{{u"class"_s, u"TQRDBRichText"_s}, {u"name"_s, unique(kHead)},
                           {u"dataset"_s, kCompanyDataset},  {u"field"_s, kHead},
                           {u"alignment"_s, u"center"_s},    {u"autoStretch"_s, true}};
    }

    void pageHeader() {
        Band b = band(u"TQRBand"_s, u"PageHeaderBand1"_s, u"pageHeader"_s);
        spare(b, 1, 4);
        put(b, listHead(), 0, 0, m_width, 2 * kRow);
        finishBand(b);
    }

    void title() {
        Band b = band(u"TQRBand"_s, u"TitleBand1"_s, u"title"_s);
        spare(b, 5, 8);
        int top = kPad;
        if (m_d.headInTitle) {
            put(b, listHead(), 0, 0, m_width, 2 * kRow);
            top = b.bottom + 3 * kPad;
        }
        const QJsonObject bold{{u"size"_s, kTitleFontSize}, {u"bold"_s, true}};
        const int dateLeft = px(kPrintWidthMm - kDateMm);
        int titleWidth = m_d.printDate.isEmpty() && !m_d.logo
                             ? m_width
                             : px(kPrintWidthMm - kDateMm - kDateCaptionMm - kGapMm);
        if (m_d.titleWidth > 0)
            titleWidth = px(m_d.titleWidth);
        QJsonObject t = label(u"L_Titel"_s, m_d.title);
        t.insert(u"font"_s, bold);
        put(b, t, 0, top, titleWidth, 20);
        if (!m_d.printDate.isEmpty()) {
            put(b, label(u"L_Datum"_s, u"Datum:"_s, u"right"_s),
                px(kPrintWidthMm - kDateMm - kDateCaptionMm), top + 3, px(kDateCaptionMm));
            put(b, sysData(u"QRSysDatum"_s, u"dateTime"_s, m_d.printDate, true), dateLeft, top + 3,
                m_width - dateLeft);
            if (!m_d.printTime.isEmpty())
                put(b, sysData(u"QRSysZeit"_s, u"time"_s, m_d.printTime, false), dateLeft,
                    top + 3 + kRow, m_width - dateLeft);
        }
        int y = top + 20 + kPad;
        for (const ListLabel& l : m_d.titleLabels) {
            QJsonObject o = label(l.name, l.caption);
            o.insert(u"font"_s, QJsonObject{{u"size"_s, 10}, {u"bold"_s, true}});
            put(b, o, 0, y, px(kPrintWidthMm - kDateMm - kGapMm), kRow);
            y += kRow;
        }
        if (m_d.logo) {
            const QJsonObject image{{u"class"_s, u"TQRImage"_s},
                                    {u"name"_s, unique(u"QRImage1"_s)},
                                    {u"stretch"_s, true},
                                    {u"center"_s, true}};
            put(b, image, dateLeft, top, m_width - dateLeft, px(20));
        }
        for (qsizetype i = 0; i < m_d.titleLines.size(); ++i) {
            if (i == 0 && m_d.titleWidth > 0) {
                // The first title line continues the title, in its font.
                Band row;
                line(row, m_d.titleLines.first(), top, m_d.datasets.first().name);
                for (QJsonValueRef c : row.controls) {
                    QJsonObject o = c.toObject();
                    o.insert(u"left"_s, o.value(u"left"_s).toInt() + titleWidth);
                    o.insert(u"height"_s, 20);
                    o.insert(u"font"_s, bold);
                    b.controls.append(o);
                }
                continue;
            }
            line(b, m_d.titleLines[i], y, m_d.datasets.first().name);
            y += kRow;
        }
        finishBand(b);
    }

    static QJsonObject sysData(const QString& name, const QString& kind, const QString& mask,
                               bool enabled) {
        QJsonObject o{{u"class"_s, u"TQRSysData"_s},
                      {u"name"_s, name},
                      {u"sysData"_s, kind},
                      {u"mask"_s, mask},
                      {u"alignment"_s, u"right"_s}};
        if (!enabled)
            o.insert(u"enabled"_s, false);
        return o;
    }

    void columnHeader() {
        // Spare labels of the column header make one also without captions.
        const bool captions = std::any_of(m_d.columns.begin(), m_d.columns.end(), hasCaptions);
        const bool spare = std::any_of(m_d.spare.begin(), m_d.spare.end(),
                                       [](int n) { return n >= 9 && n <= 17; });
        if (!captions && !spare)
            return;
        Band b = band(u"TQRBand"_s, u"ColumnHeaderBand1"_s, u"columnHeader"_s);
        b.head.insert(u"font"_s, QJsonObject{{u"bold"_s, true}});
        b.head.insert(u"frame"_s, QJsonObject{{u"bottom"_s, true}});
        m_columnHeader = std::move(b);
        m_hasColumnHeader = true;
    }

    void detail() {
        Band b = band(u"TQRBand"_s, u"DetailBand1"_s, u"detail"_s);
        const QString ds = m_d.datasets.first().name;
        if (m_hasColumnHeader) {
            lines(b, m_d.columns, ds, &m_columnHeader, kPad);
            spare(m_columnHeader, 9, 17);
            // The column header precedes the detail in component order.
            finishBand(m_columnHeader);
        } else {
            lines(b, m_d.columns, ds, nullptr, 0);
        }
        m_detail = std::move(b);
        // Records of several lines, or followed by rows of their own, are set apart by a line.
        if (m_d.hasSubDetail())
            m_detail.head.insert(u"frame"_s, QJsonObject{{u"top"_s, true}});
        else if (m_d.columns.size() > 1)
            m_detail.head.insert(u"frame"_s,
                                 QJsonObject{{u"bottom"_s, true}, {u"style"_s, u"psDot"_s}});
        form(m_detail);
        if (m_d.hasSubDetail() && m_d.groupExpression.isEmpty())
            captionRow(m_detail, m_d.subLines);
        finishBand(m_detail);
        optional(u"ChildBand1"_s, u"DetailBand1"_s, m_d.optional, ds);
    }

    void form(Band& b) {
        const QString ds = m_d.datasets.first().name;
        for (const ListFormSection& s : m_d.form) {
            int top = b.bottom > 0 ? b.bottom + kPad : kPad;
            if (!s.heading.isEmpty()) {
                QJsonObject h = label(u"L_"_s + letters(s.heading), s.heading);
                h.insert(u"font"_s, QJsonObject{{u"bold"_s, true}, {u"underline"_s, true}});
                put(b, h, 0, top + kPad, m_width);
                top = b.bottom + kPad;
            }
            pairs(b, s.items, top, ds);
        }
    }

    // Captioned fields two to a line; rich and wrapped ones take a line of their own.
    void pairs(Band& b, const QList<ListItem>& items, int top, const QString& ds) {
        int column = 0;
        int y = top;
        for (ListItem item : items) {
            const bool wide = item.kind != ListItem::Kind::Text;
            if (wide && column == 1) {
                column = 0;
                y = b.bottom + kPad;
            }
            if (item.captionWidth == 0)
                item.captionWidth = kOptCaptionMm;
            item.width = (wide ? kPrintWidthMm : kOptPairMm - kGapMm) - item.captionWidth;
            Band part;
            line(part, {item}, y, ds);
            for (QJsonValueRef c : part.controls) {
                QJsonObject o = c.toObject();
                if (column == 1)
                    o.insert(u"left"_s, o.value(u"left"_s).toInt() + px(kOptPairMm));
                b.controls.append(o);
            }
            b.bottom = std::max(b.bottom, part.bottom);
            if (wide || column == 1) {
                column = 0;
                y = b.bottom + kPad;
            } else {
                column = 1;
            }
        }
    }

    void optional(const QString& name, const QString& parent, const QList<ListItem>& items,
                  const QString& ds) {
        if (items.isEmpty())
            return;
        Band b = band(u"TQRChildBand"_s, name);
        b.head.insert(u"parentBand"_s, parent);
        b.head.insert(u"beforePrint"_s, QString::fromLatin1(kOptionalBandHook));
        QList<ListItem> off = items;
        for (ListItem& item : off)
            item.optional = true;
        pairs(b, off, kPad, ds);
        finishBand(b);
    }

    void group() {
        if (m_d.groupExpression.isEmpty())
            return;
        Band b = band(u"TQRGroup"_s, u"QRGroup1"_s);
        b.head.insert(u"expression"_s, m_d.groupExpression);
        b.head.insert(u"master"_s, u"DetailBand1"_s);
        b.head.insert(u"keepWithFirst"_s, true);
        b.head.insert(u"font"_s, QJsonObject{{u"bold"_s, true}});
        lines(b, m_d.groupLines, m_d.datasets.first().name, nullptr, 0);
        captionRow(b, m_d.subLines);
        finishBand(b);
    }

    void subDetail() {
        if (!m_d.hasSubDetail())
            return;
        Band b = band(u"TQRSubDetail"_s, u"SubDetail1"_s);
        b.head.insert(u"dataset"_s, m_d.subDataset.name);
        b.head.insert(u"master"_s, u"DetailBand1"_s);
        lines(b, m_d.subLines, m_d.subDataset.name, nullptr, 0);
        finishBand(b);
        optional(u"ChildBand2"_s, u"SubDetail1"_s, m_d.subOptional, m_d.subDataset.name);
    }

    void summary() {
        Band b = band(u"TQRBand"_s, u"SummaryBand1"_s, u"summary"_s);
        b.head.insert(u"frame"_s, QJsonObject{{u"top"_s, true}});
        spare(b, 18, 19);
        spare(b, 22, 30);
        put(b, label(u"L_Ende"_s, u"Ende der Liste"_s, u"right"_s), m_width - px(50), kPad + 2,
            px(50));
        finishBand(b);
    }

    void pageFooter() {
        Band b = band(u"TQRBand"_s, u"PageFooterBand1"_s, u"pageFooter"_s);
        spare(b, 20, 21);
        int top = b.bottom > 0 ? b.bottom + kPad : kPad;
        for (const ListItem& item : m_d.footer) {
            line(b, {item}, top, kCompanyDataset);
            top = b.bottom + kPad;
        }
        const QJsonObject bold{{u"bold"_s, true}};
        QJsonObject page = label(u"L_Seite"_s, u"Seite"_s, u"right"_s);
        page.insert(u"font"_s, bold);
        put(b, page, m_width - px(30), top, px(18));
        QJsonObject number{{u"class"_s, u"TQRExpr"_s},
                           {u"name"_s, unique(u"QRExprSeite"_s)},
                           {u"expression"_s, u"PAGENUMBER"_s},
                           {u"alignment"_s, u"right"_s},
                           {u"font"_s, bold}};
        put(b, number, m_width - px(11), top, px(11));
        finishBand(b);
    }

    const ListDescription& m_d;
    const int m_width;
    QSet<QString> m_names;
    QJsonArray m_bands;
    Band m_columnHeader;
    Band m_detail;
    bool m_hasColumnHeader = false;
};

struct Lists {
    QStringList pending;
    std::map<int, ListDescription> byType;
    QHash<QString, QList<int>> typesOfDirectory;
};

Lists& lists() {
    static Lists l;
    return l;
}

void loadPending() {
    Lists& l = lists();
    while (!l.pending.isEmpty()) {
        const QString directory = l.pending.takeFirst();
        const QDir dir(directory);
        for (const QString& name :
             dir.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
            QFile file(dir.filePath(name));
            if (!file.open(QIODevice::ReadOnly))
                throw DbError(u"Die Listenbeschreibung \"%1\" kann nicht gelesen werden."_s.arg(
                    file.fileName()));
            ListDescription d = ReadListDescription(file.readAll(), name);
            if (l.byType.contains(d.formType))
                throw DbError(
                    u"Die Liste %1 ist doppelt beschrieben (\"%2\")."_s.arg(d.formType).arg(name));
            l.typesOfDirectory[directory].append(d.formType);
            l.byType.emplace(d.formType, std::move(d));
        }
    }
}

} // namespace

QByteArray BuildListReport(const ListDescription& description) {
    return QJsonDocument(Builder(description).build()).toJson(QJsonDocument::Compact);
}

void AddListDirectory(const QString& directory) {
    lists().pending.append(directory);
    report::addReportSource([directory] {
        loadPending();
        QList<report::ReportText> texts;
        for (const int type : lists().typesOfDirectory.value(directory)) {
            const ListDescription& d = lists().byType.at(type);
            texts.append({d.fileName, BuildListReport(d)});
        }
        return texts;
    });
}

const ListDescription& ListDescriptionOf(int formType) {
    loadPending();
    const auto& byType = lists().byType;
    const auto it = byType.find(formType);
    if (it == byType.end())
        throw DbError(u"Für das Formular %1 gibt es keine Liste."_s.arg(formType));
    return it->second;
}
