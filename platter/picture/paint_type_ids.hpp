#pragma once
// The paint types of the picture decoders, by name. They are the decoders'
// own numbers, not the file-identification type ids.

#include <cstdint>

namespace platter::paint_type {

inline constexpr std::uint32_t none = 0;
inline constexpr std::uint32_t basic = 1;
inline constexpr std::uint32_t basic128 = 2;
inline constexpr std::uint32_t basic_vic20 = 3;
inline constexpr std::uint32_t packed_koala = 4;
inline constexpr std::uint32_t assembler = 5;  // also "nothing fits"
inline constexpr std::uint32_t seq = 6;
inline constexpr std::uint32_t font = 7;
inline constexpr std::uint32_t koala = 8;
inline constexpr std::uint32_t centauri = 9;
inline constexpr std::uint32_t ocp = 10;
inline constexpr std::uint32_t doodle = 11;
inline constexpr std::uint32_t drazpaint = 12;
inline constexpr std::uint32_t hires = 13;
inline constexpr std::uint32_t gigapaint = 14;
inline constexpr std::uint32_t mono_magic = 15;
inline constexpr std::uint32_t image_system = 16;
inline constexpr std::uint32_t interpaint = 17;
inline constexpr std::uint32_t hi_eddi = 18;
inline constexpr std::uint32_t art_studio = 19;
inline constexpr std::uint32_t paint_magic = 20;
inline constexpr std::uint32_t picasso = 21;
inline constexpr std::uint32_t rainbow = 22;
inline constexpr std::uint32_t run_paint = 23;
inline constexpr std::uint32_t saracen = 24;
inline constexpr std::uint32_t blazing = 25;
inline constexpr std::uint32_t micro = 26;
inline constexpr std::uint32_t cdu = 27;
inline constexpr std::uint32_t artist = 28;
inline constexpr std::uint32_t vidcom = 29;
inline constexpr std::uint32_t image_system_mc = 30;
inline constexpr std::uint32_t face_paint = 31;
inline constexpr std::uint32_t cheese = 32;
inline constexpr std::uint32_t garfield = 33;
inline constexpr std::uint32_t dolphin_ed = 34;
inline constexpr std::uint32_t gigapaint_mc = 35;
inline constexpr std::uint32_t interpaint_mc = 36;
inline constexpr std::uint32_t doodle_packed = 37;
inline constexpr std::uint32_t draz_packed = 38;
inline constexpr std::uint32_t amica_paint = 39;
inline constexpr std::uint32_t amica_packed = 40;
inline constexpr std::uint32_t geo_paint = 41;
inline constexpr std::uint32_t geo_photo_album = 42;
inline constexpr std::uint32_t geo_photo_scrap = 43;
inline constexpr std::uint32_t geo_write = 44;
inline constexpr std::uint32_t godot = 49;
inline constexpr std::uint32_t loadstar_hi_packed = 50;
inline constexpr std::uint32_t loadstar_mc_packed = 51;
inline constexpr std::uint32_t loadstar_hi = 52;
inline constexpr std::uint32_t loadstar_mc = 53;

}  // namespace platter::paint_type
