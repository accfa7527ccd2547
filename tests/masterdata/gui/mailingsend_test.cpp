#include "core/data/recordrulesfixture.h"
#include "masterdata/gui/tf_mailing.h"
#include "masterdata/mailsettings.h"
#include "masterdata/smtpmail.h"
#include "masterdata/smtpsink.h"
#include "platform/errors.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

class MailingSend : public datatest::RecordRules {
protected:
    void SetUp() override {
        RecordRules::SetUp();
        m_savedTransport = SmtpTransport();
        MailSettings = TMailSettings{};
        MailSettings.host = u"127.0.0.1"_s;
        MailSettings.senderName = u"Büro"_s;
        MailSettings.senderAddress = u"buero@hausmeister.example"_s;
        MailConfigured = true;
        addRow(u"Adress.DB"_s, {{u"A_ID"_s, 1},
                                {u"A_Nr"_s, 11},
                                {u"A_Email"_s, u"anna.schmidt@example.com"_s},
                                {u"A_Selected"_s, true}});
    }
    void TearDown() override {
        SmtpTransport() = m_savedTransport;
        MailSettings = TMailSettings{};
        MailConfigured = false;
        RecordRules::TearDown();
    }
    QList<std::pair<Kind, QString>> boxes() const {
        QList<std::pair<Kind, QString>> list;
        for (const auto& box : presenter.boxes)
            list.append({box.kind, box.text});
        return list;
    }

private:
    SmtpTransportSettings m_savedTransport;
};

const QString kConnectHint = u"Wenn Ihre Internet-Verbindung nicht automatisch gestartet\rwird, "
                             u"müssen Sie sie jetzt manuell aktivieren!"_s;

TEST_F(MailingSend, ASentMailIsReportedSentAndAnUnwrittenProtocolRowSeparately) {
    REQUIRE_SMTP_PEER();
    mailtest::SmtpSink sink;
    ASSERT_TRUE(sink.ready()) << sink.errors().toStdString();
    SmtpTransport().port = sink.port;
    dm->TabProto().beforePost += [](table::Table&) { throw DbError(u"Datensatz gesperrt"_s); };
    TF_Mailing form;
    form.Edit3->setText(u"Info"_s);
    presenter.answers = {true}; // "Versand notieren?"
    form.btnSendenClick();

    EXPECT_EQ(sink.count(), 1);
    EXPECT_EQ(boxes(), (QList<std::pair<Kind, QString>>{
                           {Kind::Question, u"Versand notieren?"_s},
                           {Kind::Info, kConnectHint},
                           {Kind::Info, u"Nachricht wurde versendet"_s},
                           {Kind::Error, u"Der Versand konnte für folgende Adressen nicht im "
                                         u"Protokoll notiert werden: 11\rDatensatz gesperrt"_s}}));
    EXPECT_EQ(form.Memo2->toPlainText(), u"anna.schmidt@example.com\nVersand OK");
    EXPECT_EQ(form.statusBar->currentMessage(), u"Verbindung beendet.");
    EXPECT_FALSE(form.btnSenden->isEnabled());
}

TEST_F(MailingSend, AnUnreachableServerIsAFailedConnectionAndSendenStaysOff) {
    SmtpTransport().port = mailtest::FreePort();
    TF_Mailing form;
    form.Memo1->setPlainText(u"Nur Text"_s);
    form.btnSendenClick();
    EXPECT_EQ(boxes(), (QList<std::pair<Kind, QString>>{
                           {Kind::Question, u"Versand notieren?"_s},
                           {Kind::Info, kConnectHint},
                           {Kind::Error, u"Verbindungsversuch ist fehlgeschlagen"_s}}));
    EXPECT_TRUE(form.Memo2->toPlainText().isEmpty());
    EXPECT_FALSE(form.btnSenden->isEnabled());
}

} // namespace
