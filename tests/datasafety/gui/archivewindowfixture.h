#pragma once

#include "core/data/clientdbfixture.h"
#include "core/data/reportsource.h"
#include "core/gui/modaldriver.h"
#include "datasafety/gui/archiveviewdecl.h"
#include "datasafety/gui/tf_archiveview.h"
#include "platform/table/table.h"
#include "printing/printingsetup.h"
#include "printing/reportentry.h"

#include <QTest>
#include <QVariant>

namespace archivegui {

using namespace Qt::StringLiterals;
using Values = QList<std::pair<QString, QVariant>>;

// Both databases of a new client, the program's reports, and every print
// entry of a browser replaced by one that notes what it was asked to print.
class ArchiveWindowFixture : public datatest::ClientDbFixture {
protected:
    struct PrintCall {
        int id = 0;
        bool preview = false;
        QString layout;
        QString database; // ReportDatabaseName during the call
        int source = 0;   // RgPrintSource during the call
    };

    void SetUp() override {
        ClientDbFixture::SetUp();
        InitPrinting();
        TF_ArchiveView::forgetRemembered();
        ReportDatabaseName = u"LumoDB"_s;
        RgPrintSource = 0;
    }
    void TearDown() override {
        view.reset();
        ClientDbFixture::TearDown();
    }

    // The member's declaration with the recording print entry.
    ArchiveViewDecl recorded(const QString& opener) {
        const ArchiveViewDecl* found = FindArchiveViewDecl(opener);
        EXPECT_NE(found, nullptr) << opener.toStdString();
        ArchiveViewDecl decl = found ? *found : ArchiveViewDecl{};
        decl.print = [this](int id, bool preview, const QString& layout, QWidget*) {
            if (failPrintOf == id)
                throw DbError(u"Drucker nicht bereit"_s);
            prints.append({id, preview, layout, ReportDatabaseName, RgPrintSource});
        };
        return decl;
    }
    TF_ArchiveView& openView(const QString& opener) {
        view = std::make_unique<TF_ArchiveView>(recorded(opener));
        view->openTables();
        view->show();
        view->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(view.get()));
        return *view;
    }

    void addHead(const QString& table, int id, const QString& nr, bool marked, Values extra = {}) {
        extra.prepend({u"R_Selected"_s, marked});
        extra.prepend({u"R_Nr"_s, nr});
        extra.prepend({u"R_ID"_s, id});
        addRow(table, extra, u"AblageDB"_s);
    }
    void addLine(const QString& table, int id, int ref, Values extra = {}) {
        extra.prepend({u"S_Ref"_s, ref});
        extra.prepend({u"S_ID"_s, id});
        addRow(table, extra, u"AblageDB"_s);
    }
    bool marked(const QString& table, int id) {
        auto t = open(table, u"AblageDB"_s);
        return t->locate({u"R_ID"_s}, {id}) && t->field(u"R_Selected"_s).asBoolean();
    }
    int count(const QString& table) { return open(table, u"AblageDB"_s)->recordCount(); }
    // A user print form of the type, so that a print asks which one.
    void addUserForm(int id) {
        addRow(u"QrFrmDef.DB"_s, {{u"QF_ID"_s, id},
                                  {u"Q_FormType"_s, id / 1000 * 1000},
                                  {u"Q_Protect"_s, false},
                                  {u"Q_Comment"_s, u"Eigenes"_s}});
    }

    std::unique_ptr<TF_ArchiveView> view;
    QList<PrintCall> prints;
    int failPrintOf = -1;
};

} // namespace archivegui
