#include "commercial/documents/linerules.h"
#include "commercial/invoicing/invoiceediting.h"
#include "core/settings/programsettings.h"
#include "masterdata/dialogs/tf_checkpw.h"
#include "masterdata/dialogs/tf_dbrtf.h"
#include "masterdata/dialogs/tf_dbselect.h"
#include "platform/errors.h"
#include "platform/widgets/dbedit.h"
#include "platform/widgets/dbnavigator.h"
#include "printing/gui/captiondialog.h"
#include "rgeditfixture.h"

#include <QAction>
#include <QCalendarWidget>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextEdit>
#include <algorithm>

using namespace Qt::StringLiterals;
using rgedittest::WhenModal;
using table::Table;

namespace {

const QString kHeads = u"Rechkopf.DB"_s;
const QString kLines = u"Rechsatz.db"_s;

class RgEditForm : public rgedittest::RgEdit {
protected:
    void TearDown() override {
        ServiceMode = false;
        RgEdit::TearDown();
    }
    // An invoice head written straight into its file.
    void addInvoice(int id, const QString& nr, int creator, int buchung = 0,
                    const QDate& date = QDate(2006, 12, 15)) {
        addRow(kHeads, {{u"R_ID"_s, id},
                        {u"R_Nr"_s, nr},
                        {u"R_Creator"_s, creator},
                        {u"R_Buchung"_s, buchung},
                        {u"R_ObjektNr"_s, 500},
                        {u"R_KundenNr"_s, 100},
                        {u"R_DatumDruck"_s, date},
                        {u"R_DatumErstell"_s, date},
                        {u"R_PrintFormNo"_s, 0},
                        {u"R_ZahlBedNettoTage"_s, 14}});
    }
    // A line written straight into its file: booked as it stands.
    void addLineRow(int id, int ref, int posNr, int kind = 0, double menge = 1,
                    double preis = 100.0, const QList<std::pair<QString, QVariant>>& more = {}) {
        QList<std::pair<QString, QVariant>> values{{u"S_ID"_s, id},
                                                   {u"S_Ref"_s, ref},
                                                   {u"S_PosNr"_s, posNr},
                                                   {u"S_PosArt"_s, kind},
                                                   {u"S_PosTyp"_s, 4},
                                                   {u"S_Menge"_s, menge},
                                                   {u"S_EPreis"_s, preis},
                                                   {u"S_MwstKz"_s, 1},
                                                   {u"S_Mwst"_s, 16.0},
                                                   {u"S_Netto"_s, menge * preis},
                                                   {u"S_OldMenge"_s, menge},
                                                   {u"S_OldPosTyp"_s, 4},
                                                   {u"S_Kurztext"_s, u"Zeile %1"_s.arg(id)}};
        values.append(more);
        addRow(kLines, values);
    }
    static void altW(QWidget* editor) {
        ASSERT_NE(editor, nullptr);
        QTest::keyClick(editor, Qt::Key_W, Qt::AltModifier);
    }
    static QStringList listed(TF_DbSelect& d, const QString& field) {
        QStringList keys;
        Table& t = *d.lookupTable();
        for (t.first(); !t.eof() && !t.isEmpty(); t.next())
            keys << t.field(field).asString();
        keys.sort();
        return keys;
    }
    // Chooses the row whose field holds value in the next picker.
    static void choose(const QString& field, const QVariant& value, QStringList* seen = nullptr,
                       const QString& seenField = {}) {
        WhenModal<TF_DbSelect>([=](TF_DbSelect& d) {
            if (seen)
                *seen = listed(d, seenField.isEmpty() ? field : seenField);
            EXPECT_TRUE(d.lookupTable()->locate({field}, {value}))
                << value.toString().toStdString();
            d.btnOK()->click();
        });
    }
    static bool pickerShown(const std::function<void()>& action) {
        bool shown = false;
        QTimer* waiter = WhenModal<TF_DbSelect>([&](TF_DbSelect& d) {
            shown = true;
            d.btnCancel()->click();
        });
        action();
        // A picker that never came leaves its waiter behind: drop it.
        if (!shown)
            delete waiter;
        return shown;
    }
    QVariant stored(const QString& field, int id = 1) { return headValue(kHeads, id, field); }
    // The stock of article "A7" over the central article and the objects' copies.
    double totalStock() {
        auto articles = open(u"Artikel.DB"_s);
        double total = 0;
        for (articles->first(); !articles->eof(); articles->next())
            if (FieldText(*articles, u"A_ArtNo"_s) == u"A7"_s)
                total += FieldFloat(*articles, u"A_Lagermenge"_s);
        return total;
    }
};

TEST_F(RgEditForm, TheObjectChangesOnlyOnANewOrManualInvoiceWithoutLines) {
    addInvoice(1, u"*000001"_s, 0);
    addInvoice(2, u"*000002"_s, 1);
    addInvoice(3, u"*000003"_s, 1);
    addLineRow(31, 3, 1000000);
    addInvoice(4, u"*000004"_s, 0);
    addLineRow(41, 4, 1000000);
    const struct {
        QString nr;
        QString refusal;
    } cases[] = {
        {u"*000001"_s, ObjektFixedText},
        {u"*000004"_s, ObjektFixedText},
        {u"*000003"_s, ObjektHasLinesText},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nr.toStdString());
        presenter.boxes.clear();
        edit(c.nr, [&](TF_DocEdit& form) {
            EXPECT_EQ(form.windowTitle(), u"Rechnung bearbeiten"_s);
            EXPECT_FALSE(pickerShown([&] { altW(form.fieldEditor(u"R_ObjektNr"_s)); }));
        });
        EXPECT_EQ(errors(), QStringList{c.refusal});
    }
    // A manual invoice without lines takes the object with its billing
    // address, payment term and customer.
    presenter.boxes.clear();
    edit(u"*000002"_s, [&](TF_DocEdit& form) {
        choose(u"O_Nr"_s, 500);
        form.head().edit();
        form.head()[u"R_ObjektNr"_s] = 0;
        form.head().post();
        altW(form.fieldEditor(u"R_ObjektNr"_s));
        EXPECT_EQ(form.head()[u"R_OName1"_s].asString(), u"Hausverwaltung See"_s);
        EXPECT_EQ(form.fieldEditorAs<QLineEdit>(u"R_OMatch"_s)->text(), u"HAUS AM SEE"_s);
    });
    EXPECT_TRUE(errors().isEmpty());
    EXPECT_EQ(stored(u"R_ObjektNr"_s, 2).toInt(), 500);
    EXPECT_EQ(stored(u"R_ZahlBed"_s, 2).toString(), u"14 Tage netto"_s);
    EXPECT_EQ(stored(u"R_KundenNr"_s, 2).toInt(), 100);
}

TEST_F(RgEditForm, TheCustomerChangesOnManualInvoicesOrInServiceMode) {
    addCustomer(2, 200);
    auto kunden = open(u"Kunden.DB"_s);
    kunden->locate({u"K_Nr"_s}, {200});
    kunden->edit();
    (*kunden)[u"K_Name1"_s] = u"Firma Zwei"_s;
    (*kunden)[u"K_Match"_s] = u"ZWEI"_s;
    kunden->post();
    kunden.reset();
    addInvoice(1, u"*000001"_s, 0);
    for (bool service : {false, true}) {
        SCOPED_TRACE(service);
        ServiceMode = service;
        edit(u"*000001"_s, [&](TF_DocEdit& form) {
            auto* nr = form.fieldEditorAs<widgets::DbEdit>(u"R_Nr"_s);
            EXPECT_EQ(nr->isReadOnly(), !service) << "the number is typed only in service mode";
            EXPECT_TRUE(form.fieldEditorAs<widgets::DbEdit>(u"R_KundenNr"_s)->isReadOnly());
            if (!service) {
                EXPECT_FALSE(pickerShown([&] { altW(form.fieldEditor(u"R_KundenNr"_s)); }));
                return;
            }
            presenter.answers = {true};
            choose(u"K_Nr"_s, 200);
            altW(form.fieldEditor(u"R_KundenNr"_s));
        });
    }
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Question),
              QStringList{UseCustomerAddressText});
    EXPECT_EQ(stored(u"R_KundenNr"_s).toInt(), 200);
    EXPECT_EQ(stored(u"R_KMatch"_s).toString(), u"ZWEI"_s);
    EXPECT_EQ(stored(u"R_OName1"_s).toString(), u"Firma Zwei"_s);
    // A manual invoice types its customer.
    addInvoice(2, u"*000002"_s, 1);
    edit(u"*000002"_s, [&](TF_DocEdit& form) {
        EXPECT_FALSE(form.fieldEditorAs<widgets::DbEdit>(u"R_KundenNr"_s)->isReadOnly());
    });
}

TEST_F(RgEditForm, TheCalendarMovesTheDateDueDateAndRates) {
    addInvoice(1, u"*000001"_s, 1);
    addLineRow(11, 1, 1000000, 0, 1, 100.0);
    edit(u"*000001"_s, [&](TF_DocEdit& form) {
        WhenModal<TF_Kalender>([](TF_Kalender& k) {
            EXPECT_EQ(DateOfDateTime(k.GetDate()), QDate(2006, 12, 15));
            k.calendar()->setSelectedDate(QDate(2007, 1, 2));
            k.okButton()->click();
        });
        QWidget* date = form.fieldEditor(u"R_DatumDruck"_s);
        EXPECT_TRUE(static_cast<QLineEdit*>(date)->isReadOnly());
        altW(date);
        EXPECT_EQ(form.fieldEditorAs<QLineEdit>(u"R_Mwst1"_s)->text(), u"19,00"_s);
    });
    EXPECT_TRUE(errors().isEmpty());
    EXPECT_EQ(stored(u"R_DatumDruck"_s).toDate(), QDate(2007, 1, 2));
    EXPECT_EQ(stored(u"R_FaelligDatum"_s).toDate(), QDate(2007, 1, 16));
    EXPECT_EQ(stored(u"R_Buchung"_s).toInt() & InvoiceDateChangedBit, InvoiceDateChangedBit);
    EXPECT_EQ(stored(u"R_Jahr"_s).toInt(), 2007);
    EXPECT_DOUBLE_EQ(stored(u"R_Mwst1"_s).toDouble(), 19.0);
    EXPECT_DOUBLE_EQ(valueOf(kLines, u"S_ID"_s, 11, u"S_Mwst"_s).toDouble(), 19.0);
}

TEST_F(RgEditForm, TheNumberChangesOnlyOnABookedInvoiceAfterEveryQuestion) {
    addInvoice(1, u"*000001"_s, 0);
    addInvoice(2, u"R-2"_s, 0, InvoiceBookedBit);
    addInvoice(3, u"R-3"_s, 0, InvoiceBookedBit);
    edit(u"*000001"_s, [&](TF_DocEdit& form) { altW(form.fieldEditor(u"R_Nr"_s)); });
    EXPECT_EQ(errors(), QStringList{ProvisionalInvoiceNrText});

    // Answers: the safety prompt typed right or wrong, then the number.
    auto answerPrompt = [](bool right) {
        WhenModal<TF_CheckPW>([right](TF_CheckPW& p) {
            QString digits = p.editVorgabe()->text();
            std::reverse(digits.begin(), digits.end());
            p.editAntwort()->setText(right ? digits : u"1"_s);
            p.okButton()->click();
        });
    };
    auto typeNumber = [](const QString& nr) {
        WhenModal<TCaptionDialog>([nr](TCaptionDialog& d) {
            EXPECT_EQ(d.windowTitle(), u"Neue Nummer eingeben"_s);
            EXPECT_FALSE(d.text().isEmpty()) << "the proposal";
            d.EditCaption()->setText(nr);
            d.okButton()->click();
        });
    };
    presenter.boxes.clear();
    presenter.answers = {true, true, true};
    edit(u"R-2"_s, [&](TF_DocEdit& form) {
        QWidget* nr = form.fieldEditor(u"R_Nr"_s);
        answerPrompt(false);
        altW(nr); // the safety prompt fails
        answerPrompt(true);
        typeNumber(u"R-3"_s);
        altW(nr); // taken
        answerPrompt(true);
        typeNumber(u"R-9"_s);
        altW(nr);
    });
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Question),
              QStringList(3, u"Möchten Sie die Rechnungsnummer wirklich verändern?"_s));
    EXPECT_EQ(errors(), (QStringList{u"Die Eingabe ist nicht korrekt!"_s,
                                     u"Die eingegebene Nummmer ist bereits vergeben!"_s}));
    EXPECT_EQ(stored(u"R_Nr"_s, 2).toString(), u"R-9"_s);
    EXPECT_EQ(stored(u"R_Nr"_s, 3).toString(), u"R-3"_s);
}

TEST_F(RgEditForm, TheCopyMenuCopiesEachSourceKindAsDeclared) {
    // Order A-1 of object 500, order A-2 of another object.
    addSourceHead(u"Auftkopf.DB"_s, 901, u"A-1"_s, 500);
    addSourceHead(u"Auftkopf.DB"_s, 902, u"A-2"_s, 600);
    const QString order = u"Auftsatz.DB"_s;
    addSourceLine(order, 901, {11, 1000000, 0, 10, 4});
    addSourceLine(order, 901, {12, 2000000, 0, 5, 5});
    addSourceLine(order, 901, {13, 3000000, 3, 0});
    addSourceLine(order, 901, {14, 4000000, 1, 2});
    addSourceLine(order, 901, {15, 5000000, 2, 2});
    addSourceHead(u"LSkopf.DB"_s, 801, u"L-1"_s, 500);
    addSourceLine(u"LSsatz.DB"_s, 801, {21, 1000000, 0, 3});
    addSourceHead(u"Angkopf.DB"_s, 701, u"AN-1"_s, 600);
    addSourceLine(u"AngSatz.DB"_s, 701, {31, 1000000, 0, 2});
    addSourceHead(u"Angkopf.DB"_s, 702, u"AN-A"_s, 600, u"AblageDB"_s);
    addSourceLine(u"AngSatz.DB"_s, 702, {41, 1000000, 0, 7}, u"AblageDB"_s);
    addSourceHead(u"Auftkopf.DB"_s, 903, u"A-3"_s, 500);
    addSourceLine(order, 903, {16, 1000000, 0, 5, 5});
    addInvoice(1, u"*000001"_s, 1);

    const QStringList captions{u"&Lieferschein übernehmen"_s,
                               u"Rechnungs&vorlage übernehmen"_s,
                               u"&Angebot übernehmen"_s,
                               u"A&uftrag übernehmen"_s,
                               u"&Rechnung übernehmen"_s,
                               u"Gutschrift übernehmen"_s,
                               u"Lieferschein aus Ablage einfügen"_s,
                               u"Angebot aus Ablage einfügen"_s,
                               u"Auftrag aus Ablage einfügen"_s,
                               u"Rechnung aus Ablage einfügen"_s,
                               u"Gutschrift aus Ablage einfügen"_s,
                               u"A&bbruch"_s};
    const QList<int> sources{3, 7, 0, 1, 2, 5, 19, 16, 17, 18, 21};
    QStringList listedOrders;
    edit(u"*000001"_s, [&](TF_DocEdit& form) {
        QStringList seen;
        const QList<QAction*> actions = form.copyMenu()->actions();
        for (QAction* a : actions)
            seen << a->text();
        EXPECT_EQ(seen, captions);
        QList<int> values;
        for (QAction* a : actions.mid(0, 11))
            values << a->data().toInt();
        EXPECT_EQ(values, sources);

        auto copy = [&](const QString& caption, const QString& nr, QStringList* listed = nullptr) {
            choose(u"R_Nr"_s, nr, listed);
            TF_DocEdit::menuAction(form.copyMenu(), caption)->trigger();
        };
        copy(u"A&uftrag übernehmen"_s, u"A-1"_s, &listedOrders);
        copy(u"&Angebot übernehmen"_s, u"AN-1"_s);
        copy(u"Angebot aus Ablage einfügen"_s, u"AN-A"_s);
        copy(u"&Lieferschein übernehmen"_s, u"L-1"_s);
        copy(u"A&uftrag übernehmen"_s, u"A-3"_s); // delivered in full
        // A picker left with "Abbrechen" copies nothing.
        WhenModal<TF_DbSelect>([](TF_DbSelect& d) { d.btnCancel()->click(); });
        TF_DocEdit::menuAction(form.copyMenu(), u"&Angebot übernehmen"_s)->trigger();
    });
    EXPECT_EQ(listedOrders, (QStringList{u"A-1"_s, u"A-3"_s})) << "only the invoice's object";
    EXPECT_EQ(errors(), QStringList{NoValidRecordsText});
    const auto lines = invoiceLines(1);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_DOUBLE_EQ(lines[0].menge, 6); // 10 ordered, 4 delivered
    EXPECT_EQ(lines[1].posArt, 3);       // the text line; kinds 1 and 2 stay out
    EXPECT_DOUBLE_EQ(lines[2].menge, 2); // the offer
    EXPECT_DOUBLE_EQ(lines[3].menge, 7); // the archived offer
    EXPECT_DOUBLE_EQ(lines[4].menge, 3); // the delivery note
    EXPECT_EQ(lines[4].quelle, 4);
    EXPECT_EQ(headValue(u"LSkopf.DB"_s, 801, u"R_Buchung"_s).toInt(), 1);
    EXPECT_EQ(headValue(u"LSkopf.DB"_s, 801, u"R_RechNr"_s).toString(), u"*000001"_s);
    // 6 x 10 + 2 x 10 + 7 x 10 + 3 x 10.
    EXPECT_DOUBLE_EQ(stored(u"R_Netto"_s).toDouble(), 180.0);
}

TEST_F(RgEditForm, ACopyThatFailsIsNamedAndLeavesNothing) {
    addSourceHead(u"LSkopf.DB"_s, 801, u"L-1"_s, 500);
    addSourceLine(u"LSsatz.DB"_s, 801, {21, 1000000, 0, 3});
    addSourceLine(u"LSsatz.DB"_s, 801, {22, 2000000, 0, 4});
    addInvoice(1, u"*000001"_s, 1);
    edit(u"*000001"_s, [&](TF_DocEdit& form) {
        datatest::HeldElsewhere held(u"LSkopf.DB"_s, u"R_ID"_s, 801);
        choose(u"R_Nr"_s, u"L-1"_s);
        TF_DocEdit::menuAction(form.copyMenu(), u"&Lieferschein übernehmen"_s)->trigger();
        EXPECT_FALSE(form.hasLines());
    });
    ASSERT_EQ(errors().size(), 1);
    EXPECT_TRUE(errors()[0].startsWith(u"Die Positionen konnten nicht übernommen werden.\r"_s));
    EXPECT_TRUE(invoiceLines(1).empty());
    EXPECT_EQ(headValue(u"LSkopf.DB"_s, 801, u"R_Buchung"_s).toInt(), 0);
    EXPECT_DOUBLE_EQ(valueOf(u"LSsatz.DB"_s, u"S_ID"_s, 21, u"S_MengeGeliefert"_s).toDouble(), 0);
}

TEST_F(RgEditForm, AQuantityAboveWhatTheDeliveryNoteLeftIsRefusedAndTheLineStaysInEdit) {
    addSourceHead(u"LSkopf.DB"_s, 801, u"L-1"_s, 500);
    addSourceLine(u"LSsatz.DB"_s, 801, {21, 1000000, 0, 10, 7});
    addInvoice(1, u"*000001"_s, 1);
    addLineRow(
        11, 1, 1000000, 0, 5, 10.0,
        {{u"S_Quelle"_s, 4}, {u"S_RefID"_s, 21}, {u"S_OldQuelle"_s, 4}, {u"S_OldRefID"_s, 21}});
    edit(u"*000001"_s, [&](TF_DocEdit& form) {
        auto& model = form.grid().gridModel();
        const QModelIndex menge = model.index(0, model.columnOf(u"S_Menge"_s));
        EXPECT_FALSE(model.setData(menge, 9.0));
        EXPECT_TRUE(form.lines().isEditing());
        EXPECT_DOUBLE_EQ(form.lines()[u"S_Menge"_s].asFloat(), 5);
        form.lines().cancel();
    });
    EXPECT_EQ(errors(), QStringList{u"Die berechnete Menge ist zu hoch\rEs können nur noch 8,00 "
                                    u"Einheiten berechnet werden!"_s});
    EXPECT_DOUBLE_EQ(valueOf(kLines, u"S_ID"_s, 11, u"S_Menge"_s).toDouble(), 5);
}

TEST_F(RgEditForm, APastedLineBooksItsStockOnceAndGivesItBackOnce) {
    addInvoice(1, u"*000001"_s, 1);
    edit(u"*000001"_s, [&](TF_DocEdit& form) {
        // The article comes through "Artikel (F3)" into a new line.
        choose(u"A_ID"_s, 7);
        QTest::keyClick(&form.grid(), Qt::Key_F3);
        Table& lines = form.lines();
        EXPECT_EQ(lines[u"S_SrcNr"_s].asString(), u"A7"_s);
        EXPECT_EQ(lines[u"S_Text"_s].asString(), u"Reiniger 5 l"_s);
        EXPECT_EQ(lines[u"S_MwstKz"_s].asInteger(), 2);
        lines[u"S_Menge"_s] = 2.0;
        form.postAll();
        // The object's copy of the article holds the goods the invoice takes.
        EXPECT_DOUBLE_EQ(totalStock(), 8);

        form.preparePositionMenu();
        QAction* paste = TF_DocEdit::menuAction(form.positionMenu(), u"Satz einfügen"_s);
        EXPECT_FALSE(paste->isEnabled()) << "nothing remembered yet";
        TF_DocEdit::menuAction(form.positionMenu(), u"Satz kopieren"_s)->trigger();
        form.preparePositionMenu();
        ASSERT_TRUE(paste->isEnabled());
        paste->trigger();
        EXPECT_EQ(invoiceLines(1).size(), 2u);
        EXPECT_DOUBLE_EQ(totalStock(), 6) << "the copy booked its own stock once";
        EXPECT_EQ(lines[u"S_OldPosTyp"_s].asInteger(), 0);

        presenter.answers = {true};
        lines.last();
        form.grid().followCursor();
        QTest::keyClick(&form.grid(), Qt::Key_Delete, Qt::ControlModifier);
        EXPECT_EQ(invoiceLines(1).size(), 1u);
        EXPECT_DOUBLE_EQ(totalStock(), 8) << "and gave it back once";
    });
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Question),
              QStringList{u"Möchten Sie den Datensatz löschen?"_s});
    EXPECT_TRUE(errors().isEmpty());
}

TEST_F(RgEditForm, ANewInvoiceWithoutLinesLeavesNothingOneWithALineKeepsItsNumber) {
    edit({}, [&](TF_DocEdit& form) {
        EXPECT_EQ(form.windowTitle(), u"Rechnung erfassen"_s);
        EXPECT_TRUE(form.fieldEditor(u"R_ObjektNr"_s)->hasFocus() || !QApplication::focusWidget());
        EXPECT_TRUE(form.head()[u"R_Nr"_s].asString().startsWith(u'*'));
    });
    EXPECT_EQ(rows(kHeads, u"R_Creator"_s, 1), 0);

    edit({}, [&](TF_DocEdit& form) {
        form.lines().append();
        form.lines()[u"S_EPreis"_s] = 5.0;
    });
    auto heads = open(kHeads);
    ASSERT_EQ(heads->recordCount(), 1);
    heads->first();
    EXPECT_TRUE(heads->field(u"R_Nr"_s).asString().contains(QRegularExpression(u"^\\*\\d{6}$"_s)));
    EXPECT_EQ(heads->field(u"R_IVname"_s).asString(), u"Manuelle Rechnung"_s);
    EXPECT_EQ(rows(kLines, u"S_Ref"_s, heads->field(u"R_ID"_s).asInteger()), 1);
}

TEST_F(RgEditForm, TheColumnHookLivesOnlyWhileTheEditorIsOpenAndSelectsTheColumn) {
    addInvoice(1, u"*000001"_s, 1);
    addLineRow(11, 1, 1000000);
    EXPECT_FALSE(DocumentFormHooksRegistry().FocusRgEditColumn);
    EXPECT_NO_THROW(FocusRgEditColumn(u"TabRechSatzS_Menge"_s));
    edit(u"*000001"_s, [&](TF_DocEdit& form) {
        EXPECT_TRUE(DocumentFormHooksRegistry().FocusRgEditColumn);
        EXPECT_EQ(form.grid().selectedField(), u"S_Menge"_s) << "an existing invoice starts there";
        form.selectColumn(u"S_EPreis"_s);
        FocusRgEditColumn(u"TabRechSatzS_Menge"_s);
        EXPECT_EQ(form.grid().selectedField(), u"S_Menge"_s);
        EXPECT_EQ(form.lines().indexName(), u"S_IRef"_s);
    });
    EXPECT_FALSE(DocumentFormHooksRegistry().FocusRgEditColumn);
    EXPECT_FALSE(dm->TabRechSatz().isOpen()) << "the editor's tables close with it";
}

TEST_F(RgEditForm, OpeningFillsTheDefaultPrintFormAndNormalizesOldNumbers) {
    addRow(u"QrFrmDef.DB"_s, {{u"QF_ID"_s, 10001},
                              {u"Q_FormType"_s, 10000},
                              {u"Q_Comment"_s, u"Rechnung Standard"_s},
                              {u"Q_Protect"_s, false}});
    addInvoice(1, u"*000001"_s, 1);
    addLineRow(11, 1, 1);
    addLineRow(12, 1, 102);
    edit(u"*000001"_s, [&](TF_DocEdit& form) {
        EXPECT_EQ(form.head()[u"R_PrintFormNo"_s].asInteger(), 10001);
        EXPECT_EQ(form.fieldEditorAs<QLineEdit>(u"PrintFormName"_s)->text(),
                  u"Rechnung Standard"_s);
    });
    EXPECT_EQ(stored(u"R_PrintFormNo"_s).toInt(), 10001);
    std::vector<int> numbers;
    for (const auto& l : invoiceLines(1))
        numbers.push_back(l.posNr);
    EXPECT_EQ(numbers, (std::vector<int>{1000000, 1020000}));
}

TEST_F(RgEditForm, RenumberingFromHereRefusesASmallerStartAndAsksAgain) {
    addInvoice(1, u"*000001"_s, 1);
    addLineRow(11, 1, 1000000);
    addLineRow(12, 1, 2000000);
    addLineRow(13, 1, 3000000);
    QStringList asked;
    edit(u"*000001"_s, [&](TF_DocEdit& form) {
        form.lines().locate({u"S_ID"_s}, {12});
        auto answer = [&](const QString& value, std::function<void()> then = {}) {
            WhenModal<QInputDialog>([&asked, value, then](QInputDialog& d) {
                asked << d.windowTitle() + u'|' + d.labelText() + u'|' + d.textValue();
                d.setTextValue(value);
                d.accept();
                if (then)
                    then();
            });
        };
        answer(u"1"_s, [&] { answer(u"5"_s); });
        TF_DocEdit::menuAction(form.positionMenu(), u"Neu nummerieren ab hier"_s)->trigger();
        EXPECT_EQ(form.lines()[u"S_ID"_s].asInteger(), 12) << "back on its line";
        answer(u"0"_s);
        TF_DocEdit::menuAction(form.positionMenu(), u"Neu nummerieren alles"_s)->trigger();
    });
    EXPECT_EQ(asked, (QStringList{u"Neuen Anfangswert eingeben|Neuer Anfangswert:|2"_s,
                                  u"Neuen Anfangswert eingeben|Neuer Anfangswert:|2"_s,
                                  u"Neuen Anfangswert eingeben|Neuer Anfangswert:|1"_s}));
    EXPECT_EQ(errors(), QStringList{u"Minimalwert muss >= 2 sein!"_s});
    std::vector<int> numbers;
    for (const auto& l : invoiceLines(1))
        numbers.push_back(l.posNr);
    EXPECT_EQ(numbers, (std::vector<int>{1000000, 2000000, 3000000})) << "5, 6 and then from 1";
}

TEST_F(RgEditForm, LineCommandsActOnKindsZeroToTwoAndTheTextOpensOnEnteringItsColumn) {
    addInvoice(1, u"*000001"_s, 1);
    addLineRow(11, 1, 1000000, 3); // a text line
    addLineRow(12, 1, 2000000, 0, 1, 100.0, {{u"S_PosTyp"_s, 0}, {u"S_MatID"_s, 7}});
    edit(u"*000001"_s, [&](TF_DocEdit& form) {
        auto& model = form.grid().gridModel();
        const int art = model.columnOf(u"S_PosArt"_s);
        EXPECT_EQ(model.index(0, art).data().toString(), QString());
        EXPECT_EQ(model.index(1, art).data().toString(), u"Normal"_s);
        EXPECT_EQ(model.index(0, 0).data(Qt::BackgroundRole).value<QBrush>().color(),
                  QColor(160, 160, 0));
        EXPECT_FALSE(model.index(1, 0).data(Qt::BackgroundRole).isValid());

        form.lines().first();
        form.grid().followCursor();
        EXPECT_FALSE(pickerShown([&] { QTest::keyClick(&form.grid(), Qt::Key_F3); }));
        form.preparePositionMenu();
        EXPECT_FALSE(TF_DocEdit::menuAction(form.positionMenu(), u"Satz kopieren"_s)->isEnabled());
        EXPECT_FALSE(form.declaration().lineMenuWhen(form)) << "no special price on a text line";

        form.lines().last();
        form.grid().followCursor();
        EXPECT_TRUE(form.declaration().lineMenuWhen(form));
        // Entering the text column opens the rich-text editor; with Tab it
        // goes on to the price.
        bool opened = false;
        WhenModal<TF_DbRtf>([&](TF_DbRtf& editor) {
            opened = true;
            editor.editor().setPlainText(u"Neuer Text"_s);
            editor.editor().document()->setModified(true);
            editor.close();
        });
        form.grid().selectField(u"S_MengBez"_s);
        form.grid().setFocus();
        QTest::keyClick(&form.grid(), Qt::Key_Tab);
        QTest::qWait(50);
        EXPECT_TRUE(opened);
        EXPECT_EQ(form.grid().selectedField(), u"S_EPreis"_s);
        EXPECT_FALSE(form.lines().isEditing());
    });
    EXPECT_TRUE(valueOf(kLines, u"S_ID"_s, 12, u"S_Text"_s).toString().contains(u"Neuer Text"_s));
}

TEST_F(RgEditForm, ASpecialPriceGoesOnlyIntoAnObjectsArticle) {
    addRow(u"Artikel.DB"_s,
           {{u"A_ID"_s, 8}, {u"A_ObjID"_s, 5}, {u"A_ArtNo"_s, u"A7"_s}, {u"A_Preis1"_s, 3.0}});
    addInvoice(1, u"*000001"_s, 1);
    addLineRow(11, 1, 1000000, 0, 1, 4.5, {{u"S_PosTyp"_s, 0}, {u"S_MatID"_s, 8}});
    addLineRow(12, 1, 2000000, 0, 1, 4.5, {{u"S_PosTyp"_s, 0}, {u"S_MatID"_s, 7}});
    presenter.answers = {true, true};
    edit(u"*000001"_s, [&](TF_DocEdit& form) {
        QAction* remember =
            TF_DocEdit::menuAction(form.lineMenu(), u"Preis als Sonderpreis merken"_s);
        form.lines().locate({u"S_ID"_s}, {11});
        remember->trigger();
        form.lines().locate({u"S_ID"_s}, {12});
        remember->trigger();
    });
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Question),
              QStringList(2, u"Artikelpreis als Sonderpreis in Objekt-Artikeldatei eintragen?"_s));
    EXPECT_DOUBLE_EQ(valueOf(u"Artikel.DB"_s, u"A_ID"_s, 8, u"A_Preis1"_s).toDouble(), 4.5);
    EXPECT_NE(valueOf(u"Artikel.DB"_s, u"A_ID"_s, 7, u"A_Preis1"_s).toDouble(), 4.5);
}

} // namespace

namespace {

TEST_F(RgEditForm, DownAfterTheLastLinePostsItAndStartsTheNextAtItsQuantity) {
    addInvoice(1, u"*000001"_s, 1);
    edit(u"*000001"_s, [&](TF_DocEdit& form) {
        Table& lines = form.lines();
        form.focusGrid();
        QTest::keyClick(&form.grid(), Qt::Key_Down);
        ASSERT_EQ(lines.state(), table::TableState::Insert);
        EXPECT_EQ(form.grid().selectedField(), u"S_Menge"_s);
        lines[u"S_EPreis"_s] = 10.0;
        QTest::keyClick(&form.grid(), Qt::Key_Down);
        EXPECT_EQ(lines.state(), table::TableState::Insert) << "the next line";
        EXPECT_EQ(invoiceLines(1).size(), 1u) << "the first one posted";
        lines[u"S_EPreis"_s] = 20.0;
        form.postAll();
    });
    const auto lines = invoiceLines(1);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].posNr, 1000000);
    EXPECT_EQ(lines[1].posNr, 2000000);
    EXPECT_DOUBLE_EQ(headValue(u"Rechkopf.DB"_s, 1, u"R_Netto"_s).toDouble(), 30.0);
}

} // namespace

namespace {

TEST_F(RgEditForm, InsertPutsTheNewLineBeforeTheCurrentOneAndTheKeysMoveBetweenHeadAndGrid) {
    addInvoice(1, u"*000001"_s, 1);
    addLineRow(11, 1, 1000000);
    addLineRow(12, 1, 2000000);
    edit(u"*000001"_s, [&](TF_DocEdit& form) {
        form.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
        Table& lines = form.lines();
        lines.locate({u"S_ID"_s}, {12});
        form.grid().followCursor();
        form.focusGrid();
        QTest::keyClick(&form.grid(), Qt::Key_Insert);
        ASSERT_EQ(lines.state(), table::TableState::Insert);
        EXPECT_EQ(lines[u"S_PosNr"_s].asInteger(), 1010000) << "1.01, before the 2";
        lines.cancel();
        QTest::keyClick(&form.grid(), Qt::Key_PageUp, Qt::ControlModifier);
        EXPECT_EQ(QApplication::focusWidget(), form.fieldEditor(u"R_ObjektNr"_s));
        EXPECT_FALSE(form.navigator().isEnabled()) << "a head field greys the line controls";
        QTest::keyClick(form.fieldEditor(u"R_ObjektNr"_s), Qt::Key_PageDown, Qt::ControlModifier);
        EXPECT_EQ(QApplication::focusWidget(), &form.grid());
        EXPECT_TRUE(form.navigator().isEnabled());
    });
}

} // namespace

namespace {

TEST_F(RgEditForm, TheGridShowsOnlyTheInvoicesOwnLines) {
    addInvoice(1, u"*000001"_s, 1);
    addInvoice(2, u"*000002"_s, 1);
    addLineRow(11, 1, 1000000);
    addLineRow(21, 2, 1000000);
    addLineRow(22, 2, 2000000);
    edit(u"*000002"_s, [&](TF_DocEdit& form) { EXPECT_EQ(form.grid().gridModel().rowCount(), 2); });
    edit(u"*000001"_s, [&](TF_DocEdit& form) { EXPECT_EQ(form.grid().gridModel().rowCount(), 1); });
}

} // namespace
