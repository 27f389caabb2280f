// Google Benchmark (built with -DZT_BUILD_BENCH=ON): opening one D64 image from its bytes and listing it, in
// the canonical form and with every column.

#include "app/listing_canonical.hpp"
#include "app/listing_columns.hpp"
#include "app/listing_fields.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/open/open_container.hpp"
#include "platter/fileid/format_for_type.hpp"
#include "platter/fileid/identify.hpp"

#include <benchmark/benchmark.h>

#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> readImage() {
    std::ifstream in(ZT_BENCH_IMAGE, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void openAndList(benchmark::State& state, app::Render& render) {
    const std::vector<std::uint8_t> bytes = readImage();
    std::ostringstream sink;
    std::streambuf* saved = std::cout.rdbuf(sink.rdbuf());
    render.selection.parseSelection("*");
    for (auto _ : state) {
        sink.str({});
        const platter::format_id format = platter::formatIdForType(platter::fileid::identify(bytes).front().type);
        std::unique_ptr<platter::Disk> disk = platter::openContainer(format, "bench.d64", bytes).disk;
        if (!disk) {
            state.SkipWithError("the image does not open");
            break;
        }
        disk->setIncludeEmpty(true);
        render.selection.processSelection(*disk);
        render.prepare(*disk, "bench.d64", platter::Charset::upperGraphics);
        render.renderListing(*disk, "");
        benchmark::DoNotOptimize(sink.str().size());
    }
    std::cout.rdbuf(saved);
}

void canonical(benchmark::State& state) {
    app::RenderCanonical render;
    openAndList(state, render);
}

void allColumns(benchmark::State& state) {
    app::RenderColumns render;
    for (std::int32_t id = app::kFieldBlocks; id <= app::kFieldFfid; ++id) render.fields.push_back(id);
    openAndList(state, render);
}

}  // namespace

BENCHMARK(canonical);
BENCHMARK(allColumns);
BENCHMARK_MAIN();
