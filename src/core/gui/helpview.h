#pragma once
#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
struct THelpNode;

// The help system: the help folder as a tree of chapters and topics; a topic
// opens its document with the desktop's program for it.
class TF_HelpView : public QDialog {
public:
    explicit TF_HelpView(QWidget* parent = nullptr);

    // Fills the tree from the help folder.
    void fillTree(const QString& helpDir);
    // Shows the current node's description, directory and document.
    void TVClick();
    // Opens the current topic's document.
    void TVDblClick();

    QTreeWidget* TV = nullptr;
    QLabel* lbVerzeichnis = nullptr;
    QLabel* lbDokument = nullptr;
    QPushButton* btnAnzeigen = nullptr;
    QPlainTextEdit* Memo = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addNodes(QTreeWidgetItem* parent, const QList<THelpNode>& nodes);
};

// Shows the help viewer modally, 100 pixels right of and below the main
// window's top-left corner.
void ShowHelpView(QWidget* mainWindow);
