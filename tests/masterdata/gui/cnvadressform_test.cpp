#include "core/data/recordrulesfixture.h"
#include "core/settings/programsettings.h"
#include "masterdata/gui/cnvadressform.h"

#include <QPlainTextEdit>
#include <QTableWidget>

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

class CnvAdressForm : public datatest::RecordRules {
protected:
    void SetUp() override {
        RecordRules::SetUp();
        addCustomer(1, 1);
        addCustomer(2, 5);
        addRow(u"Personal.DB"_s, {{u"P_ID"_s, 1}, {u"P_Nr"_s, 2}, {u"P_Name1"_s, u"Kurz"_s}});
    }
    static QString cell(const TF_CnvAdress& form, int row, int column) {
        return form.grid().item(row, column)->text();
    }
    static QStringList column(const TF_CnvAdress& form, int c) {
        QStringList texts;
        for (int r = 1; r <= 5; ++r)
            texts << cell(form, r, c);
        return texts;
    }
};

TEST_F(CnvAdressForm, TypedOffsetsShiftTheRangesAndSettleTheStatus) {
    TF_CnvAdress form;
    EXPECT_EQ(column(form, 1), (QStringList{u"1"_s, u"0"_s, u"0"_s, u"2"_s, u"0"_s}));
    EXPECT_EQ(column(form, 2), (QStringList{u"5"_s, u"0"_s, u"0"_s, u"2"_s, u"0"_s}));
    EXPECT_EQ(column(form, 6), (QStringList{u"OK"_s, u"OK"_s, u"OK"_s, u"FEHLER"_s, u"OK"_s}));
    EXPECT_EQ(form.grid().currentRow(), 1);
    EXPECT_EQ(form.grid().currentColumn(), 3);
    // Only the offsets are editable.
    EXPECT_FALSE(form.grid().item(1, 2)->flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(form.grid().item(4, 3)->flags() & Qt::ItemIsEditable);

    form.btnStartClick();
    EXPECT_EQ(presenter.texts(Kind::Error), QStringList{u"Fehler in der Nummernzuteilung"_s});
    EXPECT_EQ(open(u"Adress.DB"_s)->recordCount(), 0);

    form.grid().item(4, 3)->setText(u"x"_s); // no number counts 0
    EXPECT_EQ(cell(form, 4, 6), u"FEHLER"_s);
    form.grid().item(4, 3)->setText(u"100"_s);
    EXPECT_EQ(cell(form, 4, 4), u"102"_s);
    EXPECT_EQ(cell(form, 4, 6), u"OK"_s);

    form.btnStartClick();
    EXPECT_EQ(presenter.texts(Kind::Info),
              QStringList{u"Erstellung der Adressdatenbank beendet"_s});
    // The two customers without name or address are one duplicate key.
    EXPECT_EQ(open(u"Adress.DB"_s)->recordCount(), 2);
    const QString memo = form.memo().toPlainText();
    const QStringList lines = memo.split(u'\n');
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[0], u"Konvertiere Mandant "_s + QString::number(MandantNr));
    EXPECT_EQ(lines[1], QString(47, u'='));
    EXPECT_EQ(lines[2], u"Zufügen der Kundendaten"_s);
    EXPECT_TRUE(lines.contains(u"Ergänzt: 102"_s));
    EXPECT_EQ(lines.count(QString(31, u'-')), 5);
    EXPECT_EQ(lines.mid(lines.size() - 2),
              (QStringList{QString(47, u'='), u"Erstellung der Adressdatenbank beendet"_s}));
    EXPECT_TRUE(form.grid().isEnabled());

    presenter.answers = {false}; // "Vorhandene Adressen löschen?" No: nothing new
    form.btnStartClick();
    EXPECT_TRUE(presenter.texts(Kind::Question).contains(u"Vorhandene Adressen löschen?"_s));
    EXPECT_EQ(open(u"Adress.DB"_s)->recordCount(), 2);
}

TEST_F(CnvAdressForm, TheCellCursorStaysInTheOffsetColumn) {
    TF_CnvAdress form;
    form.grid().setCurrentCell(4, 1);
    EXPECT_EQ(form.grid().currentRow(), 4);
    EXPECT_EQ(form.grid().currentColumn(), 3);
    form.grid().setCurrentCell(0, 5);
    EXPECT_EQ(form.grid().currentRow(), 1);
    EXPECT_EQ(form.grid().currentColumn(), 3);
}

TEST_F(CnvAdressForm, ACollisionKeepsTheOldBookAndSaysSoInTheMemo) {
    addRow(u"Adress.DB"_s, {{u"A_ID"_s, 1}, {u"A_Nr"_s, 102}, {u"A_Name1"_s, u"Alt"_s}});
    TF_CnvAdress form;
    form.grid().item(4, 3)->setText(u"100"_s); // staff 2 becomes 102
    presenter.answers = {false};               // keep the existing addresses
    EXPECT_THROW(form.btnStartClick(), Abort);
    EXPECT_EQ(presenter.texts(Kind::Error).size(), 1);
    EXPECT_TRUE(presenter.texts(Kind::Info).isEmpty());
    auto a = open(u"Adress.DB"_s);
    EXPECT_EQ(a->recordCount(), 1);
    const QString memo = form.memo().toPlainText();
    EXPECT_TRUE(memo.startsWith(u"Konvertiere Mandant "_s));
    EXPECT_TRUE(memo.endsWith(u"Abgebrochen: Das Adressbuch bleibt unverändert."_s));
    EXPECT_TRUE(form.grid().isEnabled());
}

TEST_F(CnvAdressForm, TheEntryAsksBeforeASecondBuild) {
    addRow(u"Adress.DB"_s, {{u"A_ID"_s, 1}, {u"A_Nr"_s, 1}});
    presenter.answers = {false};
    RunCnvAdressEntry();
    EXPECT_EQ(presenter.texts(Kind::Question),
              QStringList{u"Es existieren bereits Adresseneinträge!\rTrotzdem fortfahren?"_s});
}

} // namespace
