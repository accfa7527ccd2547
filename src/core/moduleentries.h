#pragma once
#include <QList>
#include <QSet>
#include <QString>
#include <functional>

// The module entries of the main window's menus and tool bar: which right
// each entry checks before it opens its module, and what opens it. An entry
// whose module is not part of this build has no opener and is shown disabled.

enum class ModuleMenu { Datenbanken, Einstellungen, Statistiken, Datenablage };

struct ModuleEntry {
    QString id; // the opener's name, unique over all menus
    ModuleMenu menu;
    QString caption; // the menu item
    int right = 0;   // function number whose "use" bit is checked; 0: none
    char locate = 0; // address-book link followed before opening; 0: none
    bool reentryGuarded = false;
};

// Every entry in menu order.
const QList<ModuleEntry>& ModuleEntries();
// The entry of an id; nullptr when unknown.
const ModuleEntry* FindModuleEntry(const QString& id);
// The entries of one menu, in menu order.
QList<ModuleEntry> ModuleEntriesOf(ModuleMenu menu);

struct ToolBarButton {
    QString caption;
    QString entryId;
    int row; // 0 or 1
};
// The eighteen tool-bar buttons, row by row, left to right.
const QList<ToolBarButton>& ToolBarButtons();

class ModuleDispatcher {
public:
    using Opener = std::function<void()>;
    using Locator = std::function<void(char kind)>;
    enum class Outcome { Opened, Refused, Busy };

    void setOpener(const QString& id, Opener opener);
    // Follows the address-book link (LocateFromAdress) before a module opens.
    void setLocator(Locator locator);
    bool isAvailable(const QString& id) const;

    // Checks the entry's right (showing the refusal), follows its address
    // link and opens the module. An unknown id or an entry without opener
    // raises DbError: menus keep such entries disabled.
    Outcome run(const QString& id);

private:
    QHash<QString, Opener> m_openers;
    Locator m_locator;
    QSet<QString> m_running;
};
