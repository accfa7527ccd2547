#pragma once

// Runs a report into pages. The run opens its own read-only cursors, walks
// the detail rows with their groups and sub-details, calls the hooks and
// breaks pages; a report that shows the page count runs twice. A data error
// (missing table, unknown index or field) raises the layer's DbError before
// anything reaches a device, with every cursor of the run closed.

#include "platform/report/pagemodel.h"

namespace report {

class Report;

Document paginate(const Report& report);

} // namespace report
