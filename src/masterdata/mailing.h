#pragma once

#include "masterdata/smtpmail.h"

#include <QString>
#include <QStringList>
#include <functional>

struct TMailSettings;

// One mailing to the marked addresses of the address book: the sender is the
// visible recipient, the marked addresses get blind copies.

struct MailingRequest {
    QString subject;
    QString salutation;     // display name of the visible recipient
    QString attachmentList; // file names, each followed by ","
    QString body;
    bool noteSending = false; // a protocol row per recipient
};

// Why a mailing cannot start; Ok when it can.
enum class MailingRefusal { Ok, NotConfigured, NothingToSend, BadSender };
MailingRefusal CheckMailingRequest(const MailingRequest& request, const TMailSettings& settings,
                                   bool configured);
// The error text of a refusal (empty for Ok).
QString MailingRefusalText(MailingRefusal refusal);

// The file names of an attachment list. A last name typed without its
// closing "," counts too.
QStringList SplitAttachmentList(const QString& list);

struct MailingObserver {
    std::function<void(const QString& line)> sendListLine;
    std::function<void(const QString& status)> status;
    std::function<void(qint64 total, qint64 done, const QString& name)> progress;
    std::function<void()> processEvents;
};

struct MailingOutcome {
    SmtpOutcome outcome = SmtpOutcome::SendFailed;
    QString detail;               // the transport's words, for the log
    QStringList recipients;       // the addresses the mail went to as blind copies
    QStringList unnotedAddresses; // address numbers whose protocol row failed
    QString noteError;            // the first protocol failure's message
};

using SmtpSender =
    std::function<SmtpResult(const SmtpServer&, const SmtpMessage&, const SmtpCallbacks&)>;

// Walks the marked addresses of the data module's address table (its filter
// and position are restored afterwards, also after an error), sends the mail
// and notes it. An invalid address gets the send-list line
// "FEHLER in Adresse n" and is unmarked.
MailingOutcome RunMailing(const TMailSettings& settings, const MailingRequest& request,
                          const MailingObserver& observer, const SmtpSender& send = SendSmtpMail);

// The status-bar text of an attachment's progress.
QString MailProgressText(qint64 total, qint64 done, const QString& name);
