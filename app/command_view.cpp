#include "app/command_view.hpp"

#include <utility>
#include <vector>

#include "app/argument_texts.hpp"
#include "app/container_arguments.hpp"
#include "app/damage_report.hpp"
#include "app/entry_read_report.hpp"
#include "app/listing_canonical.hpp"
#include "app/options.hpp"
#include "app/picture_output.hpp"
#include "app/program_identity.hpp"
#include "app/selection_report.hpp"
#include "forge/log.hpp"
#include "forge/numbers.hpp"
#include "forge/paths.hpp"
#include "forge/pixel_limit.hpp"
#include "forge/terminal.hpp"
#include "platter/core/dir_entry.hpp"
#include "platter/core/disk.hpp"
#include "platter/fileid/file_types.hpp"
#include "platter/fileid/format_for_type.hpp"
#include "platter/fileid/identify.hpp"
#include "platter/fileid/type_ids.hpp"
#include "platter/open/open_argument.hpp"
#include "platter/petscii/petscii_screen.hpp"
#include "platter/picture/charset_image.hpp"
#include "platter/render/petscii_render_rgb.hpp"

namespace app {

namespace {

using platter::SelectorKind;
namespace type_id = platter::fileid::type_id;

constexpr std::uint64_t kLargestScale = 4;
constexpr std::uint64_t kPictureScale = 2;        // pictures without --scale
constexpr std::uint16_t kFontPixelsPerScale = 8;  // PETSCII text: 16 pixels without --scale
constexpr std::uint8_t kLargestColour = 15;
constexpr std::uint8_t kScreenColour = 14;
constexpr std::size_t kLargestSeqFile = std::size_t{1} << 20;

// The option's value when given; a value outside min..max is refused as the
// option's own usage error.
bool optionInRange(const forge::getopt::Option& option, std::int64_t min, std::int64_t max, std::int64_t& value,
                   const forge::getopt::Getopt& getopt) {
    if (!option.isSet()) return true;
    const std::string text = option.value(0);
    value = forge::parseNumber(text);
    if (value >= min && value <= max) return true;
    forge::logFatal([&] {
        std::cerr << option.matchedName() << " must be an integer from " << min << " to " << max << " (found: '" << text
                  << "')";
    });
    getopt.printTryHelp(std::cerr);
    return false;
}

bool isEntryKind(SelectorKind kind) {
    return kind == SelectorKind::ByFilename || kind == SelectorKind::ByIndex || kind == SelectorKind::ByIndexRange;
}

}  // namespace

int CommandView::run(forge::getopt::Getopt& getopt) {
    if (!readOptions(getopt)) return 1;
    const FileBytesCallback onBytes = [this](forge::file_t& file, const std::string& name) {
        return processFile(file, name);
    };
    const std::vector<std::string>& arguments = getopt.positionalArguments();
    if (arguments.empty()) {
        if (forge::isTerminal(std::cin)) {
            return reportMissingFile(getopt);
        }
        if (!readStandardInput(onBytes, reporter_)) reporter_.fail();
        return reporter_.status();
    }
    selection_.refuseKind(SelectorKind::DirectoryChain)
        .refuseKind(SelectorKind::BlockChain)
        .refuseKind(SelectorKind::BlockData)
        .refuseKind(SelectorKind::TrackData);
    loop_.onSelector = [this](const std::string&, const std::string& selector) { return parseSelector(selector); };
    loop_.onFile = [&](const std::string& path) {
        if (!checkReadable(path, onBytes, reporter_)) reporter_.fail();
    };
    loop_.onDirectory = [this](const std::string& path, const FileHandler&) {
        reporter_.notice("'" + path + "': Skipping directory.");
    };
    loop_.stopped = [this] { return fontMissing_; };
    return loop_.run(arguments);
}

bool CommandView::readOptions(forge::getopt::Getopt& getopt) {
    std::int64_t background = background_;
    std::int64_t scale = 0;
    if (!optionInRange(g_option_bg, 0, kLargestColour, background, getopt) ||
        !optionInRange(g_option_scale, 1, kLargestScale, scale, getopt)) {
        return false;
    }
    background_ = static_cast<std::uint8_t>(background);
    scale_ = static_cast<std::uint64_t>(scale);
    // Any number: the screen takes its colour nibble.
    if (g_option_fg.isSet()) textColour_ = static_cast<std::uint8_t>(forge::parseNumber(g_option_fg.value(0)) & 15);
    lowercase_ = g_option_lowercase.isSet();
    return true;
}

bool CommandView::parseSelector(const std::string& selector) {
    const bool parsed = selection_.parseSelection(selector.empty() ? "*" : selector);
    reporter_.relay(selection_);
    return parsed;
}

int CommandView::processFile(forge::file_t& file, const std::string& name) {
    const std::vector<platter::fileid::file_traits_t> traits = platter::fileid::identify(file.data);
    const std::uint32_t type = traits.front().type == type_id::unknown ? 0 : traits.front().type;
    const bool stdinData = name == forge::kStdinName;
    const bool container = type != 0 ? platter::formatIdForType(type) != platter::format_id::none
                                     : !stdinData && opensAsImageByExtension(name);
    if (!container) {
        printPathHeader(out_, name, "");
        return renderFile(traits.front(), file.data, name, forge::fileExtension(name));
    }
    platter::opened_container_t opened = stdinData ? platter::openStdinArgument(std::move(file.data))
                                                   : platter::openIdentifiedArgument(name, std::move(file.data), type);
    reportOpenMessages(reporter_, opened.messages);
    if (!opened.disk) {
        reporter_.fail();
        return 1;
    }
    reportOpenMessages(reporter_, damageMessages(opened.disk->damage(), forge::fileName(name)));
    return processDisk(*opened.disk, name);
}

int CommandView::processDisk(platter::Disk& disk, const std::string& name) {
    if (!processAndReport(selection_, disk, reporter_).ok) return 1;
    const platter::Charset charset = lowercase_ ? platter::Charset::lowerUpper : platter::Charset::upperGraphics;
    const std::string extension = forge::fileExtension(name);
    const RenderCanonical names;
    bool considered = false;
    bool shown = false;
    std::as_const(selection_).walkPreorder([&](const platter::file_selector& node) {
        if (node.nested || !isEntryKind(node.kind)) return true;
        platter::Disk* image = selection_.enterFrame(node);
        if (image == nullptr) return true;
        for (const std::uint64_t index : node.indices) {
            platter::dir_entry_t entry;
            if (!selection_.isIndexSelected(index, node) || !image->getEntry(index, true, entry) ||
                platter::isEmptyEntry(entry))
                continue;
            const platter::entry_read_t read = image->readEntry(entry);
            if (read.bytes.empty()) continue;
            considered = true;
            printPathHeader(out_, name, ":" + names.entryNameText(entry, charset, false));
            // What there is of a file that is not whole is shown, and is no success.
            if (const auto problem = readProblemText(read, index, image->directoryStart().track))
                reporter_.error("'" + name + "': " + *problem, Reporter::kQuietErrors);
            else if (!read.whole())
                reporter_.fail();
            const std::vector<std::uint8_t>& data = read.bytes;
            const platter::fileid::file_traits_t traits = platter::fileid::identify(data).front();
            if (renderFile(traits, data, name, extension) == 0) shown = true;
            if (fontMissing_) return false;
        }
        return true;
    });
    selection_.resetFrames();
    if (shown) return 0;
    if (!considered) reporter_.warning("'" + name + "': no file to show.", Reporter::kQuietWarnings);
    reporter_.fail();
    return 1;
}

int CommandView::renderFile(const platter::fileid::file_traits_t& traits, std::span<const std::uint8_t> data,
                            const std::string& name, const std::string& extension) {
    const std::uint64_t scale = scale_ != 0 ? scale_ : kPictureScale;
    forge::raster_image_t picture;
    if (traits.type == type_id::charset_1x1) {
        platter::decodeCharsetSheet(data, picture);
        return showPicture(picture, scale, name);
    }
    if (platter::fileid::isTypeInCategory(traits.type, kPictureCategory)) {
        if (decodeIdentifiedPicture(traits, data, picture)) return showPicture(picture, scale, name);
        reporter_.warning("'" + name + "': the picture could not be decoded.", Reporter::kQuietWarnings);
        return 1;
    }
    const bool seqFile = extension == "seq";
    if (seqFile && data.size() > kLargestSeqFile) {
        reporter_.error("refusing to process a .seq over 1MB in size.", Reporter::kQuietErrors);
        return 1;
    }
    if (!seqFile && traits.type != type_id::petscii) {
        reporter_.warning("not a recognized format.", Reporter::kQuietWarnings);
        return 1;
    }
    return showText(data, name);
}

int CommandView::showPicture(const forge::raster_image_t& picture, std::uint64_t scale, const std::string& name) {
    if (!fitsWhenScaled(picture, scale)) {
        reporter_.warning(
            tooLargeText(name, std::uint64_t{picture.width} * scale, std::uint64_t{picture.height} * scale),
            Reporter::kQuietWarnings);
        return 1;
    }
    const std::vector<std::uint8_t> sixel = sixelOf(picture, scale);
    out_.write(reinterpret_cast<const char*>(sixel.data()), static_cast<std::streamsize>(sixel.size()));
    out_ << '\n' << std::flush;
    return 0;
}

int CommandView::showText(std::span<const std::uint8_t> data, const std::string& name) {
    platter::PetsciiScreen screen(platter::PetsciiScreen::kColumns, platter::PetsciiScreen::kWindowRows, kScreenColour,
                                  false);
    screen.setCharset(lowercase_ ? platter::Charset::lowerUpper : platter::Charset::upperGraphics)
        .setColour(textColour_)
        .setData(data)
        .interpret();
    platter::PetsciiRenderRgb render;
    render.setDocument(true).setAppName(generatorName()).setBackground(background_);
    if (scale_ != 0) render.setFontSize(static_cast<std::uint16_t>(kFontPixelsPerScale * scale_));
    render.begin();
    if (!render.fontReady()) {
        forge::logFatal([] { std::cerr << "font initialization failed."; });
        fontMissing_ = true;
        reporter_.fail();
        return 1;
    }
    const std::uint64_t width = render.pictureWidth();
    const std::uint64_t height = render.pictureHeight(screen);
    forge::raster_image_t picture;
    if (height == 0) {
        reporter_.warning("'" + name + "': nothing to draw.", Reporter::kQuietWarnings);
    } else if (!forge::fitsPixelLimit(width, height)) {
        reporter_.warning(tooLargeText(name, width, height), Reporter::kQuietWarnings);
    } else if (render.drawScreen(screen, picture)) {
        return showPicture(picture, 1, name);
    }
    return 1;
}

}  // namespace app
