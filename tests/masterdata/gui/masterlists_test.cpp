#include "core/data/datamodule.h"
#include "core/gui/mainform.h"
#include "core/moduleentries.h"
#include "core/rights/rights.h"
#include "masterdata/gui/listforms.h"
#include "masterdata/gui/masterdatamodules.h"
#include "masterdata/gui/tf_listform.h"
#include "platform/table/table.h"
#include "tableformfixture.h"

#include <QAction>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

// The main window's entries of articles, activities, staff, suppliers and objects.
class MasterLists : public formtest::MainWindowTest {
protected:
    MasterLists() : MainWindowTest({1, 6, 7, 8, 9, 10}) {}

    QPushButton* toolButton(const QString& caption) const {
        for (QPushButton* b : window->toolButtons)
            if (b->text().remove(u'&') == caption)
                return b;
        return nullptr;
    }
};

TEST_F(MasterLists, EveryEntryAndButtonOpensItsForm) {
    const struct {
        const char* entry;
        const char* form;
        const char* caption;
    } cases[] = {
        {"Artikel", "TF_Artikel", "Warenlager [Objekt 0]"},
        {"Leistungen", "TF_Taetig", "Tätigkeiten"},
        {"Mitarbeiter", "TF_Personal", "Mitarbeiter"},
        {"Lieferanten", "TF_Lieferant", "Lieferanten"},
        {"Objekte", "TF_Objekt", "Objekte"},
    };
    for (const auto& c : cases) {
        const QString entry = QString::fromUtf8(c.entry);
        SCOPED_TRACE(c.entry);
        QAction* item = window->menuItem(u"Datenbanken"_s, entry);
        ASSERT_NE(item, nullptr);
        QPushButton* button = toolButton(entry);
        ASSERT_NE(button, nullptr);
        for (const std::function<void()>& open :
             {std::function<void()>([item] { item->trigger(); }),
              std::function<void()>([button] { button->click(); })}) {
            open();
            TF_ListForm* form = FindListForm(QString::fromLatin1(c.form));
            ASSERT_NE(form, nullptr);
            EXPECT_TRUE(form->isVisible());
            EXPECT_EQ(form->windowTitle(), QString::fromUtf8(c.caption));
            EXPECT_TRUE(form->table().isOpen());
            form->hide();
        }
    }
    EXPECT_TRUE(presenter.boxes.isEmpty()) << presenter.boxes.value(0).text.toStdString();
}

} // namespace
