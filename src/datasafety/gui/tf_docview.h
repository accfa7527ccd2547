#pragma once

#include "datasafety/documentarchive/docviewlines.h"

#include <QDialog>

class QLabel;
class QTableWidget;

// "Dokumenten-Betrachter" (TF_DocView): the documents of a customer, object
// or supplier from both databases in one grid; a double-click previews one
// through the print form of its kind, read from the database it came from.
class TF_DocView : public QDialog {
    Q_OBJECT
public:
    TF_DocView(int nr, const QString& name, int kind, const QStringList& list,
               QWidget* parent = nullptr);

    QLabel* nrName() const { return lbNrName; }
    QTableWidget* grid() const { return Grid1; }
    const QList<DocViewRow>& rows() const { return m_rows; }

    // The preview of a grid row (1 for the first document).
    void previewRow(int row);

private:
    void fill(const QStringList& list);

    QLabel* lbNrName = nullptr;
    QTableWidget* Grid1 = nullptr;
    QList<DocViewRow> m_rows;
};

// "Kunde" for kind 11, "Objekt" for 12, "Lieferant" for any other.
QString DocViewKindWord(int kind);

// Previews one document: its database by the source, its print form the
// head's own when of the kind's type, else chosen; nothing on a cancel. The
// report database and the invoice print source are given back afterwards.
void PreviewDocument(const DocViewRow& row, QWidget* parent = nullptr);

// Shows the viewer modally; installed as datasafety.h's ShowDocViewForm.
void ShowDocViewWindow(int nr, const QString& name, int kind, const QStringList& list);
