// libFuzzer target: arbitrary bytes run through every archive decoder (and
// behind both extractor stubs), each entry's bytes read by the sink.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platter/archive/archive_decoder.hpp"
#include "platter/archive/extractor_stubs.hpp"

namespace {

using decode_kind = platter::import_result_t (platter::ArchiveDecoder::*)();

void run(std::span<const std::uint8_t> bytes, decode_kind kind) {
    volatile std::uint32_t sum = 0;
    platter::ArchiveDecoder decoder(bytes, [&sum](const platter::archive_entry_t& entry) {
        for (std::uint8_t b : entry.data) sum = sum + b;
        for (const platter::vlir_record_t& record : entry.records)
            sum = sum + static_cast<std::uint32_t>(record.bytes.size());
        return platter::import_result_t::done;
    });
    (decoder.*kind)();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    for (decode_kind kind : {&platter::ArchiveDecoder::decodeArc, &platter::ArchiveDecoder::decodeLha,
                             &platter::ArchiveDecoder::decodeWraptor, &platter::ArchiveDecoder::decodeArkive,
                             &platter::ArchiveDecoder::decodeLibrary, &platter::ArchiveDecoder::decodeSpyne}) {
        run(bytes, kind);
    }
    if (const auto arc = platter::skipSdaStub(bytes)) run(*arc, &platter::ArchiveDecoder::decodeArc);
    if (const auto lha = platter::skipSfxStub(bytes)) run(*lha, &platter::ArchiveDecoder::decodeLha);
    return 0;
}
