#include "platform/report/paginator.h"

#include "platform/errors.h"
#include "platform/report/bandlayout.h"
#include "platform/report/displaymask.h"
#include "platform/report/expression.h"
#include "platform/report/report.h"
#include "platform/report/runcontext.h"
#include "platform/report/rundata.h"
#include "platform/richtext/rtf.h"
#include "platform/table/table.h"

#include <QDateTime>
#include <QHash>
#include <optional>

namespace report {
namespace {

constexpr double kEpsilon = 0.01;

using Lists = QHash<int, std::vector<int>>;

// The list of a band without copying it; empty when the band has none.
const std::vector<int>& listOf(const Lists& lists, int band) {
    static const std::vector<int> none;
    auto it = lists.constFind(band);
    return it == lists.constEnd() ? none : *it;
}

void translateItem(PageItem& item, double dy) {
    std::visit(
        [dy](auto& i) {
            i.rect.translate(0, dy);
            if constexpr (std::is_same_v<std::decay_t<decltype(i)>, ImageItem>)
                i.clip.translate(0, dy);
        },
        item);
}

class Run final : public RunContext, public ExprEnvironment {
public:
    explicit Run(const Report& report) : m_report(report), m_def(report.def()) {}

    Document execute();

    // RunContext
    const QString& title() const override { return m_def.title; }
    int pageNumber() const override { return m_pageNo; }
    int pageCount() const override { return m_pageCount; }
    bool countingPass() const override { return m_counting; }
    int detailNo() const override { return m_detailNo; }
    bool allRowsPrinted() const override { return m_allRowsPrinted; }
    bool finalPageFooter() const override { return m_finalFooter; }
    QVariant value(const QString& dataset, const QString& field) override {
        return m_data->value(m_data->resolve(dataset, field));
    }
    table::Table& cursor(const QString& dataset) override { return m_data->cursor(dataset); }
    Component& control(const QString& name) override {
        const int i = indexOf(name);
        if (i < 0)
            throw DbError(QStringLiteral("Der Bericht %1 hat kein Element \"%2\".")
                              .arg(m_def.className, name));
        return m_comps[size_t(i)];
    }
    void newPage() override { m_newPageRequested = true; }

    // ExprEnvironment
    QVariant fieldValue(int fieldId) const override { return m_data->value(fieldId); }

private:
    int indexOf(const QString& name) const { return m_byName.value(name.toLower(), -1); }
    bool needsPageCount() const;
    void checkHooks() const;
    void prepareComponents();
    void runPass();

    // Page frame.
    void startPage();
    void finishPage(bool final);
    void breakPage();
    double reserveForFooters();
    bool pageHasBody() const { return m_y > m_bodyTop + kEpsilon; }

    // Bands.
    bool printBand(int band);
    std::vector<ControlContent> contents(int band, std::vector<QVariant>& values);
    void applyPrintHooks(std::vector<ControlContent>& contents,
                         const std::vector<QVariant>& values);
    bool hasStretch(int band) const;
    void ensureSpace(double height);
    void place(BandLayout layout);
    // The counting pass only measures: its pages stay empty.
    void emit(const BandLayout& layout, double y) {
        if (!m_counting)
            emitBand(layout, m_left, y, m_doc.pages.back());
    }
    void printRows(int rowBand, const QString& dataset, bool topLevel);
    void printSubDetail(int subDetail);
    std::vector<QVariant> groupKeys(const std::vector<int>& groups);
    QString sysDataText(const Component& c) const;

    const Report& m_report;
    const ReportDefinition& m_def;
    std::unique_ptr<RunData> m_data;
    std::vector<Component> m_comps;
    QHash<QString, int> m_byName;
    QDateTime m_now;

    // Structure, by component index.
    int m_detail = -1;
    std::vector<int> m_pageHeaders, m_titles, m_columnHeaders, m_summaries, m_pageFooters;
    Lists m_controls, m_children, m_groups, m_subDetails;
    std::vector<std::unique_ptr<Expression>> m_exprs; // per component; null when none
    std::vector<int> m_fieldIds;                      // per component; -1 when none
    Lists m_aggregatesOf;                             // band -> expressions it updates

    Document m_doc;
    double m_left = 0, m_top = 0, m_width = 0, m_pageBottom = 0;
    double m_y = 0, m_bodyTop = 0, m_bodyBottom = 0;
    int m_pageNo = 0;
    int m_pageCount = 0;
    bool m_counting = false;
    bool m_inFrame = false;
    bool m_titleRunning = false; // a title is running over onto further pages
    bool m_detailPhase = true;
    bool m_allRowsPrinted = false;
    bool m_finalFooter = false;
    bool m_newPageRequested = false;
    int m_detailNo = 0;
    struct Anchor {
        size_t page;
        size_t item;
        double y;
    };
    std::optional<Anchor> m_anchor;
};

bool Run::needsPageCount() const {
    for (const Component& c : m_def.components) {
        if (c.cls == ComponentClass::SysData && c.sysData == SysDataKind::PageCount)
            return true;
        if (c.cls == ComponentClass::Expr && Expression::parse(c.expression).usesPageCount())
            return true;
    }
    return false;
}

void Run::checkHooks() const {
    const Hooks& h = m_report.hooks();
    auto need = [&](const QString& name, bool present) {
        if (!name.isEmpty() && !present)
            throw DbError(
                QStringLiteral(
                    "Der Bericht %1 braucht die Routine \"%2\"; sie ist nicht eingerichtet.")
                    .arg(m_def.className, name));
    };
    need(m_def.beforePrint, h.pass(m_def.beforePrint));
    for (const DatasetDef& d : m_def.datasets)
        need(d.onCalcFields, h.calc(d.onCalcFields));
    for (const Component& c : m_def.components) {
        need(c.beforePrint, h.before(c.beforePrint));
        need(c.afterPrint, h.after(c.afterPrint));
        need(c.onPrint, h.print(c.onPrint));
    }
}

Document Run::execute() {
    checkHooks();
    m_doc.title = m_def.title;
    m_doc.landscape = m_def.landscape;
    m_doc.paperMm = m_def.landscape ? QSizeF(297, 210) : QSizeF(210, 297);
    const QSizeF paper = m_doc.paperUnits();
    auto margin = [](double mm, double limit) {
        return std::clamp(std::isfinite(mm) ? mm : 0.0, 0.0, limit) * kUnitsPerMm;
    };
    m_left = margin(m_def.marginLeft, m_doc.paperMm.width() / 2 - 10);
    m_top = margin(m_def.marginTop, m_doc.paperMm.height() / 2 - 10);
    m_width = std::max(kUnitsPerMm, paper.width() - m_left -
                                        margin(m_def.marginRight, m_doc.paperMm.width() / 2 - 10));
    m_pageBottom = paper.height() - margin(m_def.marginBottom, m_doc.paperMm.height() / 2 - 10);
    m_now = QDateTime::currentDateTime();

    m_data = std::make_unique<RunData>(m_def, [this](const QString& hook, table::Table& t) {
        if (const auto* h = m_report.hooks().calc(hook))
            (*h)(*this, t);
    });
    const bool twoPasses = needsPageCount();
    for (int pass = 0; pass < (twoPasses ? 2 : 1); ++pass) {
        m_counting = twoPasses && pass == 0;
        runPass();
        if (m_counting)
            m_pageCount = int(m_doc.pages.size());
    }
    m_pageCount = int(m_doc.pages.size());
    m_data.reset();
    return std::move(m_doc);
}

void Run::prepareComponents() {
    m_comps.assign(m_def.components.begin(), m_def.components.end());
    m_byName.clear();
    m_detail = -1;
    m_pageHeaders.clear();
    m_titles.clear();
    m_columnHeaders.clear();
    m_summaries.clear();
    m_pageFooters.clear();
    m_controls.clear();
    m_children.clear();
    m_groups.clear();
    m_subDetails.clear();
    m_aggregatesOf.clear();
    m_exprs.clear();
    m_exprs.resize(m_comps.size());
    m_fieldIds.assign(m_comps.size(), -1);
    for (size_t i = 0; i < m_comps.size(); ++i)
        m_byName.insert(m_comps[i].name.toLower(), int(i));
    for (size_t i = 0; i < m_comps.size(); ++i) {
        const Component& c = m_comps[i];
        if (c.cls == ComponentClass::Band && c.bandType == BandType::Detail && m_detail < 0)
            m_detail = int(i);
    }
    const FieldResolver resolver = [this](const QString& ds, const QString& f) {
        return m_data->resolveAny(ds, f);
    };
    auto bandIndex = [this](const QString& name, int fallback) {
        return name.isEmpty() ? fallback : indexOf(name);
    };
    for (size_t i = 0; i < m_comps.size(); ++i) {
        const Component& c = m_comps[i];
        const int index = int(i);
        switch (c.cls) {
        case ComponentClass::Band:
            switch (c.bandType) {
            case BandType::PageHeader:
                m_pageHeaders.push_back(index);
                break;
            case BandType::Title:
                m_titles.push_back(index);
                break;
            case BandType::ColumnHeader:
                m_columnHeaders.push_back(index);
                break;
            case BandType::Summary:
                m_summaries.push_back(index);
                break;
            case BandType::PageFooter:
                m_pageFooters.push_back(index);
                break;
            default:
                break; // the detail walks the rows; group headers and footers hang on their owners
            }
            break;
        case ComponentClass::ChildBand:
            m_children[indexOf(c.parentBand)].push_back(index);
            break;
        case ComponentClass::Group:
            m_exprs[i] = std::make_unique<Expression>(Expression::parse(c.expression));
            m_exprs[i]->bind(resolver);
            m_groups[bandIndex(c.bandMaster, m_detail)].push_back(index);
            break;
        case ComponentClass::SubDetail:
            m_data->cursor(c.dataset);
            m_subDetails[bandIndex(c.bandMaster, m_detail)].push_back(index);
            break;
        case ComponentClass::DBText:
        case ComponentClass::DBRichText:
            m_fieldIds[i] = m_data->resolve(c.dataset, c.field);
            break;
        case ComponentClass::Expr: {
            m_exprs[i] = std::make_unique<Expression>(Expression::parse(c.expression));
            m_exprs[i]->bind(resolver);
            const int master = bandIndex(c.master, m_detail);
            if (m_exprs[i]->hasAggregates() && master >= 0)
                m_aggregatesOf[master].push_back(index);
            break;
        }
        default:
            break;
        }
        if (isPrintable(c.cls) && !c.parent.isEmpty()) {
            const int band = indexOf(c.parent);
            if (band >= 0 && isBand(m_comps[size_t(band)].cls))
                m_controls[band].push_back(index);
        }
    }
}

void Run::runPass() {
    prepareComponents();
    m_doc.pages.clear();
    m_pageNo = 0;
    m_detailNo = 0;
    m_detailPhase = true;
    m_allRowsPrinted = false;
    m_finalFooter = false;
    m_newPageRequested = false;
    m_anchor.reset();
    for (const DatasetDef& d : m_def.datasets)
        m_data->cursor(d.name).first();
    if (const auto* hook = m_report.hooks().pass(m_def.beforePrint))
        (*hook)(*this);
    if (!m_def.dataset.isEmpty() && m_data->cursor(m_def.dataset).isEmpty() &&
        !m_def.options.printIfEmpty)
        return;
    startPage();
    if (m_detail >= 0)
        printRows(m_detail, m_def.dataset, true);
    m_detailPhase = false;
    m_allRowsPrinted = true;
    for (const int s : m_summaries)
        printBand(s);
    finishPage(true);
}

double Run::reserveForFooters() {
    double height = 0;
    std::vector<int> bands = m_pageFooters;
    for (size_t i = 0; i < bands.size(); ++i) {
        const Component& b = m_comps[size_t(bands[i])];
        if (!b.enabled)
            continue;
        if (hasStretch(bands[i])) {
            std::vector<QVariant> values;
            height += layoutBand(b, contents(bands[i], values), m_width).height;
        } else {
            height += clampedGeometry(b.height) * kUnitsPerDesignPixel;
        }
        for (const int child : listOf(m_children, bands[i]))
            bands.push_back(child);
    }
    return height;
}

void Run::startPage() {
    m_doc.pages.emplace_back();
    ++m_pageNo;
    m_y = m_top;
    m_bodyTop = m_top;
    m_bodyBottom = m_pageBottom - reserveForFooters();
    m_inFrame = true;
    if (m_pageNo > 1 || m_def.options.firstPageHeader) {
        for (const int b : m_pageHeaders)
            printBand(b);
    }
    if (m_pageNo == 1 && !m_titles.empty()) {
        // A title may hold more than a page (a letter's text): it goes on
        // below the next page's header rather than being cut.
        m_inFrame = false;
        m_bodyTop = m_y;
        m_titleRunning = true;
        for (const int b : m_titles)
            printBand(b);
        m_titleRunning = false;
        if (m_pageNo != 1) {
            // The column header stands above the rows, below the title's end.
            if (m_detailPhase) {
                for (const int b : m_columnHeaders)
                    printBand(b);
            }
            m_bodyTop = m_y;
            return;
        }
        m_inFrame = true;
    }
    if (m_detailPhase && !m_titleRunning) {
        for (const int b : m_columnHeaders)
            printBand(b);
    }
    m_inFrame = false;
    m_bodyTop = m_y;
}

void Run::finishPage(bool final) {
    if (final && !m_def.options.lastPageFooter)
        return;
    m_finalFooter = final;
    // The footers sit at the bottom of the page, their hooks run now.
    std::vector<BandLayout> layouts;
    std::vector<int> bands = m_pageFooters;
    std::vector<int> order;
    for (size_t i = 0; i < bands.size(); ++i) {
        const int band = bands[i];
        Component& b = m_comps[size_t(band)];
        if (!b.enabled)
            continue;
        if (const auto* hook = m_report.hooks().before(b.beforePrint); hook && !(*hook)(*this, b))
            continue;
        std::vector<QVariant> values;
        std::vector<ControlContent> content = contents(band, values);
        applyPrintHooks(content, values);
        layouts.push_back(layoutBand(b, content, m_width));
        order.push_back(band);
        for (const int child : listOf(m_children, band))
            bands.push_back(child);
    }
    double total = 0;
    for (const BandLayout& l : layouts)
        total += l.height;
    double y = std::max(m_y, m_pageBottom - total);
    for (size_t i = 0; i < layouts.size(); ++i) {
        emit(layouts[i], y);
        y += layouts[i].height;
        Component& b = m_comps[size_t(order[i])];
        if (const auto* hook = m_report.hooks().after(b.afterPrint))
            (*hook)(*this, b);
    }
    m_finalFooter = false;
}

void Run::breakPage() {
    finishPage(false);
    startPage();
}

bool Run::hasStretch(int band) const {
    for (const int c : listOf(m_controls, band)) {
        const Component& k = m_comps[size_t(c)];
        if (k.enabled && k.autoStretch)
            return true;
    }
    return false;
}

QString Run::sysDataText(const Component& c) const {
    switch (c.sysData) {
    case SysDataKind::Date:
        return formatDateTime(m_now, c.mask.isEmpty() ? QStringLiteral("dd.mm.yyyy") : c.mask);
    case SysDataKind::Time:
        return formatDateTime(m_now, c.mask.isEmpty() ? QStringLiteral("hh:nn") : c.mask);
    case SysDataKind::DateTime:
        return formatDateTime(m_now,
                              c.mask.isEmpty() ? QStringLiteral("dd.mm.yyyy hh:nn") : c.mask);
    case SysDataKind::PageNumber:
        return displayText(m_pageNo, table::FieldType::Integer, c.mask);
    case SysDataKind::PageCount:
        return displayText(m_pageCount, table::FieldType::Integer, c.mask);
    case SysDataKind::ReportTitle:
        return m_def.title;
    case SysDataKind::DetailNo:
        return displayText(m_detailNo, table::FieldType::Integer, c.mask);
    case SysDataKind::DetailCount:
        return displayText(m_def.dataset.isEmpty() ? 1
                                                   : m_data->cursor(m_def.dataset).recordCount(),
                           table::FieldType::Integer, c.mask);
    }
    return {};
}

std::vector<ControlContent> Run::contents(int band, std::vector<QVariant>& values) {
    std::vector<ControlContent> out;
    values.clear();
    for (const int index : listOf(m_controls, band)) {
        const Component& c = m_comps[size_t(index)];
        if (!c.enabled)
            continue;
        ControlContent cc;
        cc.control = &c;
        cc.font = c.font;
        cc.color = c.color;
        cc.transparent = c.transparent;
        QVariant value;
        switch (c.cls) {
        case ComponentClass::Label:
            cc.text = c.caption;
            break;
        case ComponentClass::DBText: {
            const int id = m_fieldIds[size_t(index)];
            value = m_data->value(id);
            const table::FieldType type = m_data->type(id);
            cc.text = type == table::FieldType::FmtMemo
                          ? richtext::plainTextOfRtf(value.toString().toLatin1())
                          : displayText(value, type, c.mask);
            break;
        }
        case ComponentClass::SysData:
            cc.text = c.caption + sysDataText(c);
            break;
        case ComponentClass::Expr:
            value = m_exprs[size_t(index)]->evaluate(*this);
            cc.text = displayText(value, typeOfValue(value), c.mask);
            break;
        case ComponentClass::RichText:
            cc.kind = ControlContent::Rich;
            cc.document = richDocument(c.caption, c.font, c.alignment);
            break;
        case ComponentClass::DBRichText:
            cc.kind = ControlContent::Rich;
            value = m_data->value(m_fieldIds[size_t(index)]);
            cc.document = richDocument(value.toString(), c.font, c.alignment);
            break;
        case ComponentClass::Image:
            cc.kind = ControlContent::Picture;
            cc.picture = c.picture;
            break;
        case ComponentClass::Shape:
            cc.kind = ControlContent::Shape;
            break;
        default:
            continue;
        }
        out.push_back(std::move(cc));
        values.push_back(value);
    }
    return out;
}

void Run::applyPrintHooks(std::vector<ControlContent>& contents,
                          const std::vector<QVariant>& values) {
    std::vector<ControlContent> kept;
    for (size_t i = 0; i < contents.size(); ++i) {
        ControlContent& cc = contents[i];
        const auto* hook = m_report.hooks().print(cc.control->onPrint);
        if (hook) {
            ControlPrint p{*cc.control, values[i], cc.text, cc.font, cc.color, cc.transparent};
            (*hook)(*this, p);
            if (!p.print)
                continue;
            cc.text = p.text;
            cc.font = p.font;
            cc.color = p.color;
            cc.transparent = p.transparent;
        }
        kept.push_back(std::move(cc));
    }
    contents = std::move(kept);
}

void Run::ensureSpace(double height) {
    if (m_newPageRequested) {
        m_newPageRequested = false;
        if (pageHasBody())
            breakPage();
    }
    if (m_y + height <= m_bodyBottom + kEpsilon || !pageHasBody())
        return;
    const size_t page = m_doc.pages.size() - 1;
    if (m_anchor && m_anchor->page == page && m_anchor->y > m_bodyTop + kEpsilon) {
        // A group header kept with its first row moves to the next page with it.
        std::vector<PageItem>& items = m_doc.pages[page].items;
        std::vector<PageItem> moved(std::make_move_iterator(items.begin() + long(m_anchor->item)),
                                    std::make_move_iterator(items.end()));
        items.erase(items.begin() + long(m_anchor->item), items.end());
        const double movedHeight = m_y - m_anchor->y;
        const double from = m_anchor->y;
        m_anchor.reset();
        m_y = from;
        breakPage();
        for (PageItem& item : moved) {
            translateItem(item, m_y - from);
            m_doc.pages.back().items.push_back(std::move(item));
        }
        m_y += movedHeight;
        m_bodyTop = m_y; // what follows may split below the header rather than leave it alone
        return;
    }
    breakPage();
}

void Run::place(BandLayout layout) {
    for (;;) {
        const double available = m_bodyBottom - m_y;
        if (layout.height <= available + kEpsilon) {
            emit(layout, m_y);
            m_y += layout.height;
            return;
        }
        if (m_inFrame) {
            // Page header, title and column header never break a page: what does not fit is cut.
            if (available > kEpsilon) {
                const BandLayout part = splitBand(layout, available);
                emit(part, m_y);
                m_y += part.height;
            }
            return;
        }
        if (pageHasBody()) {
            breakPage();
            continue;
        }
        if (available <= kEpsilon) {
            // No room for any body on a page: the band prints over the footer rather than never.
            emit(layout, m_y);
            m_y += layout.height;
            return;
        }
        const BandLayout part = splitBand(layout, available);
        emit(part, m_y);
        m_y += part.height;
        if (layout.boxes.empty())
            return; // what is left of a band taller than the page holds nothing: it is cut
        breakPage();
    }
}

bool Run::printBand(int band) {
    if (band < 0)
        return false;
    Component& b = m_comps[size_t(band)];
    if (!b.enabled)
        return false;
    if (const auto* hook = m_report.hooks().before(b.beforePrint); hook && !(*hook)(*this, b))
        return false;
    std::vector<QVariant> values;
    if (!m_inFrame) {
        // The space is judged before the hooks run, so a hook that counts
        // what prints on a page (a carry-over) sees the page the band lands on.
        const double height = hasStretch(band)
                                  ? layoutBand(b, contents(band, values), m_width).height
                                  : clampedGeometry(b.height) * kUnitsPerDesignPixel;
        ensureSpace(height);
    }
    for (const int e : listOf(m_aggregatesOf, band))
        m_exprs[size_t(e)]->updateAggregates(*this);
    std::vector<ControlContent> content = contents(band, values);
    applyPrintHooks(content, values);
    const bool keep = b.cls == ComponentClass::Group && b.keepWithFirst && !m_anchor;
    const Anchor anchor{m_doc.pages.size() - 1, m_doc.pages.back().items.size(), m_y};
    place(layoutBand(b, content, m_width));
    if (keep)
        m_anchor = anchor;
    if (band == m_detail || b.cls == ComponentClass::SubDetail)
        m_anchor.reset();
    if (const auto* hook = m_report.hooks().after(b.afterPrint))
        (*hook)(*this, b);
    for (const int c : listOf(m_controls, band)) {
        Component& k = m_comps[size_t(c)];
        if (k.cls == ComponentClass::Expr && k.resetAfterPrint && k.enabled)
            m_exprs[size_t(c)]->resetAggregates();
    }
    for (const int child : listOf(m_children, band))
        printBand(child);
    return true;
}

std::vector<QVariant> Run::groupKeys(const std::vector<int>& groups) {
    std::vector<QVariant> keys;
    for (const int g : groups)
        keys.push_back(m_exprs[size_t(g)]->evaluate(*this));
    return keys;
}

void Run::printRows(int rowBand, const QString& dataset, bool topLevel) {
    const std::vector<int> groups = listOf(m_groups, rowBand);
    auto printRow = [&] {
        if (rowBand == m_detail)
            ++m_detailNo;
        printBand(rowBand);
        for (const int s : listOf(m_subDetails, rowBand))
            printSubDetail(s);
    };
    if (dataset.isEmpty()) {
        printRow();
        return;
    }
    table::Table& cursor = m_data->cursor(dataset);
    if (cursor.isEmpty())
        return;
    cursor.first();
    auto firstDifference = [&](const std::vector<QVariant>& a, const std::vector<QVariant>& b) {
        size_t i = 0;
        while (i < a.size() && a[i] == b[i])
            ++i;
        return i;
    };
    std::optional<std::vector<QVariant>> previous;
    while (!cursor.eof()) {
        const std::vector<QVariant> keys = groupKeys(groups);
        const size_t changed = previous ? firstDifference(*previous, keys) : 0;
        for (size_t g = changed; g < groups.size(); ++g) {
            const Component& group = m_comps[size_t(groups[g])];
            if (group.forceNewPage && group.enabled && pageHasBody())
                breakPage();
            printBand(groups[g]);
        }
        printRow();
        cursor.next();
        const bool end = cursor.eof();
        if (end && topLevel) {
            m_detailPhase = false;
            m_allRowsPrinted = true;
        }
        const size_t ending = end ? 0 : firstDifference(keys, groupKeys(groups));
        if (ending < groups.size()) {
            // Footers see the last row of their group.
            if (!end)
                cursor.prior();
            for (size_t g = groups.size(); g-- > ending;)
                printBand(indexOf(m_comps[size_t(groups[g])].footerBand));
            if (!end)
                cursor.next();
        }
        previous = keys;
    }
}

void Run::printSubDetail(int subDetail) {
    const Component& s = m_comps[size_t(subDetail)];
    if (!s.enabled)
        return;
    table::Table& cursor = m_data->cursor(s.dataset);
    const bool empty = cursor.isEmpty();
    if (empty && !s.printIfEmpty)
        return;
    printBand(indexOf(s.headerBand));
    if (empty) {
        m_data->setBlank(s.dataset, true);
        printBand(subDetail);
        m_data->setBlank(s.dataset, false);
    } else {
        printRows(subDetail, s.dataset, false);
    }
    printBand(indexOf(s.footerBand));
}

} // namespace

Document paginate(const Report& report) {
    Run run(report);
    return run.execute();
}

} // namespace report
