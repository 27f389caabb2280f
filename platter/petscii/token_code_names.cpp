#include "platter/petscii/token_table.hpp"

#include <array>

namespace platter {

namespace {

// PETSCII code -> the name shown for it.
// clang-format off
constexpr std::array<std::string_view, 256> kCodeNames = {
    "null", "ct a", "ct b", "stop", "ct d", "white", "ct f", "ct g",  // 00
    "disable sh cm", "enable sh cm", "ct j", "ct k", "ct l", "return", "lower case", "ct o",  // 08
    "ct p", "down", "rvs on", "home", "del", "ct u", "ct v", "ct w",  // 10
    "ct x", "ct y", "ct z", "ct :", "red", "right", "green", "blue",  // 18
    "space", "!", "\"", "#", "$", "%", "&", "'",  // 20
    "(", ")", "*", "+", ",", "-", ".", "/",  // 28
    "0", "1", "2", "3", "4", "5", "6", "7",  // 30
    "8", "9", ":", ";", "<", "=", ">", "?",  // 38
    "@", "a", "b", "c", "d", "e", "f", "g",  // 40
    "h", "i", "j", "k", "l", "m", "n", "o",  // 48
    "p", "q", "r", "s", "t", "u", "v", "w",  // 50
    "x", "y", "z", "[", "pound", "]", "arrow up", "arrow left",  // 58
    "096", "097", "098", "099", "100", "101", "102", "103",  // 60
    "104", "105", "106", "107", "108", "109", "110", "111",  // 68
    "112", "113", "114", "115", "116", "117", "118", "119",  // 70
    "120", "121", "122", "123", "124", "125", "126", "127",  // 78
    "128", "orange", "130", "run", "132", "f1", "f3", "f5",  // 80
    "f7", "f2", "f4", "f6", "f8", "sh return", "upper case", "143",  // 88
    "black", "up", "rvs off", "clr", "inst", "brown", "light red", "dark gray",  // 90
    "medium gray", "light green", "light blue", "light gray", "purple", "left", "yellow", "cyan",  // 98
    "sh space", "cm k", "cm i", "cm t", "cm @", "cm g", "cm +", "cm m",  // A0
    "cm pound", "sh pound", "cm n", "cm q", "cm d", "cm z", "cm s", "cm p",  // A8
    "cm a", "cm e", "cm r", "cm w", "cm h", "cm j", "cm l", "cm y",  // B0
    "cm u", "cm o", "sh @", "cm f", "cm c", "cm x", "cm v", "cm b",  // B8
    "sh *", "A", "B", "C", "D", "E", "F", "G",  // C0
    "H", "I", "J", "K", "L", "M", "N", "O",  // C8
    "P", "Q", "R", "S", "T", "U", "V", "W",  // D0
    "X", "Y", "Z", "sh +", "cm -", "sh -", "", "cm *",  // D8
    "224", "225", "226", "227", "228", "229", "230", "231",  // E0
    "232", "233", "234", "235", "236", "237", "238", "239",  // E8
    "240", "241", "242", "243", "244", "245", "246", "247",  // F0
    "248", "249", "250", "251", "252", "253", "254", "pi",  // F8
};
// clang-format on

}  // namespace

std::string_view tokenName(std::uint8_t code) { return kCodeNames[code]; }

}  // namespace platter
