#include "masterdata/markedadressen.h"

using namespace Qt::StringLiterals;

AdressViewGuard::AdressViewGuard(table::Table& adress)
    : m_table(adress), m_filter(adress.filter()), m_filtered(adress.isFiltered()) {
    if (!adress.isEmpty())
        m_mark = adress.bookmark();
}

AdressViewGuard::~AdressViewGuard() {
    try {
        if (m_table.isEditing())
            m_table.cancel();
        m_table.setFilter(m_filter);
        m_table.setFiltered(m_filtered);
        if (m_mark && m_table.bookmarkValid(*m_mark))
            m_table.gotoBookmark(*m_mark);
    } catch (const std::exception&) {
        // The view cannot be restored; the table stays usable as it is.
    }
}

void FilterMarkedAdressen(table::Table& adress) {
    adress.setFilter(u"A_Selected=true"_s);
    adress.setFiltered(true);
    adress.first();
}

void AppendAdrProto(table::Table& proto, int addressId, AdrProtoArt art, const QString& subject,
                    const QString& fallback) {
    proto.append();
    try {
        proto.field(u"AP_Adr"_s).setValue(addressId);
        proto.field(u"AP_Art"_s).setValue(static_cast<int>(art));
        // A long subject is noted as far as the protocol's field holds it.
        table::Field& text = proto.field(u"AP_Text"_s);
        text.setValue(subject.isEmpty() ? fallback : subject.left(text.size()));
        proto.post();
    } catch (...) {
        // A row that could not be written is never posted by a later append.
        if (proto.isEditing())
            proto.cancel();
        throw;
    }
}
