#include "dbstructure/gui/f_dbreorg.h"

#include "core/files/databasefile.h"
#include "core/gui/placement.h"
#include "core/messages/messages.h"
#include "dbstructure/gui/tableselectdialog.h"
#include "platform/errors.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// Hourglass and a disabled close button for the time of one menu entry.
class BusyScope {
public:
    explicit BusyScope(QPushButton* closeButton) : m_button(closeButton) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        m_button->setEnabled(false);
    }
    ~BusyScope() {
        m_button->setEnabled(true);
        QGuiApplication::restoreOverrideCursor();
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    QPushButton* m_button;
};

const QString kCaptionKontrollBerichte = u"Kontroll-Berichte"_s;

} // namespace

TF_DbReorg::TF_DbReorg(std::shared_ptr<table::Database> db, QWidget* parent)
    : QDialog(parent), m_reorg(std::move(db), [this](const QString& text) { setStatus(text); }) {
    setWindowTitle(u"Datenreorganisation"_s);
    selectTables = [this](const QStringList& tables) { return SelectTablesToPack(tables, this); };

    menuBar = new QMenuBar(this);
    mnuIndex = menuBar->addMenu(u"Indexreparatur"_s);
    const auto& repairs = dbstructure::IndexRepairEntries();
    for (const auto& entry : repairs) {
        if (entry.caption == u"Hilfsdatenbanken"_s)
            mnuIndex->addSeparator();
        const QString caption = entry.caption;
        connect(mnuIndex->addAction(caption), &QAction::triggered, this,
                [this, caption] { repairEntry(caption); });
    }
    mnuIndex->addSeparator();
    // Every page of both databases, as the start does after a crash.
    connect(mnuIndex->addAction(u"Datenbanken prüfen"_s), &QAction::triggered, this,
            [this] { runEntry([this] { checkDatabases(); }); });
    mnuIndex->addSeparator();
    mnuIndex->addAction(u"Abbruch"_s); // only closes the menu

    mnuPack = menuBar->addMenu(u"Datenbanken verdichten"_s);
    for (const auto& entry : dbstructure::PackEntries()) {
        const QString caption = entry.caption;
        connect(mnuPack->addAction(caption), &QAction::triggered, this,
                [this, caption] { packEntry(caption); });
    }
    connect(mnuPack->addAction(u"Auswahl verdichten"_s), &QAction::triggered, this,
            &TF_DbReorg::Auswahlverdichten1Click);
    mnuPack->addSeparator();
    mnuPack->addAction(u"Abbrechen"_s);

    // The label breaks the warning at words to its width; fixed line ends
    // would leave "einsetzen," alone on a line.
    lblWarning = new QLabel(
        u"Achtung! Bevor Sie diese Hilfsfunktionen einsetzen, \r\nmüssen Sie sicherstellen, "
        u"dass keine anderen\r\nArbeitsstationen Ihre Datenbanken  benutzen!"_s.simplified(),
        this);
    lblWarning->setAlignment(Qt::AlignCenter);
    lblWarning->setWordWrap(true);
    QFont bold = lblWarning->font();
    bold.setBold(true);
    lblWarning->setFont(bold);

    btnClose = new QPushButton(u"S&chließen"_s, this);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
    StatusLine = new QStatusBar(this);
    StatusLine->setSizeGripEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnClose);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addWidget(lblWarning, 1);
    layout->addLayout(buttons);
    layout->addWidget(StatusLine);

    setMinimumSize(320, 280);
    setMaximumSize(360, 320);
    resize(322, 280);
    if (QWidget* main = MainForm())
        move(main->frameGeometry().left(), main->frameGeometry().bottom() + 1);
}

QAction* TF_DbReorg::action(const QString& caption) const {
    for (QMenu* menu : {mnuIndex, mnuPack})
        for (QAction* a : menu->actions())
            if (a->text() == caption)
                return a;
    return nullptr;
}

void TF_DbReorg::showEvent(QShowEvent* event) {
    StatusLine->clearMessage(); // no event processing while the form is being shown
    QDialog::showEvent(event);
}

void TF_DbReorg::setStatus(const QString& text) {
    StatusLine->showMessage(text);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TF_DbReorg::runEntry(const std::function<void()>& work) {
    BusyScope busy(btnClose);
    try {
        work();
    } catch (const Abort&) {
    } catch (const DbError& e) {
        ShowError(e.message());
    } catch (const std::exception& e) {
        ShowError(QString::fromLocal8Bit(e.what()));
    }
}

void TF_DbReorg::checkDatabases() {
    setStatus(u"Datenbanken werden geprüft ..."_s);
    CheckClientDatabaseFiles(true);
    setStatus(QString());
    ShowInfo(u"Die Datenbanken sind unbeschädigt."_s);
}

void TF_DbReorg::repairEntry(const QString& caption) {
    for (const auto& entry : dbstructure::IndexRepairEntries())
        if (entry.caption == caption) {
            setStatus(QString());
            runEntry([&] { m_reorg.RepairIndexes(entry.tables); });
            return;
        }
}

void TF_DbReorg::packEntry(const QString& caption) {
    for (const auto& entry : dbstructure::PackEntries())
        if (entry.caption == caption) {
            setStatus(QString());
            runEntry([&] { m_reorg.PackTables(entry.tables); });
            return;
        }
}

void TF_DbReorg::Artikeldaten1Click() {
    repairEntry(u"Artikeldaten"_s);
}
void TF_DbReorg::Eingangsrechnungen1Click() {
    repairEntry(u"Eingangsrechnungen"_s);
}
void TF_DbReorg::KontrollListen1Click() {
    repairEntry(kCaptionKontrollBerichte);
}
void TF_DbReorg::Kundendaten1Click() {
    repairEntry(u"Kundendaten"_s);
}
void TF_DbReorg::Lieferantendaten1Click() {
    repairEntry(u"Lieferantendaten"_s);
}
void TF_DbReorg::Objekte1Click() {
    repairEntry(u"Objekte"_s);
}
void TF_DbReorg::Personaldaten1Click() {
    repairEntry(u"Personaldaten"_s);
}
void TF_DbReorg::Rechnungen1Click() {
    repairEntry(u"Rechnungen"_s);
}
void TF_DbReorg::Taetigkeiten1Click() {
    repairEntry(u"Tätigkeiten"_s);
}
void TF_DbReorg::Tageslisten1Click() {
    repairEntry(u"Tageslisten"_s);
}
void TF_DbReorg::Touren1Click() {
    repairEntry(u"Touren"_s);
}
void TF_DbReorg::Hilfsdatenbanken1Click() {
    repairEntry(u"Hilfsdatenbanken"_s);
}
void TF_DbReorg::Tageslistendatei1Click() {
    packEntry(u"Tageslistendatei"_s);
}
void TF_DbReorg::Kontrollberichtsdatei1Click() {
    packEntry(u"Kontrollberichtsdatei"_s);
}
void TF_DbReorg::Rechnungsdatei1Click() {
    packEntry(u"Rechnungsdatei"_s);
}

void TF_DbReorg::Auswahlverdichten1Click() {
    setStatus(QString());
    QStringList names;
    runEntry([&] { names = m_reorg.TableNames(); });
    const QStringList chosen = selectTables ? selectTables(names) : QStringList();
    if (chosen.isEmpty())
        return;
    runEntry([&] { m_reorg.PackTables(chosen); });
}

void TF_DbReorg::PackDbFile(const QString& fileName) {
    runEntry([&] { m_reorg.PackDbFile(fileName); });
}

void RunDbReorg() {
    dbstructure::ReorgScope scope(dbstructure::CurrentReorgDataModule());
    TF_DbReorg form(scope.database(), MainForm());
    form.exec();
    QCoreApplication::processEvents();
}
