#include "commercial/billing/rgvconversion.h"

#include "commercial/billing/rgvplandate.h"
#include "commercial/documents/documentsums.h"
#include "commercial/documents/documenttables.h"
#include "commercial/documents/fakturainit.h"
#include "commercial/documents/kopffusstext.h"
#include "commercial/documents/positionnumbers.h"
#include "commercial/documents/vatrates.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/files/programdirs.h"
#include "core/messages/messages.h"
#include "core/settings/settingsfiles.h"
#include "core/values/conversions.h"
#include "platform/table/table.h"

#include <QDate>
#include <limits>
#include <map>

namespace {

const QString kLumo = QStringLiteral("LumoDB");
const QString kDone = QStringLiteral("Konvertierung der Dauerrechnungen beendet");

// The object's fields of billing definition 1, 2 and 3.
struct DefinitionFields {
    const char* next;
    const char* last;
    const char* intervall;
    const char* printForm;
    const char* account;
    const char* buchtext;
    const char* kopfNo;
    const char* zahlbed;
    const char* summe;
};
const DefinitionFields kDefinitions[] = {
    {"O_DatumNextRechnung", "O_DatumLetzteRech", "O_Zahlintervall", "O_PrintFormNo",
     "O_FibuKonto21", "O_Buchtext1", "O_KopfNo1", "O_RgZahlbed1", "O_SummeForm1"},
    {"O_DatumNextRechnung2", "O_DatumLetzteRech2", "O_Zahlintervall2", "O_PrintFormNo2",
     "O_FibuKonto22", "O_Buchtext2", "O_KopfNo2", "O_RgZahlbed2", "O_SummeForm2"},
    {"O_DatumNextRechnung3", "O_DatumLetzteRech3", "O_Zahlintervall3", "O_PrintFormNo3",
     "O_FibuKonto23", "O_Buchtext3", "O_KopfNo3", "O_RgZahlbed3", "O_SummeForm3"},
};

QString name(const char* n) {
    return QString::fromLatin1(n);
}

int intOf(table::Table& t, const char* field, int fallback = 0) {
    return FieldInt(t, name(field), fallback);
}

QString textOf(table::Table& t, const char* field) {
    return FieldText(t, name(field));
}

// A null date reads as the zero date.
QDate dateOf(table::Table& t, const char* field) {
    const table::Field& f = t.field(name(field));
    return f.isNull() ? DateOfDateTime(EmptyDate) : f.asDate();
}

// A text cut to the length of its field: the templates hold shorter texts
// than some of the old definition fields.
void setText(table::Table& t, const char* field, const QString& value) {
    table::Field& f = t.field(name(field));
    f.setValue(f.type() == table::FieldType::String && f.size() > 0 ? value.left(f.size()) : value);
}

void set(table::Table& t, const char* field, const QVariant& value) {
    t.field(name(field)).setValue(value);
}

// The head/foot number of a definition: the template stores a small integer.
int kopfNoOf(table::Table& objekt, const char* field) {
    const int n = intOf(objekt, field);
    return n < std::numeric_limits<qint16>::min() || n > std::numeric_limits<qint16>::max() ? 0 : n;
}

} // namespace

struct TRgvConversion::RunState {
    std::vector<TVatRateRow> vatRates;
    QDate today;
    std::unique_ptr<table::Table> lines;        // ORgDef.db
    std::unique_ptr<table::Table> billingDates; // IvDef.DB
    std::map<int, std::vector<QDate>> datesOfIntervall;

    void showLines(int objektNr, int definition) {
        lines->setFilter(QStringLiteral("T_ObjektNr=%1 AND T_Nr=%2").arg(objektNr).arg(definition));
        lines->setFiltered(true);
        lines->first();
    }

    const std::vector<QDate>& datesOf(int intervall) {
        auto it = datesOfIntervall.find(intervall);
        if (it != datesOfIntervall.end())
            return it->second;
        std::vector<QDate> dates;
        billingDates->setFilter(QStringLiteral("Def=%1").arg(intervall));
        billingDates->setFiltered(true);
        for (billingDates->first(); !billingDates->eof() && !billingDates->isEmpty();
             billingDates->next())
            dates.push_back(dateOf(*billingDates, "CreateDate"));
        return datesOfIntervall.emplace(intervall, std::move(dates)).first->second;
    }
};

TRgvConversion::TRgvConversion()
    : m_kopf(std::make_unique<table::Table>(table::aliases::database(kLumo),
                                            QStringLiteral("RgvKopf.DB"))),
      m_satz(std::make_unique<table::Table>(table::aliases::database(kLumo),
                                            QStringLiteral("RgvSatz.DB"))) {
    m_satz->setIndexName(QStringLiteral("S_IRef"));
    m_satz->setMaster(m_kopf.get(), {QStringLiteral("R_ID")}, {QStringLiteral("S_Ref")});
    m_kopf->onNewRecord += [](table::Table& t) {
        t.field(QStringLiteral("R_ID")).setValue(GetNextId(t, QStringLiteral("R_ID")));
    };
    m_satz->onNewRecord += [](table::Table& t) {
        t.field(QStringLiteral("S_ID")).setValue(GetNextId(t, QStringLiteral("S_ID")));
    };
    // A template goes with its lines.
    m_kopf->beforeDelete += [this](table::Table& kopf) {
        DeleteShownRows(*m_satz,
                        QStringLiteral("Die Positionen der Rechnungsvorlage %1 konnten nicht "
                                       "gelöscht werden.")
                            .arg(FieldText(kopf, QStringLiteral("R_Nr"))));
    };
}

TRgvConversion::~TRgvConversion() = default;

QString RgvConversionRule() {
    return QString(53, QLatin1Char('-'));
}

void TRgvConversion::line(const QString& text) {
    if (addLine)
        addLine(text);
}

void TRgvConversion::Run(int mandant) {
    line(QStringLiteral("Konvertiere Rechnungsvorlagen"));
    line(QStringLiteral("Daten in ") + DataDir);
    line(RgvConversionRule());
    struct Close {
        TRgvConversion& c;
        ~Close() {
            c.m_satz->close();
            c.m_kopf->close();
            c.m_run.reset();
        }
    } close{*this};
    m_kopf->open();
    m_satz->open();
    m_run = std::make_unique<RunState>();
    m_run->vatRates = ReadVatRateRows(*OpenTempTable(kLumo, QStringLiteral("Mwstsatz.db")));
    m_run->today = QDate::currentDate();
    m_run->lines = OpenTempTable(kLumo, QStringLiteral("ORgDef.db"));
    m_run->billingDates = OpenTempTable(kLumo, QStringLiteral("IvDef.DB"));
    {
        table::Transaction tx(*m_kopf->database());
        try {
            convert();
        } catch (...) {
            // Nothing half-written stays in the buffers when the run is rolled back.
            for (table::Table* t : {m_satz.get(), m_kopf.get()})
                if (t->isEditing())
                    t->cancel();
            throw;
        }
        tx.commit();
    }
    if (!MarkRgvConverted(mandant))
        throw DbError(QStringLiteral("Die Rechnungsvorlagen wurden konvertiert, aber die "
                                     "Markierung \"%1\" konnte nicht geschrieben werden.")
                          .arg(QStringLiteral("RgvCnvrt.") + MandantSuffix3(mandant)));
    line(kDone);
    line(RgvConversionRule());
    ShowInfo(kDone);
}

void TRgvConversion::convert() {
    try {
        DeleteShownRows(*m_kopf,
                        QStringLiteral("Eine Rechnungsvorlage konnte nicht gelöscht werden."));
    } catch (const DbError& e) {
        throw DbError(QStringLiteral("Die vorhandenen Rechnungsvorlagen konnten nicht gelöscht "
                                     "werden:\r%1\rDie Rechnungsvorlagen bleiben unverändert.")
                          .arg(e.message()));
    }
    auto objekte = OpenTempTable(kLumo, QStringLiteral("Objekte.DB"), QStringLiteral("O_INr"));
    for (objekte->first(); !objekte->eof() && !objekte->isEmpty(); objekte->next()) {
        const int objektNr = intOf(*objekte, "O_Nr");
        for (int i = 1; i <= 3; ++i) {
            const DefinitionFields& d = kDefinitions[i - 1];
            m_run->showLines(objektNr, i);
            const bool inUse = intOf(*objekte, "O_FormZusatzpos") == i ||
                               FieldFloat(*objekte, name(d.summe)) > 0.001 ||
                               !m_run->lines->isEmpty();
            if (!inUse)
                continue;
            try {
                writeTemplate(*objekte, i);
            } catch (const DbError& e) {
                throw DbError(QStringLiteral("Objekt %1, Rg-Formular %2 konnte nicht konvertiert "
                                             "werden:\r%3\rDie Rechnungsvorlagen bleiben, wie sie "
                                             "vor der Konvertierung waren.")
                                  .arg(objektNr)
                                  .arg(i)
                                  .arg(e.message()));
            }
            if (processEvents)
                processEvents();
        }
    }
}

void TRgvConversion::writeTemplate(table::Table& objekt, int definition) {
    const DefinitionFields& d = kDefinitions[definition - 1];
    const int objektNr = intOf(objekt, "O_Nr");
    table::Table& kopf = *m_kopf;
    kopf.append();
    line(QStringLiteral("Objekt: ") + IntToStrWidth(objektNr, 8) + QStringLiteral(" Rg-Formular ") +
         QString::number(definition));

    const int intervall = intOf(objekt, d.intervall, 1);
    const QDate next = dateOf(objekt, d.next);
    const QDate last = dateOf(objekt, d.last);
    const int kfid = kopfNoOf(objekt, d.kopfNo);
    QString kopfText;
    QString fussText;
    LoadKopfFussText(kfid, kopfText, fussText);
    const QDate plan = ConvertedRgvPlanDate(intervall, m_run->datesOf(intervall), next, last,
                                            dateOf(objekt, "O_Vertragsbeginn"), m_run->today);

    set(kopf, "R_RgState", 7);
    set(kopf, "R_Nr", NextRgvNr(objektNr));
    set(kopf, "R_Anr", IntToStrZero(objektNr, 8));
    set(kopf, "R_Ausgesetzt",
        GetFieldBoolOrDefault(objekt.findField(name("O_Rechnungsstellung")), false));
    for (const char* empty : {"R_Betreuer", "R_ZeitraumTxt", "R_VorspannText", "R_NachspannText",
                              "R_SammelRgText", "R_AdrZweck0", "R_AdrZweck1", "R_AdrZweck2"})
        set(kopf, empty, QString());
    for (const char* zero : {"R_Creator", "R_Buchung", "R_Jahr", "R_Monat", "R_Anzpos", "R_AnrID0",
                             "R_AnrID1", "R_AnrID2", "R_Netto", "R_Netto0", "R_Netto1", "R_Netto2",
                             "R_Brutto", "R_Mwst", "R_Mwst0", "R_Mwst1", "R_Mwst2"})
        set(kopf, zero, 0);
    set(kopf, "R_Intervall", intervall);
    setText(kopf, "R_IVname", GetIvDefComment(intervall));
    set(kopf, "R_PlanDatum", plan.isValid() ? QVariant(plan) : QVariant());
    set(kopf, "R_DatumErstell", last);
    set(kopf, "R_DatumDruck", next);
    set(kopf, "R_FibuKonto2", intOf(objekt, d.account));
    setText(kopf, "R_Buchtext", textOf(objekt, d.buchtext));
    set(kopf, "R_Drucke", intOf(objekt, "O_KopienRG"));
    set(kopf, "R_PrintFormNo", intOf(objekt, d.printForm));
    set(kopf, "R_ObjektNr", objektNr);
    set(kopf, "R_Selected", false);
    set(kopf, "R_LeerRechnungErlaubt", false);
    set(kopf, "R_AutoLS", intOf(objekt, "O_FormZusatzpos") == definition);
    set(kopf, "R_KFID", kfid);
    set(kopf, "R_KopfText", kopfText);
    set(kopf, "R_FussText", fussText);
    set(kopf, "R_Memo", textOf(objekt, "O_Langbezeich"));

    // The definition's own payment term, then the customer's only when it has none.
    TFakturaInitRec init;
    InitFakturaObjektAdresse(objektNr, init);
    InitFakturaZahlbed(intOf(objekt, d.zahlbed), init);
    InitFakturaObjektRg(objektNr, init);
    if (const int kundenNr = intOf(objekt, "O_Kunde"); kundenNr != 0)
        InitFakturaKunde(kundenNr, init);
    FillKopfObjekt(kopf, init);
    FillKopfZahlbed(kopf, init, true);
    FillKopfKunde(kopf, init);
    set(kopf, "R_FaelligDatum", QVariant());
    kopf.post();

    writePositions(objektNr, definition);
    table::Table& satz = *m_satz;
    if (satz.isEditing())
        satz.post();
    RecalcDocumentTables(satz, kopf, m_run->vatRates, DateTimeOfDate(m_run->today), false);
    if (kopf.isEditing())
        kopf.post();
}

void TRgvConversion::writePositions(int objektNr, int definition) {
    table::Table& src = *m_run->lines;
    table::Table& satz = *m_satz;
    m_run->showLines(objektNr, definition);
    const double defaultRate = DefaultVatRate(m_run->vatRates, DateTimeOfDate(m_run->today));
    int ordinal = 0;
    int posNr = 0;
    for (; !src.eof() && !src.isEmpty(); src.next()) {
        ++ordinal;
        // Lines beyond 99 follow the last as an appended line does: a scaled
        // 100 would sort as line 1.
        posNr = ordinal <= 99 ? NormalizePosNr(ordinal)
                              : NextFreePosNr(PosNrBoundsFor({posNr}, 0, false));
        if (posNr < 0)
            throw DbError(QStringLiteral("Die Dauerrechnung hat mehr Positionen, als eine "
                                         "Rechnungsvorlage aufnehmen kann."));
        satz.append();
        set(satz, "S_PosNr", posNr);
        for (const char* zero : {"S_Posart", "S_Origin", "S_RefID", "S_ProvisID"})
            set(satz, zero, 0);
        set(satz, "S_Quelle", 6);
        set(satz, "S_QuellNr", QStringLiteral("Dauerrechnung"));
        set(satz, "S_PosTyp", intOf(src, "T_PosTyp", 4));
        set(satz, "S_MatID", intOf(src, "T_SrcID"));
        setText(satz, "S_SrcNr", textOf(src, "T_SrcNr"));
        set(satz, "S_Rechmode", intOf(src, "T_TxtNr"));
        set(satz, "S_Netto", FieldFloat(src, name("T_Netto")));
        set(satz, "S_Brutto", FieldFloat(src, name("T_Brutto")));
        set(satz, "S_Menge", FieldFloat(src, name("T_Menge")));
        set(satz, "S_EPreis", FieldFloat(src, name("T_Epreis")));
        set(satz, "S_Mwst", GetFieldFloatOrDefault(src.findField(name("T_Mwst")), defaultRate));
        set(satz, "S_MwstKz", intOf(src, "T_MwstKz", DefaultMwstKz));
        set(satz, "S_MwstBetrag", FieldFloat(src, name("T_MwstBetrag")));
        set(satz, "S_ErloesKonto", intOf(src, "T_ErloesKonto"));
        setText(satz, "S_Kurztext", textOf(src, "T_Kurz"));
        set(satz, "S_Text", textOf(src, "T_Text"));
        setText(satz, "S_MengBez", textOf(src, "T_MengBez"));
        satz.post();
    }
}
