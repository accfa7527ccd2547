#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

// The definition editor: a definition file as plain text, one line per line
// of the file, without word wrap. OK writes the lines back.
class TF_EditExport : public QDialog {
    Q_OBJECT
public:
    explicit TF_EditExport(QWidget* parent = nullptr);

    QPlainTextEdit* Memo1;
    QPushButton* BitBtn1; // OK
    QPushButton* BitBtn3; // Abbrechen

    // Loads the file; raises DbError when it cannot be read.
    void load(const QString& fileName);

protected:
    void accept() override;

private:
    QString m_fileName;
};
