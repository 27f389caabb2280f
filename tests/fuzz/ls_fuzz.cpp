// libFuzzer target: arbitrary bytes as a container and an arbitrary selector,
// through identification, opening, selection and every listing form.
// Input: the selector, a newline, then the container bytes.

#include "app/program_state.hpp"
#include "app/listing_canonical.hpp"
#include "app/listing_columns.hpp"
#include "app/listing_delimited.hpp"
#include "app/listing_fields.hpp"
#include "platter/core/disk.hpp"
#include "platter/open/open_container.hpp"
#include "platter/fileid/format_for_type.hpp"
#include "platter/fileid/identify.hpp"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <cstdint>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

void list(app::Render& render) {
    for (std::uint64_t frame = 0; frame < render.selection.frames().size(); ++frame) {
        platter::Disk* image = render.selection.enterFrame(frame);
        if (image == nullptr) continue;
        render.prepare(*image, "fuzz", platter::Charset::upperGraphics, frame);
        render.renderListing(*image, "  | ");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static std::ostringstream sink;
    static const bool silenced = [] {
        std::cout.rdbuf(sink.rdbuf());
        std::cerr.rdbuf(sink.rdbuf());
        return true;
    }();
    (void)silenced;
    sink.str({});

    const std::uint8_t* newline =
        static_cast<const std::uint8_t*>(std::memchr(data, '\n', std::min<std::size_t>(size, 64)));
    const std::size_t selectorLength = newline ? static_cast<std::size_t>(newline - data) : 0;
    const std::string selector(reinterpret_cast<const char*>(data), selectorLength);
    const std::vector<std::uint8_t> bytes(data + (newline ? selectorLength + 1 : 0), data + size);

    const platter::format_id format = platter::formatIdForType(platter::fileid::identify(bytes).front().type);
    if (format == platter::format_id::none) return 0;
    std::unique_ptr<platter::Disk> disk = platter::openContainer(format, "fuzz", bytes).disk;
    if (!disk) return 0;
    disk->setIncludeEmpty(true);

    app::RenderCanonical canonical;
    app::RenderColumns columns;
    app::RenderDelimited delimited(",");
    for (std::int32_t id = app::kFieldBlocks; id <= app::kFieldFfid; ++id) {
        columns.fields.push_back(id);
        delimited.fields.push_back(id);
    }
    for (app::Render* render : {static_cast<app::Render*>(&canonical), static_cast<app::Render*>(&columns),
                                static_cast<app::Render*>(&delimited)}) {
        render->settings.almostAll = true;
        if (render->selection.parseSelection(selector.empty() ? "*" : selector) &&
            render->selection.processSelection(*disk).ok)
            list(*render);
    }
    return 0;
}
