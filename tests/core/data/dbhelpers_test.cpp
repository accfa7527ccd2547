#include "clientdbfixture.h"
#include "core/data/dbhelpers.h"
#include "core/settings/settingsfiles.h"
#include "platform/table/database.h"
#include "platform/table/session.h"
#include "platform/table/table.h"

#include <QTextBlock>
#include <QTextDocument>
#include <limits>

namespace {

using datatest::ClientDbFixture;
using Kind = MessagePresenter::Kind;

const QString kLumo = QStringLiteral("LumoDB");
const QString kKunden = QStringLiteral("Kunden.DB");
const QString kZahlart = QStringLiteral("K_Zahlart");

class DbHelpers : public ClientDbFixture {
protected:
    // Customers (key, number, match code, dunning stop); a null cell stays null.
    // The second column goes to `second` (the unique K_Nr, or K_Zahlart for repeated values).
    void addCustomers(const QList<QVariantList>& rows,
                      const QString& second = QStringLiteral("K_Nr")) {
        auto t = open(kKunden);
        for (const QVariantList& r : rows) {
            t->append();
            const QString fields[] = {QStringLiteral("K_ID"), second, QStringLiteral("K_Match"),
                                      QStringLiteral("K_Mahnsperre")};
            for (int i = 0; i < r.size(); ++i)
                t->field(fields[i]).setValue(r[i]);
            t->post();
        }
    }
    QList<int> numbers(const QString& field = kZahlart) {
        QList<int> list;
        auto t = open(kKunden);
        for (t->first(); !t->eof(); t->next())
            list.append(t->field(field).asIntegerOr(-1));
        return list;
    }
};

TEST_F(DbHelpers, GettersGiveTheDefaultForMissingOrNullFields) {
    addCustomers({{1, 5, QVariant(), QVariant()}, {2, 7, QStringLiteral("ABC"), true}});
    auto t = open(kKunden);
    const QDateTime fallback(QDate(2001, 2, 3), QTime(4, 5));
    // First row: null fields; missing field: nullptr.
    for (table::Field* f :
         {t->findField(QStringLiteral("K_Match")), t->findField(QStringLiteral("NoSuchField"))}) {
        EXPECT_EQ(GetFieldStrOrDefault(f, QStringLiteral("dflt")), QStringLiteral("dflt"));
    }
    EXPECT_EQ(GetFieldIntOrDefault(t->findField(QStringLiteral("K_Kreditmax")), 7), 7);
    EXPECT_EQ(GetFieldIntOrDefault(nullptr, 7), 7);
    EXPECT_EQ(GetFieldFloatOrDefault(t->findField(QStringLiteral("K_Kreditmax")), 1.5), 1.5);
    EXPECT_TRUE(GetFieldBoolOrDefault(t->findField(QStringLiteral("K_Mahnsperre")), true));
    EXPECT_EQ(GetFieldDateOrDefault(t->findField(QStringLiteral("K_UmsLetztDat")), fallback),
              fallback);
    EXPECT_EQ(GetFieldTimeOrDefault(nullptr, fallback), fallback);
    t->next();
    EXPECT_EQ(GetFieldIntOrDefault(t->findField(QStringLiteral("K_Nr")), 0), 7);
    EXPECT_EQ(GetFieldStrOrDefault(t->findField(QStringLiteral("K_Match")), QString()),
              QStringLiteral("ABC"));
    EXPECT_FALSE(GetFieldBoolOrDefault(t->findField(QStringLiteral("K_Mahnsperre")), false) ==
                 false);
    // A text that is no number raises instead of passing for the default.
    EXPECT_THROW(GetFieldIntOrDefault(t->findField(QStringLiteral("K_Match")), 0), DbError);
}

TEST_F(DbHelpers, NextIdAndFirstFreeNumber) {
    auto t = open(kKunden);
    EXPECT_EQ(GetNextId(*t, QStringLiteral("K_ID")), 1);
    addCustomers({{3, 1}, {41, 2}, {17, 4}});
    EXPECT_EQ(GetNextId(*t, QStringLiteral("K_ID")), 42);
    EXPECT_EQ(GetNextId(kLumo, kKunden, QStringLiteral("K_ID")), 42);
    EXPECT_EQ(GetFirstFreeNr(kLumo, kKunden, QStringLiteral("K_Nr"), 1), 3);
    EXPECT_EQ(GetFirstFreeNr(kLumo, kKunden, QStringLiteral("K_Nr"), 4), 5);
    EXPECT_EQ(GetFirstFreeNr(kLumo, kKunden, QStringLiteral("K_Nr"), -2), -2);
    addCustomers({{std::numeric_limits<int>::max(), 9}});
    EXPECT_THROW(GetNextId(*t, QStringLiteral("K_ID")), DbError);
    EXPECT_THROW(GetNextId(kLumo, QStringLiteral("NoSuchTable"), QStringLiteral("K_ID")), DbError);
}

TEST_F(DbHelpers, ExistenceAndUniquenessQuestions) {
    addCustomers({{1, 10, QStringLiteral("Meier")},
                  {2, 20, QStringLiteral("Huber")},
                  {3, QVariant(), QVariant()}});
    const QString nr = QStringLiteral("K_Nr"), id = QStringLiteral("K_ID");
    EXPECT_FALSE(NrUsedByOtherRecord(kLumo, kKunden, nr, id, 10, 1)); // its own number
    EXPECT_TRUE(NrUsedByOtherRecord(kLumo, kKunden, nr, id, 10, 2));
    EXPECT_TRUE(NrUsedByOtherRecord(kLumo, kKunden, nr, id, 20, 0)); // a new record
    EXPECT_FALSE(NrUsedByOtherRecord(kLumo, kKunden, nr, id, 30, 0));
    EXPECT_FALSE(NrUsedByOtherRecord(kLumo, kKunden, nr, id, QVariant(), 1)); // null equals nothing
    EXPECT_TRUE(IntValueExists(kLumo, kKunden, nr, 20));
    EXPECT_FALSE(IntValueExists(kLumo, kKunden, nr, 21));
    EXPECT_TRUE(StrValueExists(kLumo, kKunden, QStringLiteral("K_Match"), QStringLiteral("Huber")));
    EXPECT_FALSE(StrValueExists(kLumo, kKunden, QStringLiteral("K_Match"),
                                QStringLiteral("huber"))); // exact
    EXPECT_TRUE(IntPairExists(kLumo, kKunden, QStringLiteral("K_ID;K_Nr"), 2, 20));
    EXPECT_FALSE(IntPairExists(kLumo, kKunden, QStringLiteral("K_ID;K_Nr"), 2, 10));
    EXPECT_THROW(IntPairExists(kLumo, kKunden, QStringLiteral("K_ID"), 2, 10), DbError);
}

TEST_F(DbHelpers, CountReplaceAndSetMany) {
    addCustomers({{1, 5, QStringLiteral("A")},
                  {2, 7, QStringLiteral("B")},
                  {3, 5, QStringLiteral("C"), true},
                  {4, QVariant(), QStringLiteral("D")}},
                 kZahlart);
    const QString nr = kZahlart;
    EXPECT_EQ(CountRecordsWithValue(kLumo, kKunden, nr, 5), 2);
    EXPECT_EQ(CountRecordsWithValue(kLumo, kKunden, nr, 5.0), 2);
    EXPECT_EQ(CountRecordsWithValue(kLumo, kKunden, nr, QVariant()), 0);
    EXPECT_EQ(CountRecordsFiltered(kLumo, kKunden, QStringLiteral("K_Zahlart=5")), 2);
    EXPECT_EQ(CountRecordsFiltered(kLumo, kKunden, QString()), 4);

    // Equal values: nothing happens, not even opening the (here missing) table.
    EXPECT_EQ(ReplaceFieldValue(kLumo, QStringLiteral("NoSuchTable"), nr, 5, 5), 0);
    EXPECT_EQ(ReplaceFieldValue(kLumo, kKunden, nr, 5, 9), 2);
    EXPECT_EQ(numbers(), (QList<int>{9, 7, 9, -1}));
    EXPECT_EQ(ReplaceFieldValue(kLumo, kKunden, nr, 123, 9), 0);

    // The filter names the very field that is set: every record still changes once.
    EXPECT_EQ(SetFieldInRecords(kLumo, kKunden, nr, QStringLiteral("K_Zahlart=9"), 1), 2);
    EXPECT_EQ(numbers(), (QList<int>{1, 7, 1, -1}));
    EXPECT_EQ(SetFieldInRecords(kLumo, kKunden, nr, QString(), 3), 4);
    EXPECT_EQ(numbers(), (QList<int>{3, 3, 3, 3}));
}

TEST_F(DbHelpers, BulkDeletes) {
    addCustomers({{1, 5}, {2, 7}, {3, 5}, {4, 5}, {5, QVariant()}}, kZahlart);
    EXPECT_EQ(DeleteRecordsFiltered(kLumo, kKunden, QStringLiteral("K_Zahlart=99")).attempts, 0);
    const BulkDeleteResult r = DeleteRecordsWithValue(kLumo, kKunden, kZahlart, 5);
    EXPECT_EQ(r.attempts, 3);
    EXPECT_EQ(r.deleted, 3);
    EXPECT_EQ(numbers(), (QList<int>{7, -1}));
    auto t = open(kKunden);
    EXPECT_EQ(DeleteTableRecordsFiltered(*t, QStringLiteral("K_Zahlart=7")).deleted, 1);
    EXPECT_EQ(DeleteTableRecordsWithValue(*t, kZahlart, 7).attempts, 0);
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

// A record another workstation holds is reported once and passed over.
TEST_F(DbHelpers, BulkDeleteSkipsRecordHeldElsewhere) {
    addCustomers({{1, 5}, {2, 5}, {3, 5}, {4, 6}}, kZahlart);
    auto mine = std::make_shared<table::Session>(NetDir, QStringLiteral("ich"));
    table::aliases::database(kLumo)->setSession(mine);
    auto theirs = std::make_shared<table::Session>(NetDir, QStringLiteral("andere"));
    auto otherDb = table::Database::open(DataDir);
    otherDb->setSession(theirs);
    table::Table held(otherDb, kKunden);
    held.open();
    ASSERT_TRUE(held.locate({QStringLiteral("K_ID")}, {2}));
    held.edit();

    for (auto remove :
         {+[] { return DeleteRecordsWithValue(kLumo, kKunden, kZahlart, 5); },
          +[] { return DeleteRecordsFiltered(kLumo, kKunden, QStringLiteral("K_Zahlart=5")); }}) {
        presenter.boxes.clear();
        const BulkDeleteResult r = remove();
        EXPECT_EQ(r.failures.size(), 1);
        ASSERT_EQ(presenter.texts(Kind::Error).size(), 1);
        EXPECT_TRUE(presenter.texts(Kind::Error)[0].startsWith(
            QStringLiteral("Kunden.DB : Fehler!\rMessage: 2: ")))
            << presenter.texts(Kind::Error)[0].toStdString();
        EXPECT_EQ(numbers(), (QList<int>{5, 6}));
    }

    // Inside a cascade the first failure raises and everything rolls back.
    presenter.boxes.clear();
    addCustomers({{7, 5}}, kZahlart);
    {
        table::Transaction cascade(*table::aliases::database(kLumo));
        EXPECT_THROW(DeleteRecordsWithValue(kLumo, kKunden, kZahlart, 5, OnDeleteFailure::Raise),
                     table::TableError);
    }
    EXPECT_EQ(numbers(), (QList<int>{5, 6, 5}));
    EXPECT_TRUE(presenter.boxes.isEmpty());
    held.cancel();
    table::aliases::database(kLumo)->setSession(nullptr);
}

TEST_F(DbHelpers, EnsureEditOrInsert) {
    auto t = open(kKunden);
    EXPECT_TRUE(EnsureEditOrInsert(*t));
    EXPECT_EQ(t->state(), table::TableState::Insert);
    EXPECT_TRUE(EnsureEditOrInsert(*t));
    t->field(QStringLiteral("K_ID")).setValue(1);
    t->post();
    EXPECT_EQ(t->recordCount(), 1);
    EXPECT_TRUE(EnsureEditOrInsert(*t));
    EXPECT_EQ(t->state(), table::TableState::Edit);
}

TEST_F(DbHelpers, ExecSqlReportsErrorsAndGivesMinusOne) {
    addCustomers({{1, 5}});
    EXPECT_EQ(ExecSql(QStringLiteral("UPDATE Kunden SET K_Nr = 8 WHERE K_ID = 1"), kLumo), 0);
    EXPECT_EQ(numbers(QStringLiteral("K_Nr")), QList<int>{8});
    EXPECT_TRUE(presenter.boxes.isEmpty());
    EXPECT_EQ(ExecSql(QStringLiteral("UPDATE NoSuchTable SET x = 1"), kLumo), -1);
    ASSERT_EQ(presenter.texts(Kind::Error).size(), 1);
    EXPECT_TRUE(presenter.texts(Kind::Error)[0].startsWith(
        QStringLiteral("Fehler bei Ausführung von SQL-Anweisung:\r")));
}

TEST_F(DbHelpers, UsersOfTheSessionRegistry) {
    EXPECT_EQ(GetBdeUserCount(nullptr), 1);
    EXPECT_EQ(GetNetUserText(nullptr), QStringLiteral("????"));
    table::Session first(NetDir, QStringLiteral("Anna"));
    EXPECT_EQ(GetBdeUserCount(&first), 1);
    table::Session second(NetDir, QStringLiteral("Bernhard-Maximilian"));
    EXPECT_EQ(GetBdeUserCount(&first), 2);
    EXPECT_EQ(GetNetUserText(&first), QStringLiteral("%1 : Anna").arg(first.number(), 3));
    // Each workstation names itself, not the first entry of the list.
    EXPECT_EQ(GetNetUserText(&second),
              QStringLiteral("%1 : Bernhard-Maximi").arg(second.number(), 3));
}

TEST(DbHelpersPure, RaListeFilters) {
    const char* expected[] = {
        "R_Satzart=0", "R_Satzart=2", "(R_Satzart=1) OR (R_SatzArt=3)", "", "", ""};
    const int kinds[] = {0, 1, 2, 3, 5, -1};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(GetRaListeFilter(kinds[i]), QString::fromLatin1(expected[i])) << kinds[i];
}

TEST_F(DbHelpers, FindKeyUpperCaseMovesOnlyOnExactKey) {
    addCustomers({{1, 1, QStringLiteral("MEIER")},
                  {2, 2, QStringLiteral("MÜLLER")},
                  {3, 3, QStringLiteral("ZANDER")}});
    auto t = open(kKunden);
    t->setIndexName(QStringLiteral("K_IMatch"));
    t->last();
    EXPECT_TRUE(FindKeyUpperCase(*t, QStringLiteral("meier")));
    EXPECT_EQ(t->field(QStringLiteral("K_ID")).asInteger(), 1);
    EXPECT_FALSE(FindKeyUpperCase(*t, QStringLiteral("mei")));
    EXPECT_EQ(t->field(QStringLiteral("K_ID")).asInteger(), 1);
}

TEST_F(DbHelpers, TabStopsReachEveryParagraph) {
    const QList<int> saved = TabstopList;
    TabstopList = {20, 45, 90};
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("a\tb\nc\td"));
    ApplyTabStops(doc);
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const auto tabs = b.blockFormat().tabPositions();
        ASSERT_EQ(tabs.size(), 3);
        EXPECT_EQ(tabs[1].position, 45);
    }
    // Applied again, as the editors do after every key, nothing changes and
    // the user's undo history stays the user's.
    doc.setModified(false);
    const int undoSteps = doc.availableUndoSteps();
    ApplyTabStops(doc);
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.availableUndoSteps(), undoSteps);
    TabstopList = saved;
}

} // namespace

TEST_F(DbHelpers, OpenForCallClosesOnlyWhatItOpened) {
    auto t = open(kKunden);
    t->close();
    {
        OpenForCall call(*t);
        EXPECT_TRUE(call.opened());
        EXPECT_TRUE(t->isOpen());
    }
    EXPECT_FALSE(t->isOpen());
    // Closed again also when the call fails.
    EXPECT_THROW(
        {
            OpenForCall call(*t);
            throw DbError(QStringLiteral("x"));
        },
        DbError);
    EXPECT_FALSE(t->isOpen());
    // Closed early on the normal path; a table found open stays open.
    {
        OpenForCall call(*t);
        call.close();
        EXPECT_FALSE(t->isOpen());
    }
    t->open();
    {
        OpenForCall call(*t);
        EXPECT_FALSE(call.opened());
    }
    EXPECT_TRUE(t->isOpen());
}

TEST_F(DbHelpers, DeleteShownRowsRunsEachDeleteAndStopsAtARefusedRow) {
    addCustomers({{1, 5}, {2, 7}, {3, 5}, {4, 5}}, kZahlart);
    auto t = open(kKunden);
    t->setFilter(QStringLiteral("K_Zahlart=5"));
    t->setFiltered(true);
    int deletes = 0;
    t->beforeDelete += [&deletes](table::Table&) { ++deletes; };
    DeleteShownRows(*t, QStringLiteral("refused"));
    EXPECT_EQ(deletes, 3);
    EXPECT_EQ(numbers(), QList<int>{7});

    // The row check runs before each delete; its error leaves the row in place.
    addCustomers({{5, 5}, {6, 5}}, kZahlart);
    t->refresh();
    EXPECT_THROW(DeleteShownRows(*t, QStringLiteral("refused"),
                                 [](table::Table& row) {
                                     if (row.field(QStringLiteral("K_ID")).asInteger() == 6)
                                         throw DbError(QStringLiteral("other head"));
                                 }),
                 DbError);
    EXPECT_EQ(numbers(), (QList<int>{7, 5}));
}

TEST_F(DbHelpers, OwnLockAndCancelOnErrorLeaveNoEditBehind) {
    addCustomers({{1, 5}}, kZahlart);
    auto t = open(kKunden);
    bool editingInside = false;
    WithOwnLock(*t, [&] { editingInside = t->isEditing(); });
    EXPECT_TRUE(editingInside);
    EXPECT_TRUE(t->isEditing());
    t->cancel();

    auto failingWrite = [&] {
        t->field(kZahlart).setValue(9);
        throw DbError(QStringLiteral("x"));
    };
    EXPECT_THROW(WithOwnLock(*t, failingWrite), DbError);
    EXPECT_FALSE(t->isEditing());
    EXPECT_EQ(t->field(kZahlart).asInteger(), 5);
    // An edit the caller started is the caller's to end.
    t->edit();
    EXPECT_THROW(WithOwnLock(*t, failingWrite), DbError);
    EXPECT_TRUE(t->isEditing());
    t->cancel();

    EXPECT_THROW(CancelEditOnError(*t,
                                   [&] {
                                       t->edit();
                                       failingWrite();
                                   }),
                 DbError);
    EXPECT_FALSE(t->isEditing());
    EXPECT_EQ(numbers(), QList<int>{5});
}
