// libFuzzer target: arbitrary bytes read as a geoWrite document and, when they
// read as one, laid out as text pages.
#include <cstddef>
#include <cstdint>
#include <span>
#include <sstream>
#include <vector>

#include "app/geowrite_layout.hpp"
#include "platter/render/geowrite_document.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    if (const auto document = platter::readGeoWrite(bytes)) {
        std::ostringstream out;
        app::GeoWriteLayout().print(out, *document);
    }
    return 0;
}
