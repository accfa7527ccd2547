#include "core/data/layoutfiles.h"

#include "core/data/dbhelpers.h"
#include "core/files/filehelpers.h"
#include "core/files/filelookup.h"
#include "core/files/programdirs.h"
#include "core/messages/messages.h"
#include "core/values/numberparsing.h"
#include "platform/table/table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace {

// The largest layouts (a few hundred controls) stay far below this.
constexpr qint64 kMaxLayoutBytes = 4 * 1024 * 1024;

// Text as the designer writes it: no control characters but line ends, tabs,
// form feeds and the old end-of-file mark.
bool isLayoutText(const QByteArray& bytes) {
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 && u != '\t' && u != '\n' && u != '\r' && u != '\f' && u != 0x1A)
            return false;
    }
    return true;
}

} // namespace

QString LayoutFileName(int formId) {
    const QString digits = QString::number(qAbs(qint64(formId))).rightJustified(5, u'0');
    return u"ORM"_s + (formId < 0 ? u"-"_s : QString()) + digits + u".QFD"_s;
}

QString LayoutFilePath(int formId) {
    const QString name = LayoutFileName(formId);
    const QString found = FindFileIgnoringCase(QrfdDir, name);
    return found.isEmpty() ? QrfdDir + name : found;
}

QString ExistingLayoutFile(const QString& path) {
    const QFileInfo info(path);
    if (info.isFile())
        return path;
    return FindFileIgnoringCase(info.path(), info.fileName());
}

bool LoadLayoutLines(const QString& path, QStringList& lines) {
    lines.clear();
    const QString found = ExistingLayoutFile(path);
    if (found.isEmpty())
        return false;
    QFile file(found);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxLayoutBytes)
        return false;
    const QByteArray bytes = file.read(kMaxLayoutBytes + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxLayoutBytes ||
        !isLayoutText(bytes))
        return false;
    QStringDecoder decode("windows-1252");
    QString text = decode(bytes);
    text.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
    if (text.endsWith(u'\n'))
        text.chop(1);
    if (!text.isEmpty())
        lines = text.split(u'\n');
    return true;
}

QString ReadLayoutTitle(const QString& fileName) {
    QStringList lines;
    if (!LoadLayoutLines(QrfdDir + fileName, lines))
        return {};
    const QString key = u"FRMTITLE:"_s;
    for (const QString& line : lines)
        if (line.startsWith(key, Qt::CaseInsensitive))
            return line.mid(key.size());
    return {};
}

void ImportLayoutFiles() {
    auto forms = OpenTempTable(u"LumoDB"_s, u"QrFrmDef.DB"_s);
    table::Field& comment = forms->field(u"Q_Comment"_s);
    // A title longer than the field is cut, as the field would hold it.
    auto fitted = [&comment](const QString& title) { return title.left(comment.def().size); };
    // Matched without regard to case; sorted, so that of names differing only
    // in case the first registers the form.
    const QStringList files = QDir(QrfdDir).entryList(
        {u"ORM?????.QFD"_s}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    struct Layout {
        QString file;
        int number = 0;
        QString title; // read once a registered row needs it
    };
    QList<Layout> layouts;
    bool namesDiffer = false;
    for (const QString& name : files) {
        const int number = StrToIntZero(name.mid(3, 5));
        const int type = number / 100 * 100;
        // A system row is the catalogue entry of its type and never a layout.
        if (number == 0 || number == type || !forms->findKey({type}))
            continue;
        Layout layout{name, number, {}};
        if (forms->findKey({number})) {
            layout.title = fitted(ReadLayoutTitle(name));
            namesDiffer =
                namesDiffer || (!layout.title.isEmpty() && layout.title != comment.asString());
        }
        layouts.append(layout);
    }
    // Only a name that would change is worth the question.
    const bool replaceNames =
        namesDiffer && AskYesNo(u"Sollen vorhandene Formularnamen ersetzt werden?"_s);
    for (const Layout& layout : layouts) {
        if (!forms->findKey({layout.number})) {
            forms->append();
            (*forms)[u"QF_ID"_s] = layout.number;
            (*forms)[u"Q_FormType"_s] = layout.number / 100 * 100;
            (*forms)[u"Q_Filename"_s] = layout.file;
            (*forms)[u"Q_Protect"_s] = false;
            comment = fitted(ReadLayoutTitle(layout.file));
            forms->post();
        } else if (replaceNames && !layout.title.isEmpty() && layout.title != comment.asString()) {
            forms->edit();
            comment = layout.title;
            forms->post();
        }
    }
}

bool CopyTemplateLayouts(const QString& sourceDir, const QString& targetDir) {
    if (!EnsureDirectory(targetDir))
        return false;
    const QDir source(sourceDir);
    const QDir target(targetDir);
    for (const QFileInfo& entry : source.entryInfoList(QDir::Files | QDir::Dirs | QDir::Hidden |
                                                           QDir::System | QDir::NoDotAndDotDot,
                                                       QDir::Name)) {
        if (entry.isDir()) {
            if (!target.exists(entry.fileName()) &&
                !CopyDirectoryTree(entry.filePath(), target.filePath(entry.fileName())))
                return false;
            continue;
        }
        if (!FindFileIgnoringCase(targetDir, entry.fileName()).isEmpty())
            continue;
        if (!CopyFileKeepDate(entry.filePath(), target.filePath(entry.fileName())))
            return false;
    }
    return true;
}
