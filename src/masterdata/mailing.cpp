#include "masterdata/mailing.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "masterdata/emailaddress.h"
#include "masterdata/mailsettings.h"
#include "masterdata/markedadressen.h"
#include "platform/errors.h"
#include "platform/table/table.h"

#include <QVariant>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

struct MarkedAddress {
    int id = 0;
    int number = 0;
    QString email;
};

QList<MarkedAddress> markedAddresses(table::Table& adress, const MailingObserver& observer) {
    FilterMarkedAdressen(adress);
    QList<MarkedAddress> marked;
    for (adress.first(); !adress.eof(); adress.next()) {
        marked.append({FieldInt(adress, u"A_ID"_s), FieldInt(adress, u"A_Nr"_s),
                       FieldText(adress, u"A_Email"_s)});
        if (observer.processEvents)
            observer.processEvents();
    }
    return marked;
}

void unmark(table::Table& adress, int id) {
    if (!adress.locate({u"A_ID"_s}, {id}))
        return;
    adress.edit();
    adress.field(u"A_Selected"_s).setValue(false);
    adress.post();
}

void noteFailed(MailingOutcome& result, int addressNumber, const QString& message) {
    result.unnotedAddresses.append(QString::number(addressNumber));
    if (result.noteError.isEmpty())
        result.noteError = message;
}

} // namespace

MailingRefusal CheckMailingRequest(const MailingRequest& request, const TMailSettings& settings,
                                   bool configured) {
    if (!configured)
        return MailingRefusal::NotConfigured;
    if (request.subject.trimmed().isEmpty() && request.attachmentList.trimmed().isEmpty() &&
        request.body.isEmpty())
        return MailingRefusal::NothingToSend;
    if (!IsValidEmail(settings.senderAddress))
        return MailingRefusal::BadSender;
    return MailingRefusal::Ok;
}

QString MailingRefusalText(MailingRefusal refusal) {
    switch (refusal) {
    case MailingRefusal::Ok:
        return {};
    case MailingRefusal::NotConfigured:
        return u"Sie müssen zuerst Ihren Mail-Verand einrichten!"_s;
    case MailingRefusal::NothingToSend:
        return u"Sie haben keine Mitteilung, keinen Betreff\rund keinen Email-Anhang angegeben!"_s;
    case MailingRefusal::BadSender:
        return u"Ungültige Absenderadresse!"_s;
    }
    return {};
}

QStringList SplitAttachmentList(const QString& list) {
    QStringList files;
    for (const QString& part : list.trimmed().split(u','))
        if (!part.trimmed().isEmpty())
            files.append(part.trimmed());
    return files;
}

QString MailProgressText(qint64 total, qint64 done, const QString& name) {
    return name + u" : "_s + QString::number(done) + u" von "_s + QString::number(total) +
           u" Bytes gesendet"_s;
}

MailingOutcome RunMailing(const TMailSettings& settings, const MailingRequest& request,
                          const MailingObserver& observer, const SmtpSender& send) {
    TDataModule1& dm = DataModule1();
    table::Table& adress = dm.TabAdress();
    MailingOutcome result;
    QList<MarkedAddress> recipients;
    {
        OpenForCall adressOpen(adress);
        AdressViewGuard guard(adress);
        for (const MarkedAddress& a : markedAddresses(adress, observer)) {
            if (IsValidEmail(a.email)) {
                recipients.append(a);
                continue;
            }
            if (observer.sendListLine)
                observer.sendListLine(u"FEHLER in Adresse "_s + QString::number(a.number));
            unmark(adress, a.id);
        }
    }

    SmtpMessage message;
    message.senderName = settings.senderName;
    message.senderAddress = settings.senderAddress.trimmed();
    message.recipientDisplay = request.salutation.trimmed();
    message.subject = request.subject.trimmed();
    message.body = request.body;
    for (const MarkedAddress& a : recipients)
        message.blindCopies.append(a.email.trimmed());
    message.attachments = SplitAttachmentList(request.attachmentList);

    SmtpServer server;
    server.host = settings.host;
    server.port = SmtpTransport().port;
    server.caFile = SmtpTransport().caFile;
    server.authenticate = settings.authenticate;
    server.user = settings.user;
    server.password = settings.password;

    SmtpCallbacks callbacks;
    callbacks.status = observer.status;
    callbacks.idle = observer.processEvents;
    callbacks.attachmentProgress = observer.progress;
    const SmtpResult sent = send(server, message, callbacks);
    result.outcome = sent.outcome;
    result.detail = sent.detail;
    if (sent.outcome != SmtpOutcome::Sent)
        return result;

    // The mail is out: a protocol row that cannot be written is reported on
    // its own and never turns the sending into a failure.
    std::optional<OpenForCall> protoOpen;
    for (const MarkedAddress& a : recipients) {
        result.recipients.append(a.email.trimmed());
        if (observer.sendListLine)
            observer.sendListLine(a.email);
        if (!request.noteSending)
            continue;
        try {
            if (!protoOpen)
                protoOpen.emplace(dm.TabProto());
            AppendAdrProto(dm.TabProto(), a.id, AdrProtoArt::Mailing, message.subject,
                           u"Mailing verschickt"_s);
        } catch (const DbError& error) {
            noteFailed(result, a.number, error.message());
        } catch (const Abort&) {
            noteFailed(result, a.number, {});
        }
    }
    if (observer.sendListLine)
        observer.sendListLine(u"Versand OK"_s);
    return result;
}
