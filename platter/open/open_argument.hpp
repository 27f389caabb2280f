#pragma once
// The one step every command takes to turn a FILE argument or standard input into a
// container: read, identify, open through the registry (by the extension when the bytes
// do not build one), and say in one message why there is no container.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "forge/host_file.hpp"
#include "forge/message.hpp"
#include "platter/core/disk.hpp"
#include "platter/ids/format_id.hpp"

namespace platter {

struct opened_container_t {
    std::unique_ptr<Disk> disk;
    bool read = false;                   // the bytes could be read
    std::uint32_t type = 0;              // identified type of the bytes; 0 when nothing was recognised
    format_id format = format_id::none;  // the container kind of that type; none for no container kind
    // The file holds nothing to open: it is empty, of a kind that is no container, or unknown.
    bool nothingToOpen = false;
    // Why there is no container: one message, worded for the file-name part of the path.
    std::vector<forge::message_t> messages;
};

// What a caller that searches every byte tells the open step.
struct open_request_t {
    // The caller's stat of the path, taken instead of one of the open's own.
    std::optional<forge::host_file_status_t> status;
    // Every byte will be read: a fixed-size image is read in one call before it is
    // identified, instead of its identification blocks first and the rest on demand.
    bool readWhole = false;
};

// A host file named by a FILE argument.
opened_container_t openContainerArgument(const std::string& path, const open_request_t& request = {});

// The same for a host file already read and identified (`type` as firstIdentifiedType gives
// it): view and render read a file once and route it by its type before opening it.
opened_container_t openIdentifiedArgument(const std::string& path, std::vector<std::uint8_t> bytes, std::uint32_t type);

// Bytes read from standard input, named "{data from stdin}" in messages; no extension to fall back on.
opened_container_t openStdinArgument(std::vector<std::uint8_t> bytes);

}  // namespace platter
