#pragma once

#include "core/data/clientdbfixture.h"
#include "datasafety/documentarchive/archiveconnection.h"
#include "datasafety/documentarchive/documentmove.h"
#include "platform/table/table.h"

#include <QVariant>

namespace archivetest {

using Values = QList<std::pair<QString, QVariant>>;

// Both databases of a new client with documents written into them.
class DocumentFixture : public datatest::ClientDbFixture {
protected:
    static constexpr const char* kLumo = "LumoDB";
    static constexpr const char* kAblage = "AblageDB";

    void addHead(const QString& table, int id, const QString& nr, bool marked, Values extra = {},
                 const char* alias = kLumo) {
        extra.prepend({QStringLiteral("R_Selected"), marked});
        extra.prepend({QStringLiteral("R_Nr"), nr});
        extra.prepend({QStringLiteral("R_ID"), id});
        addRow(table, extra, QString::fromLatin1(alias));
    }
    void addLine(const QString& table, int id, int ref, int posNr, Values extra = {},
                 const char* alias = kLumo) {
        extra.prepend({QStringLiteral("S_Ref"), ref});
        extra.prepend({QStringLiteral("S_ID"), id});
        if (posNr >= 0)
            extra.append({QStringLiteral("S_PosNr"), posNr});
        addRow(table, extra, QString::fromLatin1(alias));
    }
    int count(const QString& table, const char* alias = kLumo) {
        return open(table, QString::fromLatin1(alias))->recordCount();
    }
    DocumentMoveResult move(const ArchiveTables& tables) {
        ArchiveConnection connection;
        return MoveSelectedDocuments(connection, tables);
    }
    DocumentMoveResult move(ArchiveFamily family) { return move(ArchiveTablesOf(family)); }
};

} // namespace archivetest
