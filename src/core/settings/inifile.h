#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A plain ini file in the Windows code page (windows-1252), as the settings
// and form-placement files are written. Section and key names are matched
// without regard to case; their order and spelling are kept when rewritten.
class IniFile {
public:
    explicit IniFile(QString fileName);

    const QString& fileName() const { return m_fileName; }

    // Reads the file; false when it does not exist (the content is then empty).
    // A file that exists but cannot be read raises a DbError.
    bool load();
    // load() for readers that fall back to their defaults: a file that
    // cannot be read (a directory in its place, no permission) counts as
    // missing, like a damaged one gives no values.
    bool loadIfReadable();
    // Writes the whole content (atomically); raises a DbError when that fails
    // or a text cannot be written in the Windows code page.
    void save() const;

    bool sectionExists(const QString& section) const;
    bool valueExists(const QString& section, const QString& key) const;
    QStringList sectionNames() const;
    QStringList keys(const QString& section) const;

    QString readString(const QString& section, const QString& key,
                       const QString& defaultValue = {}) const;
    int readInteger(const QString& section, const QString& key, int defaultValue) const;
    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void deleteKey(const QString& section, const QString& key);
    void eraseSection(const QString& section);

private:
    struct Entry {
        QString key;
        QString value;
    };
    struct Section {
        QString name;
        QList<Entry> entries;
    };
    const Section* findSection(const QString& name) const;
    Section& sectionForWrite(const QString& name);

    QString m_fileName;
    QList<Section> m_sections;
};
