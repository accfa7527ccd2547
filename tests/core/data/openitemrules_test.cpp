#include "core/data/openitemrules.h"
#include "core/messages/messagelist.h"
#include "platform/errors.h"
#include "recordrulesfixture.h"

#include <QDate>
#include <QSet>

namespace {

using datatest::kDb;
using datatest::RecordRules;
using Kind = MessagePresenter::Kind;

class OpenItemRules : public RecordRules {
protected:
    void SetUp() override {
        m_savedHooks = OpenItemFormHooksRegistry();
        m_savedFilter = OpFilterParams();
        OpFilterParams() = {};
        RecordRules::SetUp();
    }
    void TearDown() override {
        RecordRules::TearDown();
        OpenItemFormHooksRegistry() = m_savedHooks;
        OpFilterParams() = m_savedFilter;
    }
    // The document numbers the shared open-item object shows.
    QSet<QString> shownNumbers() {
        table::Table& t = shared(QStringLiteral("TabOposten"));
        QSet<QString> numbers;
        for (t.first(); !t.eof() && !t.isEmpty(); t.next())
            numbers.insert(t.field(QStringLiteral("R_Nr")).asString());
        return numbers;
    }
    int count(const QString& file, const QString& field, const QVariant& value) {
        return CountRecordsWithValue(kDb, file, field, value);
    }

private:
    OpenItemFormHooks m_savedHooks;
    TOpFilterParams m_savedFilter;
};

TEST_F(OpenItemRules, FilterModesChooseTheOpenItemsShown) {
    struct Row {
        const char* nr;
        QVariant settled, objekt, kunde, printed, objMatch, custMatch;
    } rows[] = {
        {"A", true, 10, 1, QDate(2024, 2, 1), QStringLiteral("Meier Str. 5"),
         QStringLiteral("Schulz")},
        {"B", false, 11, 2, QDate(2024, 2, 29), QStringLiteral("Hauptstr. 1"),
         QStringLiteral("Meierhof GmbH")},
        {"C", {}, 10, 2, QDate(2024, 1, 31), {}, QStringLiteral("Bauer")},
        {"D", false, 12, 3, QDate(2024, 3, 1), QStringLiteral("Ring 2"), {}},
        {"E", true, {}, {}, {}, {}, {}},
        {"F", false, 13, 4, QDate(2024, 12, 31), {}, {}},
        {"G", false, 13, 4, QDate(2025, 1, 1), {}, {}},
    };
    int id = 0;
    for (const Row& r : rows)
        addRow(QStringLiteral("OpKopf.DB"), {{QStringLiteral("R_ID"), ++id},
                                             {QStringLiteral("R_Nr"), QString::fromLatin1(r.nr)},
                                             {QStringLiteral("O_Erledigt"), r.settled},
                                             {QStringLiteral("R_ObjektNr"), r.objekt},
                                             {QStringLiteral("R_KundenNr"), r.kunde},
                                             {QStringLiteral("R_DatumDruck"), r.printed},
                                             {QStringLiteral("R_OMatch"), r.objMatch},
                                             {QStringLiteral("R_KMatch"), r.custMatch}});
    struct Case {
        const char* what;
        int mode, objekt, kunde, jahr, monat, matchKind;
        const char* text;
        QStringList shown;
    } cases[] = {
        {"no filter whatever the other fields hold",
         0,
         10,
         2,
         2024,
         2,
         3,
         "MEIER",
         {"A", "B", "C", "D", "E", "F", "G"}},
        {"unsettled, null counts unsettled", 1, 0, 0, 0, 0, 0, "", {"B", "C", "D", "F", "G"}},
        {"settled", 2, 0, 0, 0, 0, 0, "", {"A", "E"}},
        {"one object", 3, 10, 0, 0, 0, 0, "", {"A", "C"}},
        {"one customer", 4, 0, 2, 0, 0, 0, "", {"B", "C"}},
        {"February of a leap year, no print date accepted",
         5,
         0,
         0,
         2024,
         2,
         0,
         "",
         {"A", "B", "E"}},
        {"December ends on the 31st", 5, 0, 0, 2024, 12, 0, "", {"E", "F"}},
        {"no calendar month leaves the range open",
         5,
         0,
         0,
         2024,
         13,
         0,
         "",
         {"A", "B", "C", "D", "E", "F", "G"}},
        {"object search word", 99, 0, 0, 0, 0, 3, "MEIER", {"A"}},
        {"customer search word", 99, 0, 0, 0, 0, 1, "MEIER", {"B"}},
        {"any other mode", 7, 99, 99, 0, 0, 0, "", {"A", "B", "C", "D", "E", "F", "G"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetOpostenFilter(*dm, c.mode, c.objekt, c.kunde, c.jahr, c.monat, c.matchKind,
                         QString::fromLatin1(c.text));
        EXPECT_EQ(dm->TabOposten().isFiltered(), c.mode != 0);
        const QStringList expected = c.shown;
        EXPECT_EQ(shownNumbers(), QSet<QString>(expected.begin(), expected.end()));
    }
}

TEST_F(OpenItemRules, FilterMonthBoundsAndRangeErrors) {
    SetOpostenFilter(*dm, 5, 0, 0, 2024, 2, 0, {});
    EXPECT_EQ(DateOfDateTime(OpFilterParams().DateFrom), QDate(2024, 2, 1));
    EXPECT_EQ(DateOfDateTime(OpFilterParams().DateTo), QDate(2024, 2, 29));
    SetOpostenFilter(*dm, 5, 0, 0, 2023, 12, 0, {});
    EXPECT_EQ(DateOfDateTime(OpFilterParams().DateTo), QDate(2023, 12, 31));

    const std::pair<int, int> outOfRange[] = {{65536, 1}, {2024, 256}, {-1, 1}, {2024, -1}};
    for (const auto& [jahr, monat] : outOfRange) {
        SCOPED_TRACE(QStringLiteral("%1/%2").arg(jahr).arg(monat).toStdString());
        EXPECT_THROW(SetOpostenFilter(*dm, 1, 0, 0, jahr, monat, 0, {}), DbError);
        EXPECT_EQ(OpFilterParams().Mode, 5) << "the filter record stays as it was";
    }
    EXPECT_NO_THROW(SetOpostenFilter(*dm, 1, 0, 0, 65535, 255, 0, {}));
}

TEST_F(OpenItemRules, NewRecordsGetTheirKeysAndTheJournalItsKind) {
    addRow(QStringLiteral("OpKopf.DB"),
           {{QStringLiteral("R_ID"), 7}, {QStringLiteral("R_Nr"), QStringLiteral("X")}});
    struct Case {
        const char* table;
        const char* keyField;
        int key;
    } cases[] = {{"TabOposten", "R_ID", 8}, {"TabOErKopf", "R_ID", 1}, {"TabRAListe", "R_ID", 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        table::Table& t = shared(QString::fromLatin1(c.table));
        t.append();
        EXPECT_EQ(t.field(QString::fromLatin1(c.keyField)).asInteger(), c.key);
        t.cancel();
    }
    table::Table& journal = shared(QStringLiteral("TabRAListe"));
    journal.append();
    EXPECT_EQ(journal.field(QStringLiteral("R_Satzart")).value(), QVariant(0));
    journal.cancel();
}

struct HeadKind {
    const char* head;
    const char* headFile;
    const char* lines;
    const char* lineFile;
    const char* payments;
};
void PrintTo(const HeadKind& kind, std::ostream* os) {
    *os << kind.head;
}

// Records what the message list window would show.
class RecordingMessageList : public MessageListSink {
public:
    RecordingMessageList()
        : m_previous(SetMessageListSink(this)), m_wasEnabled(MessageListEnabled) {
        MessageListEnabled = true;
    }
    ~RecordingMessageList() override {
        SetMessageListSink(m_previous);
        MessageListEnabled = m_wasEnabled;
    }
    bool isOpen() const override { return m_open; }
    void open(const QString& caption, const QString& firstLine, int, int) override {
        m_open = true;
        opened << caption + QStringLiteral(" / ") + firstLine;
    }
    void addLine(const QString&) override {}
    void setStatus(const QString&) override {}
    void setHeight(int) override {}
    void setWidth(int) override {}
    void close() override { m_open = false; }
    QStringList opened;

private:
    bool m_open = false;
    MessageListSink* m_previous;
    bool m_wasEnabled;
};

const HeadKind kHeadKinds[] = {
    {"TabOposten", "OpKopf.DB", "TabOPSatz", "OPSatz.db", "OPZahl.db"},
    {"TabOErKopf", "OERkopf.DB", "TabOErSatz", "OERsatz.DB", "ERZahl.db"},
};

class OpenItemDelete : public OpenItemRules, public ::testing::WithParamInterface<HeadKind> {
protected:
    // Two heads, each with two lines and two payments.
    void addHeads() {
        const HeadKind& k = GetParam();
        int lineId = 0, paymentId = 0;
        for (int head = 1; head <= 2; ++head) {
            const QString nr = QStringLiteral("RE-%1").arg(head);
            addRow(QString::fromLatin1(k.headFile),
                   {{QStringLiteral("R_ID"), head}, {QStringLiteral("R_Nr"), nr}});
            for (int i = 0; i < 2; ++i) {
                addRow(QString::fromLatin1(k.lineFile),
                       {{QStringLiteral("S_ID"), ++lineId}, {QStringLiteral("S_Ref"), head}});
                addRow(QString::fromLatin1(k.payments),
                       {{QStringLiteral("OZ_ID"), ++paymentId}, {QStringLiteral("OZ_RgNo"), nr}});
            }
        }
    }
    table::Table& headAt(int id) {
        table::Table& t = shared(QString::fromLatin1(GetParam().head));
        EXPECT_TRUE(t.locate({QStringLiteral("R_ID")}, {id}));
        return t;
    }
    QString payments() const { return QString::fromLatin1(GetParam().payments); }
    QString lineFile() const { return QString::fromLatin1(GetParam().lineFile); }
    QString headFile() const { return QString::fromLatin1(GetParam().headFile); }
};

TEST_P(OpenItemDelete, PaymentsAndLinesGoWithTheHeadWithoutAQuestion) {
    addHeads();
    RecordingMessageList list;
    headAt(1).deleteRecord();
    EXPECT_TRUE(presenter.texts(Kind::Question).isEmpty());
    EXPECT_EQ(list.opened, QStringList(QStringLiteral("Datenbank-Manager / Lösche Einträge")));
    EXPECT_FALSE(list.isOpen());
    EXPECT_EQ(count(headFile(), QStringLiteral("R_ID"), 1), 0);
    EXPECT_EQ(count(payments(), QStringLiteral("OZ_RgNo"), QStringLiteral("RE-1")), 0);
    EXPECT_EQ(count(lineFile(), QStringLiteral("S_Ref"), 1), 0);
    // The other head keeps everything.
    EXPECT_EQ(count(payments(), QStringLiteral("OZ_RgNo"), QStringLiteral("RE-2")), 2);
    EXPECT_EQ(count(lineFile(), QStringLiteral("S_Ref"), 2), 2);
}

TEST_P(OpenItemDelete, ALineHeldElsewhereKeepsHeadPaymentsAndLines) {
    addHeads();
    datatest::HeldElsewhere held(lineFile(), QStringLiteral("S_ID"), 2);
    table::Table& head = headAt(1);
    EXPECT_ANY_THROW(head.deleteRecord());
    EXPECT_FALSE(head.isEditing());
    EXPECT_EQ(count(headFile(), QStringLiteral("R_ID"), 1), 1);
    EXPECT_EQ(count(payments(), QStringLiteral("OZ_RgNo"), QStringLiteral("RE-1")), 2);
    EXPECT_EQ(count(lineFile(), QStringLiteral("S_Ref"), 1), 2);
}

TEST_P(OpenItemDelete, AHeadHeldElsewhereKeepsItsPaymentsAndLines) {
    addHeads();
    table::Table& head = headAt(1);
    datatest::HeldElsewhere held(headFile(), QStringLiteral("R_ID"), 1);
    EXPECT_ANY_THROW(head.deleteRecord());
    EXPECT_EQ(count(headFile(), QStringLiteral("R_ID"), 1), 1);
    EXPECT_EQ(count(payments(), QStringLiteral("OZ_RgNo"), QStringLiteral("RE-1")), 2);
    EXPECT_EQ(count(lineFile(), QStringLiteral("S_Ref"), 1), 2);
}

TEST_P(OpenItemDelete, AHeadWithoutNumberLeavesPaymentsWithoutNumber) {
    const HeadKind& k = GetParam();
    addRow(QString::fromLatin1(k.headFile), {{QStringLiteral("R_ID"), 1}});
    addRow(payments(), {{QStringLiteral("OZ_ID"), 1}, {QStringLiteral("OZ_RgNo"), QString()}});
    headAt(1).deleteRecord();
    EXPECT_EQ(count(headFile(), QStringLiteral("R_ID"), 1), 0);
    EXPECT_EQ(count(payments(), QStringLiteral("OZ_ID"), 1), 1);
}

INSTANTIATE_TEST_SUITE_P(Heads, OpenItemDelete, ::testing::ValuesIn(kHeadKinds),
                         [](const ::testing::TestParamInfo<HeadKind>& info) {
                             return std::string(info.param.head);
                         });

TEST_F(OpenItemRules, OpenItemFormFollowsTheScrollOnlyWhileVisible) {
    addRow(QStringLiteral("OpKopf.DB"),
           {{QStringLiteral("R_ID"), 1}, {QStringLiteral("R_Nr"), QStringLiteral("A")}});
    addRow(QStringLiteral("OpKopf.DB"),
           {{QStringLiteral("R_ID"), 2}, {QStringLiteral("R_Nr"), QStringLiteral("B")}});
    bool visible = false;
    QStringList calls;
    OpenItemFormHooks& hooks = OpenItemFormHooksRegistry();
    hooks.opostenVisible = [&] { return visible; };
    hooks.opostenShowRecordPosition = [&] { calls << QStringLiteral("position"); };
    hooks.opostenUpdateSaldo = [&] { calls << QStringLiteral("saldo"); };
    table::Table& t = shared(QStringLiteral("TabOposten"));
    t.last();
    EXPECT_TRUE(calls.isEmpty());
    visible = true;
    t.first();
    EXPECT_EQ(calls, QStringList({QStringLiteral("position"), QStringLiteral("saldo")}));
}

TEST_F(OpenItemRules, DueDateOfIncomingInvoiceIsCorrectedWhileItsFormIsVisible) {
    struct Case {
        const char* what;
        QVariant created;
        QVariant due;
        bool visible;
        QDate expected;
        bool editing;
    } cases[] = {
        {"after the net days", QDate(2024, 3, 1), QDate(2024, 4, 15), true, QDate(2024, 3, 31),
         true},
        {"before the net days", QDate(2024, 3, 1), QDate(2024, 3, 20), true, QDate(2024, 3, 20),
         false},
        {"on the last net day", QDate(2024, 3, 1), QDate(2024, 3, 31), true, QDate(2024, 3, 31),
         false},
        {"form not visible", QDate(2024, 3, 1), QDate(2024, 4, 15), false, QDate(2024, 4, 15),
         false},
        {"no creation date", {}, QDate(2024, 4, 15), true, QDate(2024, 4, 15), false},
        {"empty creation date", QDate(1899, 12, 30), QDate(2024, 4, 15), true, QDate(2024, 4, 15),
         false},
    };
    int id = 0;
    for (const Case& c : cases)
        addRow(QStringLiteral("OERkopf.DB"), {{QStringLiteral("R_ID"), ++id},
                                              {QStringLiteral("R_DatumErstell"), c.created},
                                              {QStringLiteral("R_ZahlBedNettoTage"), 30},
                                              {QStringLiteral("R_FaelligDatum"), c.due}});
    table::Table& t = shared(QStringLiteral("TabOErKopf"));
    bool visible = false;
    int positions = 0;
    OpenItemFormHooksRegistry().opErVisible = [&] { return visible; };
    OpenItemFormHooksRegistry().opErShowRecordPosition = [&] { ++positions; };
    id = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int before = positions;
        visible = c.visible;
        ASSERT_TRUE(t.locate({QStringLiteral("R_ID")}, {++id}));
        EXPECT_EQ(positions > before, c.visible);
        EXPECT_EQ(t.field(QStringLiteral("R_FaelligDatum")).asDate(), c.expected);
        EXPECT_EQ(t.isEditing(), c.editing);
        if (t.isEditing())
            t.cancel();
    }
}

TEST_F(OpenItemRules, LinePositionNumbersShowDotted) {
    const std::pair<int, const char*> cases[] = {{1020300, "1.02.03"},
                                                 {3000000, "3"},
                                                 {12030000, "12.03"},
                                                 {99999999, "99.99.99.99"},
                                                 {0, "0"}};
    for (const auto& [nr, text] : cases)
        EXPECT_EQ(OpenItemPosNrText(nr), QString::fromLatin1(text)) << nr;

    addRow(QStringLiteral("OpKopf.DB"),
           {{QStringLiteral("R_ID"), 1}, {QStringLiteral("R_Nr"), QStringLiteral("A")}});
    addRow(QStringLiteral("OPSatz.db"), {{QStringLiteral("S_ID"), 1},
                                         {QStringLiteral("S_Ref"), 1},
                                         {QStringLiteral("S_PosNr"), 2010000}});
    shared(QStringLiteral("TabOposten")).first();
    table::Table& lines = dm->TabOPSatz();
    ASSERT_TRUE(lines.isOpen());
    lines.first();
    EXPECT_EQ(lines.field(QStringLiteral("S_PosNr")).text(), QStringLiteral("2.01"));
}

} // namespace
