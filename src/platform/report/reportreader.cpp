#include "platform/report/reportreader.h"

#include "platform/errors.h"
#include "platform/report/expression.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <algorithm>
#include <cmath>

namespace report {
namespace {

class Reader;

// One JSON object whose keys are checked: each read marks its key, finish()
// rejects the rest.
class Obj {
public:
    Obj(const Reader& reader, QJsonObject object, QString element)
        : m_reader(reader), m_obj(std::move(object)), m_element(std::move(element)) {}

    [[noreturn]] void fail(const QString& what) const;
    const QString& element() const { return m_element; }
    void setElement(const QString& element) { m_element = element; }
    bool has(const char* key) const { return m_obj.contains(QLatin1String(key)); }

    QJsonValue take(const char* key) {
        m_used.insert(QLatin1String(key));
        return m_obj.value(QLatin1String(key));
    }
    QString string(const char* key, const QString& fallback = {}) {
        const QJsonValue v = take(key);
        if (v.isUndefined())
            return fallback;
        if (!v.isString())
            fail(QStringLiteral("\"%1\" muss ein Text sein").arg(QLatin1String(key)));
        return v.toString();
    }
    QString requiredString(const char* key) {
        const QString value = string(key);
        if (value.isEmpty())
            fail(QStringLiteral("\"%1\" fehlt").arg(QLatin1String(key)));
        return value;
    }
    bool boolean(const char* key, bool fallback) {
        const QJsonValue v = take(key);
        if (v.isUndefined())
            return fallback;
        if (!v.isBool())
            fail(QStringLiteral("\"%1\" muss true oder false sein").arg(QLatin1String(key)));
        return v.toBool();
    }
    double number(const char* key, double fallback) {
        const QJsonValue v = take(key);
        if (v.isUndefined())
            return fallback;
        if (!v.isDouble())
            fail(QStringLiteral("\"%1\" muss eine Zahl sein").arg(QLatin1String(key)));
        return v.toDouble();
    }
    int integer(const char* key, int fallback) {
        const double d = number(key, fallback);
        if (d != std::floor(d) || std::fabs(d) > 1e9)
            fail(QStringLiteral("\"%1\" muss eine ganze Zahl sein").arg(QLatin1String(key)));
        return int(d);
    }
    QStringList strings(const char* key) {
        const QJsonValue v = take(key);
        if (v.isUndefined())
            return {};
        QStringList out;
        if (v.isArray()) {
            for (const QJsonValue& item : v.toArray()) {
                if (!item.isString())
                    fail(QStringLiteral("\"%1\" muss eine Liste von Texten sein")
                             .arg(QLatin1String(key)));
                out.append(item.toString());
            }
            return out;
        }
        fail(QStringLiteral("\"%1\" muss eine Liste von Texten sein").arg(QLatin1String(key)));
    }
    QJsonArray array(const char* key) {
        const QJsonValue v = take(key);
        if (v.isUndefined())
            return {};
        if (!v.isArray())
            fail(QStringLiteral("\"%1\" muss eine Liste sein").arg(QLatin1String(key)));
        return v.toArray();
    }
    Obj object(const char* key) {
        const QJsonValue v = take(key);
        if (!v.isUndefined() && !v.isObject())
            fail(QStringLiteral("\"%1\" muss ein Objekt sein").arg(QLatin1String(key)));
        return Obj(m_reader, v.toObject(), m_element);
    }
    QColor color(const char* key, const QColor& fallback) {
        if (!has(key)) {
            take(key);
            return fallback;
        }
        const QString text = string(key);
        const QColor c = QColor::fromString(text);
        if (!c.isValid())
            fail(QStringLiteral("\"%1\" ist keine Farbe").arg(text));
        return c;
    }
    template <typename E, size_t N>
    E word(const char* key, const std::pair<const char*, E> (&words)[N], E fallback) {
        if (!has(key)) {
            take(key);
            return fallback;
        }
        const QString text = string(key);
        for (const auto& w : words) {
            if (text == QLatin1String(w.first))
                return w.second;
        }
        fail(QStringLiteral("\"%1\" ist für \"%2\" nicht zulässig").arg(text, QLatin1String(key)));
    }
    void finish() const {
        for (auto it = m_obj.begin(); it != m_obj.end(); ++it) {
            if (!m_used.contains(it.key()))
                fail(QStringLiteral("unbekannter Eintrag \"%1\"").arg(it.key()));
        }
    }

private:
    const Reader& m_reader;
    QJsonObject m_obj;
    QString m_element;
    QSet<QString> m_used;
};

constexpr std::pair<const char*, BandType> kBandTypes[] = {
    {"pageHeader", BandType::PageHeader},     {"title", BandType::Title},
    {"columnHeader", BandType::ColumnHeader}, {"detail", BandType::Detail},
    {"summary", BandType::Summary},           {"pageFooter", BandType::PageFooter},
    {"groupHeader", BandType::GroupHeader},   {"groupFooter", BandType::GroupFooter},
};
constexpr std::pair<const char*, Alignment> kAlignments[] = {
    {"left", Alignment::Left}, {"right", Alignment::Right}, {"center", Alignment::Center}};
constexpr std::pair<const char*, SysDataKind> kSysData[] = {
    {"date", SysDataKind::Date},           {"time", SysDataKind::Time},
    {"dateTime", SysDataKind::DateTime},   {"pageNumber", SysDataKind::PageNumber},
    {"pageCount", SysDataKind::PageCount}, {"reportTitle", SysDataKind::ReportTitle},
    {"detailNo", SysDataKind::DetailNo},   {"detailCount", SysDataKind::DetailCount},
};
constexpr std::pair<const char*, ShapeKind> kShapes[] = {
    {"rectangle", ShapeKind::Rectangle},       {"circle", ShapeKind::Circle},
    {"horLine", ShapeKind::HorLine},           {"vertLine", ShapeKind::VertLine},
    {"topAndBottom", ShapeKind::TopAndBottom}, {"rightAndLeft", ShapeKind::RightAndLeft},
};
constexpr std::pair<const char*, int> kPenStyles[] = {
    {"psSolid", psSolid},
    {"psDash", psDash},
    {"psDot", psDot},
    {"psDashDot", psDashDot},
    {"psDashDotDot", psDashDotDot},
    {"psClear", psClear},
    {"psInsideFrame", psInsideFrame},
};
constexpr const char* kFieldTypes[] = {"String",  "Smallint", "Integer", "Float",    "Currency",
                                       "Boolean", "Date",     "Time",    "DateTime", "Memo"};

class Reader {
public:
    explicit Reader(QString fileName) : m_file(std::move(fileName)) {}

    [[noreturn]] void fail(const QString& element, const QString& what) const {
        if (element.isEmpty())
            throw DbError(
                QStringLiteral("Fehler in der Berichtsdefinition \"%1\": %2").arg(m_file, what));
        throw DbError(QStringLiteral("Fehler in der Berichtsdefinition \"%1\", %2: %3")
                          .arg(m_file, element, what));
    }

    ReportDefinition read(const QByteArray& json) {
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
        if (error.error != QJsonParseError::NoError)
            fail({}, QStringLiteral("kein gültiges JSON (%1 an Stelle %2)")
                         .arg(error.errorString())
                         .arg(error.offset));
        if (!doc.isObject())
            fail({}, QStringLiteral("die Datei muss ein JSON-Objekt enthalten"));
        Obj top(*this, doc.object(), {});
        ReportDefinition def;
        def.className = top.requiredString("class");
        def.title = top.string("title");
        def.landscape =
            top.word<bool>("orientation", {{"portrait", false}, {"landscape", true}}, false);
        Obj margins = top.object("margins");
        def.marginLeft = margins.number("left", def.marginLeft);
        def.marginTop = margins.number("top", def.marginTop);
        def.marginRight = margins.number("right", def.marginRight);
        def.marginBottom = margins.number("bottom", def.marginBottom);
        margins.finish();
        Obj options = top.object("options");
        def.options.firstPageHeader = options.boolean("firstPageHeader", true);
        def.options.lastPageFooter = options.boolean("lastPageFooter", true);
        def.options.printIfEmpty = options.boolean("printIfEmpty", true);
        options.finish();
        Obj font = top.object("font");
        def.font = readFont(font, FontSpec{});
        font.finish();
        def.dataset = top.string("dataset");
        def.beforePrint = top.string("beforePrint");
        for (const QJsonValue& v : top.array("datasets"))
            def.datasets.append(readDataset(
                asObject(v, QStringLiteral("Datenmenge"), QStringLiteral("jede Datenmenge"))));
        for (const QJsonValue& v : top.array("bands"))
            readBand(asObject(v, QStringLiteral("Band"), QStringLiteral("jedes Band")), def);
        top.finish();
        check(def);
        return def;
    }

private:
    // `entry` names the kind of list entry in messages ("jedes Band").
    Obj asObject(const QJsonValue& v, const QString& element, const QString& entry) const {
        if (!v.isObject())
            fail({}, QStringLiteral("%1 muss ein Objekt sein").arg(entry));
        return Obj(*this, v.toObject(), element);
    }

    static FontSpec readFont(Obj& o, FontSpec base) {
        base.name = o.string("name", base.name);
        base.size = o.number("size", base.size);
        base.bold = o.boolean("bold", base.bold);
        base.italic = o.boolean("italic", base.italic);
        base.underline = o.boolean("underline", base.underline);
        base.strikeOut = o.boolean("strikeOut", base.strikeOut);
        base.color = o.color("color", base.color);
        return base;
    }

    DatasetDef readDataset(Obj o) {
        DatasetDef d;
        d.name = o.requiredString("name");
        o.setElement(QStringLiteral("Datenmenge ") + d.name);
        d.alias = o.string("alias", d.alias);
        d.table = o.requiredString("table");
        d.index = o.string("index");
        d.filter = o.string("filter");
        d.filtered = o.boolean("filtered", !d.filter.isEmpty());
        const QJsonArray range = o.array("range");
        if (!range.isEmpty()) {
            if (range.size() != 2)
                o.fail(QStringLiteral("\"range\" braucht Anfang und Ende"));
            d.hasRange = true;
            d.rangeFrom = range[0].toVariant();
            d.rangeTo = range[1].toVariant();
        }
        d.master = o.string("master");
        d.masterFields = o.strings("masterFields");
        d.detailFields = o.strings("detailFields");
        if (d.masterFields.size() != d.detailFields.size() ||
            (!d.master.isEmpty() && d.masterFields.isEmpty()))
            o.fail(QStringLiteral(
                "\"masterFields\" und \"detailFields\" müssen gleich viele Felder nennen"));
        for (const QJsonValue& v : o.array("lookups")) {
            if (!v.isObject())
                o.fail(QStringLiteral("jede Verknüpfung muss ein Objekt sein"));
            Obj l(*this, v.toObject(), o.element());
            LookupDef lookup;
            lookup.name = l.requiredString("name");
            lookup.alias = l.string("alias");
            lookup.table = l.requiredString("table");
            lookup.keyFields = l.strings("keyFields");
            lookup.lookupKeys = l.strings("lookupKeys");
            lookup.resultField = l.requiredString("result");
            l.finish();
            if (lookup.keyFields.isEmpty() || lookup.keyFields.size() != lookup.lookupKeys.size())
                o.fail(QStringLiteral("Verknüpfung %1: \"keyFields\" und \"lookupKeys\" müssen "
                                      "gleich viele Felder nennen")
                           .arg(lookup.name));
            d.lookups.append(lookup);
        }
        for (const QJsonValue& v : o.array("calculated")) {
            if (!v.isObject())
                o.fail(QStringLiteral("jedes berechnete Feld muss ein Objekt sein"));
            Obj f(*this, v.toObject(), o.element());
            CalcFieldDef calc;
            calc.name = f.requiredString("name");
            calc.type = f.requiredString("type");
            calc.size = f.integer("size", calc.type == u"String" ? 255 : 0);
            f.finish();
            if (std::find_if(std::begin(kFieldTypes), std::end(kFieldTypes), [&](const char* t) {
                    return calc.type == QLatin1String(t);
                }) == std::end(kFieldTypes))
                o.fail(QStringLiteral("unbekannter Feldtyp \"%1\"").arg(calc.type));
            d.calculated.append(calc);
        }
        d.onCalcFields = o.string("onCalcFields");
        o.finish();
        return d;
    }

    void readCommon(Obj& o, Component& c, const FontSpec& baseFont) {
        c.enabled = o.boolean("enabled", true);
        c.left = o.integer("left", 0);
        c.top = o.integer("top", 0);
        c.width = o.integer("width", 0);
        c.height = o.integer("height", 0);
        c.transparent = o.boolean("transparent", !o.has("color"));
        c.color = o.color("color", Qt::white);
        c.tag = o.integer("tag", 0);
        Obj frame = o.object("frame");
        c.frame.color = frame.color("color", Qt::black);
        c.frame.top = frame.boolean("top", false);
        c.frame.bottom = frame.boolean("bottom", false);
        c.frame.left = frame.boolean("left", false);
        c.frame.right = frame.boolean("right", false);
        c.frame.style = frame.word<int>("style", kPenStyles, psSolid);
        c.frame.width = frame.integer("width", 1);
        frame.finish();
        Obj font = o.object("font");
        c.font = readFont(font, baseFont);
        font.finish();
    }

    void readBand(Obj o, ReportDefinition& def) {
        Component b;
        b.name = o.requiredString("name");
        o.setElement(QStringLiteral("Band ") + b.name);
        readComponentClass(o, b);
        if (!isBand(b.cls))
            o.fail(QStringLiteral("%1 ist keine Bandklasse").arg(className(b.cls)));
        readCommon(o, b, def.font);
        if (b.cls == ComponentClass::Band) {
            if (!o.has("type"))
                o.fail(QStringLiteral("\"type\" fehlt"));
            b.bandType = o.word<BandType>("type", kBandTypes, BandType::Detail);
        }
        b.parentBand = o.string("parentBand");
        b.bandMaster = o.string("master");
        b.expression = o.string("expression");
        b.headerBand = o.string("header");
        b.footerBand = o.string("footer");
        b.dataset = o.string("dataset");
        b.forceNewPage = o.boolean("forceNewPage", false);
        b.keepWithFirst = o.boolean("keepWithFirst", false);
        b.printIfEmpty = o.boolean("printIfEmpty", false);
        b.beforePrint = o.string("beforePrint");
        b.afterPrint = o.string("afterPrint");
        const QJsonArray controls = o.array("controls");
        o.finish();
        def.components.append(b);
        for (const QJsonValue& v : controls)
            def.components.append(
                readControl(asObject(v, QStringLiteral("Element"), QStringLiteral("jedes Element")),
                            b.name, b.font));
    }

    static void readComponentClass(Obj& o, Component& c) {
        const QString cls = o.requiredString("class");
        if (!classOfName(cls, &c.cls))
            o.fail(QStringLiteral("unbekannte Klasse \"%1\"").arg(cls));
    }

    Component readControl(Obj o, const QString& band, const FontSpec& baseFont) {
        Component c;
        c.name = o.requiredString("name");
        o.setElement(QStringLiteral("Element ") + c.name);
        readComponentClass(o, c);
        if (!isPrintable(c.cls))
            o.fail(QStringLiteral("ein Band (%1) kann nicht auf einem Band liegen")
                       .arg(className(c.cls)));
        c.parent = band;
        readCommon(o, c, baseFont);
        c.alignment = o.word<Alignment>("alignment", kAlignments, Alignment::Left);
        c.wordWrap = o.boolean("wordWrap", false);
        c.autoStretch = o.boolean("autoStretch", false);
        c.caption = o.string("caption");
        c.dataset = o.string("dataset");
        c.field = o.string("field");
        c.mask = o.string("mask");
        c.center = o.boolean("center", false);
        c.stretch = o.boolean("stretch", false);
        c.sysData = o.word<SysDataKind>("sysData", kSysData, SysDataKind::Date);
        c.expression = o.string("expression");
        c.master = o.string("master");
        c.resetAfterPrint = o.boolean("resetAfterPrint", false);
        c.shape = o.word<ShapeKind>("shape", kShapes, ShapeKind::Rectangle);
        c.onPrint = o.string("onPrint");
        const QString picture = o.string("picture");
        o.finish();
        if (!picture.isEmpty()) {
            QImage image(picture);
            if (image.isNull())
                o.fail(QStringLiteral("das Bild \"%1\" kann nicht gelesen werden").arg(picture));
            c.picture = image;
        }
        return c;
    }

    void check(const ReportDefinition& def) const;

    QString m_file;
};

[[noreturn]] void Obj::fail(const QString& what) const {
    m_reader.fail(m_element, what);
}

void Reader::check(const ReportDefinition& def) const {
    QHash<QString, const Component*> byName;
    const Component* detail = nullptr;
    for (const Component& c : def.components) {
        if (c.name.isEmpty())
            fail({}, QStringLiteral("ein Element hat keinen Namen"));
        if (byName.contains(c.name.toLower()))
            fail(QStringLiteral("Element ") + c.name, QStringLiteral("der Name ist doppelt"));
        byName.insert(c.name.toLower(), &c);
        if (c.cls == ComponentClass::Band && c.bandType == BandType::Detail) {
            if (detail)
                fail(QStringLiteral("Band ") + c.name,
                     QStringLiteral("es gibt schon ein Detailband"));
            detail = &c;
        }
    }
    QHash<QString, const DatasetDef*> datasets;
    for (const DatasetDef& d : def.datasets) {
        if (datasets.contains(d.name.toLower()))
            fail(QStringLiteral("Datenmenge ") + d.name, QStringLiteral("der Name ist doppelt"));
        datasets.insert(d.name.toLower(), &d);
    }
    for (const DatasetDef& d : def.datasets) {
        const QString element = QStringLiteral("Datenmenge ") + d.name;
        QSet<QString> seen{d.name.toLower()};
        for (QString m = d.master; !m.isEmpty();) {
            if (!datasets.contains(m.toLower()))
                fail(element, QStringLiteral("die Datenmenge \"%1\" fehlt").arg(m));
            if (seen.contains(m.toLower()))
                fail(element, QStringLiteral("die Verknüpfung ist ringförmig"));
            seen.insert(m.toLower());
            m = datasets.value(m.toLower())->master;
        }
    }
    if (!def.dataset.isEmpty() && !datasets.contains(def.dataset.toLower()))
        fail({}, QStringLiteral("die Datenmenge \"%1\" fehlt").arg(def.dataset));

    auto band = [&](const Component& c, const QString& name, const QString& role) {
        const Component* b = byName.value(name.toLower());
        if (!b || !isBand(b->cls))
            fail(QStringLiteral("Band ") + c.name,
                 QStringLiteral("%1 \"%2\" ist kein Band").arg(role, name));
        return b;
    };
    auto linkedBand = [&](const Component& c, const QString& name, BandType type,
                          const QString& role) {
        if (name.isEmpty())
            return;
        const Component* b = band(c, name, role);
        if (b->cls != ComponentClass::Band || b->bandType != type)
            fail(QStringLiteral("Band ") + c.name,
                 QStringLiteral("%1 \"%2\" hat nicht die passende Art").arg(role, name));
    };
    auto rowBand = [&](const Component& c) {
        if (c.bandMaster.isEmpty()) {
            if (!detail)
                fail(QStringLiteral("Band ") + c.name,
                     QStringLiteral("der Bericht hat kein Detailband"));
            return;
        }
        const Component* b = band(c, c.bandMaster, QStringLiteral("\"master\""));
        if (b != detail && b->cls != ComponentClass::SubDetail)
            fail(QStringLiteral("Band ") + c.name,
                 QStringLiteral("\"master\" muss das Detailband oder ein Unterdetailband sein"));
    };
    auto dataset = [&](const Component& c, const QString& element) {
        const QString name = c.dataset.isEmpty() ? def.dataset : c.dataset;
        if (name.isEmpty())
            fail(element, QStringLiteral("keine Datenmenge angegeben"));
        if (!datasets.contains(name.toLower()))
            fail(element, QStringLiteral("die Datenmenge \"%1\" fehlt").arg(name));
    };
    auto expression = [&](const QString& text, const QString& element) {
        try {
            Expression::parse(text);
        } catch (const DbError& e) {
            fail(element, e.message());
        }
    };
    for (const Component& c : def.components) {
        const QString element =
            (isBand(c.cls) ? QStringLiteral("Band ") : QStringLiteral("Element ")) + c.name;
        switch (c.cls) {
        case ComponentClass::ChildBand: {
            if (c.parentBand.isEmpty())
                fail(element, QStringLiteral("\"parentBand\" fehlt"));
            QSet<const Component*> seen{&c};
            for (const Component* p = band(c, c.parentBand, QStringLiteral("\"parentBand\""));
                 p->cls == ComponentClass::ChildBand;
                 p = band(*p, p->parentBand, QStringLiteral("\"parentBand\""))) {
                if (seen.contains(p))
                    fail(element, QStringLiteral("die Verknüpfung ist ringförmig"));
                seen.insert(p);
            }
            break;
        }
        case ComponentClass::Group:
            if (c.expression.trimmed().isEmpty())
                fail(element, QStringLiteral("\"expression\" fehlt"));
            expression(c.expression, element);
            rowBand(c);
            linkedBand(c, c.footerBand, BandType::GroupFooter, QStringLiteral("\"footer\""));
            break;
        case ComponentClass::SubDetail:
            if (c.dataset.isEmpty())
                fail(element, QStringLiteral("\"dataset\" fehlt"));
            dataset(c, element);
            rowBand(c);
            if (byName.value(c.bandMaster.toLower()) == &c)
                fail(element, QStringLiteral("\"master\" darf nicht das Band selbst sein"));
            linkedBand(c, c.headerBand, BandType::GroupHeader, QStringLiteral("\"header\""));
            linkedBand(c, c.footerBand, BandType::GroupFooter, QStringLiteral("\"footer\""));
            break;
        case ComponentClass::DBText:
        case ComponentClass::DBRichText:
            if (c.field.isEmpty())
                fail(element, QStringLiteral("\"field\" fehlt"));
            dataset(c, element);
            break;
        case ComponentClass::Expr:
            expression(c.expression, element);
            if (!c.master.isEmpty())
                band(c, c.master, QStringLiteral("\"master\""));
            break;
        default:
            break;
        }
    }
}

struct Registry {
    QList<ReportSource> pending;
    QHash<QString, std::shared_ptr<const ReportDefinition>> byClass;
};

Registry& registry() {
    static Registry r;
    return r;
}

QList<ReportText> directoryTexts(const QString& directory) {
    const QDir dir(directory);
    QList<ReportText> texts;
    for (const QString& name : dir.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            throw DbError(QStringLiteral("Die Berichtsdefinition \"%1\" kann nicht gelesen werden.")
                              .arg(file.fileName()));
        texts.append({name, file.readAll()});
    }
    return texts;
}

Registry& loadedRegistry() {
    Registry& r = registry();
    while (!r.pending.isEmpty()) {
        const ReportSource source = r.pending.takeFirst();
        for (const ReportText& text : source()) {
            auto def = std::make_shared<ReportDefinition>(readReportDefinition(text.json, text.name));
            if (r.byClass.contains(def->className.toLower()))
                throw DbError(QStringLiteral("Der Bericht %1 ist doppelt definiert (\"%2\").")
                                  .arg(def->className, text.name));
            r.byClass.insert(def->className.toLower(), def);
        }
    }
    return r;
}

} // namespace

ReportDefinition readReportDefinition(const QByteArray& json, const QString& fileName) {
    return Reader(fileName).read(json);
}

void addReportDirectory(const QString& directory) {
    addReportSource([directory] { return directoryTexts(directory); });
}

void addReportSource(ReportSource source) {
    registry().pending.append(std::move(source));
}

bool hasReportDefinition(const QString& className) {
    return loadedRegistry().byClass.contains(className.toLower());
}

std::shared_ptr<const ReportDefinition> reportDefinition(const QString& className) {
    const Registry& r = loadedRegistry();
    auto it = r.byClass.constFind(className.toLower());
    if (it == r.byClass.constEnd())
        throw DbError(QStringLiteral("Der Bericht %1 ist nicht definiert.").arg(className));
    return *it;
}

} // namespace report
