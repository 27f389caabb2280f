#include "app/selection_report.hpp"

#include <iostream>

namespace app {

platter::selection_result_t processAndReport(platter::CbmSelection& selection, platter::Disk& disk) {
    disk.setIncludeEmpty(true);
    const platter::selection_result_t result = selection.processSelection(disk);
    for (const std::string& message : selection.errors()) std::cerr << message;
    return result;
}

}  // namespace app
