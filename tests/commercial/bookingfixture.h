#pragma once

#include "core/data/recordrulesfixture.h"
#include "platform/table/table.h"

#include <QDate>
#include <gtest/gtest.h>

namespace bookingtest {

// Cost types of the booking tests.
inline constexpr int kKostartWaren = 901;    // an ordinary type of section 2
inline constexpr int kKostartPersonal = 902; // an overhead type
inline constexpr int kKostartRubrik1 = 903;  // a type of section 1

// Customer 100 with object 7 (number 700), object 8 (number 800) of the
// same customer, and the central article 1 ("4711": 100 units at 2.00).
// The data module carries the master record rules only, so that tests call
// the bookings themselves instead of the document rules.
class Bookings : public datatest::RecordRules {
protected:
    void SetUp() override {
        RecordRules::SetUp();
        addCostType(901, kKostartWaren, 2, false);
        addCostType(902, kKostartPersonal, 2, true);
        addCostType(903, kKostartRubrik1, 1, false);
        addCustomer(1, 100);
        addObject(7, 700, 100);
        addObject(8, 800, 100);
        addArticle(1, 0, QStringLiteral("4711"), 100, 2.0);
        refreshSharedTables();
    }

    // The shared cursors opened by the data module see rows the test added
    // through its own cursors only after a refresh.
    void refreshSharedTables() {
        for (table::Table* t : dm->tables())
            if (t->isOpen() && !t->isEditing())
                t->refresh();
    }

    void addCostType(int id, int nr, int rubrik, bool personal) {
        addRow(QStringLiteral("Kostart.DB"), {{QStringLiteral("A_ID"), id},
                                              {QStringLiteral("A_Nr"), nr},
                                              {QStringLiteral("A_RubrikNr"), rubrik},
                                              {QStringLiteral("A_Personal"), personal}});
    }
    void addArticle(int id, int objId, const QString& artNo, double menge, double price,
                    bool keepsStock = true) {
        addRow(QStringLiteral("Artikel.DB"), {{QStringLiteral("A_ID"), id},
                                              {QStringLiteral("A_ObjID"), objId},
                                              {QStringLiteral("A_ArtNo"), artNo},
                                              {QStringLiteral("A_Bezeich1"), "Reiniger"},
                                              {QStringLiteral("A_Bestandsfuehrung"), keepsStock},
                                              {QStringLiteral("A_Lagermenge"), menge},
                                              {QStringLiteral("A_Lagerwert"), menge * price},
                                              {QStringLiteral("A_EkPreis"), price},
                                              {QStringLiteral("A_EinMengeTotal"), 0.0},
                                              {QStringLiteral("A_EinWertTotal"), 0.0},
                                              {QStringLiteral("A_Bestellt"), 0.0},
                                              {QStringLiteral("A_Kostart"), kKostartWaren}});
    }

    // One field of the row whose keyField is key (0 / empty when null).
    QVariant valueOf(const QString& file, const QString& keyField, int key, const QString& field) {
        auto t = open(file);
        if (!t->locate({keyField}, {key}))
            return QStringLiteral("<kein Satz>");
        return t->field(field).value();
    }
    double article(int id, const char* field) {
        return valueOf(QStringLiteral("Artikel.DB"), QStringLiteral("A_ID"), id,
                       QString::fromLatin1(field))
            .toDouble();
    }
    // The id of the object's copy of the article number; 0 when none.
    int articleOf(int objId, const QString& artNo) {
        auto t = open(QStringLiteral("Artikel.DB"));
        return t->locate({QStringLiteral("A_ObjID"), QStringLiteral("A_ArtNo")}, {objId, artNo})
                   ? t->field(QStringLiteral("A_ID")).asInteger()
                   : 0;
    }
    int rowCount(const QString& file) {
        auto t = open(file);
        return t->recordCount();
    }
    // A cost-sum amount of the month of date; 0 when the row is missing.
    double kostSum(const char* file, int kostart, int objektId, const char* field,
                   const QDate& date = QDate::currentDate(), int periode = 2) {
        auto t = open(QString::fromLatin1(file));
        const int jahr = periode == 0 ? 0 : date.year();
        const int monat = periode == 2 ? date.month() : 0;
        if (!t->locate({QStringLiteral("K_Jahr"), QStringLiteral("K_Monat"),
                        QStringLiteral("K_Kostart"), QStringLiteral("K_ObjektID")},
                       {jahr, monat, kostart, objektId}))
            return 0;
        return t->field(QString::fromLatin1(field)).asFloatOr(0);
    }
    // The costs booked to the customer in the month of date.
    double customerCosts(int kundenNr, const QDate& date = QDate::currentDate()) {
        auto t = open(QStringLiteral("KUmsatz.DB"));
        if (!t->locate(
                {QStringLiteral("U_Kunde"), QStringLiteral("U_Jahr"), QStringLiteral("U_Monat")},
                {kundenNr, date.year(), date.month()}))
            return 0;
        return t->field(QStringLiteral("U_Kosten")).asFloatOr(0);
    }

    // Moves the shared head and line objects onto the stored line.
    table::Table& positionLine(table::Table& head, table::Table& lines, int headId, int lineId) {
        if (!head.isOpen())
            head.open();
        head.refresh();
        EXPECT_TRUE(head.locate({QStringLiteral("R_ID")}, {headId}));
        if (!lines.isOpen())
            lines.open();
        lines.refresh();
        EXPECT_TRUE(lines.locate({QStringLiteral("S_ID")}, {lineId}));
        return lines;
    }
};

} // namespace bookingtest
