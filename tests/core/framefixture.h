#pragma once

#include "core/files/programdirs.h"
#include "core/messages/messages.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace frametest {

// Records every box and answers questions and warnings from a script
// (default "Nein" and "Abbrechen").
class RecordingPresenter : public MessagePresenter {
public:
    struct Box {
        Kind kind;
        QString text;
    };
    bool show(Kind kind, const QString& text, int, int) override {
        boxes.append({kind, text});
        if (kind != Kind::Question && kind != Kind::Warning)
            return false;
        return answers.isEmpty() ? false : answers.takeFirst();
    }
    QStringList texts(Kind kind) const {
        QStringList result;
        for (const Box& box : boxes)
            if (box.kind == kind)
                result << box.text;
        return result;
    }
    QList<Box> boxes;
    QList<bool> answers;
};

// Stands in front of the installed presenter for its lifetime: `observe`
// sees every box first (to note the program's state at that moment), then
// the presenter behind it shows and answers it.
class ObservingPresenter : public MessagePresenter {
public:
    using Observer = std::function<void(Kind kind, const QString& text)>;
    ObservingPresenter(MessagePresenter& inner, Observer observe)
        : m_inner(inner), m_observe(std::move(observe)) {
        m_previous = SetMessagePresenter(this);
    }
    ~ObservingPresenter() override { SetMessagePresenter(m_previous); }
    ObservingPresenter(const ObservingPresenter&) = delete;
    ObservingPresenter& operator=(const ObservingPresenter&) = delete;
    bool show(Kind kind, const QString& text, int x, int y) override {
        m_observe(kind, text);
        return m_inner.show(kind, text, x, y);
    }

private:
    MessagePresenter& m_inner;
    Observer m_observe;
    MessagePresenter* m_previous = nullptr;
};

// A temporary program directory and settings directory for one test, with
// a recording presenter installed; the path globals are restored afterwards.
class ProgramDirFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_root.isValid());
        m_savedProgramDir = ProgramDir;
        m_savedWinDir = qgetenv("DOMVERA_WINDIR");
        qputenv("DOMVERA_WINDIR", QFile::encodeName(m_root.filePath(QStringLiteral("win"))));
        QDir().mkpath(m_root.filePath(QStringLiteral("prog")));
        SetProgramDir(m_root.filePath(QStringLiteral("prog")));
        GetWindowsDir();
        m_previousPresenter = SetMessagePresenter(&presenter);
    }
    void TearDown() override {
        SetMessagePresenter(m_previousPresenter);
        ProgramDir = m_savedProgramDir;
        if (m_savedWinDir.isNull())
            qunsetenv("DOMVERA_WINDIR");
        else
            qputenv("DOMVERA_WINDIR", m_savedWinDir);
    }

    QString root(const QString& name = {}) const { return m_root.filePath(name); }

    static void writeBytes(const QString& name, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(name).absolutePath());
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QByteArray readBytes(const QString& name) {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    RecordingPresenter presenter;

private:
    QTemporaryDir m_root;
    QString m_savedProgramDir;
    QByteArray m_savedWinDir;
    MessagePresenter* m_previousPresenter = nullptr;
};

} // namespace frametest
