#include "app/command_render.hpp"

#include <algorithm>
#include <memory>
#include <utility>

#include "app/argument_texts.hpp"
#include "app/damage_report.hpp"
#include "app/picture_output.hpp"
#include "app/program_identity.hpp"
#include "forge/files.hpp"
#include "forge/log.hpp"
#include "forge/paths.hpp"
#include "forge/pixel_limit.hpp"
#include "forge/png_writer.hpp"
#include "forge/save_file.hpp"
#include "forge/strings.hpp"
#include "platter/core/petscii_listing.hpp"
#include "platter/fileid/file_types.hpp"
#include "platter/fileid/format_for_type.hpp"
#include "platter/fileid/identify.hpp"
#include "platter/fileid/type_ids.hpp"
#include "platter/open/open_argument.hpp"
#include "platter/petscii/petscii_screen.hpp"
#include "platter/render/petscii_render_binary.hpp"
#include "platter/render/petscii_render_html.hpp"
#include "platter/render/petscii_render_rgb.hpp"
#include "platter/render/petscii_render_rtf.hpp"
#include "platter/render/petscii_render_seq.hpp"
#include "platter/render/petscii_render_txt.hpp"

namespace app {

namespace {

namespace type_id = platter::fileid::type_id;

constexpr std::uint8_t kScreenColour = 14;
constexpr std::uint8_t kListingBackground = 6;
constexpr std::uint8_t kTextBackground = 0;
constexpr std::uint16_t kTextFontSize = 16;
constexpr std::uint32_t kTargetRtf = 1;
constexpr std::uint32_t kTargetPng = 4;

struct render_target_t {
    std::uint32_t code;
    const char* extension;
    std::unique_ptr<platter::PetsciiRender> (*make)();
};

template <typename R>
std::unique_ptr<platter::PetsciiRender> makeRenderer() {
    return std::make_unique<R>();
}

// The renderers of the target codes; codes without a row produce nothing.
constexpr render_target_t kTargets[] = {
    {0, "html", makeRenderer<platter::PetsciiRenderHtml>}, {1, "rtf", makeRenderer<platter::PetsciiRenderRtf>},
    {2, "seq", makeRenderer<platter::PetsciiRenderSeq>},   {3, "txt", makeRenderer<platter::PetsciiRenderTxt>},
    {4, "png", makeRenderer<platter::PetsciiRenderPng>},   {6, "obj", makeRenderer<platter::PetsciiRenderBinary>},
};

const render_target_t* findTarget(std::uint32_t code) {
    const auto* row = std::ranges::find(kTargets, code, &render_target_t::code);
    return row == std::end(kTargets) ? nullptr : row;
}

platter::PetsciiScreen screenOf(std::span<const std::uint8_t> bytes) {
    platter::PetsciiScreen screen(platter::PetsciiScreen::kColumns, platter::PetsciiScreen::kWindowRows, kScreenColour,
                                  false);
    screen.setCharset(platter::Charset::upperGraphics).setColour(kScreenColour).setData(bytes).interpret();
    return screen;
}

std::span<const std::uint8_t> bytesOf(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

int CommandRender::run(forge::getopt::Getopt& getopt) {
    const std::vector<std::string>& arguments = getopt.positionalArguments();
    if (arguments.empty()) return reportMissingFile(getopt);
    // Every FILE is checked before anything is rendered.
    for (const std::string& argument : arguments) {
        if (!forge::exists(argument)) {
            reporter_.error("could not find \"" + argument + "\" - does it exist?", Reporter::kQuietErrors);
            return 1;
        }
        labelWidth_ = std::max<std::uint64_t>(labelWidth_, forge::displayWidth(argument));
    }
    forge::g_png_software_tag = generatorName();
    inputs_ = arguments;
    for (const std::string& argument : arguments) {
        renderArgument(argument);
        if (fontMissing_) return 1;
    }
    return reporter_.status();
}

void CommandRender::renderArgument(const std::string& argument) {
    const std::uint64_t width = forge::displayWidth(argument);
    write(argument + "; " + std::string(width < labelWidth_ ? labelWidth_ - width : 0, ' '));
    if (forge::isDirectory(argument)) {
        write("directory\n");
        return;
    }
    forge::file_t file;
    if (!forge::readFile(argument, file)) {
        reporter_.error("'" + argument + "' could not be read", Reporter::kQuietErrors);
        return;
    }
    platter::fileid::file_traits_t traits = platter::fileid::identify(file.data).front();
    if (traits.type == type_id::unknown && opensAsImageByExtension(argument)) {
        openListing(argument, std::move(file.data), 0, listingRenderTargets());
        return;
    }
    if (traits.type == type_id::unknown) {
        // Exactly "seq": a name ending in ".SEQ" is not taken for text.
        if (forge::fileExtension(argument) != "seq") {
            reporter_.warning("not a recognized format.", Reporter::kQuietWarnings);
            reporter_.fail();
            return;
        }
        traits = {type_id::petscii, 100, {}};
    }
    if (platter::fileid::isTypeInCategory(traits.type, kContainerCategory)) {
        renderContainer(argument, std::move(file.data), traits.type);
    } else if (traits.type == type_id::petscii) {
        renderText(argument, file.data);
    } else if (platter::fileid::isTypeInCategory(traits.type, kPictureCategory)) {
        renderPicture(argument, file.data, traits);
    }
}

void CommandRender::renderContainer(const std::string& argument, std::vector<std::uint8_t> data, std::uint32_t type) {
    if (platter::formatIdForType(type) == platter::format_id::none) {
        reporter_.warning("not a supported format.", Reporter::kQuietWarnings);
        reporter_.fail();
        return;
    }
    const std::vector<std::uint32_t> targets = renderTargets(type);
    if (targets.empty()) {
        reporter_.warning("there are no render targets for this format.", Reporter::kQuietWarnings);
        reporter_.fail();
        return;
    }
    openListing(argument, std::move(data), type, targets);
}

void CommandRender::openListing(const std::string& argument, std::vector<std::uint8_t> data, std::uint32_t type,
                                const std::vector<std::uint32_t>& targets) {
    platter::opened_container_t opened = platter::openIdentifiedArgument(argument, std::move(data), type);
    reportOpenMessages(reporter_, opened.messages);
    if (!opened.disk) {
        reporter_.fail();
        return;
    }
    reportOpenMessages(reporter_, damageMessages(opened.disk->damage(), forge::fileName(argument)));
    const std::vector<std::uint8_t> listing =
        platter::buildPetsciiListing(*opened.disk, platter::Charset::upperGraphics, true);
    renderScreen(screenOf(listing), targets, "rendered_dir_by_zt.", argument, true);
}

void CommandRender::renderText(const std::string& argument, std::span<const std::uint8_t> data) {
    renderScreen(screenOf(data), renderTargets(type_id::petscii), "rendered_seq_by_zt.", argument, false);
}

void CommandRender::renderScreen(const platter::PetsciiScreen& screen, const std::vector<std::uint32_t>& targets,
                                 const std::string& stem, const std::string& argument, bool listing) {
    for (const std::uint32_t code : targets) {
        const render_target_t* target = findTarget(code);
        if (target == nullptr) continue;
        std::unique_ptr<platter::PetsciiRender> render = target->make();
        if (code == kTargetRtf) render->setColumns(static_cast<std::uint8_t>(screen.maxRowLength()));
        render->setDocument(true).setAppName(generatorName()).setTitle(argument);
        if (listing) {
            render->setBackground(kListingBackground).setSections(true);
        } else {
            render->setBackground(kTextBackground).setFontSize(kTextFontSize);
        }
        render->begin();
        if (code == kTargetPng && !canDraw(static_cast<platter::PetsciiRenderRgb&>(*render), screen, argument)) {
            if (fontMissing_) return;
            continue;
        }
        render->renderSection(screen, listing ? argument : std::string()).end();
        save(stem + target->extension, bytesOf(render->str()));
    }
}

bool CommandRender::canDraw(platter::PetsciiRenderRgb& render, const platter::PetsciiScreen& screen,
                            const std::string& argument) {
    if (!render.fontReady()) {
        forge::logFatal([] { std::cerr << "font initialization failed."; });
        fontMissing_ = true;
        return false;
    }
    const std::uint64_t width = render.pictureWidth();
    const std::uint64_t height = render.pictureHeight(screen);
    if (height == 0) {
        reporter_.warning("'" + argument + "': nothing to draw.", Reporter::kQuietWarnings);
    } else if (!forge::fitsPixelLimit(width, height)) {
        reporter_.warning(tooLargeText(argument, width, height), Reporter::kQuietWarnings);
    } else {
        return true;
    }
    reporter_.fail();
    return false;
}

void CommandRender::renderPicture(const std::string& argument, std::span<const std::uint8_t> data,
                                  const platter::fileid::file_traits_t& traits) {
    forge::raster_image_t picture;
    if (!decodeIdentifiedPicture(traits, data, picture)) {
        reporter_.warning("'" + argument + "': the picture could not be decoded.", Reporter::kQuietWarnings);
        reporter_.fail();
        return;
    }
    write(" dim: " + std::to_string(picture.width) + " x " + std::to_string(picture.height) + "\n");
    std::vector<std::uint8_t> png;
    forge::rgbToPng(picture.pixels, picture.width, picture.height, png);
    save("rendered_bitmap_by_zt.png", png);
    const std::vector<std::uint8_t> sixel = sixelOf(picture, 1);
    write(std::string(sixel.begin(), sixel.end()) + "\n");
    save("rendered_bitmap_by_zt.sixel", sixel);
}

// Labels, dimensions and sixel streams are the normal output that -q omits.
void CommandRender::write(const std::string& text) {
    if (forge::g_quiet_level == 0) out_ << text << std::flush;
}

void CommandRender::save(const std::string& name, std::span<const std::uint8_t> bytes) {
    // An input under an output's name (or a link to it) would be replaced before it is rendered.
    if (std::ranges::any_of(inputs_, [&](const std::string& input) { return forge::isSameFile(input, name); })) {
        reporter_.error("cannot write to \"" + name + "\"; it is one of the files being rendered",
                        Reporter::kQuietErrors);
        return;
    }
    if (const auto failure = forge::saveFile(name, bytes)) reporter_.error(failure->text, Reporter::kQuietErrors);
}

}  // namespace app
