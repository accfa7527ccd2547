#pragma once

#include "core/files/programdirs.h"
#include "core/framefixture.h"
#include "core/settings/settingsfiles.h"
#include "masterdata/dialogs/rtfeditor.h"
#include "platform/richtext/rtf.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbrichedit.h"

#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>
#include <memory>

// A form with one rich-text field over a position table (Nr, Text rich
// text, Preis money), a text-module directory and scripted file dialogs
// that answer from `answers` and record what they were asked.
class RtfEditorTest : public frametest::ProgramDirFixture {
protected:
    void SetUp() override {
        ProgramDirFixture::SetUp();
        m_savedTextbst = TextbstDir;
        m_savedFont = PrintFont;
        m_savedTabs = TabstopList;
        TextbstDir = root(QStringLiteral("Textbst"));
        QDir().mkpath(TextbstDir);
        PrintFont = {QStringLiteral("Liberation Serif"), 13};
        TabstopList = {40, 120};
        QDir().mkpath(root(QStringLiteral("db")));
        table::Database::Options options;
        options.syncToDisk = false;
        db = table::Database::open(root(QStringLiteral("db")), options);
        table::TableDef def;
        def.name = QStringLiteral("Pos.DB");
        def.fields = {{"Nr", table::FieldType::Integer, 0},
                      {"Text", table::FieldType::FmtMemo, 0},
                      {"Preis", table::FieldType::Currency, 0}};
        db->createTable(def);
        positions = std::make_unique<table::Table>(db, QStringLiteral("Pos.DB"));
        positions->open();
        positions->append();
        (*positions)["Nr"] = 1;
        (*positions)["Preis"] = 9.99;
        positions->post();
        source = std::make_unique<widgets::DataSource>(*positions);
        host = std::make_unique<QWidget>();
        host->setGeometry(50, 60, 500, 300);
        auto* layout = new QVBoxLayout(host.get());
        layout->setContentsMargins(40, 80, 40, 40);
        richEdit = new widgets::DbRichEdit(*source, QStringLiteral("Text"), host.get());
        layout->addWidget(richEdit);
        host->show();
        m_previousChooser = SetRtfFileChooser([this](QWidget*, bool save, const QString& dir) {
            asked << QStringLiteral("%1 %2").arg(save ? "save" : "open", dir);
            return answers.isEmpty() ? QString() : answers.takeFirst();
        });
    }
    void TearDown() override {
        SetRtfFileChooser(m_previousChooser);
        host.reset();
        source.reset();
        positions.reset();
        db.reset();
        TextbstDir = m_savedTextbst;
        PrintFont = m_savedFont;
        TabstopList = m_savedTabs;
        ProgramDirFixture::TearDown();
    }

    // The text as stored, read through a cursor of its own.
    QString storedText() {
        table::Table t(db, QStringLiteral("Pos.DB"));
        t.open();
        return richtext::plainTextOfRtf(t.field(QStringLiteral("Text")).asString().toLatin1());
    }
    double storedPrice() {
        table::Table t(db, QStringLiteral("Pos.DB"));
        t.open();
        return t.field(QStringLiteral("Preis")).asFloat();
    }
    static QString fileText(const QString& name) {
        return richtext::plainTextOfRtf(readBytes(name));
    }
    static void type(QTextEdit& edit, const QString& text) {
        QTextCursor cursor = edit.textCursor();
        cursor.insertText(text);
        edit.setTextCursor(cursor);
    }
    static void select(QTextEdit& edit, int from, int to) {
        QTextCursor cursor = edit.textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        edit.setTextCursor(cursor);
    }

    std::shared_ptr<table::Database> db;
    std::unique_ptr<table::Table> positions;
    std::unique_ptr<widgets::DataSource> source;
    std::unique_ptr<QWidget> host;
    widgets::DbRichEdit* richEdit = nullptr;
    QStringList answers;
    QStringList asked;

private:
    QString m_savedTextbst;
    PrintFontSpec m_savedFont;
    QList<int> m_savedTabs;
    RtfFileChooser m_previousChooser;
};
