#pragma once
// The ls command: lists the directories of containers named by FILE
// arguments, host directories (recursively with -R) or standard input, and
// with --deep the partitions, subdirectories and archives inside them.

#include "app/argument_loop.hpp"
#include "app/command.hpp"
#include "app/listing.hpp"
#include "app/reporter.hpp"
#include "platter/core/dir_entry.hpp"
#include "platter/core/track_sector.hpp"
#include "platter/selection/cbm_selection.hpp"
#include "platter/petscii/charset.hpp"

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace platter {
class Disk;
}

namespace app {

class CommandLs : public Command {
public:
    static constexpr std::uint64_t kMaxIndentStep = 64;

    // 1 when any argument produced an error (a missing or unreadable path,
    // standard input that is no container, a selection that failed, an archive
    // that could not be expanded); warnings keep 0.
    int run(forge::getopt::Getopt& getopt) override;

    // The listing renderer the options ask for; run() makes it before anything is listed.
    void makeRender();
    // The selector of the next arguments ("*" when empty); false when it does not parse.
    bool parseSelector(const std::string& selector);
    // Lists the selection on the container; false when the selection failed on it.
    bool processDisk(platter::Disk& disk, const std::string& path);
    // The same, then every partition, subdirectory and archive inside, indented; the walk of
    // the directory is told unless a damage report told it.
    bool listDeep(platter::Disk& disk, const std::string& path, bool directoryTold);
    // A zipcode part of a set already listed from the same host directory.
    bool isRepeatedZipcodePart(const std::string& path);

private:
    bool readIndent(const forge::getopt::Getopt& getopt);
    bool checkAsciiFallback(const forge::getopt::Getopt& getopt);
    void warnAboutOptions();
    std::vector<std::int32_t> collectFields() const;
    int listStandardInput(const forge::getopt::Getopt& getopt);
    void listFile(const std::string& path);
    void listDirectory(const std::string& path);
    void listContainer(platter::Disk& disk, const std::string& path);
    bool applySelection(platter::Disk& disk, bool printAlways, std::uint64_t& count);
    void listNestedEntries(platter::Disk& disk, const std::string& path);
    bool skipsAreaFault(const platter::Disk& disk, const std::string& path, std::uint64_t index,
                        const platter::dir_entry_t& entry);
    void listSubdirectory(platter::Disk& disk, const std::string& path, std::uint64_t index,
                          const platter::dir_entry_t& entry);
    void listPartition(platter::Disk& disk, const std::string& path, std::uint64_t index,
                       const platter::dir_entry_t& entry);
    void listArchive(platter::Disk& disk, const std::string& path, std::uint64_t index,
                     const platter::dir_entry_t& entry);
    bool mayDescend(std::uint64_t index);
    void warnAboutChains(const platter::Disk& disk, const std::string& path, bool withDirectory);
    void printNestingLine(std::uint64_t index, const platter::dir_entry_t& entry) const;
    std::string linePrefix() const;

    Reporter reporter_;
    ArgumentLoop loop_{reporter_};
    std::unique_ptr<Render> render_;
    std::uint64_t depth_ = 0;  // indentation of the deep listing in spaces
    platter::Charset charset_ = platter::Charset::upperGraphics;
    std::uint64_t indentStep_ = 2;
    std::set<std::string> zipcodeSets_;
    // Deep listing: levels below the container.
    std::uint64_t level_ = 0;
    // What the deep listing applies inside the entries the selection picked.
    platter::CbmSelection everyEntry_;
};

}  // namespace app
