#pragma once
// The render command: turns each FILE into documents and pictures in the
// current directory under fixed names, one per target of its kind. A
// container's directory listing becomes HTML, RTF, SEQ and text documents;
// PETSCII text those four, raw screen data and a PNG picture; a paint picture
// a PNG picture and a sixel stream, which also goes to standard output.

#include <cstdint>
#include <iostream>
#include <span>
#include <string>
#include <vector>

#include "app/command.hpp"
#include "app/reporter.hpp"
#include "platter/fileid/file_traits.hpp"

namespace platter {
class PetsciiRenderRgb;
class PetsciiScreen;
}  // namespace platter

namespace app {

class CommandRender : public Command {
public:
    explicit CommandRender(std::ostream& out = std::cout) : out_(out) {}

    // 1 on a usage error or a FILE that does not exist (then nothing is
    // rendered), or when any FILE could not be rendered; the others still are.
    int run(forge::getopt::Getopt& getopt) override;
    // One FILE after its label; a directory only gets "directory".
    void renderArgument(const std::string& argument);

    // Labels are padded to this many display columns and "; ".
    void setLabelWidth(std::uint64_t width) { labelWidth_ = width; }

private:
    void renderContainer(const std::string& argument, std::vector<std::uint8_t> data, std::uint32_t type);
    // The directory listing of the container the bytes open as (`type` 0: by the extension).
    void openListing(const std::string& argument, std::vector<std::uint8_t> data, std::uint32_t type,
                     const std::vector<std::uint32_t>& targets);
    void renderText(const std::string& argument, std::span<const std::uint8_t> data);
    void renderPicture(const std::string& argument, std::span<const std::uint8_t> data,
                       const platter::fileid::file_traits_t& traits);
    // The screen through the renderer of each target, into `stem` + its extension.
    void renderScreen(const platter::PetsciiScreen& screen, const std::vector<std::uint32_t>& targets,
                      const std::string& stem, const std::string& argument, bool listing);
    // A PNG target that cannot be drawn is said (nothing to draw, too large, no font) and skipped.
    bool canDraw(platter::PetsciiRenderRgb& render, const platter::PetsciiScreen& screen, const std::string& argument);
    void write(const std::string& text);
    void save(const std::string& name, std::span<const std::uint8_t> bytes);

    Reporter reporter_;
    std::ostream& out_;
    std::vector<std::string> inputs_;  // the FILE arguments, which no output may replace
    std::uint64_t labelWidth_ = 0;
    bool fontMissing_ = false;  // fatal: the run ends
};

}  // namespace app
