#pragma once

#include "core/data/recordrulesfixture.h"
#include "masterdata/adressfilter.h"

// The data module's address table for tests; its filters are cleared
// afterwards, as they outlive the table object.
class AdressFixture : public datatest::RecordRules {
protected:
    void TearDown() override {
        if (dm->TabAdress().isOpen()) {
            SetAdressPhoneFilter(dm->TabAdress(), QString());
            dm->TabAdress().setFilter(QString());
        }
        RecordRules::TearDown();
    }
    table::Table& adress() {
        table::Table& t = dm->TabAdress();
        if (!t.isOpen())
            t.open();
        return t;
    }
    // The numbers of the addresses the shared table shows.
    QList<int> shown() {
        QList<int> numbers;
        table::Table& t = adress();
        for (t.first(); !t.eof(); t.next())
            numbers << t.field(QStringLiteral("A_Nr")).asInteger();
        return numbers;
    }
};
