#include "core/gui/mainform.h"

#include "core/gui/aboutbox.h"
#include "core/gui/datasafetymenu.h"
#include "core/gui/f_editugroups.h"
#include "core/gui/f_editurights.h"
#include "core/gui/formstorage.h"
#include "core/gui/helpview.h"
#include "core/gui/loginform.h"
#include "core/gui/placement.h"
#include "core/gui/splashform.h"
#include "core/gui/wavsoundplayer.h"
#include "core/messages/manuals.h"
#include "core/messages/messages.h"
#include "core/messages/splashstatus.h"
#include "core/messages/syslog.h"
#include "core/moduleentries.h"
#include "core/rights/rights.h"
#include "core/settings/formlayoutreset.h"
#include "core/settings/programsettings.h"
#include "core/settings/settingsfiles.h"
#include "core/values/datetext.h"
#include "platform/errors.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

using namespace Qt::StringLiterals;

int StartYear = 0;
int StartMonth = 0;
int StartDay = 0;
bool SplashStatusOn = true;
TF_LumoMain* F_LumoMain = nullptr;

namespace {

const QString kAbbrechen = u"Abbrechen"_s;

// Entries of "Sonstiges" whose work lives in a library above this window.
QHash<QString, std::function<void()>>& otherActions() {
    static QHash<QString, std::function<void()>> actions;
    return actions;
}

// What a disabled entry of "Sonstiges" waits for.
const struct {
    const char16_t* caption;
    const char16_t* waitsFor;
} kPendingOther[] = {
    {u"Rechnungsvorlagen konvertieren", u"die Umstellung der alten Rechnungsvorlagen"},
    {u"Adressdatenbank erstellen", u"das Adressbuch"},
    {u"Neue Druckformulare einbinden", u"die Wartung der Datenbank"},
};

// The tool-bar buttons' text colours: masters blue, documents navy, open
// items red.
QColor buttonColour(const QString& caption) {
    if (caption.startsWith(u"Off. Post."_s))
        return QColor(0xC0, 0x00, 0x00);
    static const QStringList documents = {u"Lieferscheine"_s, u"Angebote"_s, u"Rechnungen"_s,
                                          u"Aufträge"_s, u"Wareneing."_s};
    if (documents.contains(caption))
        return QColor(0x00, 0x00, 0x80);
    return QColor(0x00, 0x00, 0xFF);
}

// A small drawn symbol: a sheet with a coloured band and the button's
// initial.
QIcon drawButtonIcon(const QString& caption, const QColor& colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour.darker(130), 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(1.5, 0.5, 13, 15), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRect(QRectF(2, 1, 12, 5));
    QFont font(u"Arial"_s);
    font.setPixelSize(9);
    font.setBold(true);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(QRectF(2, 6, 12, 10), Qt::AlignCenter, caption.left(1));
    return QIcon(pixmap);
}

QString menuTitleOf(ModuleMenu menu) {
    switch (menu) {
    case ModuleMenu::Datenbanken:
        return u"Datenbanken"_s;
    case ModuleMenu::Einstellungen:
        return u"Einstellungen"_s;
    case ModuleMenu::Statistiken:
        return u"Statistiken"_s;
    case ModuleMenu::Datenablage:
        return u"Datenablage"_s;
    }
    return {};
}

} // namespace

QString PendingEntryToolTip(const QString& waitsFor) {
    return u"Noch nicht verfügbar: wartet auf "_s + waitsFor + u'.';
}

void SetOtherMenuAction(const QString& caption, std::function<void()> action) {
    otherActions().insert(caption, std::move(action));
}

QString MainWindowBaseCaption() {
    return u"Domvera  "_s + VersionText + QString(6, u' ') +
           u"© Domvera-Entwicklung. Alle Rechte vorbehalten."_s + QString(40, u' ');
}

bool GetKopieVermerk() {
    return F_LumoMain && F_LumoMain->RgKopieVermerk->isChecked();
}

void SetKopieVermerk(bool value) {
    if (F_LumoMain)
        F_LumoMain->RgKopieVermerk->setChecked(value);
}

TF_LumoMain::TF_LumoMain(ModuleDispatcher& dispatcher, QWidget* parent)
    : QMainWindow(parent), m_dispatcher(dispatcher),
      m_clock([] { return QDateTime::currentDateTime(); }) {
    setObjectName(u"F_LumoMain"_s);
    // The modules of the application core itself.
    if (!m_dispatcher.isAvailable(u"EditGroupRightsClick"_s))
        m_dispatcher.setOpener(u"EditGroupRightsClick"_s, [] { EditGroupRightsClick(F_LumoMain); });
    if (!m_dispatcher.isAvailable(u"EditUserRightsClick"_s))
        m_dispatcher.setOpener(u"EditUserRightsClick"_s, [] { EditUserRightsClick(F_LumoMain); });
    if (!HasDocumentOpener())
        SetDocumentOpener([](const QString& target, DocumentVerb) {
            // A folder opens in the file manager either way.
            return QDesktopServices::openUrl(IsUrlTarget(target) ? QUrl(target)
                                                                 : QUrl::fromLocalFile(target));
        });
    // A player installed before (tests record the sounds) stays in charge.
    if (SoundPlayer* installed = SetSoundPlayer(nullptr)) {
        SetSoundPlayer(installed);
    } else {
        m_soundPlayer = std::make_unique<WavSoundPlayer>();
        SetSoundPlayer(m_soundPlayer.get());
    }
    FormCreate();
    F_LumoMain = this;
    SetMainForm(this);
}

TF_LumoMain::~TF_LumoMain() {
    if (m_soundPlayer)
        SetSoundPlayer(nullptr);
    if (F_LumoMain == this) {
        F_LumoMain = nullptr;
        if (MainForm() == this)
            SetMainForm(nullptr);
    }
}

void TF_LumoMain::FormCreate() {
    SetSplashStatus(u"LumoMain"_s);
    setWindowTitle(MainWindowBaseCaption());
    const QDate today = QDate::currentDate();
    StartYear = today.year();
    StartMonth = today.month();
    StartDay = today.day();
    ReadPartopt();
    ReadTabstops();

    RgKopieVermerk = new QCheckBox(u"Kopie"_s, this);
    RgKopieVermerk->setObjectName(u"RgKopieVermerk"_s);
    RgKopieVermerk->setVisible(false);

    buildMenus();
    buildToolBar();

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    Timer1Timer();
    Timer1->start();

    setMinimumWidth(960);
    move(0, 0);
    resize(960, menuBar()->sizeHint().height() + 62);

    auto* storage = new FormStorage(this, kPlacementFile01, u"Main"_s, StoreState);
    storage->setStoredProperties({u"VerlegenmitKalender1.checked"_s, u"RgKopieVermerk.checked"_s});
    refreshModuleEntries();
}

void TF_LumoMain::buildToolBar() {
    Panel1 = new QFrame(this);
    Panel1->setObjectName(u"Panel1"_s);
    Panel1->setToolTip(u"Click: Adressverwaltung einblenden"_s);
    Panel1->setAutoFillBackground(true);
    setCentralWidget(Panel1);

    int column[2] = {0, 0};
    for (const ToolBarButton& b : ToolBarButtons()) {
        auto* button =
            new QPushButton(drawButtonIcon(b.caption, buttonColour(b.caption)), b.caption, Panel1);
        button->setObjectName(u"btn_"_s + b.entryId);
        QFont font(u"Arial"_s);
        font.setBold(true);
        font.setPointSize(8);
        button->setFont(font);
        QPalette palette = button->palette();
        palette.setColor(QPalette::Active, QPalette::ButtonText, buttonColour(b.caption));
        palette.setColor(QPalette::Inactive, QPalette::ButtonText, buttonColour(b.caption));
        button->setPalette(palette);
        button->setIconSize(QSize(14, 14));
        button->setGeometry(4 + 96 * column[b.row]++, b.row == 0 ? 3 : 31, 94, 26);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::clicked, this, [this, id = b.entryId] { runEntry(id); });
        toolButtons.append(button);
        m_entryWidgets[b.entryId].append(button);
    }

    Panel4 = new QFrame(Panel1);
    Panel4->setObjectName(u"Panel4"_s);
    auto* frame = static_cast<QFrame*>(Panel4);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Sunken);
    Panel4->setAutoFillBackground(true);
    QPalette clockPalette = Panel4->palette();
    clockPalette.setColor(QPalette::Window, QColor(0xF4, 0xF8, 0xFF));
    Panel4->setPalette(clockPalette);
    Panel4->setGeometry(4 + 96 * 9 + 2, 3, 85, 54);
    QFont clockFont(u"Arial"_s);
    clockFont.setBold(true);
    clockFont.setPointSize(9);
    lbDatum = new QLabel(Panel4);
    lbUhrzeit = new QLabel(Panel4);
    for (QLabel* label : {lbDatum, lbUhrzeit}) {
        label->setFont(clockFont);
        label->setAlignment(Qt::AlignCenter);
    }
    // A click on the bar's background or the clock shows the address book.
    for (QWidget* w :
         {Panel1, Panel4, static_cast<QWidget*>(lbDatum), static_cast<QWidget*>(lbUhrzeit)})
        w->installEventFilter(this);
    lbDatum->setGeometry(0, 6, 85, 20);
    lbUhrzeit->setGeometry(0, 28, 85, 20);
}

QMenu* TF_LumoMain::addMenu(const QString& title) {
    QMenu* menu = menuBar()->addMenu(title);
    menu->setObjectName(title);
    m_menus.append(menu);
    return menu;
}

void TF_LumoMain::finishMenu(QMenu* menu) {
    FinishMenu(menu);
}

void FinishMenu(QMenu* menu) {
    menu->setToolTipsVisible(true);
    menu->addSeparator();
    // Closes the menu, nothing else.
    QObject::connect(menu->addAction(kAbbrechen), &QAction::triggered, menu, &QMenu::close);
}

void TF_LumoMain::buildMenus() {
    for (ModuleMenu kind : {ModuleMenu::Datenbanken, ModuleMenu::Einstellungen,
                            ModuleMenu::Statistiken, ModuleMenu::Datenablage}) {
        QMenu* menu = addMenu(menuTitleOf(kind));
        for (const ModuleEntry& e : ModuleEntriesOf(kind)) {
            QAction* action = menu->addAction(e.caption);
            action->setObjectName(e.id);
            connect(action, &QAction::triggered, this, [this, id = e.id] { runEntry(id); });
            m_entryWidgets[e.id].append(action);
        }
        finishMenu(menu);
    }
    QMenu* datensicherung = addMenu(u"Datensicherung"_s);
    FillDatensicherungMenu(datensicherung, this);
    finishMenu(datensicherung);
    QMenu* importExport = addMenu(u"Import/Export"_s);
    FillImportExportMenu(importExport, this);
    finishMenu(importExport);
    // Filled by client switching.
    finishMenu(addMenu(u"Mandant"_s));

    QMenu* sonstiges = addMenu(u"Sonstiges"_s);
    connect(sonstiges->addAction(u"Über Domvera"_s), &QAction::triggered, this,
            [this] { ShowAboutBox(this); });
    VerlegenmitKalender1 = sonstiges->addAction(u"Verlegen mit Kalender"_s);
    VerlegenmitKalender1->setObjectName(u"VerlegenmitKalender1"_s);
    VerlegenmitKalender1->setCheckable(true);
    VerlegenmitKalender1->setChecked(true);
    connect(sonstiges->addAction(u"Formulare Grundeinstellung"_s), &QAction::triggered, this,
            [this] { FormulareGrundeinstellungClick(); });
    SplashEinAus1 = sonstiges->addAction(u"Splash ein/aus"_s);
    SplashEinAus1->setCheckable(true);
    connect(SplashEinAus1, &QAction::triggered, this, [this] { SplashEinAusClick(); });
    connect(sonstiges->addAction(u"Passwort ändern"_s), &QAction::triggered, this,
            [this] { ChangeOwnPasswordClick(this); });
    // The conversions belong to the database maintenance, which installs
    // what it has built; the others wait, saying for what.
    for (const auto& pending : kPendingOther) {
        const QString caption = QString::fromUtf16(pending.caption);
        QAction* action = sonstiges->addAction(caption);
        if (const auto work = otherActions().value(caption)) {
            connect(action, &QAction::triggered, this, [this, work] { runGuarded(work); });
        } else {
            action->setEnabled(false);
            action->setToolTip(PendingEntryToolTip(QString::fromUtf16(pending.waitsFor)));
        }
    }
    connect(sonstiges->addAction(u"Programm beenden"_s), &QAction::triggered, this,
            [this] { close(); });
    finishMenu(sonstiges);

    QMenu* hilfe = addMenu(u"Hilfe"_s);
    connect(hilfe->addAction(u"Online-Handbuch"_s), &QAction::triggered, this,
            [] { ShowHandbuchIndex(); });
    const struct {
        QString caption;
        QString file;
    } manuals[] = {{u"Erste Schritte"_s, u"FirstSteps.pdf"_s},
                   {u"Domvera Handbuch"_s, u"Handbuchv2x.pdf"_s},
                   {u"Update Version 2.20/2.30"_s, u"AddV230.pdf"_s}};
    for (const auto& manual : manuals)
        connect(hilfe->addAction(manual.caption), &QAction::triggered, this,
                [file = manual.file] { ShowHandbuchFile(file); });
    connect(hilfe->addAction(u"Domvera Hilfesystem"_s), &QAction::triggered, this,
            [this] { ShowHelpView(this); });
    finishMenu(hilfe);

    QMenu* merkmale = addMenu(u"Merkmale"_s);
    merkmale->addAction(u"Kunden"_s);
    merkmale->menuAction()->setVisible(false);
}

QMenu* TF_LumoMain::menuNamed(const QString& title) const {
    for (QMenu* menu : m_menus)
        if (menu->title() == title)
            return menu;
    return nullptr;
}

QAction* TF_LumoMain::menuItem(const QString& menuTitle, const QString& caption) const {
    QMenu* menu = menuNamed(menuTitle);
    if (!menu)
        return nullptr;
    QList<QMenu*> pending{menu};
    while (!pending.isEmpty()) {
        for (QAction* action : pending.takeFirst()->actions()) {
            if (action->text() == caption)
                return action;
            if (action->menu())
                pending.append(action->menu());
        }
    }
    return nullptr;
}

void TF_LumoMain::refreshModuleEntries() {
    for (auto it = m_entryWidgets.cbegin(); it != m_entryWidgets.cend(); ++it) {
        const bool available = m_dispatcher.isAvailable(it.key());
        const ModuleEntry* entry = FindModuleEntry(it.key());
        const QString tip =
            available || !entry
                ? QString()
                : PendingEntryToolTip(u"den Programmteil „"_s + entry->caption + u"“"_s);
        for (QObject* object : it.value()) {
            if (auto* action = qobject_cast<QAction*>(object)) {
                action->setEnabled(available);
                action->setToolTip(tip);
            } else if (auto* widget = qobject_cast<QWidget*>(object)) {
                widget->setEnabled(available);
                widget->setToolTip(tip);
            }
        }
    }
}

void TF_LumoMain::runEntry(const QString& id) {
    runGuarded([this, &id] { m_dispatcher.run(id); });
}

void TF_LumoMain::runGuarded(const std::function<void()>& work) {
    try {
        work();
    } catch (const Abort&) {
    } catch (const DbError& error) {
        ShowError(error.message());
    }
}

void TF_LumoMain::ApplyMenuRights() {
    SplashEinAus1->setChecked(SplashForm && SplashForm->isVisible());
    const struct {
        const char16_t* title;
        int right;
    } rules[] = {{u"Einstellungen", 33}, {u"Import/Export", 54},  {u"Mandant", 55},
                 {u"Sonstiges", 56},     {u"Datensicherung", 48}, {u"Datenablage", 40}};
    for (const auto& rule : rules)
        if (!HasViewRight(rule.right))
            menuNamed(QString::fromUtf16(rule.title))->menuAction()->setVisible(false);
    if (QAction* reorg = menuItem(u"Datensicherung"_s, u"Datenreorganisation"_s))
        reorg->setVisible(HasViewRight(52));
    QCoreApplication::processEvents();
}

void TF_LumoMain::setClock(Clock clock) {
    m_clock = std::move(clock);
    Timer1Timer();
}

void TF_LumoMain::Timer1Timer() {
    const QDateTime now = m_clock();
    lbUhrzeit->setText(now.time().toString(u"hh:mm:ss"_s));
    const QDate date = now.date();
    const QString dateText = PackedDateToStr(
        TPackedDate(quint16(date.year()), quint8(date.month()), quint8(date.day())));
    if (lbDatum->text() != dateText)
        lbDatum->setText(dateText);
}

void TF_LumoMain::FormulareGrundeinstellungClick() {
    if (!ResetFormLayouts())
        ShowError(u"Die Formular-Einstellungen konnten nicht vollständig zurückgesetzt werden."_s);
    else
        ShowInfo(u"Die Formulare wurden auf die Grundeinstellung zurückgesetzt: jedes Fenster "
                 u"öffnet wieder an seinem vorgesehenen Platz in seiner vorgesehenen Größe. "
                 u"Spaltenbreiten und der zuletzt angemeldete Benutzer bleiben erhalten."_s);
}

void TF_LumoMain::SplashEinAusClick() {
    raise();
    ShowSplash(SplashEinAus1->isChecked(), width());
    raise();
    activateWindow();
}

void TF_LumoMain::FormActivate() {
    if (SplashForm)
        SplashForm->resize(width(), SplashForm->height());
    SplashStatusOn = SplashEinAus1->isChecked();
    SetSplashStatusText(QString());
    Panel4->setVisible(!ServiceMode);
    // The work of the first activation (default cost types, the company's cost
    // switch, the tours' next dates, the layout import) is installed by the
    // program, which knows the modules this library must not reach.
    const bool first = m_firstActivation;
    m_firstActivation = false;
    if (m_activationWork)
        m_activationWork(first);
}

void TF_LumoMain::setActivationWork(ActivationWork work) {
    m_activationWork = std::move(work);
}

void TF_LumoMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

bool TF_LumoMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease && m_dispatcher.isAvailable(u"TF_Adress"_s)) {
        runEntry(u"TF_Adress"_s);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TF_LumoMain::closeEvent(QCloseEvent* event) {
    QCoreApplication::processEvents();
    WriteLog(u"LOGOUT PROGEND"_s);
    QMainWindow::closeEvent(event);
}
