// Google Benchmark (built with -DZT_BUILD_BENCH=ON): raw-track images listed, which decodes the
// directory track (an image whose directory track holds no readable header fails to open there), and
// decoded whole, as diff and bam need every track. A damaged image whose tracks keep few syncs, where a
// search round a track for each sector walks long gaps, beside the undamaged G64 it was made from.

#include "app/listing_canonical.hpp"
#include "bench/open_and_list.hpp"
#include "platter/formats/gcr_decoder.hpp"
#include "platter/formats/unpack_nbz.hpp"

namespace {

void listing(benchmark::State& state, const char* path) {
    app::RenderCanonical render;
    bench::openAndList(state, render, path, {}, true);
}

// The decoder alone: it reads every track whether or not the file holds a disk.
void everyTrack(benchmark::State& state, const char* path) {
    const std::vector<std::uint8_t> file = bench::readImage(path);
    const std::uint32_t type = platter::fileid::identify(file).front().type;
    const std::optional<std::vector<std::uint8_t>> nib =
        platter::formatIdForType(type) == platter::format_id::nbz ? platter::unpackNbz(file) : std::nullopt;
    for (auto _ : state) {
        platter::GcrDecoder decoder;
        decoder.setFastFirst(true);
        if (nib)
            decoder.loadNib(*nib);
        else if (!decoder.load(file, type)) {
            state.SkipWithError("not a raw-track file");
            break;
        }
        benchmark::DoNotOptimize(decoder.takeImage().size());
    }
}

}  // namespace

BENCHMARK_CAPTURE(listing, base_g64, ZT_BENCH_SOURCE_DIR "/tests/data/g64/base.g64");
BENCHMARK_CAPTURE(listing, damaged, ZT_BENCH_GCR_IMAGE);
BENCHMARK_CAPTURE(everyTrack, base_g64, ZT_BENCH_SOURCE_DIR "/tests/data/g64/base.g64");
BENCHMARK_CAPTURE(everyTrack, damaged, ZT_BENCH_GCR_IMAGE);
BENCHMARK_MAIN();
