#include "masterdata/dvgroups.h"

#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/files/programdirs.h"
#include "masterdata/documenttargets.h"
#include "platform/table/table.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

void CopyDvGroup(table::Table& groups) {
    if (groups.isEditing())
        groups.post();
    if (groups.isEmpty())
        return;
    DvGroup group;
    if (!GetDvGroup(FieldInt(groups, u"DG_ID"_s), group))
        return;
    groups.append();
    CancelEditOnError(groups, [&] {
        groups[u"DG_Name"_s] = group.name;
        groups[u"DG_Type"_s] = group.kind;
        groups[u"DG_Mask"_s] = group.mask;
        groups[u"DG_Prefix"_s] = group.prefix;
        groups[u"DG_Suffix"_s] = group.suffix;
        groups[u"DG_Defpath"_s] = group.defaultPath;
        groups.post();
    });
}

QString DvGroupStartDirectory(const QString& storedPath) {
    const QString stored = WithoutFinalSeparator(storedPath);
    if (!stored.isEmpty() && QFileInfo(stored).isDir())
        return stored;
    return WithoutFinalSeparator(ProgramDir);
}
