#include "platform/report/reportdef.h"

namespace report {
namespace {

struct ClassName {
    ComponentClass cls;
    const char* name;
};

constexpr ClassName kClassNames[] = {
    {ComponentClass::Band, "TQRBand"},         {ComponentClass::ChildBand, "TQRChildBand"},
    {ComponentClass::Group, "TQRGroup"},       {ComponentClass::SubDetail, "TQRSubDetail"},
    {ComponentClass::Label, "TQRLabel"},       {ComponentClass::DBText, "TQRDBText"},
    {ComponentClass::RichText, "TQRRichText"}, {ComponentClass::DBRichText, "TQRDBRichText"},
    {ComponentClass::Image, "TQRImage"},       {ComponentClass::SysData, "TQRSysData"},
    {ComponentClass::Expr, "TQRExpr"},         {ComponentClass::Shape, "TQRShape"},
};

} // namespace

QString className(ComponentClass cls) {
    for (const ClassName& c : kClassNames) {
        if (c.cls == cls)
            return QLatin1String(c.name);
    }
    return {};
}

bool classOfName(const QString& name, ComponentClass* cls) {
    for (const ClassName& c : kClassNames) {
        if (name == QLatin1String(c.name)) {
            *cls = c.cls;
            return true;
        }
    }
    return false;
}

bool isBand(ComponentClass cls) {
    return cls == ComponentClass::Band || cls == ComponentClass::ChildBand ||
           cls == ComponentClass::Group || cls == ComponentClass::SubDetail;
}

bool isPrintable(ComponentClass cls) {
    return !isBand(cls);
}

} // namespace report
