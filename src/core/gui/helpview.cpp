#include "core/gui/helpview.h"

#include "core/messages/helptopics.h"
#include "core/messages/manuals.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
constexpr int PathRole = Qt::UserRole;
constexpr int DescriptionRole = Qt::UserRole + 1;
constexpr int KindRole = Qt::UserRole + 2;
} // namespace

TF_HelpView::TF_HelpView(QWidget* parent) : QDialog(parent) {
    setObjectName(u"F_HelpView"_s);
    setWindowTitle(u"Domvera Hilfesystem"_s);
    resize(560, 480);
    TV = new QTreeWidget(this);
    TV->setObjectName(u"TV"_s);
    TV->setHeaderHidden(true);
    TV->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TV->installEventFilter(this);

    auto* panel = new QGridLayout;
    panel->addWidget(new QLabel(u"Verzeichnis"_s, this), 0, 0);
    panel->addWidget(new QLabel(u"Dokument"_s, this), 1, 0);
    lbVerzeichnis = new QLabel(this);
    lbDokument = new QLabel(this);
    for (QLabel* label : {lbVerzeichnis, lbDokument})
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    panel->addWidget(lbVerzeichnis, 0, 1);
    panel->addWidget(lbDokument, 1, 1);
    panel->setColumnStretch(1, 1);
    btnAnzeigen = new QPushButton(u"Anzeigen"_s, this);
    btnAnzeigen->setObjectName(u"btnAnzeigen"_s);
    btnAnzeigen->setEnabled(false);
    panel->addWidget(btnAnzeigen, 0, 2, 2, 1);
    Memo = new QPlainTextEdit(this);
    Memo->setReadOnly(true);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setMaximumHeight(110);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TV, 1);
    layout->addLayout(panel);
    layout->addWidget(Memo);

    connect(TV, &QTreeWidget::currentItemChanged, this, [this] { TVClick(); });
    connect(TV, &QTreeWidget::itemDoubleClicked, this, [this] { TVDblClick(); });
    connect(btnAnzeigen, &QPushButton::clicked, this, [this] { TVDblClick(); });
}

void TF_HelpView::addNodes(QTreeWidgetItem* parent, const QList<THelpNode>& nodes) {
    const QIcon chapterIcon = style()->standardIcon(QStyle::SP_DirIcon);
    const QIcon topicIcon = style()->standardIcon(QStyle::SP_FileIcon);
    for (const THelpNode& node : nodes) {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(TV);
        item->setText(0, node.caption);
        item->setData(0, PathRole, node.path);
        item->setData(0, DescriptionRole, node.description);
        item->setData(0, KindRole, node.kind);
        if (node.kind == THelpNode::Topic) {
            QFont font = item->font(0);
            font.setBold(true);
            item->setFont(0, font);
            item->setForeground(0, QColor(Qt::blue));
            item->setIcon(0, topicIcon);
        } else {
            item->setIcon(0, chapterIcon);
        }
        addNodes(item, node.children);
    }
}

void TF_HelpView::fillTree(const QString& helpDir) {
    TV->clear();
    addNodes(nullptr, ReadHelpTree(helpDir));
    TVClick();
}

void TF_HelpView::TVClick() {
    QTreeWidgetItem* item = TV->currentItem();
    Memo->clear();
    lbVerzeichnis->clear();
    lbDokument->clear();
    btnAnzeigen->setEnabled(false);
    if (!item)
        return;
    QString description = item->data(0, DescriptionRole).toString();
    if (description.endsWith(u'\r'))
        description.chop(1);
    Memo->setPlainText(description.replace(u'\r', u'\n'));
    const QString path = item->data(0, PathRole).toString();
    if (item->data(0, KindRole).toInt() == THelpNode::Topic) {
        lbDokument->setText(QDir::toNativeSeparators(path));
        lbVerzeichnis->setText(QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
        btnAnzeigen->setEnabled(true);
    } else {
        lbVerzeichnis->setText(QDir::toNativeSeparators(path));
    }
}

void TF_HelpView::TVDblClick() {
    QTreeWidgetItem* item = TV->currentItem();
    if (item && item->data(0, KindRole).toInt() == THelpNode::Topic)
        OpenDocument(item->data(0, PathRole).toString());
    TV->setFocus();
}

bool TF_HelpView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TV && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            TVDblClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ShowHelpView(QWidget* mainWindow) {
    TF_HelpView view(mainWindow);
    if (mainWindow)
        view.move(mainWindow->x() + 100, mainWindow->y() + 100);
    view.fillTree(HelpDirectory());
    view.exec();
}
