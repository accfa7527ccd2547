#include "datasafety/gui/tf_datev.h"

#include "core/data/timerworkpause.h"
#include "core/files/filedialogfilter.h"
#include "core/files/filehelpers.h"
#include "core/gui/placement.h"
#include "core/messages/manuals.h"
#include "core/messages/messages.h"
#include "datasafety/datev/datevexport.h"
#include "datasafety/datev/datevservice.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/fieldform.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTextDocument>
#include <QTextOption>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using widgets::FieldDecl;
using widgets::FieldKind;

namespace {

const QString kTitle = u"Datenexport an Datev"_s;

// Runs a handler of the form; its error is shown, an abort stays silent.
void guarded(const std::function<void()>& action) {
    try {
        action();
    } catch (const Abort&) {
    } catch (const DbError& error) {
        ShowError(error.message());
    }
}

FieldDecl field(const QString& caption, const QString& name, FieldKind kind, int width = 0,
                const QString& group = {}, bool sameLine = false) {
    FieldDecl d;
    d.caption = caption;
    d.field = name;
    d.kind = kind;
    d.width = width;
    d.group = group;
    d.sameLine = sameLine;
    return d;
}

QList<FieldDecl> masterFields(const std::function<void(QWidget&)>& chooseDir) {
    QList<FieldDecl> d = {
        field(u"&Namenskürzel"_s, u"E_DatevNamensKuerzel"_s, FieldKind::Edit, 3),
        field(u"&Berater-Nr."_s, u"E_DatevBeraterNr"_s, FieldKind::Edit, 8),
        field(u"Berater&name"_s, u"E_DatevBeraterName"_s, FieldKind::Edit, 10),
        field(u"&Mandanten-Nr"_s, u"E_DatevMandantenNr"_s, FieldKind::Edit, 6),
        field(u"Pass&wort"_s, u"E_DatevPasswort"_s, FieldKind::Edit, 5),
        field(u"Datev-&Pfad"_s, u"E_DatevPfad"_s, FieldKind::Edit),
        field(u"Kontonummern-&Länge"_s, u"E_DatevKontoNrLaenge"_s, FieldKind::Edit, 2),
        field(u"Stkz &0%"_s, u"E_DatevStkz0"_s, FieldKind::Edit, 2),
        field(u"Rechnungskonten sind Automatikkonten"_s, u"E_DatevKontoAusRechnung"_s,
              FieldKind::CheckBox),
        field(u"Buchungen exportieren &vom"_s, u"E_DatevDatumVon"_s, FieldKind::Date, 10),
        field(u"bis &zum"_s, u"E_DatevDatumBis"_s, FieldKind::Date, 10, {}, true),
        field(u"&Datenträger-Nr."_s, u"E_DatevDatenTraegerNr"_s, FieldKind::Edit, 4),
        field(u"Abrechnungs-N&r."_s, u"E_DatevLastAbrechNr"_s, FieldKind::Edit, 3),
    };
    d[5].pick = chooseDir;
    d[5].hint = u"Doppelklick: Verzeichnis wählen"_s;
    return d;
}

QList<FieldDecl> accountFields() {
    const QString e = u"Erlöskonten"_s;
    const QString w = u"Wareneingangskonten"_s;
    const QString x = u"Export-Umfang"_s;
    const QString a = u"Automatik-Konto"_s;
    return {
        field(u"Volle &Ust"_s, u"E_DatevEKonto16"_s, FieldKind::Edit, 10, e),
        field(a, u"E_DatevEKonto16Auto"_s, FieldKind::CheckBox, 0, e, true),
        field(u"Verm. U&st"_s, u"E_DatevEKonto7"_s, FieldKind::Edit, 10, e),
        field(a, u"E_DatevEKonto7Auto"_s, FieldKind::CheckBox, 0, e, true),
        field(u"&Ohne Ust"_s, u"E_DatevEKonto0"_s, FieldKind::Edit, 10, e),
        field(a, u"E_DatevEKonto0Auto"_s, FieldKind::CheckBox, 0, e, true),
        field(u"Volle &Vst"_s, u"E_DatevWKonto16"_s, FieldKind::Edit, 10, w),
        field(a, u"E_DatevWKonto16Auto"_s, FieldKind::CheckBox, 0, w, true),
        field(u"Verm. Vs&t"_s, u"E_DatevWKonto7"_s, FieldKind::Edit, 10, w),
        field(a, u"E_DatevWKonto7Auto"_s, FieldKind::CheckBox, 0, w, true),
        field(u"Ohne Vst"_s, u"E_DatevWKonto0"_s, FieldKind::Edit, 10, w),
        field(a, u"E_DatevWKonto0Auto"_s, FieldKind::CheckBox, 0, w, true),
        field(u"Buchungen"_s, u"E_DatevDoBuchungen"_s, FieldKind::CheckBox, 0, x),
        field(u"Debitoren"_s, u"E_DatevDoDebitoren"_s, FieldKind::CheckBox, 0, x, true),
        field(u"Kreditoren"_s, u"E_DatevDoKreditoren"_s, FieldKind::CheckBox, 0, x),
        field(u"Lohndaten"_s, u"E_DatevDoLohn"_s, FieldKind::CheckBox, 0, x, true),
    };
}

QPushButton* button(QWidget* owner, const QString& name, const QString& caption) {
    auto* b = new QPushButton(caption, owner);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

TF_Datev::TF_Datev(QWidget* parent) : QDialog(parent) {
    setObjectName(u"F_Datev"_s);
    setWindowTitle(kTitle);
    m_settings =
        std::make_unique<table::Table>(table::aliases::database(u"LumoDB"_s), u"ExpStamm.DB"_s);
    m_settings->open();
    // A client that never saw the export gets its settings row now.
    if (m_settings->isEmpty()) {
        m_settings->append();
        m_settings->field(u"E_ID"_s).setValue(1);
        m_settings->post();
    }
    m_settings->first();
    m_source = std::make_unique<widgets::DataSource>(*m_settings);

    auto* left = new widgets::FieldForm(
        *m_source, masterFields([this](QWidget&) { btnSearchDirClick(); }), this);
    m_fields = left;
    auto* right = new widgets::FieldForm(*m_source, accountFields(), this);
    if (auto* pass = left->editorAs<QLineEdit>(u"E_DatevPasswort"_s)) {
        pass->setEchoMode(QLineEdit::Password);
        pass->setStyleSheet(u"lineedit-password-character: 42;"_s); // "*"
    }
    if (auto* pathEdit = left->editorAs<QLineEdit>(u"E_DatevPfad"_s))
        pathEdit->setMaxLength(127);

    auto* formatBox = new QGroupBox(u"Datenformat"_s, this);
    auto* formatRow = new QHBoxLayout(formatBox);
    RadioGroup1 = new QButtonGroup(this);
    const QString formats[] = {u"OBE"_s, u"KNE"_s};
    for (int i = 0; i < 2; ++i) {
        auto* radio = new QRadioButton(formats[i], formatBox);
        RadioGroup1->addButton(radio, i);
        formatRow->addWidget(radio);
    }
    formatRow->addStretch();
    if (QAbstractButton* current =
            RadioGroup1->button(m_settings->field(u"E_Datev_Format"_s).asIntegerOr(0) == 1 ? 1 : 0))
        current->setChecked(true);
    connect(RadioGroup1, &QButtonGroup::idClicked, this,
            [this](int id) { guarded([&] { setFormat(id); }); });

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(u"Memo1"_s);
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont courier(u"Courier New"_s);
    courier.setStyleHint(QFont::Monospace);
    courier.setPointSize(9);
    Memo1->setFont(courier);
    Memo1->setMinimumHeight(150);

    btnPost = button(this, u"btnPost"_s, u"Über&nehmen"_s);
    btnCancel = button(this, u"btnCancel"_s, u"&Abbrechen"_s);
    btnSearchDir = button(this, u"btnSearchDir"_s, u"&Suchen"_s);
    sbtnExecute = button(this, u"sbtnExecute"_s, u"A&usführen"_s);
    sbtnSave = button(this, u"sbtnSave"_s, u"Sp&eichern"_s);
    sbtnPrint = button(this, u"sbtnPrint"_s, u"Dr&ucken"_s);
    sbtnInfo = button(this, u"sbtnInfo"_s, u"&?Info?"_s);
    auto* btnClose = button(this, u"btnClose"_s, u"S&chließen"_s);
    sbtnSave->setEnabled(false);
    sbtnPrint->setEnabled(false);
    btnSearchDir->setToolTip(u"Verzeichnis für die Datev-Dateien wählen"_s);

    connect(btnPost, &QPushButton::clicked, this, [this] { guarded([&] { postPending(); }); });
    connect(btnCancel, &QPushButton::clicked, this, [this] {
        guarded([&] {
            if (m_settings->isEditing())
                m_settings->cancel();
        });
    });
    connect(btnSearchDir, &QPushButton::clicked, this,
            [this] { guarded([&] { btnSearchDirClick(); }); });
    connect(sbtnExecute, &QPushButton::clicked, this,
            [this] { guarded([&] { sbtnExecuteClick(); }); });
    connect(sbtnSave, &QPushButton::clicked, this, [this] { guarded([&] { sbtnSaveClick(); }); });
    connect(sbtnPrint, &QPushButton::clicked, this, [this] { guarded([&] { sbtnPrintClick(); }); });
    connect(sbtnInfo, &QPushButton::clicked, this,
            [] { guarded([] { ShowHandbuchPage(u"datev.html"_s); }); });
    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);

    auto* rightColumn = new QVBoxLayout;
    rightColumn->addWidget(right);
    rightColumn->addWidget(formatBox);
    rightColumn->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(left, 1);
    top->addLayout(rightColumn, 1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {btnPost, btnCancel, btnSearchDir})
        buttons->addWidget(b);
    buttons->addSpacing(16);
    for (QPushButton* b : {sbtnExecute, sbtnSave, sbtnPrint})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(sbtnInfo);
    buttons->addWidget(btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Memo1, 1);
    layout->addLayout(buttons);
    resize(980, 650);
}

TF_Datev::~TF_Datev() {
    m_source.reset();
    m_settings->close();
}

void TF_Datev::postPending() {
    if (m_settings->isEditing())
        m_settings->post();
}

void TF_Datev::setFormat(int format) {
    m_settings->edit();
    m_settings->field(u"E_Datev_Format"_s).setValue(format);
    m_settings->post();
}

void TF_Datev::AddDatevProtocolLine(const QString& text) {
    Memo1->appendPlainText(QString(10, u' ') + text);
    sbtnSave->setEnabled(true);
    sbtnPrint->setEnabled(true);
}

int TF_Datev::askAccountNumber(const QString& prompt) {
    QInputDialog dialog(this);
    dialog.setWindowTitle(u"Bitte fehlende Kontonummer ergänzen"_s);
    dialog.setLabelText(prompt);
    dialog.setTextValue(u"0"_s);
    if (dialog.exec() != QDialog::Accepted)
        return 0;
    bool ok = false;
    const int value = dialog.textValue().trimmed().toInt(&ok);
    return ok ? value : 0;
}

void TF_Datev::sbtnExecuteClick() {
    postPending();
    datev::ExportUi ui;
    ui.clearProtocol = [this] {
        Memo1->clear();
        sbtnSave->setEnabled(false);
        sbtnPrint->setEnabled(false);
    };
    ui.protocol = [this](const QString& line) { AddDatevProtocolLine(line); };
    ui.askAccountNumber = [this](const QString& prompt) { return askAccountNumber(prompt); };
    ui.processEvents = [] { QApplication::processEvents(); };
    datev::DatevExport exporter(ui);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct RestoreCursor {
        ~RestoreCursor() { QApplication::restoreOverrideCursor(); }
    } restore;
    exporter.execute(*m_settings);
    if (!exporter.vorlauf().pfad.isEmpty())
        m_lastTarget = exporter.vorlauf().pfad;
    m_source->notifyRecordChanged();
}

void TF_Datev::sbtnSaveClick() {
    QFileDialog dialog(this, u"Protokoll speichern"_s, m_lastTarget,
                       QtFilterString(u"Textdateien|*.txt"_s));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(u"txt"_s);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString name = dialog.selectedFiles().first();
    if (!WriteTextDataFile(name, Memo1->toPlainText().split(u'\n')))
        ShowError(
            u"In Datei %1 kann nicht geschrieben werden!"_s.arg(QDir::toNativeSeparators(name)));
}

void TF_Datev::sbtnPrintClick() {
    QPrinter printer;
    printer.setDocName(u"Datev-Übergabeprotokoll"_s);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(u"Drucken"_s);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QTextDocument document;
    // Lines keep their columns: a smaller font instead of wrapping.
    QFont font = Memo1->font();
    font.setPointSize(8);
    document.setDefaultFont(font);
    QTextOption option = document.defaultTextOption();
    option.setWrapMode(QTextOption::NoWrap);
    document.setDefaultTextOption(option);
    document.setPlainText(u"Datev-Übergabeprotokoll\n\n"_s + Memo1->toPlainText());
    document.print(&printer);
}

void TF_Datev::btnSearchDirClick() {
    QString start = m_settings->field(u"E_DatevPfad"_s).asStringOr(QString()).trimmed();
    if (start.isEmpty() || !QDir(QDir::fromNativeSeparators(start)).exists())
        start = QDir::homePath();
    // The directory dialog lets the user create a new directory.
    const QString dir = QFileDialog::getExistingDirectory(this, u"Verzeichnis wählen"_s, start);
    if (dir.isEmpty())
        return;
    m_settings->edit();
    m_settings->field(u"E_DatevPfad"_s).setValue(QString(QDir::toNativeSeparators(dir) + u'/'));
    m_settings->post();
}

void TF_Datev::closeEvent(QCloseEvent* event) {
    if (m_settings->isEditing()) {
        if (AskYesNo(u"Möchten Sie die Änderungen speichern?"_s)) {
            try {
                m_settings->post();
            } catch (const DbError& error) {
                ShowError(error.message());
                event->ignore();
                return;
            }
        } else {
            m_settings->cancel();
        }
    }
    QDialog::closeEvent(event);
}

void ShowDatevFormWindow() {
    TimerWorkPause pause;
    TF_Datev form(MainForm());
    if (QWidget* main = MainForm())
        form.move(main->frameGeometry().topLeft() + QPoint(200, 32));
    form.exec();
}

void InstallDatevForm() {
    SetDatevFormOpener(&ShowDatevFormWindow);
}
