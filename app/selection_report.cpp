#include "app/selection_report.hpp"

namespace app {

platter::selection_result_t processAndReport(platter::CbmSelection& selection, platter::Disk& disk,
                                             Reporter& reporter) {
    disk.setIncludeEmpty(true);
    const platter::selection_result_t result = selection.processSelection(disk);
    reporter.relay(selection);
    if (!result.ok) reporter.fail();
    return result;
}

}  // namespace app
