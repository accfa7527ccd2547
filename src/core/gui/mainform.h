#pragma once
#include <QDateTime>
#include <QMainWindow>
#include <functional>
#include <memory>

class ModuleDispatcher;
class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;
class SoundPlayer;

// Date of the start of the run, set when the main window is created.
extern int StartYear;
extern int StartMonth;
extern int StartDay;
// Whether the data module writes its table-opening texts to the start-up
// screen; follows "Splash ein/aus".
extern bool SplashStatusOn;

// The application's main window: a narrow bar across the top of the screen
// with the tool bar, the clock and the main menu. Every module is opened from
// here through the module dispatcher; entries without a module are disabled.
class TF_LumoMain : public QMainWindow {
public:
    using Clock = std::function<QDateTime()>;

    explicit TF_LumoMain(ModuleDispatcher& dispatcher, QWidget* parent = nullptr);
    ~TF_LumoMain() override;

    // The time source of the clock (the system clock by default).
    void setClock(Clock clock);
    // One tick of the clock.
    void Timer1Timer();
    // Hides the menus the logged-in user has no right for; run once after the
    // login.
    void ApplyMenuRights();
    // Enables exactly the module entries that have an opener.
    void refreshModuleEntries();
    // Work on the client's data run at every activation of the window
    // (firstActivation at the first one): installed by the program, since the
    // window itself knows no data module.
    using ActivationWork = std::function<void(bool firstActivation)>;
    void setActivationWork(ActivationWork work);
    // Run whenever the window becomes active.
    void FormActivate();

    QMenu* menuNamed(const QString& title) const;
    // The item of a menu by caption (also in sub-menus); nullptr when missing.
    QAction* menuItem(const QString& menuTitle, const QString& caption) const;

    QWidget* Panel1 = nullptr;
    QWidget* Panel4 = nullptr;
    QLabel* lbDatum = nullptr;
    QLabel* lbUhrzeit = nullptr;
    QTimer* Timer1 = nullptr;
    QCheckBox* RgKopieVermerk = nullptr;
    QAction* VerlegenmitKalender1 = nullptr;
    QAction* SplashEinAus1 = nullptr;
    QList<QPushButton*> toolButtons;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void FormCreate();
    void buildToolBar();
    void buildMenus();
    QMenu* addMenu(const QString& title);
    void finishMenu(QMenu* menu);
    void runEntry(const QString& id);
    // Runs menu work; a database error is shown, a silent abort ends it.
    void runGuarded(const std::function<void()>& work);
    void FormulareGrundeinstellungClick();
    void SplashEinAusClick();

    ModuleDispatcher& m_dispatcher;
    Clock m_clock;
    ActivationWork m_activationWork;
    QList<QMenu*> m_menus;
    QHash<QString, QList<QObject*>> m_entryWidgets;
    bool m_firstActivation = true;
    std::unique_ptr<SoundPlayer> m_soundPlayer;
};

// The one main window of the run (nullptr while none exists).
extern TF_LumoMain* F_LumoMain;

// The copy mark of second prints of invoices and credit notes; false and
// nothing while no main window exists.
bool GetKopieVermerk();
void SetKopieVermerk(bool value);
// The window caption before a client is added to it.
QString MainWindowBaseCaption();

// Gives an entry of the menu "Sonstiges" ("Neue Druckformulare einbinden",
// ...) its work; set before the main window is built. Without one the entry
// stays disabled and says what it waits for.
void SetOtherMenuAction(const QString& caption, std::function<void()> action);
// The tooltip of an entry whose service is not built yet.
QString PendingEntryToolTip(const QString& waitsFor);
// Ends a menu of the main window: a separator and "Abbrechen", which only
// closes the menu; the entries' tooltips are shown.
void FinishMenu(QMenu* menu);
