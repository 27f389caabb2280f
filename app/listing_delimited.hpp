#pragma once
// The listing of chosen fields joined by a delimiter, for machine reading: no
// header, footer, prefix, colour or widths.

#include "app/listing.hpp"

#include <iosfwd>

namespace app {

class RenderDelimited : public Render {
public:
    // "\t" and "\n" in the delimiter stand for TAB and newline.
    explicit RenderDelimited(const std::string& delimiter);

    void renderListing(platter::Disk& disk, const std::string& prefix) override;
    void renderHeader(platter::Disk& /*disk*/) override {}
    void renderFooter(platter::Disk& /*disk*/) override {}

protected:
    // No colour, chain or description in this form.
    entry_needs_t needs() const override;

private:
    std::string fieldText(std::int32_t id, const listed_entry_t& listed) const;

    std::string delimiter_;
};

}  // namespace app
