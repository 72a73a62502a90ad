#include "core/freqplan/planform.h"

#include <optional>

#include "core/base/messages.h"
#include "core/freqplan/profile.h"

namespace brindle::planform {

namespace {

// The E->E boxes are named with this prefix in every row, although the first
// two keys they edit spell it "E-E".
constexpr std::string_view kEEBoxPrefix = "E_E_";

BoundBox bound(const SingleBox& single) {
    return {std::string(single.box), single.key.section, single.key.key};
}

const SingleBox& bandBox(Band band) {
    const plankeys::ListKey& key = plankeys::bandListKey(band);
    for (const SingleBox& b : kBandBoxes)
        if (b.key.section == key.section && b.key.key == key.key) return b;
    return kBandBoxes.front();  // every band has its box
}

std::vector<BoundBox> familyBoxes(const Family& family) {
    std::vector<BoundBox> out;
    const auto keys = familyKeys(family);
    for (std::size_t row = 0; row < keys.size(); ++row)
        out.push_back({gridBoxName(family, row), family.section, keys[row]});
    return out;
}

// Writes every box of the group, with the texts read for it; the first
// failure's reason, if any.
std::optional<std::string> writeGroup(const std::filesystem::path& file,
                                      const std::vector<BoundBox>& group,
                                      const std::vector<std::string>& texts) {
    std::optional<std::string> failure;
    for (std::size_t i = 0; i < group.size(); ++i)
        if (const Status written = writeProfile(file, group[i].section, group[i].key, texts[i]);
            !written && !failure)
            failure = written.error();
    return failure;
}

// Every group is written, whatever failed before it; a failure is told once,
// after the last write, with the first reason, and then nothing claims
// success: one box per failed key told the engineer nothing more, and a
// closing success after them was untrue. Every box is read before the first
// write, so a box the window lacks (textOf throws) leaves the file as it was.
bool saveGroups(const std::filesystem::path& file, const std::vector<std::vector<BoundBox>>& groups,
                const TextOf& textOf, std::string_view saved, Feedback& feedback) {
    std::vector<std::vector<std::string>> texts;
    for (const auto& group : groups) {
        texts.emplace_back();
        for (const BoundBox& b : group) texts.back().push_back(textOf(b.box));
    }
    std::optional<std::string> failure;
    for (std::size_t g = 0; g < groups.size(); ++g)
        if (auto failed = writeGroup(file, groups[g], texts[g]); failed && !failure)
            failure = std::move(failed);
    if (failure) {
        feedback.message(std::string(msg::kSettingWriteFailed) + "：" + *failure, {},
                         Icon::Warning);
        return false;
    }
    feedback.message(saved);
    return true;
}

}  // namespace

std::string_view tabCaption(ServingGroup group) {
    switch (group) {
        case ServingGroup::E:
            return "E频段";
        case ServingGroup::AD:
            return "A-D频段";
        case ServingGroup::F:
            return "FDD1800/F1/F2频段";
        case ServingGroup::FDD900:
            return "FDD900";
    }
    return {};
}

std::array<std::string_view, 5> familyKeys(const Family& f) {
    return {f.reselPriorityKey, f.threshHighKey, f.threshLowKey, f.hoEventKey, f.connOffsetKey};
}

std::string gridBoxName(const Family& family, std::size_t row) {
    if (family.prefix == plankeys::family::E_E.prefix)
        return std::string(kEEBoxPrefix) + std::string(kRowLabels.at(row));
    return std::string(familyKeys(family).at(row));
}

std::vector<const Family*> familiesOf(ServingGroup group) {
    std::vector<const Family*> out;
    for (std::size_t i = 0; i < plankeys::kFamilyCount; ++i)
        if (plankeys::familyAt(i).serving == group) out.push_back(&plankeys::familyAt(i));
    return out;
}

std::vector<BoundBox> editorLoadOrder() {
    std::vector<BoundBox> out{bound(kMinRxLevelBox)};
    for (Band band : {Band::E, Band::AD, Band::FDD1800, Band::FDD900, Band::F1, Band::F2, Band::G5})
        out.push_back(bound(bandBox(band)));
    for (std::size_t i = 0; i < plankeys::kFamilyCount; ++i)
        for (BoundBox& b : familyBoxes(plankeys::familyAt(i))) out.push_back(std::move(b));
    return out;
}

std::vector<std::vector<BoundBox>> editorSaveGroups() {
    std::vector<std::vector<BoundBox>> out{{bound(kMinRxLevelBox)}};
    for (Band band : {Band::E, Band::AD, Band::F1, Band::F2, Band::FDD1800, Band::FDD900, Band::G5})
        out.push_back({bound(bandBox(band))});
    for (std::size_t i = 0; i < plankeys::kFamilyCount; ++i)
        out.push_back(familyBoxes(plankeys::familyAt(i)));
    return out;
}

std::vector<BoundBox> settings2GOrder() {
    std::vector<BoundBox> out;
    for (const Settings2GBox& b : kSettings2GBoxes)
        out.push_back({std::string(b.box), plankeys::k2GSection, b.key});
    return out;
}

BoxTexts load(const std::filesystem::path& file, const std::vector<BoundBox>& boxes,
              ProfileFile::Source* source) {
    const ProfileFile profile = ProfileFile::load(file);
    if (source) *source = profile.source();
    BoxTexts out;
    for (const BoundBox& b : boxes) out[b.box] = profile.value(b.section, b.key);
    return out;
}

bool saveEditor(const std::filesystem::path& earfcnIni, const TextOf& textOf, Feedback& feedback) {
    return saveGroups(earfcnIni, editorSaveGroups(), textOf, msg::kPlanSaved, feedback);
}

bool saveSettings2G(const std::filesystem::path& ini2G, const TextOf& textOf, Feedback& feedback) {
    std::vector<std::vector<BoundBox>> groups;
    for (BoundBox& b : settings2GOrder()) groups.push_back({std::move(b)});
    return saveGroups(ini2G, groups, textOf, msg::kSettings2GSaved, feedback);
}

}  // namespace brindle::planform
