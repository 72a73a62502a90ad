#include "core/freqplan/plankeys.h"

#include <stdexcept>

namespace brindle::plankeys {
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

namespace {

// Editor order: grouped by serving band (E, A-D, FDD1800/F1/F2, FDD900),
// then by neighbour column.
constexpr std::array<const Family*, kFamilyCount> kFamilies = {
    &family::E_E,
    &family::E_A_D,
    &family::E_FDD1800_F,
    &family::E_FDD900,
    &family::A_D_E,
    &family::A_D_A_D,
    &family::A_D_F1_CQ,
    &family::A_D_F2_CQ,
    &family::A_D_FDD1800_CQ,
    &family::A_D_FDD900_CQ,
    &family::F1_F2_FDD1800_NC,
    &family::A_D_FDD900_NC,
    &family::F_E,
    &family::F_A_D,
    &family::F_F,
    &family::F_FDD900_CQ,
    &family::F_FDD900_NC,
    &family::FDD900_E,
    &family::FDD900_A_D,
    &family::FDD900_F1_CQ,
    &family::FDD900_F2_CQ,
    &family::FDD900_FDD1800_CQ,
    &family::FDD900_F_NC,
    &family::FDD900_FDD900,
};

}  // namespace

const Family& familyAt(std::size_t index) {
    return *kFamilies.at(index);
}

const Family* findFamily(std::string_view prefix) {
    for (const Family* f : kFamilies)
        if (f->prefix == prefix) return f;
    return nullptr;
}

std::string frequencySettingsSection(int n) {
    if (n < 1 || n > kFrequencySettingsCount)
        throw std::out_of_range("frequency settings number out of range: " + std::to_string(n));
    return "频点" + std::to_string(n) + "设置";
}

}  // namespace brindle::plankeys
