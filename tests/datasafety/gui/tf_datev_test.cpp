#include "core/data/clientdbfixture.h"
#include "datasafety/datasafety.h"
#include "datasafety/gui/tf_datev.h"
#include "platform/table/table.h"
#include "platform/widgets/fieldform.h"

#include <QButtonGroup>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace Qt::StringLiterals;

namespace {

class DatevForm : public datatest::ClientDbFixture {};

TEST_F(DatevForm, OpensOnANewClientWithItsSettingsRowAndMaskedPassword) {
    TF_Datev form;
    EXPECT_EQ(form.windowTitle(), u"Datenexport an Datev"_s);
    EXPECT_EQ(open(u"ExpStamm.DB"_s)->recordCount(), 1);
    auto* pass = form.fields().editorAs<QLineEdit>(u"E_DatevPasswort"_s);
    ASSERT_NE(pass, nullptr);
    EXPECT_EQ(pass->echoMode(), QLineEdit::Password);
    EXPECT_EQ(form.fields().editorAs<QLineEdit>(u"E_DatevPfad"_s)->maxLength(), 127);
    EXPECT_FALSE(form.sbtnSave->isEnabled());
    EXPECT_FALSE(form.sbtnPrint->isEnabled());
    // Fits a 1366 x 768 screen with its task bar.
    EXPECT_LE(form.minimumSizeHint().height(), 680);
    EXPECT_LE(form.width(), 1366);
    EXPECT_LE(form.height(), 680);
}

TEST_F(DatevForm, TheFormatIsWrittenTheMomentItIsChosen) {
    TF_Datev form;
    form.RadioGroup1->button(1)->click();
    EXPECT_EQ(open(u"ExpStamm.DB"_s)->field(u"E_Datev_Format"_s).asInteger(), 1);
    form.RadioGroup1->button(0)->click();
    EXPECT_EQ(open(u"ExpStamm.DB"_s)->field(u"E_Datev_Format"_s).asInteger(), 0);
}

TEST_F(DatevForm, ARunFillsTheProtocolAndEnablesSaveAndPrint) {
    const QString target = path(u"out/"_s);
    QDir().mkpath(target);
    addRow(u"Kunden.DB"_s, {{u"K_ID"_s, 1}, {u"K_Nr"_s, 100}, {u"K_Match"_s, u"MUELLER"_s}});
    TF_Datev form;
    table::Table& s = form.settings();
    s.edit();
    s.field(u"E_DatevBeraterNr"_s).setValue(1234567);
    s.field(u"E_DatevKontoNrLaenge"_s).setValue(4);
    s.field(u"E_DatevDoDebitoren"_s).setValue(true);
    s.field(u"E_DatevPfad"_s).setValue(target);
    // Left in edit: "Ausführen" posts it first.
    presenter.answers = {false};
    form.sbtnExecuteClick();
    EXPECT_FALSE(s.isEditing());
    EXPECT_TRUE(QFile::exists(target + u"DE001"_s));
    EXPECT_TRUE(QFile::exists(target + u"DV01"_s));
    EXPECT_TRUE(form.sbtnSave->isEnabled());
    EXPECT_TRUE(form.sbtnPrint->isEnabled());
    const QString protocol = form.Memo1->toPlainText();
    EXPECT_TRUE(protocol.contains(u"          Export Debitoren"_s)) << protocol.toStdString();
    EXPECT_TRUE(protocol.contains(u"          1       100 MUELLER"_s)) << protocol.toStdString();
    EXPECT_EQ(form.lastTarget(), target);
    EXPECT_EQ(open(u"ExpStamm.DB"_s)->field(u"E_DatevDatenTraegerNr"_s).asInteger(), 1);
}

TEST_F(DatevForm, TheMenuEntryIsLiveOnceTheFormIsInstalled) {
    InstallDatevForm();
    EXPECT_TRUE(IsDataSafetyServiceAvailable(DataSafetyService::Datev));
}

} // namespace
