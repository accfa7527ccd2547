#include "datasafety/gui/tf_editexport.h"

#include "core/files/filehelpers.h"
#include "core/gui/okcancelrow.h"
#include "core/messages/messages.h"
#include "datasafety/gui/interchangewindows.h"
#include "datasafety/gui/runwindow.h"
#include "platform/errors.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TF_EditExport::TF_EditExport(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowMaximizeButtonHint) {
    setObjectName(u"TF_EditExport"_s);
    setWindowTitle(u"Definitionen bearbeiten"_s);
    resize(720, 520);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(u"Memo1"_s);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Memo1, 1);
    layout->addLayout(MakeOkCancelRow(this, BitBtn1, BitBtn3));
    BitBtn1->setObjectName(u"BitBtn1"_s);
    BitBtn3->setObjectName(u"BitBtn3"_s);
    BitBtn1->setDefault(false);
    BitBtn1->setAutoDefault(false);
    BitBtn3->setAutoDefault(false);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn3, &QPushButton::clicked, this, &QDialog::reject);
}

void TF_EditExport::load(const QString& fileName) {
    QStringList lines;
    if (!ReadTextDataFile(fileName, lines))
        throw DbError(u"Die Datei %1 kann nicht gelesen werden."_s.arg(fileName));
    m_fileName = fileName;
    Memo1->setPlainText(lines.join(u'\n'));
}

void TF_EditExport::accept() {
    const QStringList lines = Memo1->toPlainText().split(u'\n');
    if (!WriteTextDataFile(m_fileName, lines)) {
        ShowError(u"Die Datei\r%1\rkonnte nicht gespeichert werden."_s.arg(m_fileName));
        return;
    }
    QDialog::accept();
}

int OpenDefinitionEditor(const QString& fileName, int left, int top) {
    TF_EditExport editor;
    editor.load(fileName);
    editor.setWindowTitle(editor.windowTitle() + u"  ["_s + fileName + u']');
    if (left >= 0 && top >= 0)
        MoveOnScreen(editor, left, top);
    return editor.exec() == QDialog::Accepted ? 1 : 2;
}
