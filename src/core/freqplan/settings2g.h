#pragma once
// The 2G settings kept in mu/2G.ini, section "Config".

#include <filesystem>
#include <string>

namespace brindle {

struct Settings2G {
    std::string startArfcn;     // 开始频点
    std::string bcchGroupId;    // BCCH组标识
    std::string bandIndicator;  // GSM_dcs1800
    std::string geranVersion;   // GERAN系统版本信息
    std::string lacIndicator;   // 位置区域码配置指示

    bool operator==(const Settings2G&) const = default;
};

// Reads the five settings from the 2G settings file into `into`, replacing
// every field: a missing file or key leaves that field empty rather than
// keeping what an earlier load put there.
void loadSettings2G(const std::filesystem::path& ini2G, Settings2G& into);

}  // namespace brindle
