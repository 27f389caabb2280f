#pragma once
// The step that cat and ch take on every container they open.

#include "platter/selection/cbm_selection.hpp"
#include "platter/core/disk.hpp"

namespace app {

// Applies the selection to the disk with empty slots included and writes every
// message of the selection to the error stream, whether it succeeded or not.
platter::selection_result_t processAndReport(platter::CbmSelection& selection, platter::Disk& disk);

}  // namespace app
