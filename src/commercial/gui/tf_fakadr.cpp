#include "commercial/gui/tf_fakadr.h"

#include "commercial/documents/kopffusstext.h"
#include "commercial/gui/documentpickers.h"
#include "commercial/gui/tf_rechhead.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/timerworkpause.h"
#include "core/gui/placement.h"
#include "core/messages/messages.h"
#include "masterdata/dialogs/tf_dbrtf.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbrichedit.h"
#include "platform/widgets/fieldform.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using widgets::FieldDecl;
using widgets::FieldKind;

namespace {

const QString kFixed = u"Nicht änderbar"_s;

FieldDecl fixed(const QString& caption, const QString& field, int width = 0,
                const QString& group = {}) {
    FieldDecl d{caption, field, FieldKind::Edit, {}, width};
    d.readOnly = true;
    d.hint = kFixed;
    d.group = group;
    return d;
}

FieldDecl beside(FieldDecl d) {
    d.sameLine = true;
    return d;
}

} // namespace

QString FakAdrDateField(const QString& tableName) {
    if (HasDataModule1()) {
        TDataModule1& dm = DataModule1();
        for (table::Table* t : {&dm.TabOposten(), &dm.TabRechKopf(), &dm.TabGsKopf()})
            if (t->tableName().compare(tableName, Qt::CaseInsensitive) == 0)
                return u"R_DatumDruck"_s;
    }
    return u"R_DatumErstell"_s;
}

TF_FakAdr::TF_FakAdr(table::Table& edit, const QString& dateField, QWidget* parent)
    : QDialog(parent), m_edit(edit), m_source(std::make_unique<widgets::DataSource>(edit)) {
    setObjectName(u"TF_FakAdr"_s);
    setWindowTitle(u"Adressdaten ändern"_s);
    QList<widgets::FieldMenuItem> addressMenu;
    for (const THeadAddressCommand& command : HeadAddressCommands(false))
        addressMenu.append({command.caption, {}, [this, run = command.run](QWidget&) {
                                this->run([&] { run(m_edit); });
                            }});
    addressMenu.append({u"Abbrechen"_s, {}, {}});
    auto address = [&addressMenu](const QString& caption, const QString& field, int width = 0) {
        FieldDecl d{caption, field, FieldKind::Edit, {}, width};
        d.menu = addressMenu;
        return d;
    };
    const QString amounts = u"Netto/Mwst"_s;
    const QString totals = u"Gesamt Netto/Brutto"_s;
    QList<FieldDecl> decls{
        fixed(u"Beleg-Nr."_s, u"R_Nr"_s, 12),
        beside(fixed(u"&Objekt"_s, u"R_ObjektNr"_s, 7)),
        beside(fixed(u"Datum"_s, dateField, 10)),
        {u"Bezeichnung"_s, u"R_OMatch"_s},
        address(u"Name &1"_s, u"R_OName1"_s),
        address(u"Name &2"_s, u"R_OName2"_s),
        address(u"Name &3"_s, u"R_OName3"_s),
        address(u"&Straße"_s, u"R_OStrasse"_s),
        address(u"&Plz/Ort"_s, u"R_OPlz"_s, 6),
        beside(address({}, u"R_OOrt"_s)),
        {u"Langbez."_s, u"R_Memo"_s},
        {u"Sachbearb."_s, u"R_Betreuer"_s},
        {u"Beschreibung"_s, u"R_Beschreibung"_s},
        fixed(u"ohne"_s, u"R_Netto0"_s, 10, amounts),
        beside(fixed({}, u"R_Mwst0"_s, 9, amounts)),
        fixed(u"voll"_s, u"R_Netto1"_s, 10, amounts),
        beside(fixed({}, u"R_Mwst1"_s, 9, amounts)),
        fixed(u"halb"_s, u"R_Netto2"_s, 10, amounts),
        beside(fixed({}, u"R_Mwst2"_s, 9, amounts)),
        fixed(u"Netto"_s, u"R_Netto"_s, 10, totals),
        beside(fixed(u"Brutto"_s, u"R_Brutto"_s, 10, totals)),
    };
    m_fields = new widgets::FieldForm(*m_source, decls, this);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto addButton = [this](QBoxLayout* row, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setAutoDefault(false);
        row->addWidget(b);
        m_buttons.append(b);
        return b;
    };
    connect(addButton(top, u"Überneh&men"_s), &QPushButton::clicked, this, [this] { post(); });
    connect(addButton(top, u"&Abbrechen"_s), &QPushButton::clicked, this, [this] { cancel(); });
    top->addStretch(1);
    connect(addButton(top, u"S&chließen"_s), &QPushButton::clicked, this, [this] { reject(); });
    connect(new QShortcut(QKeySequence(Qt::Key_F10), this), &QShortcut::activated, this,
            [this] { post(); });
    connect(new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Backspace), this), &QShortcut::activated,
            this, [this] { cancel(); });
    layout->addLayout(top);
    layout->addWidget(m_fields);

    // The four texts, two by two; the head and foot text with "Wählen".
    auto* texts = new QGridLayout;
    const struct {
        QString caption, field;
        bool choice;
    } textDecls[] = {{u"Kopftext"_s, u"R_KopfText"_s, true},
                     {u"Fußtext"_s, u"R_FussText"_s, true},
                     {u"Vorspanntext individuell"_s, u"R_VorspannText"_s, false},
                     {u"Nachspanntext individuell"_s, u"R_NachspannText"_s, false}};
    for (int i = 0; i < 4; ++i) {
        const auto& t = textDecls[i];
        auto* bar = new QHBoxLayout;
        auto* caption = new QLabel(t.caption, this);
        bar->addWidget(caption);
        bar->addStretch(1);
        if (t.choice) {
            connect(addButton(bar, u"Wählen"_s), &QPushButton::clicked, this,
                    [this] { chooseKopfFuss(); });
            caption->installEventFilter(this);
            m_textOf.insert(caption, t.field);
        }
        auto* text = new widgets::DbRichEdit(*m_source, t.field, this);
        text->setObjectName(t.field);
        text->setReadOnly(true);
        text->setFocusPolicy(Qt::NoFocus);
        text->setFixedHeight(fontMetrics().height() * 4 + 10);
        text->viewport()->installEventFilter(this);
        m_textOf.insert(text->viewport(), t.field);
        texts->addLayout(bar, (i / 2) * 2, i % 2);
        texts->addWidget(text, (i / 2) * 2 + 1, i % 2);
    }
    layout->addLayout(texts);
    resize(760, 600);
}

TF_FakAdr::~TF_FakAdr() {
    // The widgets are bound to the data source: they go first.
    const auto children = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    qDeleteAll(children);
}

QPushButton* TF_FakAdr::button(const QString& caption) const {
    for (QPushButton* b : m_buttons)
        if (b->text() == caption)
            return b;
    return nullptr;
}

bool TF_FakAdr::run(const std::function<void()>& command) {
    const bool ran = RunShowingErrors(command);
    m_source->notifyRecordChanged();
    return ran;
}

void TF_FakAdr::chooseKopfFuss() {
    run([&] {
        const std::optional<int> chosen = SelectKopfFussText(FieldInt(m_edit, u"R_KFID"_s));
        // Both a cancel and "ohne" choice 0 leave the texts as they are.
        if (!chosen || *chosen == 0)
            return;
        QString kopf, fuss;
        LoadKopfFussText(*chosen, kopf, fuss);
        EnsureEditOrInsert(m_edit);
        m_edit[u"R_KFID"_s] = *chosen;
        m_edit[u"R_KopfText"_s] = kopf;
        m_edit[u"R_FussText"_s] = fuss;
    });
}

void TF_FakAdr::editText(const QString& field) {
    auto* text = findChild<widgets::DbRichEdit*>(field);
    if (!text)
        return;
    run([&] { ShowRtfEditor(this, *text, {}, false); });
}

void TF_FakAdr::post() {
    run([&] {
        if (m_edit.isEditing())
            m_edit.post();
    });
}

void TF_FakAdr::cancel() {
    run([&] {
        if (m_edit.isEditing())
            m_edit.cancel();
    });
}

bool TF_FakAdr::eventFilter(QObject* watched, QEvent* event) {
    const auto field = m_textOf.constFind(watched);
    if (field != m_textOf.cend()) {
        const bool caption = qobject_cast<QLabel*>(watched) != nullptr;
        if (event->type() == QEvent::MouseButtonDblClick && caption) {
            chooseKopfFuss();
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            editText(*field);
            return true;
        }
        if (event->type() == QEvent::MouseButtonPress ||
            event->type() == QEvent::MouseButtonDblClick)
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void EditFakAdr(table::Table& table) {
    const int id = FieldInt(table, u"R_ID"_s);
    std::shared_ptr<table::Database> database;
    for (const QString& alias : {u"LumoDB"_s, u"AblageDB"_s})
        if (table::aliases::database(alias).get() == table.database())
            database = table::aliases::database(alias);
    if (!database)
        throw DbError(u"Die Datenbank der Tabelle %1 ist nicht bekannt."_s.arg(table.tableName()));
    table::Table edit(database, table.tableName());
    edit.open();
    struct Close {
        table::Table& t;
        ~Close() {
            try {
                t.close();
            } catch (...) {
            }
        }
    } close{edit};
    if (!edit.locate({u"R_ID"_s}, {id}))
        return;
    TimerWorkPause pause;
    TF_FakAdr form(edit, FakAdrDateField(table.tableName()), MainForm());
    PlaceBelowMainForm(&form, 0, 0, 0);
    form.resize(std::min(form.width(), 760), form.height());
    form.exec();
}
