#pragma once

#include <QStringList>

class TDataModule1;

// The master-detail links of the data module's shared table objects (a
// detail shows the rows of its master's current record) and the chains in
// which opening or closing one object opens or closes another. Bound now
// and on every new set of table objects.
void InstallTableLinks(TDataModule1& dm);

// The link of a shared detail table object ("TabKUmsatz"): its master's
// accessor name and the fields on both sides, for a second cursor that must
// show the same rows. False when the object is no linked detail.
struct SharedTableLink {
    QString master;
    QStringList masterFields;
    QStringList detailFields;
};
bool FindSharedTableLink(const QString& detail, SharedTableLink& link);
