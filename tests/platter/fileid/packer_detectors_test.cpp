#include "platter/fileid/packer_detectors.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include "platter/fileid/describe.hpp"
#include "platter/fileid/signature_sets.hpp"
#include "platter/fileid/type_ids.hpp"
#include "tests/platter/fileid/result_lists.hpp"
#include "tests/support/bytes.hpp"

namespace platter::fileid {
namespace {

using test_support::Bytes;
using test_support::bytes;
using test_support::put;

constexpr std::int64_t kBasicStart = 0x0801;

// A program loaded at `load` that holds the set's pieces where its code would
// stand, zeros elsewhere, and `tail` bytes behind the last piece.
Bytes packedProgram(const signature_set_t& set, std::uint16_t load, std::size_t tail = 40) {
    const std::int64_t shift = kBasicStart - load;
    std::int64_t end = 2;
    for (const auto& one : set.view()) end = std::max(end, one.offset + shift + one.length);
    Bytes data = test_support::programFile(load, static_cast<std::size_t>(end) + tail);
    for (const auto& one : set.view()) {
        std::copy(one.bytes.begin(), one.bytes.begin() + one.length, data.begin() + (one.offset + shift));
    }
    return data;
}

// A file with the pieces counted back from its end.
Bytes endAnchoredProgram(const signature_set_t& set, std::size_t size) {
    Bytes data = bytes(size);
    for (const auto& one : set.view())
        std::copy(one.bytes.begin(), one.bytes.begin() + one.length, data.end() - one.offset);
    return data;
}

// The detector names the set or a set tried before it (some sets contain others).
void expectFoundAtOrBefore(std::span<const signature_set_t> family, std::size_t index, std::uint32_t found) {
    const auto tried = family.first(index + 1);
    EXPECT_TRUE(
        std::any_of(tried.begin(), tried.end(), [found](const signature_set_t& set) { return set.type == found; }))
        << "set " << index << " of type " << family[index].type << " gave " << found;
}

TEST(SignatureSets, SeventyThreeSetsInThreeFamiliesAndSingles) {
    EXPECT_EQ(g_packer_signatures.size(), 42u);
    EXPECT_EQ(g_compressor_signatures.size(), 9u);
    EXPECT_EQ(g_cruncher_ab_signatures.size(), 9u);
    std::size_t singles = 0;
    for (std::uint32_t type = 150; type < 230; ++type) {
        if (singleSignature(type).pieceCount != 0) ++singles;
    }
    EXPECT_EQ(singles, 13u);
    EXPECT_EQ(singleSignature(type_id::xip).pieceCount, 0u);
}

TEST(SignatureSets, EveryFamilySetIsFoundAtEveryLoadAddress) {
    struct family_t {
        std::span<const signature_set_t> sets;
        detector_t detector;
    };
    for (const family_t& family : {family_t{g_packer_signatures, detectPackerFamily},
                                   family_t{g_compressor_signatures, detectCompressorFamily}}) {
        for (std::size_t i = 0; i < family.sets.size(); ++i) {
            for (std::uint16_t load : {std::uint16_t{0x0801}, std::uint16_t{0x0401}}) {
                const Bytes data = packedProgram(family.sets[i], load);
                expectFoundAtOrBefore(family.sets, i, family.detector(data).type);
                // Cut anywhere, every quoted text stays inside the data.
                for (std::size_t size = 0; size < data.size(); ++size)
                    family.detector(Bytes(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(size)));
            }
        }
    }
    for (std::size_t i = 0; i < g_cruncher_ab_signatures.size(); ++i) {
        const Bytes data = endAnchoredProgram(g_cruncher_ab_signatures[i], 400);
        expectFoundAtOrBefore(g_cruncher_ab_signatures, i, detectTheCruncherAB(data).type);
    }
}

TEST(SignatureSets, LoadAddressMovesThePieces) {
    constexpr signature_set_t set = signature(999, {piece(10, "08 AA")});
    Bytes data = bytes(20);
    put(data, 0, {0x0A, 0x08, 0xAA});  // loaded at $080A: the piece moves to offset 1
    EXPECT_EQ(matchSignatureSet(data, set).type, 999u);
    put(data, 0, {0x0B, 0x08, 0xAA});  // a move to offset 0 is refused
    constexpr signature_set_t atZero = signature(999, {piece(10, "0B 08")});
    EXPECT_EQ(matchSignatureSet(data, atZero).type, type_id::unknown);
    // At BASIC's start nothing moves, and a miss is final.
    put(data, 0, {0x01, 0x08});
    EXPECT_EQ(matchSignatureSet(data, set).type, type_id::unknown);
    put(data, 10, {0x08, 0xAA});
    EXPECT_EQ(matchSignatureSet(data, set).type, 999u);
    // Far below BASIC's start the pieces move past the end.
    put(data, 0, {0x01, 0x04});
    EXPECT_EQ(matchSignatureSet(data, signature(999, {piece(16, "77")})).type, type_id::unknown);
}

TEST(SignatureSets, EndAnchoredPiecesMustFit) {
    constexpr signature_set_t set = signature(999, {piece(4, "AA BB")});
    EXPECT_EQ(matchSignatureSetAtEnd(Bytes{0, 0xAA, 0xBB, 0, 0}, set).type, 999u);
    EXPECT_EQ(matchSignatureSetAtEnd(Bytes{0xAA, 0xBB, 0}, set).type, type_id::unknown);
    constexpr signature_set_t longer = signature(999, {piece(1, "AA BB")});
    EXPECT_EQ(matchSignatureSetAtEnd(Bytes{0xAA, 0xBB}, longer).type, type_id::unknown);
}

TEST(Packers, SingleSignatures) {
    Bytes boiler = bytes(28);
    put(boiler, 20, {0x9D, 0xF0, 0x00, 0xE8, 0xD0, 0xF7, 0x4C, 0x4E});
    EXPECT_EQ(describe(boiler), "Byte Boiler");
    boiler.pop_back();
    EXPECT_EQ(detectByteBoiler(boiler).type, type_id::unknown);
    EXPECT_EQ(detectStubbyNoter(packedProgram(singleSignature(type_id::stubby_noter), 0x0801)).type,
              type_id::stubby_noter);
    // These are matched where they stand, whatever the load address.
    EXPECT_EQ(detectTurbocopyCrunch3(packedProgram(singleSignature(type_id::turbocopy_crunch3), 0x0801)).type,
              type_id::turbocopy_crunch3);
    EXPECT_EQ(detectTurbocopyCrunch2(packedProgram(singleSignature(type_id::turbocopy_crunch2), 0x0401)).type,
              type_id::unknown);
}

TEST(Packers, CompiledBasicTellsItsForm) {
    // BASIC-64 v1.03 loaded at $1001: its piece moves from 5120 to 3072.
    Bytes compiled = packedProgram(g_packer_signatures[35], 0x1001);
    ASSERT_EQ(g_packer_signatures[35].type, type_id::basic64_v103);
    put(compiled, 7, "BASIC-64 COMPILER 1.0");
    EXPECT_EQ(describe(compiled), "BASIC-64 v1.03 {mcode; \"BASIC-64 COMPILER 1.0\"}");
    put(compiled, 100, {0x00, 0x00, 0x00, 0x20, 0x11, 0x1B});
    EXPECT_EQ(describe(compiled), "BASIC-64 v1.03 {pcode; \"BASIC-64 COMPILER 1.0\"}");
}

TEST(Packers, QuotedTextsEndWithTheData) {
    // MC-Packer's piece ends the 36-byte file; its 32-byte credit would need 39.
    Bytes packer = packedProgram(g_compressor_signatures[2], 0x0801, 0);
    ASSERT_EQ(packer.size(), 36u);
    put(packer, 7, "MC-PACKER BY");
    EXPECT_EQ(describe(packer), "MC-Packer v1.4 {\"MC-PACKER BY\"}");
    const file_traits_t traits = detectCompressorFamily(packer);
    ASSERT_EQ(traits.metadata.size(), 1u);
    EXPECT_EQ(traits.metadata.front().value.size(), 29u);
}

// A Time Cruncher v5 file: the algorithm's piece, the 2 MHz piece, then whatever
// the test adds, loaded at $0801 with its credit at offset 7.
Bytes timeCrunched() {
    Bytes data = bytes(320);
    put(data, 0, {0x01, 0x08});
    put(data, 72, {0xF7, 0xEE, 0x02, 0x01, 0xEE, 0x05, 0x01, 0x88});
    put(data, 275, {0xCE, 0x30, 0xD0, 0xA9, 0x1B, 0x8D, 0x11, 0xD0});
    put(data, 7, "TC5");
    return data;
}

TEST(TimeCruncher5, VariantsInOrder) {
    Bytes century = timeCrunched();
    put(century, 11, {0x14, 0x14, 0x38, 0x39});
    EXPECT_EQ(describe(century), "Timecruncher v5.1 (Century) {\"TC5\"}");
    Bytes twoMhz = timeCrunched();
    put(twoMhz, 4, {0x2C, 0xEA, 0xEA, 0x24, 0xEA, 0x2C, 0xEA, 0xEA});
    put(twoMhz, 295, {0x4C, 0xAE, 0xA7});
    EXPECT_EQ(detectTimeCruncher5(twoMhz).type, type_id::time_crunch_2mhz_v50);
    twoMhz[15] = '2';
    EXPECT_EQ(detectTimeCruncher5(twoMhz).type, type_id::time_crunch_2mhz_v52);
    EXPECT_EQ(detectTimeCruncher5(timeCrunched()).type, type_id::time_cruncher5_2mhz);
    // Too short for the 2 MHz piece: the algorithm alone; a different piece: nothing.
    Bytes shortFile = timeCrunched();
    shortFile.resize(282);
    EXPECT_EQ(describe(shortFile), "Time Crunch(er) v5 algorithm {\"TC5\"}");
    Bytes other = timeCrunched();
    other[280] = 0;
    EXPECT_EQ(detectTimeCruncher5(other).type, type_id::unknown);
}

TEST(BhpVirus, HostProgramIsDescribedInside) {
    Bytes infected = packedProgram(singleSignature(type_id::bhp_virus), 0x0801, 0);
    infected.resize(2032);
    const Bytes host{0x01, 0x08, 0x07, 0x08, 10, 0, 0x99, 0, 0, 0};
    infected.insert(infected.end(), host.begin(), host.end());
    EXPECT_EQ(describe(infected), "BHP virus [BASIC v2.0 {c64; 1 line}]");
    // Without a host the virus stands alone.
    infected.resize(2029);
    EXPECT_EQ(describe(infected), "BHP virus");
}

}  // namespace
}  // namespace platter::fileid
