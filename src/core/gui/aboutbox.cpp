#include "core/gui/aboutbox.h"

#include "core/connectedsessions.h"
#include "core/files/programdirs.h"
#include "core/memoryinfo.h"
#include "core/messages/messagecatalog.h"
#include "core/settings/programsettings.h"
#include "core/settings/regionalsettings.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

QString withThousands(qint64 value) {
    QString digits = QString::number(value);
    for (qsizetype pos = digits.size() - 3; pos > 0; pos -= 3)
        digits.insert(pos, Regional().thousandSeparator);
    return digits;
}

} // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(LoadMessage(65101));
    auto* layout = new QVBoxLayout(this);
    auto* picture = new QLabel(u"Domvera"_s, this);
    QFont big = picture->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 6);
    picture->setFont(big);
    layout->addWidget(picture);
    layout->addWidget(new QLabel(u"Verwaltungsprogramm für den Gebäudeservice"_s, this));
    layout->addWidget(new QLabel(u"© Domvera-Entwicklung. Alle Rechte vorbehalten."_s, this));
    lbVersion = new QLabel(this);
    lbDbVersion = new QLabel(this);
    layout->addWidget(lbVersion);
    layout->addWidget(lbDbVersion);

    auto* memory = new QGridLayout;
    PhysMem = new QLabel(this);
    FreeRes = new QLabel(this);
    memory->addWidget(new QLabel(u"Verfügbarer Speicherplatz :"_s, this), 0, 0);
    memory->addWidget(PhysMem, 0, 1);
    memory->addWidget(new QLabel(u"Belegter Speicherplatz:"_s, this), 1, 0);
    memory->addWidget(FreeRes, 1, 1);
    layout->addLayout(memory);
    Label5 = new QLabel(this);
    layout->addWidget(Label5);

    layout->addWidget(new QLabel(u"Angemeldete Benutzer:"_s, this));
    auto* captions = new QHBoxLayout;
    captions->addWidget(new QLabel(u"Benutzername"_s, this));
    captions->addStretch();
    captions->addWidget(new QLabel(u"Session"_s, this));
    layout->addLayout(captions);
    ListBox1 = new QListWidget(this);
    QFont fixed(u"Monospace"_s);
    fixed.setStyleHint(QFont::TypeWriter);
    ListBox1->setFont(fixed);
    layout->addWidget(ListBox1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);

    lbVersion->setText(u"Programm-Version "_s + VersionText);
    lbDbVersion->setText(u"Datenbank-Version"_s +
                         QString::number(CurrentDbVersion / 100.0, 'f', 2).rightJustified(5, u' '));
    FormCreate();
}

void TAboutBox::FormCreate() {
    const MemoryInfo memory = ReadMemoryInfo();
    PhysMem->setText(withThousands(memory.totalKb) + u" KB"_s);
    FreeRes->setText(QString::number(memory.loadPercent) + u" %"_s);
    Label5->setText(u"Netfiledir: "_s + NetDir);
    ListBox1->clear();
    ListBox1->addItems(ListLoggedInUsers());
}

void ShowAboutBox(QWidget* parent) {
    const auto box = std::make_unique<TAboutBox>(parent);
    box->exec();
}
