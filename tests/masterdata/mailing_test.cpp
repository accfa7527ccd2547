#include "core/data/recordrulesfixture.h"
#include "masterdata/mailing.h"
#include "masterdata/mailsettings.h"
#include "smtpsink.h"

#include <QRegularExpression>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

class Mailing : public datatest::RecordRules {
protected:
    void SetUp() override {
        RecordRules::SetUp();
        m_savedTransport = SmtpTransport();
        settings.host = u"127.0.0.1"_s;
        settings.senderName = u"Hausmeister Müller"_s;
        settings.senderAddress = u"buero@hausmeister.example"_s;
    }
    void TearDown() override {
        SmtpTransport() = m_savedTransport;
        RecordRules::TearDown();
    }

    void addAddress(int id, int nr, const QString& email, bool selected) {
        addRow(
            u"Adress.DB"_s,
            {{u"A_ID"_s, id}, {u"A_Nr"_s, nr}, {u"A_Email"_s, email}, {u"A_Selected"_s, selected}});
    }
    table::Table& adress() {
        table::Table& t = dm->TabAdress();
        if (!t.isOpen())
            t.open();
        t.refresh();
        return t;
    }
    bool isMarked(int id) {
        auto t = open(u"Adress.DB"_s);
        EXPECT_TRUE(t->locate({u"A_ID"_s}, {id}));
        return t->field(u"A_Selected"_s).value().toBool();
    }
    QList<QStringList> protocolRows() {
        auto proto = open(u"AdrProto.DB"_s);
        QList<QStringList> rows;
        for (proto->first(); !proto->eof(); proto->next())
            rows.append({proto->field(u"AP_Adr"_s).value().toString(),
                         proto->field(u"AP_Art"_s).value().toString(),
                         proto->field(u"AP_Text"_s).value().toString()});
        return rows;
    }
    MailingOutcome run(const MailingRequest& request) {
        MailingObserver observer;
        observer.sendListLine = [this](const QString& line) { sendList << line; };
        observer.status = [this](const QString& s) { statuses << s; };
        observer.progress = [this](qint64 total, qint64 done, const QString& name) {
            progress << MailProgressText(total, done, name);
        };
        return RunMailing(settings, request, observer);
    }
    void useSink(const mailtest::SmtpSink& sink) {
        SmtpTransport().port = sink.port;
        SmtpTransport().caFile = sink.certFile;
    }

    TMailSettings settings;
    QStringList sendList;
    QStringList statuses;
    QStringList progress;

private:
    SmtpTransportSettings m_savedTransport;
};

TEST_F(Mailing, ReachesTheSenderAndTheValidMarkedAddressesAsBlindCopies) {
    REQUIRE_SMTP_PEER();
    mailtest::SmtpSink sink;
    ASSERT_TRUE(sink.ready()) << sink.errors().toStdString();
    useSink(sink);
    addAddress(1, 101, u"anna.schmidt@example.com"_s, true);
    addAddress(2, 102, u"kein-gueltiger-empfaenger"_s, true);
    addAddress(3, 103, u"bernd@mieter.example.org"_s, true);
    addAddress(4, 104, u"nicht.markiert@example.com"_s, false);
    adress().setFilter(u"A_Nr>=102"_s);
    adress().setFiltered(true);

    MailingRequest request;
    request.subject = u"Hausordnung ab März"_s;
    request.salutation = u"Mieterinnen und Mieter"_s;
    request.body = u"Guten Tag,\nanbei die neue Hausordnung.\n"_s;
    request.noteSending = true;
    const MailingOutcome outcome = run(request);

    ASSERT_EQ(outcome.outcome, SmtpOutcome::Sent) << outcome.detail.toStdString();
    ASSERT_EQ(sink.count(), 1);
    const mailtest::ReceivedMail mail = sink.mail(1);
    EXPECT_EQ(mail.recipients(),
              (QStringList{u"buero@hausmeister.example"_s, u"anna.schmidt@example.com"_s,
                           u"bernd@mieter.example.org"_s}));
    EXPECT_EQ(mail.meta.value(u"from"_s).toString(), u"buero@hausmeister.example");
    EXPECT_EQ(mail.meta.value(u"headerTo"_s).toString(),
              u"Mieterinnen und Mieter <buero@hausmeister.example>");
    EXPECT_EQ(mail.meta.value(u"subject"_s).toString(), u"Hausordnung ab März");
    EXPECT_EQ(mail.meta.value(u"headerFrom"_s).toString(),
              u"Hausmeister Müller <buero@hausmeister.example>");
    EXPECT_FALSE(mail.raw.contains("anna.schmidt"));
    EXPECT_FALSE(mail.raw.contains("bernd@"));
    EXPECT_FALSE(mail.raw.toLower().contains("bcc"));
    EXPECT_EQ(mail.body, u"Guten Tag,\r\nanbei die neue Hausordnung.\r\n");
    // Lines end with CR LF on the wire instead of travelling as encoded characters.
    EXPECT_TRUE(mail.raw.contains("Guten Tag,\r\nanbei die neue Hausordnung.\r\n"));
    EXPECT_FALSE(mail.raw.contains("=0A"));
    EXPECT_TRUE(
        QRegularExpression(u"\r\nDate: \\w{3}, \\d\\d \\w{3} \\d{4} [0-9:]{8} [+-]\\d{4}\r\n"_s)
            .match(QString::fromLatin1(mail.raw))
            .hasMatch());

    EXPECT_EQ(sendList, (QStringList{u"FEHLER in Adresse 102"_s, u"anna.schmidt@example.com"_s,
                                     u"bernd@mieter.example.org"_s, u"Versand OK"_s}));
    EXPECT_TRUE(isMarked(1));
    EXPECT_FALSE(isMarked(2));
    EXPECT_FALSE(isMarked(4));
    EXPECT_EQ(protocolRows(), (QList<QStringList>{{u"1"_s, u"2"_s, u"Hausordnung ab März"_s},
                                                  {u"3"_s, u"2"_s, u"Hausordnung ab März"_s}}));
    // The address table's view is the caller's again.
    EXPECT_EQ(adress().filter(), u"A_Nr>=102");
    EXPECT_TRUE(adress().isFiltered());
    EXPECT_EQ(statuses.first(), u"Verbinden...");
    EXPECT_EQ(statuses.last(), u"Verbindung beendet.");
}

TEST_F(Mailing, WithEveryMarkedAddressInvalidTheSenderAloneGetsTheMail) {
    REQUIRE_SMTP_PEER();
    mailtest::SmtpSink sink;
    ASSERT_TRUE(sink.ready());
    useSink(sink);
    addAddress(1, 7, u"kurz@x.d"_s, true);
    addAddress(2, 8, u"umläut@example.com"_s, true);
    MailingRequest request;
    request.subject = u"Nur ein Betreff"_s;
    const MailingOutcome outcome = run(request);
    ASSERT_EQ(outcome.outcome, SmtpOutcome::Sent);
    EXPECT_EQ(sink.mail(1).recipients(), QStringList{u"buero@hausmeister.example"_s});
    EXPECT_FALSE(isMarked(1));
    EXPECT_FALSE(isMarked(2));
    EXPECT_TRUE(protocolRows().isEmpty()); // not noted when not asked
}

TEST_F(Mailing, AttachmentsArriveByteForByteAndReportTheirProgress) {
    REQUIRE_SMTP_PEER();
    mailtest::SmtpSink sink;
    ASSERT_TRUE(sink.ready());
    useSink(sink);
    addAddress(1, 1, u"anna.schmidt@example.com"_s, true);
    QTemporaryDir files;
    QByteArray binary;
    for (int i = 0; i < 70000; ++i)
        binary.append(char(i * 7 % 256));
    const QString binaryPath = files.filePath(u"FB20261210v001.CC3"_s);
    const QString textPath = files.filePath(u"Preise.txt"_s);
    QFile b(binaryPath);
    ASSERT_TRUE(b.open(QIODevice::WriteOnly));
    b.write(binary);
    b.close();
    QFile t(textPath);
    ASSERT_TRUE(t.open(QIODevice::WriteOnly));
    t.write("Preisliste\r\n\xe4\xf6\xfc\r\n");
    t.close();

    MailingRequest request;
    request.subject = u"Sicherung"_s;
    // The last name is typed without its closing ",": it is sent too.
    request.attachmentList = binaryPath + u',' + textPath;
    request.noteSending = true;
    const MailingOutcome outcome = run(request);
    ASSERT_EQ(outcome.outcome, SmtpOutcome::Sent) << outcome.detail.toStdString();
    const mailtest::ReceivedMail mail = sink.mail(1);
    EXPECT_EQ(mail.attachment(u"FB20261210v001.CC3"_s), binary);
    EXPECT_EQ(mail.attachment(u"Preise.txt"_s), QByteArray("Preisliste\r\n\xe4\xf6\xfc\r\n"));
    EXPECT_TRUE(progress.contains(u"FB20261210v001.CC3 : 70000 von 70000 Bytes gesendet"_s));
}

TEST_F(Mailing, EmptySubjectIsNotedAsMailingVerschicktAndALongOneAsFarAsItFits) {
    REQUIRE_SMTP_PEER();
    mailtest::SmtpSink sink;
    ASSERT_TRUE(sink.ready());
    useSink(sink);
    addAddress(5, 50, u"anna.schmidt@example.com"_s, true);
    MailingRequest request;
    request.body = u"Text ohne Betreff"_s;
    request.noteSending = true;
    ASSERT_EQ(run(request).outcome, SmtpOutcome::Sent);
    const QString longSubject = QString(100, u'a') + QString(50, u'b');
    request.subject = longSubject;
    const MailingOutcome outcome = run(request);
    ASSERT_EQ(outcome.outcome, SmtpOutcome::Sent);
    EXPECT_TRUE(outcome.unnotedAddresses.isEmpty());
    EXPECT_EQ(sink.mail(2).meta.value(u"subject"_s).toString(), longSubject);
    EXPECT_EQ(protocolRows(), (QList<QStringList>{{u"5"_s, u"2"_s, u"Mailing verschickt"_s},
                                                  {u"5"_s, u"2"_s, longSubject.left(120)}}));
}

TEST_F(Mailing, LogsInWithAuthLoginAndAWrongPasswordNotesNothing) {
    REQUIRE_SMTP_PEER();
    mailtest::SmtpSink sink({u"hausmeister"_s, u"richtig"_s, false});
    ASSERT_TRUE(sink.ready());
    useSink(sink);
    addAddress(1, 1, u"anna.schmidt@example.com"_s, true);
    settings.authenticate = true;
    settings.user = u"hausmeister"_s;
    MailingRequest request;
    request.subject = u"Anmeldung"_s;
    request.noteSending = true;

    settings.password = u"falsch"_s;
    const MailingOutcome refused = run(request);
    EXPECT_EQ(refused.outcome, SmtpOutcome::ConnectFailed);
    EXPECT_EQ(sink.count(), 0);
    EXPECT_TRUE(protocolRows().isEmpty());
    EXPECT_FALSE(sendList.contains(u"Versand OK"_s));
    EXPECT_FALSE(refused.detail.contains(u"falsch"_s));

    settings.password = u"richtig"_s;
    ASSERT_EQ(run(request).outcome, SmtpOutcome::Sent);
    ASSERT_EQ(sink.count(), 1);
    EXPECT_TRUE(sink.mail(1).meta.value(u"authenticated"_s).toBool());
    EXPECT_EQ(sink.mail(1).meta.value(u"mechanism"_s).toString(), u"LOGIN");
    EXPECT_EQ(protocolRows().size(), 1);
}

TEST_F(Mailing, UsesStartTlsWhenTheServerOffersIt) {
    REQUIRE_SMTP_PEER();
    mailtest::SmtpSink sink({{}, {}, true});
    ASSERT_TRUE(sink.ready()) << sink.errors().toStdString();
    useSink(sink);
    addAddress(1, 1, u"anna.schmidt@example.com"_s, true);
    MailingRequest request;
    request.subject = u"Vertraulich"_s;
    const MailingOutcome outcome = run(request);
    ASSERT_EQ(outcome.outcome, SmtpOutcome::Sent) << outcome.detail.toStdString();
    EXPECT_TRUE(sink.mail(1).meta.value(u"tls"_s).toBool());
}

TEST_F(Mailing, AServerThatOffersStartTlsAndThenRefusesItGetsNothingInPlainText) {
    REQUIRE_SMTP_PEER();
    mailtest::SmtpSink sink({u"hausmeister"_s, u"richtig"_s, true, true});
    ASSERT_TRUE(sink.ready()) << sink.errors().toStdString();
    useSink(sink);
    addAddress(1, 1, u"anna.schmidt@example.com"_s, true);
    settings.authenticate = true;
    settings.user = u"hausmeister"_s;
    settings.password = u"richtig"_s;
    MailingRequest request;
    request.subject = u"Vertraulich"_s;
    request.noteSending = true;
    EXPECT_EQ(run(request).outcome, SmtpOutcome::ConnectFailed);
    EXPECT_EQ(sink.count(), 0);
    EXPECT_TRUE(protocolRows().isEmpty());
}

TEST_F(Mailing, AServerWhoseCertificateIsNotTrustedGetsNothing) {
    REQUIRE_SMTP_PEER();
    mailtest::SmtpSink sink({{}, {}, true});
    ASSERT_TRUE(sink.ready());
    SmtpTransport().port = sink.port; // its certificate is not handed over
    addAddress(1, 1, u"anna.schmidt@example.com"_s, true);
    MailingRequest request;
    request.subject = u"Vertraulich"_s;
    EXPECT_EQ(run(request).outcome, SmtpOutcome::ConnectFailed);
    EXPECT_EQ(sink.count(), 0);
}

TEST_F(Mailing, AnUnreachableServerIsAFailedConnection) {
    SmtpTransport().port = mailtest::FreePort();
    addAddress(1, 1, u"anna.schmidt@example.com"_s, true);
    MailingRequest request;
    request.subject = u"Niemand da"_s;
    request.noteSending = true;
    const MailingOutcome outcome = run(request);
    EXPECT_EQ(outcome.outcome, SmtpOutcome::ConnectFailed);
    EXPECT_TRUE(protocolRows().isEmpty());
    EXPECT_TRUE(isMarked(1));
}

TEST_F(Mailing, AProtocolRowThatCannotBeWrittenLeavesTheMailSent) {
    REQUIRE_SMTP_PEER();
    mailtest::SmtpSink sink;
    ASSERT_TRUE(sink.ready());
    useSink(sink);
    addAddress(1, 11, u"anna.schmidt@example.com"_s, true);
    addAddress(2, 12, u"bernd@mieter.example.org"_s, true);
    dm->TabProto().beforePost += [](table::Table& t) {
        if (t.field(u"AP_Adr"_s).value().toInt() == 1)
            throw DbError(u"Datensatz gesperrt"_s);
    };
    MailingRequest request;
    request.subject = u"Info"_s;
    request.noteSending = true;
    const MailingOutcome outcome = run(request);
    EXPECT_EQ(outcome.outcome, SmtpOutcome::Sent);
    EXPECT_EQ(outcome.unnotedAddresses, QStringList{u"11"_s});
    EXPECT_EQ(outcome.noteError, u"Datensatz gesperrt");
    EXPECT_TRUE(sendList.contains(u"Versand OK"_s));
    EXPECT_EQ(protocolRows(), (QList<QStringList>{{u"2"_s, u"2"_s, u"Info"_s}}));
}

TEST(MailingRequestCheck, RefusesInThePartsOrder) {
    TMailSettings s;
    s.senderAddress = u"buero@hausmeister.example"_s;
    MailingRequest empty;
    MailingRequest subjectOnly;
    subjectOnly.subject = u"  Betreff "_s;
    MailingRequest blanks;
    blanks.subject = u"   "_s;
    blanks.attachmentList = u" "_s;
    EXPECT_EQ(CheckMailingRequest(subjectOnly, s, false), MailingRefusal::NotConfigured);
    EXPECT_EQ(CheckMailingRequest(empty, s, true), MailingRefusal::NothingToSend);
    EXPECT_EQ(CheckMailingRequest(blanks, s, true), MailingRefusal::NothingToSend);
    EXPECT_EQ(CheckMailingRequest(subjectOnly, s, true), MailingRefusal::Ok);
    s.senderAddress = u"buero"_s;
    EXPECT_EQ(CheckMailingRequest(subjectOnly, s, true), MailingRefusal::BadSender);
    EXPECT_EQ(MailingRefusalText(MailingRefusal::NothingToSend),
              u"Sie haben keine Mitteilung, keinen Betreff\rund keinen Email-Anhang angegeben!");
}

TEST(MailingAttachments, ListsEveryNameAlsoWithoutTheClosingComma) {
    EXPECT_EQ(SplitAttachmentList(u"/a/b.txt,/c/d.doc,"_s),
              (QStringList{u"/a/b.txt"_s, u"/c/d.doc"_s}));
    EXPECT_EQ(SplitAttachmentList(u"/a/b.txt,/c/d.doc"_s),
              (QStringList{u"/a/b.txt"_s, u"/c/d.doc"_s}));
    EXPECT_TRUE(SplitAttachmentList(u"  "_s).isEmpty());
}

} // namespace
