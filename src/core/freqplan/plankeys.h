#pragma once
// Every section and key name of the frequency plan files (EARFCN.ini and
// 2G.ini), kept in one place. The names are the ones the engineers' existing
// files use, irregular spellings included: a "corrected" name would read as
// empty from every file already in the field.

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace brindle {

// The carrier lists of EARFCN.ini, one per band.
enum class Band { E, AD, FDD1800, FDD900, F1, F2, G5 };

// The serving band a band-pair family belongs to; F stands for the shared
// FDD1800/F1/F2 group.
enum class ServingGroup { E, AD, F, FDD900 };

// One band-pair family: the reselection and handover values used from a
// serving band towards a neighbour band. The five key names are stored whole
// because they do not all follow prefix + suffix (see the E->E family).
struct Family {
    ServingGroup serving;
    std::string_view prefix;
    std::string_view column;  // column label in the plan editor
    std::string_view section;
    std::string_view reselPriorityKey;
    std::string_view threshHighKey;
    std::string_view threshLowKey;
    std::string_view hoEventKey;
    std::string_view connOffsetKey;
};

namespace plankeys {

inline constexpr std::string_view kOtherSection = "其它项";
inline constexpr std::string_view kMinRxLevelKey = "最低接收电平";

struct ListKey {
    std::string_view section;
    std::string_view key;
};

inline constexpr ListKey kBandE{"E频段频点配置", "E频段频点"};
inline constexpr ListKey kBandAD{"A-D频段频点配置", "A-D频段频点"};
// The key really is "FDD180..." while the section says "FDD1800...".
inline constexpr ListKey kBandFDD1800{"FDD1800频段频点配置", "FDD180频段频点"};
inline constexpr ListKey kBandFDD900{"FDD900频段频点配置", "FDD900频段频点"};
inline constexpr ListKey kBandF1{"F1频段频点配置", "F1频段频点"};
inline constexpr ListKey kBandF2{"F2频段频点配置", "F2频段频点"};
inline constexpr ListKey kBand5G{"5G频段频点配置", "5G频段频点"};

// Carriers inside a band list are separated by this.
inline constexpr std::string_view kListSeparator = "|";

// Every Band has one; a value outside the enumeration is a programming error
// and throws std::out_of_range, which the program's boundaries report.
const ListKey& bandListKey(Band band);

// Family section = prefix + kFamilySectionSuffix; key = prefix + key suffix
// (except where a family's table entry says otherwise).
inline constexpr std::string_view kFamilySectionSuffix = "频段频点配置";
inline constexpr std::string_view kReselPrioritySuffix = "异频频点重先优先级";
inline constexpr std::string_view kThreshHighSuffix = "异频频点高优先级重选门限";
inline constexpr std::string_view kThreshLowSuffix = "异频频点低优先级重选门限";
inline constexpr std::string_view kHoEventSuffix = "异频切换事件";
inline constexpr std::string_view kConnOffsetSuffix = "连接态频率偏置";

inline constexpr std::size_t kFamilyCount = 24;

// A family whose names all follow prefix + suffix. Adjacent literals are
// joined by the compiler, so every family below still holds its full names.
#define BRINDLE_REGULAR_FAMILY(group, prefix, column)                                            \
    Family {                                                                                     \
        ServingGroup::group, prefix, column, prefix "频段频点配置", prefix "异频频点重先优先级", \
            prefix "异频频点高优先级重选门限", prefix "异频频点低优先级重选门限",                \
            prefix "异频切换事件", prefix "连接态频率偏置"                                \
    }

// The 24 families by name: the name is the family's prefix without its
// trailing underscore.
namespace family {
// E -> E is spelled two ways in the files in the field: a hyphen in the
// section and the first two keys, underscores in the last three.
inline constexpr Family E_E{ServingGroup::E,
                            "E-E",
                            "E",
                            "E-E频段频点配置",
                            "E-E异频频点重先优先级",
                            "E-E异频频点高优先级重选门限",
                            "E_E_异频频点低优先级重选门限",
                            "E_E_异频切换事件",
                            "E_E_连接态频率偏置"};
inline constexpr Family E_A_D = BRINDLE_REGULAR_FAMILY(E, "E_A_D_", "A-D");
inline constexpr Family E_FDD1800_F = BRINDLE_REGULAR_FAMILY(E, "E_FDD1800_F_", "FDD1800/F");
inline constexpr Family E_FDD900 = BRINDLE_REGULAR_FAMILY(E, "E_FDD900_", "FDD900");
inline constexpr Family A_D_E = BRINDLE_REGULAR_FAMILY(AD, "A_D_E_", "E");
inline constexpr Family A_D_A_D = BRINDLE_REGULAR_FAMILY(AD, "A_D_A_D_", "A-D");
inline constexpr Family A_D_F1_CQ = BRINDLE_REGULAR_FAMILY(AD, "A_D_F1_CQ", "城区F1");
inline constexpr Family A_D_F2_CQ = BRINDLE_REGULAR_FAMILY(AD, "A_D_F2_CQ", "城区F2");
inline constexpr Family A_D_FDD1800_CQ =
    BRINDLE_REGULAR_FAMILY(AD, "A_D_FDD1800_CQ", "城区FDD1800");
inline constexpr Family A_D_FDD900_CQ = BRINDLE_REGULAR_FAMILY(AD, "A_D_FDD900_CQ", "城区FDD900");
inline constexpr Family F1_F2_FDD1800_NC =
    BRINDLE_REGULAR_FAMILY(AD, "F1_F2_FDD1800_NC", "农村F1\\F2\\FDD1800");
inline constexpr Family A_D_FDD900_NC = BRINDLE_REGULAR_FAMILY(AD, "A_D_FDD900_NC", "农村FDD900");
inline constexpr Family F_E = BRINDLE_REGULAR_FAMILY(F, "F_E_", "E");
inline constexpr Family F_A_D = BRINDLE_REGULAR_FAMILY(F, "F_A_D_", "A-D");
inline constexpr Family F_F = BRINDLE_REGULAR_FAMILY(F, "F_F_", "FDD1800/F1/F2");
inline constexpr Family F_FDD900_CQ = BRINDLE_REGULAR_FAMILY(F, "F_FDD900_CQ", "城区FDD900");
inline constexpr Family F_FDD900_NC = BRINDLE_REGULAR_FAMILY(F, "F_FDD900_NC", "农村FDD900");
inline constexpr Family FDD900_E = BRINDLE_REGULAR_FAMILY(FDD900, "FDD900_E_", "E");
inline constexpr Family FDD900_A_D = BRINDLE_REGULAR_FAMILY(FDD900, "FDD900_A_D_", "A-D");
inline constexpr Family FDD900_F1_CQ = BRINDLE_REGULAR_FAMILY(FDD900, "FDD900_F1_CQ", "城区F1");
inline constexpr Family FDD900_F2_CQ = BRINDLE_REGULAR_FAMILY(FDD900, "FDD900_F2_CQ", "城区F2");
inline constexpr Family FDD900_FDD1800_CQ =
    BRINDLE_REGULAR_FAMILY(FDD900, "FDD900_FDD1800_CQ", "城区FDD1800");
inline constexpr Family FDD900_F_NC =
    BRINDLE_REGULAR_FAMILY(FDD900, "FDD900_F_NC", "农村F1\\F2\\FDD1800");
inline constexpr Family FDD900_FDD900 = BRINDLE_REGULAR_FAMILY(FDD900, "FDD900_FDD900_", "FDD900");
}  // namespace family

#undef BRINDLE_REGULAR_FAMILY

// The 24 families in editor order: grouped by serving band (E, A-D,
// FDD1800/F1/F2, FDD900), then by neighbour column; index 0 to 23.
const Family& familyAt(std::size_t index);

// The family with this prefix, or nullptr.
const Family* findFamily(std::string_view prefix);

// Frequency settings sections "频点1设置" ... "频点13设置".
inline constexpr int kFrequencySettingsCount = 13;
// Throws std::out_of_range unless 1 <= n <= kFrequencySettingsCount: the
// numbers come from the program, never from a file, so another is a
// programming error, reported by the program's boundaries.
std::string frequencySettingsSection(int n);
inline constexpr std::string_view kFsEarfcnKey = "频点";
inline constexpr std::string_view kFsPriorityKey = "优先级";
inline constexpr std::string_view kFsBandwidthKey = "测试带宽";
inline constexpr std::string_view kFsEventKey = "切换事件";

// 2G.ini, keys in the order they are loaded.
inline constexpr std::string_view k2GSection = "Config";
inline constexpr std::string_view k2GStartArfcnKey = "开始频点";
inline constexpr std::string_view k2GBcchGroupKey = "BCCH组标识";
inline constexpr std::string_view k2GBandIndicatorKey = "GSM_dcs1800";
inline constexpr std::string_view k2GGeranVersionKey = "GERAN系统版本信息";
inline constexpr std::string_view k2GLacIndicatorKey = "位置区域码配置指示";

}  // namespace plankeys
}  // namespace brindle
