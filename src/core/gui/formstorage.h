#pragma once

#include "core/settings/formplacement.h"

#include <QObject>
#include <QStringList>

class QWidget;

// Keeps a form's placement and chosen properties between runs in its section
// of a placement file (see core/formplacement.h): restored when the form is
// first shown, written back whenever it is hidden or closed.
//
// Stored properties are named "child.property" (the child found by its object
// name) or "property" for the form itself. "Columns" stands for the column
// layout of an item view's header and "Caption" for the text of a label or
// button; every other name is a Qt property of the object.
//
//     auto* storage = new FormStorage(this, kPlacementFile03, QStringLiteral("Kunden"));
//     storage->setStoredProperties({QStringLiteral("GridKunden.Columns"),
//                                   QStringLiteral("lbSort.Caption")});
class FormStorage : public QObject {
public:
    FormStorage(QWidget* form, QString fileName, QString section,
                int options = StorePositionAndState);

    void setStoredProperties(const QStringList& names) { m_properties = names; }
    const QStringList& storedProperties() const { return m_properties; }

    // Applies what the file holds; a missing file or section changes nothing.
    void restore();
    // Writes the form's placement and properties; raises a DbError on failure.
    void save();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_form;
    QString m_fileName;
    QString m_section;
    int m_options;
    QStringList m_properties;
    bool m_restored = false;
};
