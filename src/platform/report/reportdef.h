#pragma once

// A banded report as data: the page, the datasets and the components (bands
// and their controls) in component order. Geometry of controls and bands is in
// design pixels, 3.8 per millimetre of paper, so the designer shows what
// prints; page margins are in millimetres.

#include <QColor>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace report {

inline constexpr double kDesignPixelsPerMm = 3.8;

// The component classes keep the names layout files and the designer use.
enum class ComponentClass {
    Band,       // TQRBand
    ChildBand,  // TQRChildBand
    Group,      // TQRGroup
    SubDetail,  // TQRSubDetail
    Label,      // TQRLabel
    DBText,     // TQRDBText
    RichText,   // TQRRichText
    DBRichText, // TQRDBRichText
    Image,      // TQRImage
    SysData,    // TQRSysData
    Expr,       // TQRExpr
    Shape,      // TQRShape
};

QString className(ComponentClass cls);
bool classOfName(const QString& name, ComponentClass* cls); // exact class name
bool isBand(ComponentClass cls);
bool isPrintable(ComponentClass cls); // a control that sits on a band

// Kinds of a TQRBand; groups, sub-details and child bands have classes of their own.
enum class BandType {
    PageHeader,
    Title,
    ColumnHeader,
    Detail,
    Summary,
    PageFooter,
    GroupHeader,
    GroupFooter
};

enum class Alignment { Left, Right, Center };

enum class SysDataKind {
    Date,
    Time,
    DateTime,
    PageNumber,
    PageCount,
    ReportTitle,
    DetailNo,
    DetailCount
};

enum class ShapeKind { Rectangle, Circle, HorLine, VertLine, TopAndBottom, RightAndLeft };

// Pen styles of frames and shapes, in the order layout files number them.
enum PenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

struct FontSpec {
    QString name = QStringLiteral("Arial");
    double size = 10; // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QColor color = Qt::black;
    bool operator==(const FontSpec&) const = default;
};

struct FrameSpec {
    QColor color = Qt::black;
    bool top = false;
    bool bottom = false;
    bool left = false;
    bool right = false;
    int style = psSolid;
    int width = 1; // design pixels
    bool any() const { return (top || bottom || left || right) && style != psClear; }
};

// One band or control. A flat record: every class reads the members that
// concern it, so layouts and hooks change any component the same way.
struct Component {
    QString name;
    ComponentClass cls = ComponentClass::Label;
    QString parent; // the band of a control; empty for bands
    bool enabled = true;
    int left = 0, top = 0, width = 0, height = 0; // design pixels
    QColor color = Qt::white;
    bool transparent = true;
    FontSpec font;
    Alignment alignment = Alignment::Left;
    bool wordWrap = false;
    bool autoStretch = false; // text, data text and rich text grow with their content
    FrameSpec frame;
    int tag = 0;
    QString caption; // label text, system-data prefix, rich text (RTF or plain)
    QString dataset;
    QString field;
    QString mask;
    QImage picture;
    bool center = false;
    bool stretch = false;
    SysDataKind sysData = SysDataKind::Date;
    QString expression; // TQRExpr; the group expression of a TQRGroup
    QString master;     // the band whose prints update the aggregates of an expression
    bool resetAfterPrint = false;
    ShapeKind shape = ShapeKind::Rectangle;

    // Bands.
    BandType bandType = BandType::Detail;
    QString parentBand; // TQRChildBand: the band it follows
    QString bandMaster; // TQRGroup, TQRSubDetail: the detail or sub-detail band it belongs to
    QString headerBand; // TQRSubDetail
    QString footerBand; // TQRGroup, TQRSubDetail
    bool forceNewPage = false;  // TQRGroup: each group on a new page
    bool keepWithFirst = false; // TQRGroup: the header stays with the group's first row
    bool printIfEmpty = false;  // TQRSubDetail: prints once with empty fields when it has no rows

    // Hook names.
    QString beforePrint;
    QString afterPrint;
    QString onPrint;
};

struct LookupDef {
    QString name;           // the field name the report uses
    QString alias;          // database alias; empty: the dataset's
    QString table;          // the table searched
    QStringList keyFields;  // fields of the dataset (or earlier lookups) giving the key
    QStringList lookupKeys; // fields of the searched table matched with them
    QString resultField;
};

struct CalcFieldDef {
    QString name;
    QString type; // a field type word of the table layer ("String", "Float", ...)
    int size = 0;
};

// A cursor of the run: opened read-only on its own for every run.
struct DatasetDef {
    QString name;
    QString alias = QStringLiteral("LumoDB");
    QString table;
    QString index;
    QString filter;
    bool filtered = false;
    bool hasRange = false; // on the first field of the index
    QVariant rangeFrom, rangeTo;
    QString master; // master dataset; the detail follows its current row
    QStringList masterFields, detailFields;
    QList<LookupDef> lookups;
    QList<CalcFieldDef> calculated;
    QString onCalcFields; // hook name
};

struct ReportOptions {
    bool firstPageHeader = true;
    bool lastPageFooter = true;
    bool printIfEmpty = true;
};

struct ReportDefinition {
    QString className;
    QString title;
    bool landscape = false;
    double marginLeft = 10, marginTop = 10, marginRight = 10, marginBottom = 10; // mm
    ReportOptions options;
    FontSpec font;       // default font of the controls
    QString dataset;     // the dataset the detail band walks; empty: the detail prints once
    QString beforePrint; // hook before each pass
    QList<DatasetDef> datasets;
    QList<Component> components;
};

} // namespace report
