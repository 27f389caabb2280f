#pragma once

#include <cstdint>
#include <filesystem>
#include <set>
#include <span>
#include <string>
#include <string_view>

namespace platter {

// The host name of a CBM file name: UTF-8, without path separators, drive colons or the
// other characters hosts refuse, and never "", "." or "..".
std::string hostEntryName(std::span<const std::uint8_t> name);

// Names handed out for the files and directories of one export. A name is free when this
// export has not handed it out and nothing exists under it on the host (no file, directory or
// link, dangling ones included), so an export never writes over what was there and never
// follows a link out of its directory. Taken names get "~2", "~3" ... before the extension.
class HostNames {
public:
    // `directory` / `name` + `extension`, or the first free suffixed form of it; empty when
    // no free name was found.
    std::filesystem::path claim(const std::filesystem::path& directory, std::string_view name,
                                std::string_view extension);

private:
    bool isFree(const std::filesystem::path& candidate) const;

    std::set<std::filesystem::path> claimed_;
};

}  // namespace platter
