#pragma once

#include "dbstructure/reorganisation.h"

#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QStatusBar;

// "Datenreorganisation": index repair per menu entry and packing of tables of
// the current client's database.
class TF_DbReorg : public QDialog {
    Q_OBJECT
public:
    explicit TF_DbReorg(std::shared_ptr<table::Database> db, QWidget* parent = nullptr);

    QMenuBar* menuBar;
    QMenu* mnuIndex;
    QMenu* mnuPack;
    QLabel* lblWarning;
    QPushButton* btnClose;
    QStatusBar* StatusLine;

    // The choice of "Auswahl verdichten" from the client's tables; replaceable
    // for tests. Empty: nothing is packed.
    std::function<QStringList(const QStringList& tables)> selectTables;

    // The menu actions by caption, for tests and shortcuts.
    QAction* action(const QString& caption) const;

    void Artikeldaten1Click();
    void Eingangsrechnungen1Click();
    void KontrollListen1Click();
    void Kundendaten1Click();
    void Lieferantendaten1Click();
    void Objekte1Click();
    void Personaldaten1Click();
    void Rechnungen1Click();
    void Taetigkeiten1Click();
    void Tageslisten1Click();
    void Touren1Click();
    void Hilfsdatenbanken1Click();
    void Tageslistendatei1Click();
    void Kontrollberichtsdatei1Click();
    void Rechnungsdatei1Click();
    void Auswahlverdichten1Click();
    void PackDbFile(const QString& fileName);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void repairEntry(const QString& caption);
    // "Datenbanken prüfen": both databases page by page; raises naming a damage.
    void checkDatabases();
    void packEntry(const QString& caption);
    // Runs one menu entry with the hourglass and the close button disabled;
    // an error ends the entry and is shown.
    void runEntry(const std::function<void()>& work);
    void setStatus(const QString& text);

    dbstructure::DbReorganisation m_reorg;
};

// Opens the reorganisation for the current client: the data module's tables
// are closed and its timer work paused while the form is shown.
void RunDbReorg();
