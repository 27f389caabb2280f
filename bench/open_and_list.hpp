#pragma once
// What the benchmarks share: reading an image file, and opening it from its bytes and listing
// it with a renderer, once per benchmark iteration.

#include "app/listing.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/fileid/format_for_type.hpp"
#include "platter/fileid/identify.hpp"
#include "platter/open/open_container.hpp"

#include <benchmark/benchmark.h>

#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace bench {

inline std::vector<std::uint8_t> readImage(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// `afterListing` runs on each opened image once it is listed. An image that does not open is
// an error of the benchmark, unless `mayFailToOpen`: then the failed open is what is timed, as
// ls does no more with it.
inline void openAndList(benchmark::State& state, app::Render& render, const char* path,
                        const std::function<void(platter::Disk&)>& afterListing = {}, bool mayFailToOpen = false) {
    const std::vector<std::uint8_t> bytes = readImage(path);
    std::ostringstream sink;
    std::streambuf* saved = std::cout.rdbuf(sink.rdbuf());
    render.selection.parseSelection("*");
    for (auto _ : state) {
        sink.str({});
        const platter::format_id format = platter::formatIdForType(platter::fileid::identify(bytes).front().type);
        std::unique_ptr<platter::Disk> disk = platter::openContainer(format, path, bytes).disk;
        if (!disk && mayFailToOpen) {
            state.SetLabel("does not open");
            continue;
        }
        if (!disk) {
            state.SkipWithError("the image does not open");
            break;
        }
        disk->setIncludeEmpty(true);
        render.selection.processSelection(*disk);
        render.prepare(*disk, path, platter::Charset::upperGraphics);
        render.renderListing(*disk, "");
        if (afterListing) afterListing(*disk);
        benchmark::DoNotOptimize(sink.str().size());
    }
    std::cout.rdbuf(saved);
}

}  // namespace bench
