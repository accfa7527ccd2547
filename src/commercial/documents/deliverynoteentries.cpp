#include "commercial/documents/deliverynoteentries.h"

DeliveryNoteEntries& DeliveryNoteEntriesRegistry() {
    static DeliveryNoteEntries entries;
    return entries;
}
