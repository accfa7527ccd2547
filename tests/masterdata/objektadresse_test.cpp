#include "core/messages/messagecatalog.h"
#include "masterdata/adressrec.h"
#include "masterdata/objektadresse.h"
#include "objektfixture.h"

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

const QStringList kLines = {u"Name1"_s, u"Name2"_s, u"Name3"_s, u"Strasse"_s, u"Plz"_s, u"Ort"_s};

class ObjektAdresse : public masterdatatest::ObjektFixture {
protected:
    void SetUp() override {
        ObjektFixture::SetUp();
        addRow(u"Kunden.DB"_s, withLines({{u"K_ID"_s, 7}, {u"K_Nr"_s, 100}}, u"K_"_s, u"Kunde"_s));
        addRow(u"Adress.DB"_s, withLines({{u"A_ID"_s, 3}, {u"A_Nr"_s, 40}}, u"A_"_s, u"Adresse"_s));
        addRow(
            u"Objekte.DB"_s,
            withLines({{u"O_ID"_s, 1}, {u"O_Nr"_s, 10}, {u"O_Kunde"_s, 100}, {u"O_Aktiv"_s, true}},
                      u"O_"_s, u"Objekt"_s));
        addObjekt(2, 20, 0);
        addObjekt(3, 30, 555);
    }
    // The search name and the six lines as "<who> 1" ... under the prefix.
    static QList<std::pair<QString, QVariant>> withLines(QList<std::pair<QString, QVariant>> values,
                                                         const QString& prefix,
                                                         const QString& who) {
        values.append(std::pair<QString, QVariant>(prefix + u"Match"_s, who.toUpper()));
        const QStringList texts = linesOf(who);
        for (int i = 0; i < kLines.size(); ++i)
            values.append(std::pair<QString, QVariant>(prefix + kLines[i], texts[i]));
        return values;
    }
    QStringList lines(table::Table& t, const QString& prefix) {
        QStringList values;
        for (const QString& line : kLines)
            values << t.field(prefix + line).asStringOr(QString());
        return values;
    }
    QStringList storedLines(int objektNr, const QString& prefix) {
        auto t = open(u"Objekte.DB"_s);
        EXPECT_TRUE(t->locate({u"O_Nr"_s}, {objektNr}));
        return lines(*t, prefix);
    }
    static QStringList linesOf(const QString& who) {
        QStringList values;
        for (int i = 1; i <= kLines.size(); ++i)
            values << who + u' ' + QString::number(i);
        return values;
    }
    const QStringList empty = QStringList(6, QString());
};

TEST_F(ObjektAdresse, TheCustomersAddressGoesIntoTheBillingOrTheObjectsOwnAddressUnposted) {
    for (const QString& prefix : {u"O_Rg"_s, u"O_"_s}) {
        SCOPED_TRACE(prefix.toStdString());
        table::Table& t = objekt(10);
        const QStringList before = storedLines(10, prefix);
        EXPECT_TRUE(CopyAddressIntoObjekt(t, ObjektAddressSource::Kunde, prefix));
        EXPECT_TRUE(t.isEditing());
        EXPECT_EQ(lines(t, prefix), linesOf(u"Kunde"_s));
        EXPECT_EQ(t.field(u"O_Match"_s).asString(), u"OBJEKT"_s) << "the search name stays";
        EXPECT_EQ(storedLines(10, prefix), before) << "nothing is posted";
        t.cancel();
    }
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

TEST_F(ObjektAdresse, AMissingCustomerOrAddressIsToldAndChangesNothing) {
    const struct {
        int objektNr;
        ObjektAddressSource source;
        int adressNr;
        QString text;
    } cases[] = {
        {20, ObjektAddressSource::Kunde, 0, u"Dem Objekt ist kein Kunde zugewiesen!"_s},
        {30, ObjektAddressSource::Kunde, 0, u"Es wurden keine Kundendaten gefunden!"_s},
        {10, ObjektAddressSource::Adresse, 41, u"Es wurden keine Adressdaten gefunden!"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        presenter.boxes.clear();
        table::Table& t = objekt(c.objektNr);
        EXPECT_FALSE(CopyAddressIntoObjekt(t, c.source, u"O_Rg"_s, c.adressNr));
        EXPECT_EQ(presenter.texts(Kind::Error), QStringList{c.text});
        EXPECT_FALSE(t.isEditing());
    }
    EXPECT_EQ(LoadMessage(64746), u"Es wurden keine Kundendaten gefunden!"_s);
    EXPECT_EQ(LoadMessage(64745), u"Es wurden keine Adressdaten gefunden!"_s);
}

TEST_F(ObjektAdresse, TheObjectsOwnAddressWithItsPendingChangeGoesIntoTheBillingAddress) {
    table::Table& t = objekt(10);
    t.edit();
    t.field(u"O_Ort"_s).setValue(u"Neustadt"_s);
    EXPECT_TRUE(CopyAddressIntoObjekt(t, ObjektAddressSource::Objekt, u"O_Rg"_s));
    QStringList expected = linesOf(u"Objekt"_s);
    expected.last() = u"Neustadt"_s;
    EXPECT_EQ(lines(t, u"O_Rg"_s), expected);
    EXPECT_TRUE(t.isEditing());
    t.cancel();
    EXPECT_EQ(storedLines(10, u"O_Rg"_s), empty);
}

TEST_F(ObjektAdresse, AnAddressOfTheAddressBookGoesIntoTheBillingAddress) {
    table::Table& t = objekt(10);
    EXPECT_TRUE(CopyAddressIntoObjekt(t, ObjektAddressSource::Adresse, u"O_Rg"_s, 40));
    EXPECT_EQ(lines(t, u"O_Rg"_s), linesOf(u"Adresse"_s));
    t.post();
    EXPECT_EQ(storedLines(10, u"O_Rg"_s), linesOf(u"Adresse"_s));
}

TEST_F(ObjektAdresse, AddressNumbersAndKeysConvertBothWays) {
    EXPECT_EQ(AdressIDOfNr(40), 3);
    EXPECT_EQ(AdressNrOfID(3), 40);
    EXPECT_EQ(AdressIDOfNr(41), 0);
    EXPECT_EQ(AdressNrOfID(4), 0);
}

TEST_F(ObjektAdresse, AddressRecordsAreReadAndWrittenByKey) {
    auto objects = open(u"Objekte.DB"_s);
    TAdressRec rec;
    ASSERT_TRUE(ReadAdressRec(*objects, 2, u"O_ID"_s, rec, u"O_"_s));
    EXPECT_EQ(rec.Match, QString()) << "null reads as empty";
    EXPECT_EQ(rec.Ort, QString());
    ASSERT_TRUE(ReadAdressRec(*objects, 1, u"O_ID"_s, rec, u"O_"_s));
    EXPECT_EQ(rec.Match, u"OBJEKT"_s);
    EXPECT_EQ(rec.Name3, u"Objekt 3"_s);

    const TAdressRec kept = rec;
    EXPECT_FALSE(ReadAdressRec(*objects, 99, u"O_ID"_s, rec, u"O_"_s));
    EXPECT_EQ(rec.Name1, kept.Name1) << "left unchanged when not found";
    EXPECT_FALSE(WriteAdressRec(*objects, 99, u"O_ID"_s, rec, true, u"O_Rg"_s));

    rec.Match = u"ANDERS"_s;
    ASSERT_TRUE(WriteAdressRec(*objects, 2, u"O_ID"_s, rec, true, u"O_"_s));
    EXPECT_FALSE(objects->isEditing());
    EXPECT_EQ(storedLines(20, u"O_"_s), linesOf(u"Objekt"_s));
    EXPECT_EQ(objects->field(u"O_Match"_s).asStringOr(QString()), QString());
}

} // namespace
