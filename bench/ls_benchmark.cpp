// Google Benchmark (built with -DZT_BUILD_BENCH=ON): opening one D64 image from its bytes and listing it, in
// the canonical form and with every column.

#include "app/listing_canonical.hpp"
#include "app/listing_columns.hpp"
#include "app/listing_fields.hpp"
#include "bench/open_and_list.hpp"

namespace {

void canonical(benchmark::State& state) {
    app::RenderCanonical render;
    bench::openAndList(state, render, ZT_BENCH_IMAGE);
}

void allColumns(benchmark::State& state) {
    app::RenderColumns render;
    for (std::int32_t id = app::kFieldBlocks; id <= app::kFieldFfid; ++id) render.fields.push_back(id);
    bench::openAndList(state, render, ZT_BENCH_IMAGE);
}

}  // namespace

BENCHMARK(canonical);
BENCHMARK(allColumns);
BENCHMARK_MAIN();
