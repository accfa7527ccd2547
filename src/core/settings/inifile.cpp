#include "core/settings/inifile.h"

#include "platform/errors.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {
bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}
} // namespace

IniFile::IniFile(QString fileName) : m_fileName(std::move(fileName)) {}

bool IniFile::load() {
    m_sections.clear();
    QFile file(m_fileName);
    if (!file.exists())
        return false;
    if (!file.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral("Die Datei %1 kann nicht gelesen werden.").arg(m_fileName));
    QStringDecoder decoder("windows-1252");
    const QString text = decoder(file.readAll());
    Section* current = nullptr;
    for (QString line : text.split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            const QString name = line.mid(1, line.size() - 2).trimmed();
            current = &sectionForWrite(name);
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (current == nullptr || equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed();
        bool known = false;
        for (Entry& entry : current->entries) {
            if (sameName(entry.key, key)) {
                known = true;
                break;
            }
        }
        // As with the Windows functions, the first of repeated keys wins.
        if (!known)
            current->entries.append({key, line.mid(equals + 1).trimmed()});
    }
    return true;
}

bool IniFile::loadIfReadable() {
    try {
        return load();
    } catch (const DbError&) {
        m_sections.clear();
        return false;
    }
}

void IniFile::save() const {
    QString text;
    for (const Section& section : m_sections) {
        text += u'[' + section.name + QStringLiteral("]\r\n");
        for (const Entry& entry : section.entries)
            text += entry.key + u'=' + entry.value + QStringLiteral("\r\n");
        text += QStringLiteral("\r\n");
    }
    QStringEncoder encoder("windows-1252");
    const QByteArray bytes = encoder(text);
    if (encoder.hasError())
        throw DbError(
            QStringLiteral("Die Datei %1 enthält Zeichen, die nicht gespeichert werden können.")
                .arg(m_fileName));
    QSaveFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw DbError(
            QStringLiteral("Die Datei %1 kann nicht geschrieben werden.").arg(m_fileName));
}

const IniFile::Section* IniFile::findSection(const QString& name) const {
    for (const Section& section : m_sections) {
        if (sameName(section.name, name))
            return &section;
    }
    return nullptr;
}

IniFile::Section& IniFile::sectionForWrite(const QString& name) {
    for (Section& section : m_sections) {
        if (sameName(section.name, name))
            return section;
    }
    m_sections.append({name, {}});
    return m_sections.back();
}

bool IniFile::sectionExists(const QString& section) const {
    return findSection(section) != nullptr;
}

bool IniFile::valueExists(const QString& section, const QString& key) const {
    return keys(section).contains(key, Qt::CaseInsensitive);
}

QStringList IniFile::sectionNames() const {
    QStringList names;
    for (const Section& section : m_sections)
        names.append(section.name);
    return names;
}

QStringList IniFile::keys(const QString& section) const {
    QStringList names;
    if (const Section* found = findSection(section)) {
        for (const Entry& entry : found->entries)
            names.append(entry.key);
    }
    return names;
}

QString IniFile::readString(const QString& section, const QString& key,
                            const QString& defaultValue) const {
    if (const Section* found = findSection(section)) {
        for (const Entry& entry : found->entries) {
            if (sameName(entry.key, key))
                return entry.value;
        }
    }
    return defaultValue;
}

int IniFile::readInteger(const QString& section, const QString& key, int defaultValue) const {
    bool ok = false;
    const int value = readString(section, key).trimmed().toInt(&ok);
    return ok ? value : defaultValue;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    // A line break inside a value would split it into a second, foreign line.
    if (value.contains(u'\n') || value.contains(u'\r') || key.contains(u'=') || key.isEmpty())
        throw DbError(QStringLiteral("Der Wert für %1 kann nicht gespeichert werden.").arg(key));
    Section& target = sectionForWrite(section);
    for (Entry& entry : target.entries) {
        if (sameName(entry.key, key)) {
            entry.value = value;
            return;
        }
    }
    target.entries.append({key, value});
}

void IniFile::writeInteger(const QString& section, const QString& key, int value) {
    writeString(section, key, QString::number(value));
}

void IniFile::deleteKey(const QString& section, const QString& key) {
    for (Section& target : m_sections) {
        if (sameName(target.name, section)) {
            target.entries.removeIf([&](const Entry& e) { return sameName(e.key, key); });
            return;
        }
    }
}

void IniFile::eraseSection(const QString& section) {
    m_sections.removeIf([&](const Section& s) { return sameName(s.name, section); });
}
