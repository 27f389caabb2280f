#pragma once
// The one wording of what is wrong with a container (its damage report), told once by every
// command that reads one.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "forge/message.hpp"
#include "platter/core/chain_walk.hpp"
#include "platter/core/disk_damage.hpp"

namespace platter {
class Disk;
}

namespace app {

class Reporter;

// Where a chain stopped, with `subject` naming the chain ("the directory chain"):
// "... turns back at block 18.1", "... leaves the disk at 18.1 → 99.0", "... ends at block
// 18.4, which cannot be read", "... ends at block 19.0, which the file ends before"; empty
// for a chain that ended whole.
std::string chainStopText(std::string_view subject, const platter::chain_stop_t& stop);

// The words for how the walk of a directory (or partition table) ended, when it stopped at
// damage: "the directory chain leaves the disk at 18.1 → 99.0"; nothing otherwise.
std::optional<std::string> directoryStopText(platter::directory_kind kind, const platter::chain_stop_t& stop);

// The drive's message for an error byte ("23, read error (checksum error in data block)");
// empty for a good block or a code without one.
std::string_view errorByteText(std::uint8_t byte);

// The report of the container named `name` (a host file's name, or the entry it was opened
// from) as messages, each "'NAME': text": blocks past the end of a cut image, a size its kind
// does not know, the kind's and its opener's notes, header and BAM blocks its error bytes mark
// unread, and the walk of its directory; none for a whole container.
std::vector<forge::message_t> damageMessages(const platter::disk_damage_t& damage, const std::string& name);

// Reports the container's damage (as damageMessages gives it) as warnings.
void reportDamage(Reporter& reporter, const platter::Disk& disk, const std::string& name);
// The damage that shows only once a container was read: its file lost bytes meanwhile. One
// error.
void reportDamageFoundWhileReading(Reporter& reporter, const platter::Disk& disk, const std::string& name);

// Why an image with this damage is not written back, for "'PATH': ...; it is left unchanged".
std::string saveRefusalText(const platter::disk_damage_t& damage);

}  // namespace app
