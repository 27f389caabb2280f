#pragma once
// The default listing, laid out as a Commodore drive lists a directory.

#include "app/listing.hpp"

namespace app {

class RenderCanonical : public Render {
public:
    void renderListing(platter::Disk& disk, const std::string& prefix) override;

private:
    void renderEntry(std::ostream& out, const listed_entry_t& listed) const;
};

}  // namespace app
