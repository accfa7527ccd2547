#include "core/data/layoutfiles.h"
#include "platform/report/report.h"
#include "platform/report/reportreader.h"
#include "printing/layoutfile.h"
#include "printingfixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using report::Component;
using report::ComponentClass;

namespace {

Component component(const QString& name, ComponentClass cls, const QString& parent = {}) {
    Component c;
    c.name = name;
    c.cls = cls;
    c.parent = parent;
    return c;
}

// A band with a label, a data field and a line; a second band empty.
std::unique_ptr<report::Report> smallReport() {
    auto def = std::make_shared<report::ReportDefinition>();
    def->className = QStringLiteral("TQRKlein");
    def->marginLeft = 20;
    def->marginRight = 10;
    def->marginBottom = 15;
    Component band = component(QStringLiteral("DetailBand1"), ComponentClass::Band);
    band.height = 20;
    band.width = 700;
    def->components.append(band);
    Component label =
        component(QStringLiteral("L_Text"), ComponentClass::Label, QStringLiteral("DetailBand1"));
    label.height = 15;
    label.width = 100;
    label.left = 5;
    label.top = 2;
    label.caption = QStringLiteral("Größe = 5");
    label.alignment = report::Alignment::Right;
    label.font.bold = true;
    label.frame.color = QColor(255, 0, 0);
    label.frame.bottom = true;
    label.frame.style = report::psDash;
    label.frame.width = 2;
    label.transparent = false;
    def->components.append(label);
    Component field =
        component(QStringLiteral("F_Wert"), ComponentClass::DBText, QStringLiteral("DetailBand1"));
    field.height = 15;
    field.width = 80;
    field.left = 110;
    field.mask = QStringLiteral("#,##0.00");
    field.color = QColor(0xE0, 0xE0, 0xE0);
    field.font = {QStringLiteral("Courier New"), 8, false, true, false, false, QColor(0, 0, 128)};
    def->components.append(field);
    Component line =
        component(QStringLiteral("S_Linie"), ComponentClass::Shape, QStringLiteral("DetailBand1"));
    line.height = 2;
    line.width = 700;
    def->components.append(line);
    Component child = component(QStringLiteral("ChildBand1"), ComponentClass::ChildBand);
    child.enabled = false;
    child.height = 4;
    def->components.append(child);
    return std::make_unique<report::Report>(def);
}

const char* const kSmallLayout = "OPTIONS:PRINDEX=1;OBINFIRST=4;OBINNEXT=2;\r\n"
                                 "FormBorderleft=76\r\n"
                                 "FormBordertop=38\r\n"
                                 "FormBorderright=38\r\n"
                                 "FormBorderbottom=57\r\n"
                                 "FRMTITLE:Kleiner Test\r\n"
                                 "==================================================\r\n"
                                 "DetailBand1\r\n"
                                 "Parent=QRKlein\r\n"
                                 "Enabled=true\r\n"
                                 "Height=20\r\n"
                                 "Width=700\r\n"
                                 "Left=0\r\n"
                                 "Top=0\r\n"
                                 "FrameColor=0\r\n"
                                 "DrawBottom=false\r\n"
                                 "DrawLeft=false\r\n"
                                 "DrawRight=false\r\n"
                                 "DrawTop=false\r\n"
                                 "FrameStyle=psSolid\r\n"
                                 "FrameLineWidth=1\r\n"
                                 "----------------------------------------\r\n"
                                 "L_Text\r\n"
                                 "Parent=DetailBand1\r\n"
                                 "Enabled=true\r\n"
                                 "Height=15\r\n"
                                 "Width=100\r\n"
                                 "Left=5\r\n"
                                 "Top=2\r\n"
                                 "Color=16777215\r\n"
                                 "Caption=Gr\xF6\xDF\x65 = 5\r\n"
                                 "Alignment=taRightJustify\r\n"
                                 "FontName=Arial\r\n"
                                 "FontSize=10\r\n"
                                 "FontStyle=[Bold]\r\n"
                                 "FontColor=0\r\n"
                                 "FrameColor=255\r\n"
                                 "DrawBottom=true\r\n"
                                 "DrawLeft=false\r\n"
                                 "DrawRight=false\r\n"
                                 "DrawTop=false\r\n"
                                 "FrameStyle=psDash\r\n"
                                 "FrameLineWidth=2\r\n"
                                 "Transparent=false\r\n"
                                 "----------------------------------------\r\n"
                                 "F_Wert\r\n"
                                 "Parent=DetailBand1\r\n"
                                 "Enabled=true\r\n"
                                 "Height=15\r\n"
                                 "Width=80\r\n"
                                 "Left=110\r\n"
                                 "Top=0\r\n"
                                 "Color=14737632\r\n"
                                 "MASK=#,##0.00\r\n"
                                 "Alignment=taLeftJustify\r\n"
                                 "FontName=Courier New\r\n"
                                 "FontSize=8\r\n"
                                 "FontStyle=[Italic]\r\n"
                                 "FontColor=8388608\r\n"
                                 "FrameColor=0\r\n"
                                 "DrawBottom=false\r\n"
                                 "DrawLeft=false\r\n"
                                 "DrawRight=false\r\n"
                                 "DrawTop=false\r\n"
                                 "FrameStyle=psSolid\r\n"
                                 "FrameLineWidth=1\r\n"
                                 "Transparent=true\r\n"
                                 "----------------------------------------\r\n"
                                 "S_Linie\r\n"
                                 "Parent=DetailBand1\r\n"
                                 "Enabled=true\r\n"
                                 "Height=2\r\n"
                                 "Width=700\r\n"
                                 "Left=0\r\n"
                                 "Top=0\r\n"
                                 "----------------------------------------\r\n"
                                 "ChildBand1\r\n"
                                 "Parent=QRKlein\r\n"
                                 "Enabled=false\r\n"
                                 "Height=4\r\n"
                                 "Width=0\r\n"
                                 "Left=0\r\n"
                                 "Top=0\r\n"
                                 "FrameColor=0\r\n"
                                 "DrawBottom=false\r\n"
                                 "DrawLeft=false\r\n"
                                 "DrawRight=false\r\n"
                                 "DrawTop=false\r\n"
                                 "FrameStyle=psSolid\r\n"
                                 "FrameLineWidth=1\r\n"
                                 "----------------------------------------\r\n";

TEST(LayoutWriterTest, WritesTheLinesInTheirOrderInTheWindowsCodePage) {
    const auto rep = smallReport();
    const QByteArray bytes = WriteFormLayout(*rep, QStringLiteral("Kleiner Test"), {1, 4, 2});
    EXPECT_EQ(bytes, QByteArray(kSmallLayout));
}

// Reads text as layout lines and applies them to a fresh small report.
class LayoutReaderTest : public ::testing::Test {
public:
    void read(const QString& text) {
        rep = smallReport();
        options = {};
        ReadFormLayout(text.split(QStringLiteral("\n")), *rep, options);
    }
    Component& c(const char* name) { return rep->component(QString::fromLatin1(name)); }

    std::unique_ptr<report::Report> rep;
    PrinterOptionValues options;
};

TEST_F(LayoutReaderTest, ValuesOfTheKeysOfEachClass) {
    read(QStringLiteral("l_text\n"
                        "Parent=Anderswo\n"
                        "enabled=FALSE\n"
                        "Height=12a\n"
                        "Width=$20\n"
                        "Left=-5\n"
                        "Top=99999999\n"
                        "Caption=a=b = c \n"
                        "FontSize=0\n"
                        "FontName=\n"
                        "FontStyle=italic,UNDERLINE\n"
                        "FrameStyle= PSDOT \n"
                        "FrameLineWidth=500\n"
                        "Color=-16777201\n"
                        "Alignment=links\n"
                        "----\n"
                        "F_Wert\n"
                        "Mask= 0.0 \n"
                        "Transparent=yes\n"
                        "Caption=verboten\n"
                        "Height=50\n"));
    const Component& label = c("L_Text");
    EXPECT_FALSE(label.enabled);
    EXPECT_EQ(label.parent, QStringLiteral("DetailBand1")); // "Parent=" is never used
    EXPECT_EQ(label.height, 0);
    EXPECT_EQ(label.width, 32);
    EXPECT_EQ(label.left, 0);    // clamped
    EXPECT_EQ(label.top, 20000); // clamped
    EXPECT_EQ(label.caption, QStringLiteral("a=b = c "));
    EXPECT_EQ(label.font.size, 1); // clamped
    EXPECT_EQ(label.font.name, QStringLiteral("Arial"));
    EXPECT_TRUE(label.font.italic && label.font.underline && !label.font.bold);
    EXPECT_EQ(label.frame.style, report::psDot);
    EXPECT_EQ(label.frame.width, 40);
    EXPECT_EQ(label.color, QColor(0xF0, 0xF0, 0xF0));
    EXPECT_EQ(label.alignment, report::Alignment::Center);
    const Component& field = c("F_Wert");
    EXPECT_EQ(field.mask, QStringLiteral(" 0.0 "));
    EXPECT_FALSE(field.transparent);
    // A data field takes no caption: the line ends its block and is used up,
    // and the next line names nothing.
    EXPECT_EQ(field.caption, QString());
    EXPECT_EQ(field.height, 15);
}

TEST_F(LayoutReaderTest, MarginsAndOptions) {
    read(QStringLiteral("OPTIONS:PRINDEX=3;OBINFIRST=14;OBINNEXT= 5 ;rest\n"
                        "FormBorderleft=38\n"
                        "formbordertop=abc\n"
                        "FormBorderRight=5000\n"
                        "FormBorderbottomx=76\n"
                        "FormBorder=76\n"));
    EXPECT_EQ(options, (PrinterOptionValues{3, 0, 5}));
    EXPECT_DOUBLE_EQ(rep->def().marginLeft, 10);
    EXPECT_DOUBLE_EQ(rep->def().marginTop, 0);
    EXPECT_DOUBLE_EQ(rep->def().marginRight, 95); // clamped to half the paper less 10 mm
    EXPECT_DOUBLE_EQ(rep->def().marginBottom, 15);

    read(QStringLiteral("options:prindex=-1;OBINFIRST=$D\n"));
    EXPECT_EQ(options, (PrinterOptionValues{-1, 13, 0}));
}

TEST_F(LayoutReaderTest, BlockStructureQuirks) {
    const struct {
        const char* what;
        const char16_t* text;
        std::function<void(LayoutReaderTest&)> check;
    } cases[] = {
        {"without the dash lines every second block is lost",
         u"L_Text\nHeight=30\nF_Wert\nHeight=31\nChildBand1\nEnabled=true\nDetailBand1\n"
         u"Enabled=false\n",
         [](LayoutReaderTest& t) {
             EXPECT_EQ(t.c("L_Text").height, 30);
             EXPECT_EQ(t.c("F_Wert").height, 15);
             EXPECT_TRUE(t.c("ChildBand1").enabled);
             EXPECT_TRUE(t.c("DetailBand1").enabled);
         }},
        {"a control lands on the band of the nearest band block above it",
         u"ChildBand1\n----\nL_Text\nTop=7\n----\nDetailBand1\n----\nF_Wert\n----\n",
         [](LayoutReaderTest& t) {
             EXPECT_EQ(t.c("L_Text").parent, QStringLiteral("ChildBand1"));
             EXPECT_EQ(t.c("L_Text").top, 7);
             EXPECT_EQ(t.c("F_Wert").parent, QStringLiteral("DetailBand1"));
         }},
        {"a control before every band block keeps its band", u"F_Wert\nLeft=3\n----\n",
         [](LayoutReaderTest& t) {
             EXPECT_EQ(t.c("F_Wert").parent, QStringLiteral("DetailBand1"));
             EXPECT_EQ(t.c("F_Wert").left, 3);
         }},
        {"a key with a blank in front ends the block; so does a name",
         u"L_Text\nHeight=30\n Width=1\nWidth=2\n----\n F_Wert\nWidth=3\n",
         [](LayoutReaderTest& t) {
             EXPECT_EQ(t.c("L_Text").height, 30);
             EXPECT_EQ(t.c("L_Text").width, 100);
             EXPECT_EQ(t.c("F_Wert").width, 80);
         }},
        {"two blocks of one control: the later wins key by key",
         u"L_Text\nHeight=30\nWidth=40\n----\nL_Text\nWidth=50\n----\n",
         [](LayoutReaderTest& t) {
             EXPECT_EQ(t.c("L_Text").height, 30);
             EXPECT_EQ(t.c("L_Text").width, 50);
         }},
        {"a shape's block and unknown names change nothing",
         u"S_Linie\nHeight=9\n----\nL_Fehlt\nCaption=x\n----\n",
         [](LayoutReaderTest& t) {
             EXPECT_EQ(t.c("S_Linie").height, 2);
             EXPECT_EQ(t.c("L_Text").caption, QStringLiteral("Größe = 5"));
         }},
        {"a band switched off", u"DetailBand1\nEnabled=false\n----\n",
         [](LayoutReaderTest& t) { EXPECT_FALSE(t.c("DetailBand1").enabled); }},
        {"a title containing OPTIONS or FORMBORDER changes nothing",
         u"FRMTITLE:Options-Liste\nFRMTITLE:FormBorder-Test=38\n",
         [](LayoutReaderTest& t) {
             EXPECT_EQ(t.options, PrinterOptionValues{});
             EXPECT_DOUBLE_EQ(t.rep->def().marginLeft, 20);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        read(QString::fromUtf16(c.text));
        c.check(*this);
    }
}

TEST_F(LayoutReaderTest, ControlsNamedLikeOptionsOrMarginsAreNeverLaidOut) {
    rep = smallReport();
    rep->component(QStringLiteral("L_Text")).name = QStringLiteral("L_Options");
    rep->component(QStringLiteral("F_Wert")).name = QStringLiteral("F_formborder");
    ReadFormLayout({QStringLiteral("L_Options"), QStringLiteral("Height=44"),
                    QStringLiteral("F_formborder"), QStringLiteral("Height=45")},
                   *rep, options);
    EXPECT_EQ(rep->component(QStringLiteral("L_Options")).height, 15);
    EXPECT_EQ(rep->component(QStringLiteral("F_formborder")).height, 15);
}

void expectSame(const Component& a, const Component& b) {
    SCOPED_TRACE(a.name.toStdString());
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.cls, b.cls);
    EXPECT_EQ(a.parent, b.parent);
    EXPECT_EQ(a.enabled, b.enabled);
    EXPECT_EQ(a.left, b.left);
    EXPECT_EQ(a.top, b.top);
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.height, b.height);
    EXPECT_EQ(a.color, b.color);
    EXPECT_EQ(a.transparent, b.transparent);
    EXPECT_TRUE(a.font == b.font) << "font";
    EXPECT_EQ(a.alignment, b.alignment);
    EXPECT_EQ(a.frame.color, b.frame.color);
    EXPECT_EQ(a.frame.top, b.frame.top);
    EXPECT_EQ(a.frame.bottom, b.frame.bottom);
    EXPECT_EQ(a.frame.left, b.frame.left);
    EXPECT_EQ(a.frame.right, b.frame.right);
    EXPECT_EQ(a.frame.style, b.frame.style);
    EXPECT_EQ(a.frame.width, b.frame.width);
    EXPECT_EQ(a.caption, b.caption);
    EXPECT_EQ(a.mask, b.mask);
    EXPECT_EQ(a.center, b.center);
    EXPECT_EQ(a.stretch, b.stretch);
    EXPECT_EQ(a.picture, b.picture);
}

void expectSameLayout(const report::ReportDefinition& a, const report::ReportDefinition& b) {
    // Margins pass through whole design pixels.
    const double pixel = 0.5 / report::kDesignPixelsPerMm;
    EXPECT_NEAR(a.marginLeft, b.marginLeft, pixel);
    EXPECT_NEAR(a.marginTop, b.marginTop, pixel);
    EXPECT_NEAR(a.marginRight, b.marginRight, pixel);
    EXPECT_NEAR(a.marginBottom, b.marginBottom, pixel);
    ASSERT_EQ(a.components.size(), b.components.size());
    for (qsizetype i = 0; i < a.components.size(); ++i)
        expectSame(a.components[i], b.components[i]);
}

TEST(LayoutRoundTripTest, ChangesWrittenAreReadBackIntoAFreshReport) {
    QTemporaryDir dir;
    auto changed = smallReport();
    Component& label = changed->component(QStringLiteral("L_Text"));
    label.left = 40;
    label.caption = QStringLiteral("Neu: ä=ü");
    label.font = {QStringLiteral("Times New Roman"), 12, true, true, true, true, QColor(1, 2, 3)};
    label.frame = {QColor(9, 8, 7), true, true, true, true, report::psDashDotDot, 3};
    label.color = QColor(200, 100, 50);
    label.alignment = report::Alignment::Center;
    label.transparent = true;
    changed->component(QStringLiteral("F_Wert")).mask = QStringLiteral("0;-0;'null'");
    changed->component(QStringLiteral("F_Wert")).parent = QStringLiteral("ChildBand1");
    changed->component(QStringLiteral("DetailBand1")).enabled = false;
    changed->def().marginTop = 20;
    // The data field moves to the child band when its block follows that band's.
    std::swap(changed->def().components[2], changed->def().components[4]);
    std::swap(changed->def().components[2], changed->def().components[3]);
    const QString path = dir.filePath(QStringLiteral("ORM12001.QFD"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(WriteFormLayout(*changed, QStringLiteral("Test"), {0, 1, 2}));
    file.close();

    QStringList lines;
    ASSERT_TRUE(LoadLayoutLines(path, lines));
    auto fresh = smallReport();
    PrinterOptionValues options;
    ReadFormLayout(lines, *fresh, options);
    EXPECT_EQ(options, (PrinterOptionValues{0, 1, 2}));
    for (const Component& c : changed->def().components)
        expectSame(c, fresh->component(c.name));
    EXPECT_DOUBLE_EQ(fresh->def().marginTop, 20);
}

TEST(LayoutRoundTripTest, EveryReportsDesignedLayoutLeavesItUnchanged) {
    // The program's reports and the test report: each one's designed layout,
    // written and applied to a fresh report, changes nothing that prints.
    QStringList files;
    for (const QString& dir : {QStringLiteral(":/reports"), printingtest::testReportDir()})
        for (const QString& name : QDir(dir).entryList({QStringLiteral("*.json")}, QDir::Files))
            files << QDir(dir).filePath(name);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& fileName : files) {
        SCOPED_TRACE(fileName.toStdString());
        QFile file(fileName);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const auto def = std::make_shared<report::ReportDefinition>(
            report::readReportDefinition(file.readAll(), fileName));
        const report::Report designed(def);
        QStringDecoder decode("windows-1252");
        const QString text = decode(WriteFormLayout(designed, def->title, {}));
        QStringList lines = text.split(QStringLiteral("\r\n"));
        ASSERT_TRUE(lines.last().isEmpty());
        lines.removeLast();
        report::Report fresh(def);
        PrinterOptionValues options{5, 5, 5};
        ReadFormLayout(lines, fresh, options);
        EXPECT_EQ(options, PrinterOptionValues{});
        expectSameLayout(designed.def(), fresh.def());
    }
}

} // namespace
