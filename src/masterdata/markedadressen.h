#pragma once

#include "platform/table/table.h"

#include <QString>
#include <optional>

// What the runs over the marked addresses (mailing, serial letter) share.

// The address table's filter, switch and position as the caller left them,
// restored when the guard ends, also after an error.
class AdressViewGuard {
public:
    explicit AdressViewGuard(table::Table& adress);
    ~AdressViewGuard();
    AdressViewGuard(const AdressViewGuard&) = delete;
    AdressViewGuard& operator=(const AdressViewGuard&) = delete;

private:
    table::Table& m_table;
    QString m_filter;
    bool m_filtered;
    std::optional<table::Bookmark> m_mark;
};

// Replaces the address table's filter expression by the marked addresses
// and switches filtering on; the first of them becomes current.
void FilterMarkedAdressen(table::Table& adress);

// The kinds of protocol rows (AP_Art).
enum class AdrProtoArt { Manuell = 0, Serienbrief = 1, Mailing = 2 };

// Appends and posts a protocol row of that kind to the address: the subject,
// as far as the field holds it, or fallback when the subject is empty. A row
// that cannot be written is cancelled and the error raised.
void AppendAdrProto(table::Table& proto, int addressId, AdrProtoArt art, const QString& subject,
                    const QString& fallback);
