#include "core/settings/regionalsettings.h"

RegionalSettings RegionalSettings::german() {
    RegionalSettings s;
    s.shortDayNames = {QStringLiteral("So"), QStringLiteral("Mo"), QStringLiteral("Di"),
                       QStringLiteral("Mi"), QStringLiteral("Do"), QStringLiteral("Fr"),
                       QStringLiteral("Sa")};
    s.longDayNames = {QStringLiteral("Sonntag"),    QStringLiteral("Montag"),
                      QStringLiteral("Dienstag"),   QStringLiteral("Mittwoch"),
                      QStringLiteral("Donnerstag"), QStringLiteral("Freitag"),
                      QStringLiteral("Samstag")};
    s.shortMonthNames = {QStringLiteral("Jan"), QStringLiteral("Feb"), QStringLiteral("Mär"),
                         QStringLiteral("Apr"), QStringLiteral("Mai"), QStringLiteral("Jun"),
                         QStringLiteral("Jul"), QStringLiteral("Aug"), QStringLiteral("Sep"),
                         QStringLiteral("Okt"), QStringLiteral("Nov"), QStringLiteral("Dez")};
    s.longMonthNames = {
        QStringLiteral("Januar"),  QStringLiteral("Februar"),  QStringLiteral("März"),
        QStringLiteral("April"),   QStringLiteral("Mai"),      QStringLiteral("Juni"),
        QStringLiteral("Juli"),    QStringLiteral("August"),   QStringLiteral("September"),
        QStringLiteral("Oktober"), QStringLiteral("November"), QStringLiteral("Dezember")};
    return s;
}

namespace {
RegionalSettings& current() {
    static RegionalSettings settings = RegionalSettings::german();
    return settings;
}
} // namespace

const RegionalSettings& Regional() {
    return current();
}

void SetRegional(const RegionalSettings& settings) {
    current() = settings;
}

void ApplyStartupFormats() {
    RegionalSettings& settings = current();
    settings.shortDateFormat = QStringLiteral("dd.MM.yyyy");
    settings.shortTimeFormat = QStringLiteral("hh:mm");
    settings.longTimeFormat = settings.shortTimeFormat;
}
