#include "app/selection_report.hpp"

#include "app/damage_report.hpp"

namespace app {

void reportOpenedFrames(const platter::CbmSelection& selection, Reporter& reporter) {
    for (const platter::selection_frame_t& frame : selection.frames()) {
        if (frame.ownedDisk) reportDamage(reporter, *frame.disk, frame.openedFrom);
    }
}

platter::selection_result_t processAndReport(platter::CbmSelection& selection, platter::Disk& disk,
                                             Reporter& reporter) {
    disk.setIncludeEmpty(true);
    const platter::selection_result_t result = selection.processSelection(disk);
    reporter.relay(selection);
    reportOpenedFrames(selection, reporter);
    if (!result.ok) reporter.fail();
    return result;
}

}  // namespace app
