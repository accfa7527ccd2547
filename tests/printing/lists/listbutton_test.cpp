#include "core/data/layoutfiles.h"
#include "core/files/programdirs.h"
#include "core/messages/syslog.h"
#include "listfixture.h"
#include "platform/errors.h"
#include "printing/formtypes.h"
#include "printing/layoutfile.h"
#include "printing/listbutton.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class ListButtonTest : public liststest::ListFixture {
protected:
    void SetUp() override {
        ListFixture::SetUp();
        m_savedQrfd = QrfdDir;
        QrfdDir = path(u"QRFD0001/"_s);
        QDir().mkpath(QrfdDir);
        createModule();
    }
    void TearDown() override {
        QrfdDir = m_savedQrfd;
        ListFixture::TearDown();
    }

    // A user print form with its layout file: the designed layout, titled.
    void addForm(int id, const QString& title = {}) {
        const int type = FormTypeOfId(id);
        addRow(u"QrFrmDef.DB"_s, {{u"QF_ID"_s, id},
                                  {u"Q_FormType"_s, type},
                                  {u"Q_Protect"_s, false},
                                  {u"Q_Comment"_s, u"Form %1"_s.arg(id)}});
        const auto rep = report::Report::create(FindFormType(type)->reportClass.toString());
        if (!title.isEmpty())
            rep->component(u"L_Titel"_s).caption = title;
        QFile file(LayoutFilePath(id));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(WriteFormLayout(*rep, title, {}));
    }
    PrintFormChoosers choosing(int id) {
        PrintFormChoosers c;
        c.choose = [this, id](int formType) {
            asked.append(formType);
            return id;
        };
        return c;
    }

    QList<int> asked;

private:
    QString m_savedQrfd;
};

TEST_F(ListButtonTest, TheChosenFormOfTheTypePrintsWithItsLayout) {
    addForm(45003, u"Unsere Banken"_s);
    addForm(46001);
    const struct {
        const char* what;
        int chosen;
        int tag;
        bool prints;
    } cases[] = {
        {"preview", 45003, 1, true},
        {"print", 45003, 0, true},
        {"cancelled", 0, 1, false},
        {"another type", 46001, 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        outputs = 0;
        previews.clear();
        RunListPrintButton({45000, u"PrintBankList"_s, c.tag}, choosing(c.chosen));
        EXPECT_EQ(outputs, c.prints ? 1 : 0);
        if (c.prints) {
            EXPECT_EQ(previews, QList<bool>{c.tag == 1});
            EXPECT_TRUE(allTexts().contains(u"Unsere Banken"_s));
        }
    }
    EXPECT_EQ(asked, (QList<int>{45000, 45000, 45000, 45000}));
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

TEST_F(ListButtonTest, ATypeWithoutUserFormsPrintsItsShippedLayoutUnasked) {
    RunListPrintButton({48000, {}, 1}, choosing(0));
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_EQ(classes, QStringList{u"TQRMengEHList1"_s});
    EXPECT_TRUE(allTexts().contains(u"Mengeneinheiten"_s));
}

TEST_F(ListButtonTest, TheSupplierListPrintsAnExistingFormOfAnyType) {
    addForm(79001);
    addForm(48001);
    ListPrintButton button{79000, u"PrintLiefList"_s, 3, PrintVariant::C};
    RunListPrintButton(button, choosing(79099)); // no such form
    EXPECT_EQ(outputs, 0);
    RunListPrintButton(button, choosing(48001));
    EXPECT_EQ(classes, QStringList{u"TQRLiefList01"_s});
    EXPECT_EQ(previews, QList<bool>{true});
}

TEST_F(ListButtonTest, TheAddressFormPrintsTheListOfTheChosenFormsHundred) {
    for (const int id : {22001, 22105, 22201, 23001})
        addForm(id);
    ListPrintButton button{22000, {}, 0};
    button.dispatchTypes = {22000, 22100, 22200};
    for (const int id : {22001, 22105, 22201, 0, 23001})
        RunListPrintButton(button, choosing(id));
    EXPECT_EQ(classes, (QStringList{u"TQRAdress1"_s, u"TQRAdrProto"_s, u"TQRAdrJour"_s}));
}

TEST_F(ListButtonTest, TheStepAroundIsUndoneOnEveryPath) {
    addForm(18001);
    QStringList steps;
    ListPrintButton button{18000, {}, 1};
    button.around = [&steps](ListEntryArgs& args) {
        steps << u"filter"_s;
        args.useFilter = true;
        args.tableName = u"Kunden"_s;
        return [&steps] { steps << u"undo"_s; };
    };
    RunListPrintButton(button, choosing(18001));
    RunListPrintButton(button, choosing(0));
    EXPECT_EQ(outputs, 1);
    button.entry = u"PrintNichts"_s;
    EXPECT_THROW(RunListPrintButton(button, choosing(18001)), DbError);
    EXPECT_EQ(steps, (QStringList{u"filter"_s, u"undo"_s, u"filter"_s, u"undo"_s, u"filter"_s,
                                  u"undo"_s}));
}

TEST_F(ListButtonTest, TheLogLinesFrameOnlyAPrintOfAChosenForm) {
    addForm(17001);
    const QString savedLog = LogFileName;
    const bool savedEnabled = LogEnabled;
    LogFileName = path(u"Syslog.txt"_s);
    LogEnabled = true;
    ListPrintButton button{17000, u"PrintObjAdressen"_s, 1};
    button.logName = u"ObjPrintAdr"_s;
    RunListPrintButton(button, choosing(0));
    EXPECT_FALSE(QFile::exists(LogFileName)) << "a cancelled choice logs nothing";
    RunListPrintButton(button, choosing(17001));
    QFile log(LogFileName);
    const bool opened = log.open(QIODevice::ReadOnly);
    const QString text = QString::fromLatin1(log.readAll());
    LogFileName = savedLog;
    LogEnabled = savedEnabled;
    ASSERT_TRUE(opened);
    EXPECT_EQ(outputs, 1);
    const qsizetype in = text.indexOf(u"ObjPrintAdr IN"_s);
    EXPECT_GE(in, 0);
    EXPECT_GT(text.indexOf(u"ObjPrintAdr OUT"_s), in);
}

} // namespace
