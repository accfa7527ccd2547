#pragma once

#include <QList>
#include <QString>

// The small settings files of the program and client directories.

// The first line of DataDir + "Version.Dat" as a number; 0 when the file is
// missing, unreadable or holds no number.
int ReadDbVersion();
// Rewrites "Version.Dat" with the one line of the version; raises DbError
// when the file could not be written.
void WriteDbVersion(int version);
void WriteDbVersion(int version, const QString& dataDir);

// "Version.Dat" of a data directory as it is found.
struct DbVersionFile {
    enum State {
        Missing,
        Unreadable, // cannot be read, empty, or its first line is no number
        Valid,
    } state = Missing;
    int version = 0; // 0 unless Valid
};
DbVersionFile ReadDbVersionFile(const QString& dataDir);

// The print font: "Arial" 10 unless "Deffont.txt" names another.
struct PrintFontSpec {
    QString name = QStringLiteral("Arial");
    int size = 10;
};
extern PrintFontSpec PrintFont;
void CreatePrintFont();
// Back to the default once the program has finished.
void FreePrintFont();

// Marks of position kinds 0 to 4 and the texts printed instead of the
// amounts of positions of kind 2 and 1, from "Partopt.txt".
extern QString PosArtMarks[5];
extern QString PosArt2AmountText;
extern QString PosArt1AmountText;
void ReadPartopt();

// Tab stops of the rich texts from "Tabstop.dat": at most 32, each at least
// 10 beyond its predecessor.
constexpr int MaxTabstops = 32;
extern QList<int> TabstopList;
void ReadTabstops();

// The marker that the client's old billing definitions were converted.
bool IsRgvConverted(int mandant);
// False when the marker could not be created.
bool MarkRgvConverted(int mandant);

// The number a text line holds, 0 when it holds none.
int StrToIntZeroLine(const QString& line);
