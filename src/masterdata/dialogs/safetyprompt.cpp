#include "masterdata/dialogs/safetyprompt.h"

#include <QRandomGenerator>
#include <memory>

namespace {

SafetyPromptSources& sources() {
    static SafetyPromptSources installed;
    return installed;
}

RandomPlace clockSeeded(const QDateTime& seedTime) {
    auto generator = std::make_shared<QRandomGenerator>(quint32(seedTime.toMSecsSinceEpoch()));
    return [generator](int bound) { return int(generator->bounded(bound)); };
}

} // namespace

QString ShuffleSafetyDigits(const QDateTime& now, const RandomPlace& randomPlace) {
    QString digits = QStringLiteral("12345678");
    const QDate date = now.date();
    const QTime time = now.time();
    const int steps =
        date.year() % 100 + date.month() + date.day() + time.hour() + time.minute() + time.second();
    for (int i = 0; i < steps; ++i) {
        const int place = randomPlace(7);
        if (place < 0 || place > 6)
            continue; // a source out of range moves nothing rather than the 8
        const QChar digit = digits.at(place);
        digits.remove(place, 1);
        digits.prepend(digit);
    }
    return digits;
}

bool SafetyAnswerMatches(const QString& shown, const QString& answer) {
    QString reversed;
    reversed.reserve(answer.size());
    for (qsizetype i = answer.size(); i > 0; --i)
        reversed.append(answer.at(i - 1));
    return reversed == shown;
}

void SetSafetyPromptSources(SafetyPromptSources replacement) {
    sources() = std::move(replacement);
}

QString NewSafetyDigits() {
    const QDateTime now = sources().now ? sources().now() : QDateTime::currentDateTime();
    const RandomPlace place = sources().random ? sources().random(now) : clockSeeded(now);
    return ShuffleSafetyDigits(now, place);
}
