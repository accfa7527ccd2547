#include "printing/listdescription.h"

#include "platform/errors.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

using namespace Qt::StringLiterals;

namespace {

const QString kDefaultPrintDate = u"dd.mm.yyyy hh:nn' Uhr'"_s;

// One JSON object whose keys are each read once; finish() names a key that
// nothing read, so a misspelt key never goes unnoticed.
class Obj {
public:
    Obj(const QJsonValue& value, QString file, QString element)
        : m_file(std::move(file)), m_element(std::move(element)) {
        if (!value.isObject())
            fail(u"ein Objekt wird erwartet"_s);
        m_obj = value.toObject();
    }

    [[noreturn]] void fail(const QString& what) const {
        throw DbError(
            u"Fehler in der Listenbeschreibung \"%1\", %2: %3"_s.arg(m_file, m_element, what));
    }
    const QString& file() const { return m_file; }
    const QString& element() const { return m_element; }

    QJsonValue take(const char* key) {
        m_read.insert(QLatin1String(key));
        return m_obj.value(QLatin1String(key));
    }
    bool has(const char* key) const { return m_obj.contains(QLatin1String(key)); }

    QString string(const char* key, const QString& fallback = {}) {
        const QJsonValue v = take(key);
        if (v.isUndefined())
            return fallback;
        if (!v.isString())
            fail(u"\"%1\" muss ein Text sein"_s.arg(QLatin1String(key)));
        return v.toString();
    }
    QString required(const char* key) {
        if (!has(key))
            fail(u"\"%1\" fehlt"_s.arg(QLatin1String(key)));
        return string(key);
    }
    bool boolean(const char* key) {
        const QJsonValue v = take(key);
        if (v.isUndefined())
            return false;
        if (!v.isBool())
            fail(u"\"%1\" muss true oder false sein"_s.arg(QLatin1String(key)));
        return v.toBool();
    }
    double number(const char* key) {
        const QJsonValue v = take(key);
        if (v.isUndefined())
            return 0;
        if (!v.isDouble() || v.toDouble() < 0)
            fail(u"\"%1\" muss eine Zahl ab 0 sein"_s.arg(QLatin1String(key)));
        return v.toDouble();
    }
    QJsonArray array(const char* key) {
        const QJsonValue v = take(key);
        if (v.isUndefined())
            return {};
        if (!v.isArray())
            fail(u"\"%1\" muss eine Liste sein"_s.arg(QLatin1String(key)));
        return v.toArray();
    }
    QStringList strings(const char* key) {
        QStringList out;
        for (const QJsonValue& v : array(key)) {
            if (!v.isString())
                fail(u"\"%1\" muss eine Liste von Texten sein"_s.arg(QLatin1String(key)));
            out << v.toString();
        }
        return out;
    }
    Obj object(const char* key, const QString& element) { return Obj(take(key), m_file, element); }
    void finish() const {
        for (auto it = m_obj.begin(); it != m_obj.end(); ++it) {
            if (!m_read.contains(it.key()))
                fail(u"unbekannter Eintrag \"%1\""_s.arg(it.key()));
        }
    }

private:
    QJsonObject m_obj;
    QString m_file;
    QString m_element;
    QSet<QString> m_read;
};

ListItem readItem(const QJsonValue& value, const Obj& parent) {
    Obj o(value, parent.file(), parent.element());
    ListItem item;
    item.caption = o.string("caption");
    item.field = o.string("field");
    item.dataset = o.string("dataset");
    item.width = o.number("width");
    item.captionWidth = o.number("captionWidth");
    const QString kind = o.string("kind", u"text"_s);
    if (kind == u"text")
        item.kind = ListItem::Kind::Text;
    else if (kind == u"wrap")
        item.kind = ListItem::Kind::Wrap;
    else if (kind == u"rich")
        item.kind = ListItem::Kind::Rich;
    else
        o.fail(u"\"kind\" muss text, wrap oder rich sein"_s);
    item.align = o.string("align", item.align);
    if (item.align != u"left" && item.align != u"right" && item.align != u"center")
        o.fail(u"\"align\" muss left, right oder center sein"_s);
    item.mask = o.string("mask");
    item.bold = o.boolean("bold");
    item.optional = o.boolean("optional");
    item.captionOptional = o.boolean("captionOptional");
    o.finish();
    if (item.field.isEmpty() && item.caption.isEmpty())
        o.fail(u"ein Eintrag braucht \"field\" oder \"caption\""_s);
    return item;
}

QList<ListItem> readItems(const QJsonArray& array, const Obj& parent) {
    QList<ListItem> items;
    for (const QJsonValue& v : array)
        items << readItem(v, parent);
    return items;
}

QList<ListLine> readLines(const QJsonArray& array, const Obj& parent) {
    QList<ListLine> lines;
    for (const QJsonValue& v : array) {
        if (!v.isArray())
            parent.fail(u"jede Zeile muss eine Liste sein"_s);
        lines << readItems(v.toArray(), parent);
    }
    return lines;
}

ListDataset readDataset(Obj o) {
    ListDataset d;
    d.name = o.required("name");
    d.table = o.required("table");
    d.index = o.string("index");
    d.master = o.string("master");
    d.masterFields = o.strings("masterFields");
    d.detailFields = o.strings("detailFields");
    if (d.masterFields.size() != d.detailFields.size() ||
        d.master.isEmpty() != d.masterFields.isEmpty())
        o.fail(u"eine Verknüpfung braucht \"master\" und gleich viele Felder"_s);
    for (const QJsonValue& v : o.array("lookups")) {
        Obj l(v, o.file(), o.element());
        d.lookups << ListLookup{l.required("field"), l.required("table"), l.required("key"),
                                l.required("on")};
        l.finish();
    }
    o.finish();
    return d;
}

} // namespace

ListDescription ReadListDescription(const QByteArray& json, const QString& fileName) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (doc.isNull())
        throw DbError(u"Fehler in der Listenbeschreibung \"%1\": kein gültiges JSON (%2)"_s.arg(
            fileName, error.errorString()));
    Obj top(doc.object(), fileName, u"Liste"_s);
    ListDescription d;
    d.fileName = fileName;
    d.formType = int(top.number("formType"));
    d.className = top.required("class");
    d.reportTitle = top.required("reportTitle");
    d.title = top.string("title");
    d.printDate = top.string("printDate", kDefaultPrintDate);
    d.printTime = top.string("printTime");
    for (const QJsonValue& v : top.array("titleLabels")) {
        Obj l(v, fileName, u"titleLabels"_s);
        d.titleLabels << ListLabel{l.required("name"), l.string("caption")};
        l.finish();
    }
    d.titleLines = readLines(top.array("titleLines"), top);
    d.titleWidth = top.number("titleWidth");
    d.headInTitle = top.boolean("headInTitle");
    d.logo = top.boolean("logo");
    d.datasets << readDataset(top.object("dataset", u"dataset"_s));
    for (const QJsonValue& v : top.array("datasets"))
        d.datasets << readDataset(Obj(v, fileName, u"datasets"_s));
    if (top.has("screen")) {
        Obj s = top.object("screen", u"screen"_s);
        d.screenTable = s.required("table");
        d.screenCopy = s.strings("copy");
        for (const QString& what : d.screenCopy) {
            if (!QStringList{u"database"_s, u"tableName"_s, u"index"_s, u"filter"_s}.contains(what))
                s.fail(u"\"%1\" kann nicht übernommen werden"_s.arg(what));
        }
        s.finish();
    }
    d.columns = readLines(top.array("columns"), top);
    for (const QJsonValue& v : top.array("form")) {
        Obj s(v, fileName, u"form"_s);
        d.form << ListFormSection{s.string("heading"), readItems(s.array("items"), s)};
        s.finish();
    }
    d.optional = readItems(top.array("optional"), top);
    if (top.has("group")) {
        Obj g = top.object("group", u"group"_s);
        d.groupExpression = g.required("expression");
        d.groupLines = readLines(g.array("lines"), g);
        g.finish();
    }
    if (top.has("subDetail")) {
        Obj s = top.object("subDetail", u"subDetail"_s);
        d.subDataset = readDataset(s.object("dataset", u"subDetail.dataset"_s));
        d.subLines = readLines(s.array("lines"), s);
        d.subOptional = readItems(s.array("optional"), s);
        s.finish();
    }
    d.footer = readItems(top.array("footer"), top);
    for (const QJsonValue& v : top.array("spare")) {
        const QJsonArray range = v.toArray();
        if (range.size() != 2 || range[0].toInt() < 1 || range[1].toInt() < range[0].toInt())
            top.fail(u"\"spare\" braucht Bereiche [von, bis]"_s);
        for (int n = range[0].toInt(); n <= range[1].toInt(); ++n)
            d.spare << n;
    }
    top.finish();
    if (d.formType <= 0)
        top.fail(u"\"formType\" fehlt"_s);
    if (!d.columns.isEmpty() && !d.form.isEmpty())
        top.fail(u"\"columns\" und \"form\" schließen einander aus"_s);
    return d;
}
