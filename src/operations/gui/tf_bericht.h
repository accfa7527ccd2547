#pragma once

#include "operations/controlreports.h"

#include <QDate>
#include <QDialog>
#include <QList>
#include <memory>

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

// "Kontrollberichte": the reports per object with their lines, building
// them from the daily lists, marking, deleting and moving them into the
// archive database.
class TF_Bericht : public QDialog {
    Q_OBJECT
public:
    explicit TF_Bericht(QWidget* parent = nullptr);

    QTableWidget* objectGrid() const { return m_objects; }
    QTableWidget* headGrid() const { return m_heads; }
    QTableWidget* lineGrid() const { return m_lines; }
    QTableWidget* markGrid() const { return m_mark; }
    bool markMode() const { return m_markMode; }
    void setMarkMode(bool on);
    void createReports();
    // Tag 0 "drucken" ... Tag 4 "drucken und auslagern".
    void printDeleteMove(int tag);
    void deleteOrMove(bool toArchive) { printDeleteMove(toArchive ? 3 : 1); }
    // Prints every marked report of an existing object whose form resolves;
    // the number printed.
    int printMarked(bool clearMarks);
    void preview();
    void reload();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void loadHeads();
    void loadLines();
    void loadMarks();
    void showState(const QString& text, int count);
    void hideState();
    void search(const QString& text);
    void markMenu(const QPoint& pos);

    QTableWidget* m_objects = nullptr;
    QTableWidget* m_heads = nullptr;
    QTableWidget* m_lines = nullptr;
    QTableWidget* m_mark = nullptr;
    QWidget* m_mainArea = nullptr;
    QLabel* m_state = nullptr;
    QLineEdit* m_search = nullptr;
    QPushButton* m_create = nullptr;
    QPushButton* m_markButton = nullptr;
    QPushButton* m_texts = nullptr;
    bool m_markMode = false;
};

// "Soforterledigung offener Tätigkeiten": the open rows of past days, the
// marked ones completed into their reports at once.
class TF_Openlist : public QDialog {
    Q_OBJECT
public:
    explicit TF_Openlist(QWidget* parent = nullptr);

    QTableWidget* grid() const { return m_grid; }
    QCheckBox* dateBox() const { return m_useDate; }
    QDateEdit* dateEdit() const { return m_date; }
    QPlainTextEdit* protocol() const { return m_protocol; }
    void reload();
    void completeMarked();

private:
    QCheckBox* m_useDate = nullptr;
    QDateEdit* m_date = nullptr;
    QTableWidget* m_grid = nullptr;
    QPlainTextEdit* m_protocol = nullptr;
    QPlainTextEdit* m_tourText = nullptr;
    QList<OpenActivity> m_rows;
};

// "Kontrollberichte [Ablage]": the archived reports per object; deleting
// one, or all up to a date.
class TF_BerAblage : public QDialog {
    Q_OBJECT
public:
    explicit TF_BerAblage(QWidget* parent = nullptr);

    QTableWidget* objectGrid() const { return m_objects; }
    QTableWidget* headGrid() const { return m_heads; }
    QTableWidget* markGrid() const { return m_mark; }
    void reload();
    void deleteUpTo(const QDate& limit);
    void setMarkMode(bool on);
    // "Dr&uck": the marked archived reports of existing objects.
    void printMarked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void loadHeads();
    void loadLines();
    void deleteClicked();
    void deleteCurrentHead();

    QTableWidget* m_objects = nullptr;
    QTableWidget* m_heads = nullptr;
    QTableWidget* m_lines = nullptr;
    QTableWidget* m_mark = nullptr;
    QWidget* m_mainArea = nullptr;
    QPushButton* m_markButton = nullptr;
    QPushButton* m_deleteHead = nullptr;
    bool m_markMode = false;
    bool m_printing = false;
};

// "Berichts-Zusatztexte bearbeiten": the head and foot texts of every report.
class TF_EdBerTxt : public QDialog {
    Q_OBJECT
public:
    explicit TF_EdBerTxt(QWidget* parent = nullptr);
    ~TF_EdBerTxt() override;

private:
    struct Texts;
    std::unique_ptr<Texts> m_texts;
};

void ShowBerTextForm(QWidget* parent);
void ShowBerichtForm();
void ShowOpenlistForm();
void ShowBerAblageForm();
