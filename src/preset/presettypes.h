#pragma once

#include <array>
#include <cstdint>
#include <type_traits>

// Record layouts shared with the receiver's firmware. Bytes the program does not interpret are kept as
// opaque arrays so that a load followed by a save carries them unchanged.

inline constexpr int NUM_ME_LNB = 64;
inline constexpr int NUM_ME_SAT = 64;
inline constexpr int NUM_ME_TP = 512;
inline constexpr int kSatNameSize = 14;

enum FecCode : std::uint8_t { Fec1_2 = 0, Fec2_3 = 1, Fec3_4 = 2, Fec5_6 = 3, Fec7_8 = 4, Auto = 5 };
enum PolarCode : std::uint8_t { POL_Auto = 0, POL_Horizontal = 1, POL_Vertical = 2 };

struct pre_lnb_t {
    std::uint16_t lnb_freq1;
    std::uint16_t lnb_freq2;
    std::uint8_t lnb_type;
    std::array<std::uint8_t, 4> settings;
    std::array<std::uint8_t, 3> padding;
};

struct pre_sat_t {
    // lnb_num, four skews and position, in the receiver's own layout
    std::array<std::uint8_t, 8> settings;
    std::array<char, kSatNameSize> name;
};

struct pre_tp_t {
    std::uint16_t freq;
    std::uint16_t symbol;
    std::uint8_t sat_num;
    std::uint8_t fec;
    std::uint8_t polar;
    std::uint8_t padding;
};

struct data_header_t {
    std::array<char, 80> title;
    std::uint32_t num_lnb;
    std::uint32_t num_sat;
    std::uint32_t num_tp;
    std::uint32_t num_dchan;
    std::uint32_t num_achan;
};

static_assert(sizeof(pre_lnb_t) == 12 && std::is_trivially_copyable_v<pre_lnb_t>);
static_assert(sizeof(pre_sat_t) == 22 && std::is_trivially_copyable_v<pre_sat_t>);
static_assert(sizeof(pre_tp_t) == 8 && std::is_trivially_copyable_v<pre_tp_t>);
static_assert(sizeof(data_header_t) == 100 && std::is_trivially_copyable_v<data_header_t>);

using LnbTable = std::array<pre_lnb_t, NUM_ME_LNB>;
using SatTable = std::array<pre_sat_t, NUM_ME_SAT>;
using TpTable = std::array<pre_tp_t, NUM_ME_TP>;
// A list of one satellite's transponders has room for the whole table.
using TpList = TpTable;
