#include "platter/fileid/signature_sets.hpp"

namespace platter::fileid {

namespace {

// Code signatures of packers and crunchers, written for programs loaded at $0801:
// result type, then (offset, bytes) pieces that must all be present.

// Packers, linkers and compiled BASIC, in the order they are tried.
constexpr signature_set_t kPackerSets[] = {
    signature(153, {piece(16, "D0 08 66 2B E8 D0 03 EE")}),
    signature(160, {piece(304, "CA D0 EE A0 A2 B9 57 08"), piece(2, "EE A9 04 2C")}),
    signature(155, {piece(2, "1C 08 C3 07 9E 32 30 37 39 20 44 45")}),
    signature(156, {piece(2, "14 08 C3 07 9E 32 30 37 37 20 44 45")}),
    signature(157, {piece(40, "D0 02 C6 0F 88 D0 F5 20")}),
    signature(158, {piece(304, "CA D0 EE A0 A2 B9 57 08"), piece(240, "EE A9 03 2C")}),
    signature(159, {piece(304, "CA D0 EE A0 A2 B9 57 08"), piece(240, "EE A9 04 2C")}),
    signature(172, {piece(40, "D0 02 C6 0F E8 D0 F4 20")}),
    signature(218, {piece(72, "CA D0 EE A0 A2 B9 57 08")}),
    signature(219, {piece(212, "CA D0 EE A0 A2 B9 57 08")}),
    signature(219, {piece(192, "CA D0 EE A0 A2 B9 57 08")}),
    signature(220, {piece(192, "CA D0 EE A0 A2 B9 57 08")}),
    signature(220, {piece(202, "CA D0 EE A0 A2 B9 57 08")}),
    signature(220, {piece(212, "CA D0 EE A0 A2 B9 57 08")}),
    signature(220, {piece(222, "CA D0 EE A0 A2 B9 57 08")}),
    signature(154, {piece(336, "CA D0 EE A0 A2 B9 57 08"), piece(272, "EB A9 03 2C")}),
    signature(162, {piece(304, "02 C6 FC C6 FB A5 AE D0")}),
    signature(161, {piece(40, "03 14 0F 12 09 05 13 00 00 00 00 00"), piece(32, "02 AF 0E 08"),
                    piece(8, "32 30 38 30 29 20 54 42")}),
    signature(165, {piece(144, "F7 00 C6 0F D0 E4 F0 B3")}),
    signature(166, {piece(144, "91 2D C8 D0 F8 B5 31 95")}),
    signature(222, {piece(40, "03 14 0F 12 09 05 13 00 00 00 00 00"), piece(32, "02 AF EF 09")}),
    signature(163, {piece(144, "BD B7 03 D0 B9 A9 37 85")}),
    signature(170, {piece(192, "03 85 F7 20 70 03 85 F8")}),
    signature(171, {piece(192, "04 85 F7 20 70 04 85 F8")}),
    signature(173, {piece(28, "9D D4 00 E8 D0 F7 4C E4 00")}),
    signature(175, {piece(359, "E6 01 CE 18 D4 C6 01 60")}),
    signature(176, {piece(359, "60 78 E6 01 4C 16 08 60")}),
    signature(177, {piece(11, "D9 00 E8 D0 F7 4C E6 00")}),
    signature(178, {piece(256, "38 66 FD B0 C4 C6 FE F0")}),
    signature(181, {piece(56, "2D 84 2E 4C 90 00 A0 C0")}),
    signature(210, {piece(105, "A2 FC 9A A9 36 85 01 A2")}),
    signature(208, {piece(496, "03 28 4C 26 09 84 62 B9")}),
    signature(209, {piece(112, "5F 08 20 47 A3 20 52 08")}),
    signature(211, {piece(5120, "E5 48 F0 0F 85 62 A5 47")}),
    signature(212, {piece(5120, "62 66 63 88 D0 F6 60 A9")}),
    signature(213, {piece(5120, "A5 66 10 02 A0 FF 84 62")}),
    signature(215, {piece(5120, "98 E5 64 85 64 98 E5 65")}),
    signature(214, {piece(5120, "01 08 00 00 00 00 00 00 00 00 00 00"), piece(13, "4C 8F 0C 4C A6 0E")}),
    signature(206, {piece(256, "8C 93 9A A1 A8 AF B6 BD"), piece(29, "4C 8F 0C 4C A6 0E")}),
    signature(207, {piece(256, "8C 93 9A A1 A8 AF B6 BD"), piece(29, "4C 92 0C 4C A7 0E 4C 81")}),
    signature(222, {piece(40, "03 14 0F 12 09 05 13 00 00 00 00 00")}),
    signature(222, {piece(40, "03 14 0F 12 09 05 13 00 00 00 00 00"), piece(32, "02 AF 0E 08")}),
};

// Compressors that quote their credit text, in the order they are tried.
constexpr signature_set_t kCompressorSets[] = {
    signature(184, {piece(271, "CA D0 EE A0 A2 B9 57 08"), piece(40, "00 78 A9 34 85 01 A0 00"),
                    piece(96, "E6 01 EE 20 D0")}),
    signature(188, {piece(40, "00 78 A9 34 85 01 A0 00"), piece(96, "E6 01 EE 00 D8")}),
    signature(189, {piece(24, "03 14 0F 12 09 05 13 00 00 78 A9 34")}),
    signature(190, {piece(24, "03 14 0F 12 09 05 13 00 00 00 00 00")}),
    signature(185, {piece(271, "CA D0 EE A0 A2 B9 57 08"), piece(97, "01 EA EA EA"), piece(37, "00 20 59 A6")}),
    signature(186, {piece(24, "08 C9 9B F0 01 92 AD 04"), piece(98, "EE 20 D0")}),
    signature(187, {piece(24, "08 C9 9B F0 01 92 AD 04"), piece(97, "01 EA EA EA"), piece(37, "5E F0 01 92")}),
    signature(191, {piece(271, "00 78 A9 34 85 01 A0 00"), piece(24, "00 00 00 00 A9 ED 8D 28")}),
    signature(192, {piece(271, "00 78 A9 34 85 01 A0 00"), piece(24, "00 00 00 00 A9 ED 8D 28")}),
};

// THE Cruncher AB and its relatives: offsets count back from the end of the file.
constexpr signature_set_t kCruncherAbSets[] = {
    signature(168, {piece(308, "CE 30 D0 58 38 2E 11 D0")}),
    signature(167, {piece(308, "CE 30 D0 A9 1B 8D 11 D0")}),
    signature(169, {piece(300, "A5 FC AA 60 A9 37 85 01 EA EA EA EA EA EA EA EA")}),
    signature(202, {piece(60, "FB A5 48 52 42 7B CF 1C")}),
    signature(203, {piece(60, "43 9A FB 0E AB 20 06 18")}),
    signature(204, {piece(60, "90 57 A9 72 E7 4B 3E 22")}),
    signature(205, {piece(60, "92 43 9A FB 0E AB 20 06")}),
    signature(179, {piece(10, "58 20 A3 FD 20 59 A6 4C")}),
    signature(180, {piece(10, "8D 11 D0 EA 20 59 A6 4C")}),
};

// Sets tried one by one by their own detectors.
constexpr signature_set_t kSingleSets[] = {
    signature(151, {piece(32, "2C EA EA 2C EA EA 86 01"), piece(275, "2C EA EA 24 EA 2C EA EA")}),
    signature(182, {piece(271, "CA D0 EE A0 A2 B9 57 08")}),
    signature(193, {piece(72, "F7 EE 02 01 EE 05 01 88")}),
    signature(194, {piece(275, "CE 30 D0 A9 1B 8D 11 D0")}),
    signature(195, {piece(289, "20 60 A6"), piece(4, "2C EA EA 24 EA 2C EA EA")}),
    signature(196, {piece(295, "4C AE A7"), piece(4, "2C EA EA 24 EA 2C EA EA")}),
    signature(198, {piece(11, "14 14 38 39")}),
    signature(199, {piece(11, "20 43 45 4E"), piece(292, "4C AE A7 EA EA EA")}),
    signature(200, {piece(11, "20 43 45 4E"), piece(292, "20 8E A6 4C AE A7")}),
    signature(201, {piece(11, "20 43 45 4E")}),
    signature(216, {piece(23, "20 44 E5 A9 36 85 01 4C")}),
    signature(217, {piece(23, "00 00 78 A9 34 85 01 4C")}),
    signature(221, {piece(2021, "52 49 41 4C 4E 4F 2E 3A")}),
};

constexpr signature_set_t kNoSet{};

}  // namespace

const std::span<const signature_set_t> g_packer_signatures{kPackerSets};
const std::span<const signature_set_t> g_compressor_signatures{kCompressorSets};
const std::span<const signature_set_t> g_cruncher_ab_signatures{kCruncherAbSets};

const signature_set_t& singleSignature(std::uint32_t type) {
    for (const auto& set : kSingleSets) {
        if (set.type == type) return set;
    }
    return kNoSet;
}

}  // namespace platter::fileid
