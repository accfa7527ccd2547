#include "core/data/datamodule.h"
#include "core/rights/rights.h"
#include "masterdata/gui/artikelform.h"
#include "masterdata/gui/lieferantform.h"
#include "masterdata/gui/personalform.h"
#include "masterdata/gui/taetigform.h"
#include "platform/table/table.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/fieldform.h"
#include "tableformfixture.h"

#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

using MasterListRights = formtest::ListFormTest;

// Each form's own button behind a right beyond those of its function.
TEST_F(MasterListRights, EachFormsButtonFollowsItsRight) {
    const struct {
        const char* form;
        ListFormDecl (*declare)();
        int right;
        const char* button;
        int buttonRight;
        quint8 buttonMask;
    } cases[] = {
        {"TF_Artikel", &ArtikelFormDecl, 1, "Importieren", 1, rbExport},
        {"TF_Personal", &PersonalFormDecl, 6, "Dokum.", 7, rbView},
        {"TF_Lieferant", &LieferantFormDecl, 9, "Sortiment", 9, rbExport},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.form);
        CurrentUser = TUserRec();
        grant(c.right, rbView | rbEdit);
        showForm(c.declare());
        QPushButton* button = form->button(QString::fromUtf8(c.button));
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(button->isHidden());
        form->deactivate();
        grant(c.buttonRight, CurrentUser.rights.at(c.buttonRight) | c.buttonMask);
        form->activate();
        EXPECT_FALSE(button->isHidden());
        form.reset();
    }
}

// Entering a calculation field of an activity makes nothing writable that
// the user may not change.
TEST_F(MasterListRights, AnActivityStaysReadOnlyForAUserWithoutTheEditRight) {
    dm->TabTaetig().open();
    for (const quint8 rights : {quint8(rbView), quint8(rbAllRights)}) {
        SCOPED_TRACE(int(rights));
        CurrentUser = TUserRec();
        grant(8, rights);
        showForm(TaetigFormDecl());
        for (const QString& field :
             {u"T_BasisEinheit"_s, u"T_BasisPreis"_s, u"T_BasisMinuten"_s, u"T_KostArt"_s}) {
            form->fields()->editor(field)->setFocus();
            QApplication::processEvents();
            EXPECT_EQ(dm->TabTaetig().isReadOnly(), rights == rbView) << field.toStdString();
        }
        form->deactivate();
        EXPECT_FALSE(dm->TabTaetig().isReadOnly());
        form.reset();
    }
}

} // namespace
