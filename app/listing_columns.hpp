#pragma once
// The listing of chosen fields as columns aligned by measured widths.

#include "app/listing.hpp"

#include <iosfwd>

namespace app {

class RenderColumns : public Render {
public:
    void renderListing(platter::Disk& disk, const std::string& prefix) override;

private:
    void renderField(std::ostream& out, std::int32_t id, const listed_entry_t& listed) const;
};

}  // namespace app
