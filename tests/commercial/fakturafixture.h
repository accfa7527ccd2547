#pragma once

#include "core/data/recordrulesfixture.h"

#include <QDate>
#include <QDir>
#include <QVariant>

namespace fakturatest {

using Values = QList<std::pair<QString, QVariant>>;

inline QString s(const char* text) {
    return QString::fromUtf8(text);
}

// Customer 100 (term 5, accounting number 0), customer 200 (no term,
// accounting number 4711.4) and supplier 300 (term 2); object 10 of customer
// 100 with term 3 and a billing address, object 20 of customer 200 without
// term or billing address, object 30 without customer. The payment terms
// are the new client's defaults (3: 14 days 2 %, 5: 30 days 3 %, 2: 14 days net).
class Faktura : public datatest::RecordRules {
protected:
    void SetUp() override {
        RecordRules::SetUp();
        // The client's conversion marker goes into the program directory.
        m_savedProgramDir = ProgramDir;
        QDir().mkpath(path(QStringLiteral("prog")));
        SetProgramDir(path(QStringLiteral("prog")));
        addRow(s("Kunden.DB"), {{s("K_ID"), 1},
                                {s("K_Nr"), 100},
                                {s("K_Match"), s("MEIER")},
                                {s("K_Name1"), s("Meier GmbH")},
                                {s("K_Name2"), s("Hausverwaltung")},
                                {s("K_Name3"), s("z. Hd. Frau Meier")},
                                {s("K_Strasse"), s("Hauptstraße 1")},
                                {s("K_Plz"), s("10115")},
                                {s("K_Ort"), s("Berlin")},
                                {s("K_Tel1"), s("030-111")},
                                {s("K_Fax"), s("030-112")},
                                {s("K_RechBed"), 5},
                                {s("K_FibuKonto"), 0.0}});
        addRow(s("Kunden.DB"), {{s("K_ID"), 2},
                                {s("K_Nr"), 200},
                                {s("K_Match"), s("SCHULZ")},
                                {s("K_Name1"), s("Schulz")},
                                {s("K_FibuKonto"), 4711.4}});
        addRow(s("Liefrnt.db"), {{s("K_ID"), 1},
                                 {s("K_Nr"), 300},
                                 {s("K_Match"), s("LIEFER")},
                                 {s("K_Name1"), s("Lieferant AG")},
                                 {s("K_Plz"), s("20095")},
                                 {s("K_Ort"), s("Hamburg")},
                                 {s("K_Rechbed"), 2},
                                 {s("K_Fibukonto"), 0.0}});
        addObject(1, 10, 100,
                  {{s("O_RgZahlbed1"), 3},
                   {s("O_RgName1"), s("Meier GmbH Buchhaltung")},
                   {s("O_RgName2"), s("Postfach")},
                   {s("O_RgStrasse"), s("Postfach 12")},
                   {s("O_RgPlz"), s("10001")},
                   {s("O_RgOrt"), s("Berlin")}});
        addObject(2, 20, 200, {{s("O_RgZahlbed1"), 0}});
        addObject(3, 30, 0, {});
        refreshShared();
    }

    void TearDown() override {
        ProgramDir = m_savedProgramDir;
        RecordRules::TearDown();
    }

    // An object with its address block; Extra adds or overrides fields.
    void addObject(int id, int nr, int kunde, const Values& extra) {
        Values values{{s("O_ID"), id},
                      {s("O_Nr"), nr},
                      {s("O_Kunde"), kunde},
                      {s("O_Match"), s("OBJ%1").arg(nr)},
                      {s("O_Name1"), s("Wohnanlage %1").arg(nr)},
                      {s("O_Name2"), s("Haus A")},
                      {s("O_Name3"), s("Eingang Süd")},
                      {s("O_Strasse"), s("Gartenweg %1").arg(nr)},
                      {s("O_Plz"), s("12345")},
                      {s("O_Ort"), s("Musterstadt")},
                      {s("O_Telefon"), s("0301")},
                      {s("O_Fax"), s("0302")},
                      {s("O_Langbezeich"), s("Lange Bezeichnung %1").arg(nr)}};
        for (const auto& [field, value] : extra) {
            auto it = std::find_if(values.begin(), values.end(),
                                   [&](const auto& v) { return v.first == field; });
            if (it != values.end())
                it->second = value;
            else
                values.append({field, value});
        }
        addRow(s("Objekte.DB"), values);
    }

    // The shared cursors of the data module see the test's rows.
    void refreshShared() {
        for (table::Table* t : dm->tables())
            if (t->isOpen() && !t->isEditing())
                t->refresh();
    }

private:
    QString m_savedProgramDir;
};

} // namespace fakturatest
