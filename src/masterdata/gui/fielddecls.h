#pragma once

#include "platform/widgets/fieldform.h"

// Short forms of the field lines that the master-data forms declare most.

// A one-line edit (width in characters; 0 fills the line).
inline widgets::FieldDecl EditField(const QString& caption, const QString& field,
                                    const QString& page = {}, int width = 0) {
    return {.caption = caption, .field = field, .page = page, .width = width};
}

// A one-line edit on the line of the field before it.
inline widgets::FieldDecl BesideField(const QString& caption, const QString& field,
                                      const QString& page = {}, int width = 0) {
    widgets::FieldDecl d = EditField(caption, field, page, width);
    d.sameLine = true;
    return d;
}

// A list over a shared table (named in the declaration's lookups): the key
// stored, the text shown.
inline widgets::FieldDecl ListField(const QString& caption, const QString& field,
                                    const QString& page, int width, const QString& key,
                                    const QString& text) {
    return {.caption = caption,
            .field = field,
            .kind = widgets::FieldKind::LookupCombo,
            .page = page,
            .width = width,
            .lookupKey = key,
            .lookupText = text};
}

// Bank name or bank code as a list over the bank table (named "TabBanken"
// in the lookups): key is the list's column stored here; choosing a row
// also fills other from the row's otherKey.
inline widgets::FieldDecl BankListField(const QString& caption, const QString& field,
                                        const QString& page, int width, const QString& key,
                                        const QString& other, const QString& otherKey) {
    widgets::FieldDecl d = ListField(caption, field, page, width, key, key);
    d.lookupCopies = {{otherKey, other}};
    return d;
}
