#include "core/freqplan/plankeys.h"

#include <stdexcept>

namespace brindle::plankeys {
namespace {

// A family whose names all follow prefix + suffix. Adjacent literals are
// joined by the compiler, so every entry below still holds its full names.
#define BRINDLE_REGULAR_FAMILY(group, prefix, column)                                            \
    Family {                                                                                     \
        ServingGroup::group, prefix, column, prefix "频段频点配置", prefix "异频频点重先优先级", \
            prefix "异频频点高优先级重选门限", prefix "异频频点低优先级重选门限",                \
            prefix "异频切换事件", prefix "连接态频率偏置"                                \
    }

constexpr std::array<Family, kFamilyCount> kFamilies{{
    // E -> E is spelled two ways in the files in the field: a hyphen in the
    // section and the first two keys, underscores in the last three.
    Family{ServingGroup::E, "E-E", "E", "E-E频段频点配置", "E-E异频频点重先优先级",
           "E-E异频频点高优先级重选门限", "E_E_异频频点低优先级重选门限", "E_E_异频切换事件",
           "E_E_连接态频率偏置"},
    BRINDLE_REGULAR_FAMILY(E, "E_A_D_", "A-D"),
    BRINDLE_REGULAR_FAMILY(E, "E_FDD1800_F_", "FDD1800/F"),
    BRINDLE_REGULAR_FAMILY(E, "E_FDD900_", "FDD900"),

    BRINDLE_REGULAR_FAMILY(AD, "A_D_E_", "E"),
    BRINDLE_REGULAR_FAMILY(AD, "A_D_A_D_", "A-D"),
    BRINDLE_REGULAR_FAMILY(AD, "A_D_F1_CQ", "城区F1"),
    BRINDLE_REGULAR_FAMILY(AD, "A_D_F2_CQ", "城区F2"),
    BRINDLE_REGULAR_FAMILY(AD, "A_D_FDD1800_CQ", "城区FDD1800"),
    BRINDLE_REGULAR_FAMILY(AD, "A_D_FDD900_CQ", "城区FDD900"),
    BRINDLE_REGULAR_FAMILY(AD, "F1_F2_FDD1800_NC", "农村F1\\F2\\FDD1800"),
    BRINDLE_REGULAR_FAMILY(AD, "A_D_FDD900_NC", "农村FDD900"),

    BRINDLE_REGULAR_FAMILY(F, "F_E_", "E"),
    BRINDLE_REGULAR_FAMILY(F, "F_A_D_", "A-D"),
    BRINDLE_REGULAR_FAMILY(F, "F_F_", "FDD1800/F1/F2"),
    BRINDLE_REGULAR_FAMILY(F, "F_FDD900_CQ", "城区FDD900"),
    BRINDLE_REGULAR_FAMILY(F, "F_FDD900_NC", "农村FDD900"),

    BRINDLE_REGULAR_FAMILY(FDD900, "FDD900_E_", "E"),
    BRINDLE_REGULAR_FAMILY(FDD900, "FDD900_A_D_", "A-D"),
    BRINDLE_REGULAR_FAMILY(FDD900, "FDD900_F1_CQ", "城区F1"),
    BRINDLE_REGULAR_FAMILY(FDD900, "FDD900_F2_CQ", "城区F2"),
    BRINDLE_REGULAR_FAMILY(FDD900, "FDD900_FDD1800_CQ", "城区FDD1800"),
    BRINDLE_REGULAR_FAMILY(FDD900, "FDD900_F_NC", "农村F1\\F2\\FDD1800"),
    BRINDLE_REGULAR_FAMILY(FDD900, "FDD900_FDD900_", "FDD900"),
}};

#undef BRINDLE_REGULAR_FAMILY

}  // namespace

const ListKey& bandListKey(Band band) {
    switch (band) {
        case Band::E:
            return kBandE;
        case Band::AD:
            return kBandAD;
        case Band::FDD1800:
            return kBandFDD1800;
        case Band::FDD900:
            return kBandFDD900;
        case Band::F1:
            return kBandF1;
        case Band::F2:
            return kBandF2;
        case Band::G5:
            return kBand5G;
    }
    throw std::out_of_range("unknown band");
}

std::span<const Family, kFamilyCount> families() {
    return kFamilies;
}

const Family* findFamily(std::string_view prefix) {
    for (const Family& f : kFamilies)
        if (f.prefix == prefix) return &f;
    return nullptr;
}

std::string frequencySettingsSection(int n) {
    if (n < 1 || n > kFrequencySettingsCount)
        throw std::out_of_range("frequency settings number out of range: " + std::to_string(n));
    return "频点" + std::to_string(n) + "设置";
}

}  // namespace brindle::plankeys
