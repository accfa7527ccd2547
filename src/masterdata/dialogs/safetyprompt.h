#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

// The safety prompt's digits: the digits 1 to 8, shuffled as often as the
// clock says ((year mod 100) + month + day + hour + minute + second times),
// each time taking a digit from one of the first seven places to the front.
// So the last digit is always 8.

// A random place in 0 .. bound - 1.
using RandomPlace = std::function<int(int bound)>;

QString ShuffleSafetyDigits(const QDateTime& now, const RandomPlace& randomPlace);

// The answer is the shown digits typed backwards, compared exactly (a blank
// or any other extra character makes it wrong).
bool SafetyAnswerMatches(const QString& shown, const QString& answer);

// Where the prompt takes the clock and its random places from; tests install
// fixed ones. An empty function restores the default (the system clock, and a
// generator seeded from the clock at each prompt).
struct SafetyPromptSources {
    std::function<QDateTime()> now;
    std::function<RandomPlace(const QDateTime& seedTime)> random;
};
void SetSafetyPromptSources(SafetyPromptSources sources);
// The digits for a prompt shown now.
QString NewSafetyDigits();
