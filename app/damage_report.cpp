#include "app/damage_report.hpp"

#include "app/argument_texts.hpp"
#include "app/reporter.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/error_byte.hpp"
#include "platter/formats/gcr_blocks.hpp"

namespace app {

namespace {

std::string blockText(const platter::track_sector_t& block) { return chainText({block}); }

std::string structureText(platter::block_role role) {
    switch (role) {
        case platter::block_role::header: return "the header";
        case platter::block_role::bam: return "the BAM";
        default: break;
    }
    return "the directory";
}

}  // namespace

std::optional<std::string> directoryStopText(platter::directory_kind kind, const platter::chain_stop_t& stop) {
    // A block that the file ends before is told as the blocks a cut image misses.
    if (stop.whole() || stop.end == platter::chain_end::missing) return std::nullopt;
    return chainStopText(kind == platter::directory_kind::partitionTable ? "the partition table" : "the directory chain",
                         stop);
}

std::string chainStopText(std::string_view subject, const platter::chain_stop_t& stop) {
    const std::string chain(subject);
    switch (stop.end) {
        case platter::chain_end::ended: break;
        case platter::chain_end::turnsBack: return chain + " turns back at block " + blockText(stop.from);
        case platter::chain_end::leaves:
            if (stop.from.isNone()) return chain + " starts outside the disk, at " + blockText(stop.to);
            return chain + " leaves the disk at " + blockText(stop.from) + " \u2192 " + blockText(stop.to);
        case platter::chain_end::unreadable:
            return chain + " ends at block " + blockText(stop.to) + ", which cannot be read";
        case platter::chain_end::missing:
            return chain + " ends at block " + blockText(stop.to) + ", which the file ends before";
        case platter::chain_end::structure: return chain + " runs into " + structureText(stop.role) + " at " + blockText(stop.to);
    }
    return {};
}

std::string_view errorByteText(std::uint8_t byte) {
    const std::uint8_t code = platter::errorByteCode(byte);
    return code >= platter::kGcrHeaderNotFound ? platter::gcrErrorText(code) : std::string_view();
}

std::vector<forge::message_t> damageMessages(const platter::disk_damage_t& damage, const std::string& name) {
    std::vector<forge::message_t> messages;
    const std::string prefix = "'" + name + "': ";
    const auto warn = [&](const std::string& text) {
        messages.push_back({forge::message_level::warning, prefix + text});
    };
    // A kind that names what its cut file lacks has said it.
    if (damage.missesBlocks && damage.notes.empty())
        warn("blocks past the end of the image are missing");
    else if (damage.sizeUnknown)
        warn("the image's size is not one its format knows");
    for (const std::string& note : damage.notes) warn(note);
    for (const platter::recorded_error_t& unread : damage.unreadHeaderBlocks)
        warn(std::string(unread.header ? "the header block " : "the BAM block ") + blockText(unread.block) +
             " holds no data (" + std::string(errorByteText(unread.code)) + ")");
    if (const auto text = directoryStopText(damage.directoryKind, damage.directory)) warn(*text);
    return messages;
}

void reportDamage(Reporter& reporter, const platter::Disk& disk, const std::string& name) {
    reporter.report(damageMessages(disk.damage(), name));
}

void reportDamageFoundWhileReading(Reporter& reporter, const platter::Disk& disk, const std::string& name) {
    if (!disk.damage().sourceChanged) return;
    reporter.error("'" + name + "' changed while it was read: blocks it had are gone");
}

std::string saveRefusalText(const platter::disk_damage_t& damage) {
    if (damage.missesBlocks || damage.incomplete) return "some blocks of the container hold no data";
    if (damage.sizeUnknown) return "the size of the container is not one its format knows";
    if (damage.areaFaults) return "a partition of the container is damaged";
    return "the container is damaged";
}

}  // namespace app
