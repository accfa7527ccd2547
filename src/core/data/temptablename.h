#pragma once

#include <QString>

// A free name for a work table of its own: "Tmppr" and the first three-digit
// number from "000" on that names neither a table of the client database
// ("LumoDB") nor a file DataDir + name + extension. The number goes past three
// digits once a thousand names are taken. The result has no directory.
QString GetTempTableName(const QString& extension);
