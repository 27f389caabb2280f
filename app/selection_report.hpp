#pragma once
// The step that cat and ch take on every container they open.

#include "app/reporter.hpp"
#include "platter/core/disk.hpp"
#include "platter/selection/cbm_selection.hpp"

namespace app {

// Reports the damage of each container the selection opened inside another (an archive, a
// zipcode set, a partition), named after its entry.
void reportOpenedFrames(const platter::CbmSelection& selection, Reporter& reporter);

// Applies the selection to the disk with empty slots included and reports every message of
// the selection, and the damage of the containers it opened, whether it succeeded or not; a
// failed selection fails the run.
platter::selection_result_t processAndReport(platter::CbmSelection& selection, platter::Disk& disk, Reporter& reporter);

}  // namespace app
