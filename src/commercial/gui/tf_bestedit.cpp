#include "commercial/gui/tf_bestedit.h"

#include "commercial/documents/documentediting.h"
#include "commercial/gui/doceditparts.h"
#include "commercial/gui/tf_bestvor.h"
#include "commercial/gui/tf_docedit.h"
#include "commercial/purchasing/purchaseorders.h"
#include "commercial/purchasing/purchasingrules.h"
#include "core/data/counters.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/data/printforms.h"
#include "core/data/worktable.h"
#include "core/datagui/tf_selform.h"
#include "core/messages/messages.h"
#include "core/values/datetimevalue.h"
#include "masterdata/dialogs/datepickers.h"
#include "masterdata/dialogs/pickers.h"
#include "platform/errors.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbedit.h"

#include <QDate>
#include <QDialog>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using table::Table;

namespace {

const QString kLiefId = u"liefId"_s;
const QString kNewObject = u"&Neues Objekt"_s;
constexpr int kFormType = 76000;
constexpr int kRight = 57;

int liefIdOf(TF_DocEdit& form) {
    return form.state().value(kLiefId).toInt();
}

// The tables the editor needs beyond head and lines, opened for the session
// when they were closed and closed again afterwards.
struct SessionTables {
    bool head = false, lines = false, stock = false, liefArt = false;
};
SessionTables& sessionTables() {
    static SessionTables opened;
    return opened;
}

void openIfClosed(Table& t, bool& opened) {
    opened = !t.isOpen();
    if (opened)
        t.open();
}

void openTables() {
    TDataModule1& dm = DataModule1();
    SessionTables& s = sessionTables();
    openIfClosed(dm.TabBestKopf(), s.head);
    openIfClosed(dm.TabBestSatz(), s.lines);
    openIfClosed(dm.TabBestObj(), s.stock);
    openIfClosed(dm.TabLiefArt(), s.liefArt);
    dm.SetBestObjInsertAllowed(true);
}

void closeTables() {
    TDataModule1& dm = DataModule1();
    dm.SetBestObjInsertAllowed(false);
    SessionTables& s = sessionTables();
    if (s.liefArt)
        dm.TabLiefArt().close();
    if (s.stock)
        dm.TabBestObj().close();
    if (s.lines)
        dm.TabBestSatz().close();
    if (s.head)
        dm.TabBestKopf().close();
    s = {};
}

void setReadOnly(TF_DocEdit& form, const QString& field) {
    if (auto* edit = form.fieldEditorAs<widgets::DbEdit>(field))
        edit->setAlwaysReadOnly(true);
}

void lockFields(TF_DocEdit& form) {
    for (const QString& f :
         {u"R_LiefNr"_s, u"R_Nr"_s, u"R_FaelligDatum"_s, u"R_DatumErstell"_s, u"R_DatumDruck"_s})
        setReadOnly(form, f);
}

// Head.

void pickLieferant(TF_DocEdit& form, QWidget&) {
    // Once chosen, the supplier of an order stays.
    if (liefIdOf(form) != 0)
        return;
    const int nr =
        SelectLieferant(0, 340, EditorLeft(form, 200), EditorTop(form, 140), form.sortField());
    if (nr == 0)
        return;
    Table& head = form.head();
    const int id = GetLieferantIdByNr(nr);
    auto suppliers = OpenTempTable(u"LumoDB"_s, u"Liefrnt.db"_s);
    CancelEditOnError(head, [&] {
        EnsureEditOrInsert(head);
        head.field(u"R_LiefNr"_s).setValue(nr);
        if (suppliers->locate({u"K_Nr"_s}, {nr})) {
            const QList<std::pair<QString, QString>> address = {
                {u"R_LMatch"_s, u"K_Match"_s},    {u"R_Lname1"_s, u"K_Name1"_s},
                {u"R_Lname2"_s, u"K_Name2"_s},    {u"R_Lname3"_s, u"K_Name3"_s},
                {u"R_LPlz"_s, u"K_Plz"_s},        {u"R_LOrt"_s, u"K_Ort"_s},
                {u"R_LStrasse"_s, u"K_Strasse"_s}};
            for (const auto& [to, from] : address)
                head.field(to).setValue(FieldText(*suppliers, from));
            bool numeric = false;
            const int eigene = FieldText(*suppliers, u"K_EigeneKdNr"_s).trimmed().toInt(&numeric);
            if (numeric)
                head.field(u"R_EigeneKdNr"_s).setValue(eigene);
        }
        head.post();
    });
    form.state().insert(kLiefId, id);
}

void pickDatum(TF_DocEdit& form, QWidget& editor, const QString& field) {
    Table& head = form.head();
    const table::Field& f = head.field(field);
    TDateTime date = DateTimeOfDate(f.isNull() ? QDate::currentDate() : f.asDate());
    if (!PickDateBelow(editor, date))
        return;
    CancelEditOnError(head, [&] {
        EnsureEditOrInsert(head);
        head.field(field).setValue(DateOfDateTime(date));
        head.post();
    });
}

DocPick datePick(const QString& field) {
    return [field](TF_DocEdit& form, QWidget& editor) { pickDatum(form, editor, field); };
}

void pickPrintForm(TF_DocEdit& form, QWidget& editor) {
    ChoosePrintFormForField(&editor, &form.head().field(u"R_PrintFormNo"_s), kFormType, true);
}

void choosePrintForm(TF_DocEdit& form) {
    QWidget* editor = form.fieldEditor(u"R_PrintFormNo"_s);
    ChoosePrintFormForField(editor ? editor : &form, &form.head().field(u"R_PrintFormNo"_s),
                            kFormType, true);
}

// Lines.

void postLine(TF_DocEdit& form) {
    if (form.lines().isEditing())
        form.lines().post();
}

void updateNewObjectButton(TF_DocEdit& form) {
    if (QPushButton* b = form.button(kNewObject))
        b->setEnabled(form.hasLines() && !FieldText(form.lines(), u"S_ArtNr"_s).isEmpty());
}

void setArticle(TF_DocEdit& form, int artikelId, bool alwaysSpread) {
    TDataModule1& dm = DataModule1();
    const int before = LineInt(form, u"S_MatID"_s);
    if (!SetBestLineArticle(dm, artikelId, liefIdOf(form))) {
        ShowError(DbEntryNotFoundText);
        return;
    }
    if (alwaysSpread || artikelId != before)
        SpreadBestLineOverStocks(dm, liefIdOf(form));
    updateNewObjectButton(form);
}

void pickArtikel(TF_DocEdit& form) {
    const int start = LineInt(form, u"S_MatID"_s);
    const int id =
        SelectArtikel(start, 0, 400, EditorLeft(form, 40), EditorTop(form, 80), form.sortField());
    if (id == 0 || id == start)
        return;
    setArticle(form, id, false);
}

void pickLiefArtikel(TF_DocEdit& form) {
    const int liefId = liefIdOf(form);
    if (liefId == 0) {
        ShowError(u"Kein Lieferant angegeben!"_s);
        return;
    }
    const int start = LineInt(form, u"S_LArtID"_s);
    const int id = SelectLiefArtikelById(start, liefId, 400, form.sortField(), EditorTop(form, 80),
                                         EditorLeft(form, 40));
    if (id == 0 || id == start)
        return;
    const int artikelId = GetArtikelIdByArtNo(0, GetLiefArtArtNo(id));
    setArticle(form, artikelId, true);
}

void pickKostart(TF_DocEdit& form) {
    const int current = LineInt(form, u"S_KostenKonto"_s);
    const int nr =
        SelectKostart(current, 280, EditorLeft(form, 220), EditorTop(form, 20), form.sortField());
    if (nr == 0 || nr == current)
        return;
    Table& lines = form.lines();
    CancelEditOnError(lines, [&] {
        EnsureEditOrInsert(lines);
        lines.field(u"S_KostenKonto"_s).setValue(nr);
        lines.post();
    });
}

// The stock rows of the current line: only "Best.-Menge" is typed; leaving
// sums them into the line's quantity.
class StockPanel : public QDialog {
public:
    explicit StockPanel(TF_DocEdit& form) : QDialog(&form), m_form(form) {
        setObjectName(u"PanelObjekte"_s);
        setWindowTitle(u"Objekte"_s);
        TDataModule1& dm = DataModule1();
        m_source = new widgets::DataSource(dm.TabBestObj(), this);
        m_source->setRightsCheck(
            [](widgets::EditAction a) { return a == widgets::EditAction::Edit; });
        m_grid = new widgets::DataGrid(*m_source, this);
        m_grid->setObjectName(u"GridObjekte"_s);
        SetUpStockRowGrid(*m_grid);
        auto* close = new QPushButton(u"S&chließen"_s, this);
        close->setObjectName(u"btnSchliessen"_s);
        connect(close, &QPushButton::clicked, this, &QDialog::accept);
        auto* buttons = new QHBoxLayout;
        buttons->addStretch(1);
        buttons->addWidget(close);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(m_grid, 1);
        layout->addLayout(buttons);
        resize(860, 300);
        // Rows are not added in the grid, only through "&Neues Objekt".
        dm.SetBestObjInsertAllowed(false);
    }
    ~StockPanel() override {
        delete m_grid;
        delete m_source;
        DataModule1().SetBestObjInsertAllowed(true);
    }
    widgets::DataGrid& grid() const { return *m_grid; }

    void done(int result) override {
        m_grid->commitEdit();
        m_form.run([] { SumStockRowsIntoLine(DataModule1()); });
        QDialog::done(result);
    }

private:
    TF_DocEdit& m_form;
    widgets::DataSource* m_source = nullptr;
    widgets::DataGrid* m_grid = nullptr;
};

void showStockPanel(TF_DocEdit& form) {
    postLine(form);
    StockPanel panel(form);
    panel.grid().selectField(u"BO_BestMenge"_s);
    panel.grid().setFocus();
    panel.exec();
}

void addObject(TF_DocEdit& form) {
    if (!form.hasLines() || FieldText(form.lines(), u"S_ArtNr"_s).isEmpty())
        return;
    postLine(form);
    TDataModule1& dm = DataModule1();
    int objektNr = 0;
    {
        std::unique_ptr<WorkTable> work;
        try {
            work = std::make_unique<WorkTable>(u"LumoDB"_s, SelectableObjectsDef());
        } catch (const DbError& e) {
            ShowError(u"Temporäre Datei kann nicht erzeugt werden\r"_s + e.message());
            return;
        }
        if (FillSelectableObjects(dm, work->name()) == 0) {
            ShowError(u"Keine wählbaren Objekte gefunden!"_s);
            return;
        }
        objektNr = SelectObjektFromTable(0, 340, EditorLeft(form, 40), EditorTop(form, 140),
                                         form.sortField(), u"LumoDB"_s, work->name());
    }
    if (objektNr == 0)
        return;
    AddManualStockRow(dm, objektNr);
    showStockPanel(form);
}

// The session.

void setup(TF_DocEdit& form) {
    QPointer<TF_DocEdit> guarded(&form);
    PurchasingFormHooksRegistry().UpdateNewObjectButton = [guarded] {
        if (guarded)
            updateNewObjectButton(*guarded);
    };
    QObject::connect(&form, &QObject::destroyed,
                     [] { PurchasingFormHooksRegistry().UpdateNewObjectButton = nullptr; });
    // Alt+K opens the calendar of the date field that has the focus.
    auto* calendar = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_K), &form);
    QObject::connect(calendar, &QShortcut::activated, &form, [&form] {
        for (const QString& field : {u"R_DatumErstell"_s, u"R_DatumDruck"_s, u"R_FaelligDatum"_s})
            if (QWidget* editor = form.fieldEditor(field); editor && editor->hasFocus()) {
                form.run([&] { pickDatum(form, *editor, field); });
                return;
            }
    });
}

void createOrder(TF_DocEdit& form) {
    CreateBestellungHead(DataModule1(), 0, DefaultPrintFormOfKind(int(TDocKind::Bestellung)),
                         QDate::currentDate());
    form.state().insert(kLiefId, 0);
    lockFields(form);
    updateNewObjectButton(form);
}

void openOrder(TF_DocEdit& form) {
    Table& head = form.head();
    const int liefNr = FieldInt(head, u"R_LiefNr"_s);
    form.state().insert(kLiefId, liefNr ? GetLieferantIdByNr(liefNr) : 0);
    if (head.field(u"R_PrintFormNo"_s).isNull()) {
        head.edit();
        head.field(u"R_PrintFormNo"_s).setValue(1);
    }
    lockFields(form);
    updateNewObjectButton(form);
}

// A new order without lines goes, and its number back to the counter.
bool finishOrder(TF_DocEdit& form) {
    Table& head = form.head();
    Table& lines = form.lines();
    if (form.isNew() && lines.isOpen()) {
        if (lines.isEditing())
            lines.cancel();
        if (lines.isEmpty()) {
            if (head.isEditing())
                head.cancel();
            head.deleteRecord();
            PutBackBestellungNr();
            return true;
        }
    }
    return FinishDocumentEditing(head, lines, false);
}

} // namespace

TDocEditDecl BestEditDeclaration() {
    TDocEditDecl d;
    d.formClass = u"TF_BestEdit"_s;
    d.designCaption = u"Bestellungen bearbeiten"_s;
    d.newCaption = u"Bestellung erfassen"_s;
    d.editCaption = u"Bestellung bearbeiten"_s;
    d.headTable = u"TabBestKopf"_s;
    d.lineTable = u"TabBestSatz"_s;
    d.openTables = openTables;
    d.closeTables = closeTables;

    const QString choose = u"Auswahl: Doppelclick"_s;
    const QString calendar = u"Kalender: Doppelclick oder Alt+K"_s;
    d.head = {
        {Grouped(u"Lieferant"_s,
                 {Hinted(DocFieldOf(u"&Lief.-Nr."_s, u"R_LiefNr"_s, 7, pickLieferant), choose),
                  SameLine(DocFieldOf({}, u"R_LMatch"_s)), DocFieldOf(u"Name &1"_s, u"R_Lname1"_s),
                  DocFieldOf(u"Name &2"_s, u"R_Lname2"_s), DocFieldOf(u"Name &3"_s, u"R_Lname3"_s),
                  DocFieldOf(u"Straße"_s, u"R_LStrasse"_s),
                  DocFieldOf(u"PLZ/Ort"_s, u"R_LPlz"_s, 6), SameLine(DocFieldOf({}, u"R_LOrt"_s))}),
         6},
        {Grouped(u"Bestellung"_s,
                 {DocFieldOf(u"Bestell-Nr."_s, u"R_Nr"_s, 10),
                  Hinted(DocFieldOf(u"Erstell-Datum"_s, u"R_DatumErstell"_s, 10,
                                    datePick(u"R_DatumErstell"_s)),
                         calendar),
                  Hinted(DocFieldOf(u"Bestell-Datum"_s, u"R_DatumDruck"_s, 10,
                                    datePick(u"R_DatumDruck"_s)),
                         calendar),
                  Hinted(DocFieldOf(u"&Zahlbed."_s, u"R_ZahlBed"_s, 0, PickZahlbed), choose),
                  DocFieldOf(u"Skonto Tage"_s, u"R_ZahlBedTage"_s, 3),
                  SameLine(DocFieldOf(u"%"_s, u"R_ZahlBedSkonto"_s, 5)),
                  DocFieldOf(u"Skonto 2 Tage"_s, u"R_ZahlBedTage2"_s, 3),
                  SameLine(DocFieldOf(u"%"_s, u"R_ZahlBedSkonto2"_s, 5)),
                  DocFieldOf(u"Netto Tage"_s, u"R_ZahlBedNettoTage"_s, 3),
                  Hinted(DocFieldOf(u"Fälligkeit zum"_s, u"R_FaelligDatum"_s, 10,
                                    datePick(u"R_FaelligDatum"_s)),
                         calendar)}),
         6},
        {Grouped(u"Sonstiges"_s,
                 {DocFieldOf(u"Fibu-Konto"_s, u"R_FKontoNr"_s, 7),
                  DocFieldOf(u"Erlöskonto"_s, u"R_FibuKonto2"_s, 7),
                  DocFieldOf(u"Eigene Kd-Nr."_s, u"R_EigeneKdNr"_s, 10),
                  Hinted(DocFieldOf(u"Sachbearb."_s, u"R_Betreuer"_s, 0, PickBetreuer), choose),
                  Hinted(DocFieldOf(u"Formular"_s, u"R_PrintFormNo"_s, 6, pickPrintForm), choose),
                  PrintFormNameField(pickPrintForm)}),
         5},
    };
    d.headFooter = DocumentSumsFooter();
    d.firstField = u"R_LiefNr"_s;

    d.gridName = u"GridBest"_s;
    d.columns = {
        {u"S_ArtNr"_s, u"Artikel-Nr."_s, 9, true},
        {u"S_LArtNr"_s, u"Bestell-Nr."_s, 10},
        {u"S_Kurztext"_s, u"Kurztext"_s, 26},
        {u"S_Menge"_s, u"Menge"_s, 7},
        {u"S_MengBez"_s, u"Einheit"_s, 7},
        {u"S_EPreis"_s, u"Einzelpreis"_s, 9},
        {u"S_KostenKonto"_s, u"Kostenart"_s, 7, true},
        {u"S_Mwst"_s, u"Mwst%"_s, 5, true},
        {u"S_MwstBetrag"_s, u"Mwst"_s, 8, true},
        {u"S_Netto"_s, u"Nettobetrag"_s, 9, true},
    };
    // The short text is typed or picked; the position text opens by its label or Ctrl+PgDn.
    d.textColumn = u"-"_s;
    d.lineTextKey = true;
    d.positionMenu = false;
    d.enterNextLineFrom = u"S_EPreis"_s;
    d.columnActions = {
        {u"S_Menge"_s, showStockPanel},     {u"S_MengBez"_s, PickLineUnit},
        {u"S_Mwst"_s, PickLineVatRate},     {u"S_MwstBetrag"_s, PickLineVatRate},
        {u"S_Kurztext"_s, pickLiefArtikel}, {u"S_LArtNr"_s, pickLiefArtikel},
        {u"S_ArtNr"_s, pickArtikel},        {u"S_KostenKonto"_s, pickKostart},
    };
    TDocField kostName = SameLine(DocFieldOf({}, u"KostenName"_s));
    kostName.decl.kind = widgets::FieldKind::Display;
    kostName.decl.display = [](Table& lines) {
        const int nr = FieldInt(lines, u"S_KostenKonto"_s);
        return nr == 0 ? QString() : GetKostartText(nr, {});
    };
    d.lineFields = {
        Hinted(DocFieldOf(u"Kostenbezeichnung"_s, u"S_KostenKonto"_s, 6,
                          [](TF_DocEdit& form, QWidget&) {
                              if (form.lineTakesCommands())
                                  pickKostart(form);
                          }),
               choose),
        kostName,
    };
    d.headButtons = {{kNewObject, addObject}, {u"Druck&formular"_s, choosePrintForm}};
    d.helpPage = u"bestellwesen.html"_s;
    d.setup = setup;
    d.createHead = createOrder;
    d.openExisting = openOrder;
    d.finish = finishOrder;
    return d;
}

void ShowBestEditForm(const QString& nr) {
    OpenDocumentEditor(BestEditDeclaration(), nr.trimmed());
}
