#include "core/mml/carrier.h"

#include <algorithm>
#include <array>
#include <map>

#include "core/base/namelist.h"
#include "core/freqplan/frequencyplan.h"
#include "core/library/lookup.h"
#include "core/mml/templates.h"

namespace brindle::mml {

namespace {

inline constexpr std::string_view kAreaQuestion = "是为城区，否为农村";
inline constexpr std::string_view kAreaTitle = "城区 OR 农村";
inline constexpr std::string_view kUrban = "城区";
inline constexpr std::string_view kRural = "农村";
inline constexpr std::string_view kReducedQuestion = "是否对加频点测量性能要求设置为降低的？";
inline constexpr std::string_view kReducedTitle = "加频点测量性能要求 降低的";
inline constexpr std::string_view kSuccess = "添加频点脚本生成成功！！";

// The carrier lists a family row names: one band, or F1, F2 and FDD1800
// joined in that order.
enum class TargetList { E, AD, F1, F2, FDD1800, FDD900, CombinedF };
enum class Area { Both, Urban, Rural };

struct FamilyRow {
    ServingGroup serving;
    TargetList target;
    Area area;
    std::string_view prefix;
};

// For a serving class the rows are tried in this order.
constexpr std::array<FamilyRow, 24> kFamilyRows = {{
    {ServingGroup::E, TargetList::E, Area::Both, "E-E"},
    {ServingGroup::E, TargetList::AD, Area::Both, "E_A_D_"},
    {ServingGroup::E, TargetList::CombinedF, Area::Both, "E_FDD1800_F_"},
    {ServingGroup::E, TargetList::FDD900, Area::Both, "E_FDD900_"},
    {ServingGroup::AD, TargetList::E, Area::Both, "A_D_E_"},
    {ServingGroup::AD, TargetList::AD, Area::Both, "A_D_A_D_"},
    {ServingGroup::AD, TargetList::F1, Area::Urban, "A_D_F1_CQ"},
    {ServingGroup::AD, TargetList::F2, Area::Urban, "A_D_F2_CQ"},
    {ServingGroup::AD, TargetList::FDD1800, Area::Urban, "A_D_FDD1800_CQ"},
    {ServingGroup::AD, TargetList::FDD900, Area::Urban, "A_D_FDD900_CQ"},
    {ServingGroup::AD, TargetList::CombinedF, Area::Rural, "F1_F2_FDD1800_NC"},
    {ServingGroup::AD, TargetList::FDD900, Area::Rural, "A_D_FDD900_NC"},
    {ServingGroup::F, TargetList::E, Area::Both, "F_E_"},
    {ServingGroup::F, TargetList::AD, Area::Both, "F_A_D_"},
    {ServingGroup::F, TargetList::CombinedF, Area::Both, "F_F_"},
    {ServingGroup::F, TargetList::FDD900, Area::Urban, "F_FDD900_CQ"},
    {ServingGroup::F, TargetList::FDD900, Area::Rural, "F_FDD900_NC"},
    {ServingGroup::FDD900, TargetList::E, Area::Both, "FDD900_E_"},
    {ServingGroup::FDD900, TargetList::AD, Area::Both, "FDD900_A_D_"},
    {ServingGroup::FDD900, TargetList::FDD900, Area::Both, "FDD900_FDD900_"},
    {ServingGroup::FDD900, TargetList::F1, Area::Urban, "FDD900_F1_CQ"},
    {ServingGroup::FDD900, TargetList::F2, Area::Urban, "FDD900_F2_CQ"},
    {ServingGroup::FDD900, TargetList::FDD1800, Area::Urban, "FDD900_FDD1800_CQ"},
    {ServingGroup::FDD900, TargetList::CombinedF, Area::Rural, "FDD900_F_NC"},
}};

// The six band lists of one state of the file.
struct BandLists {
    std::vector<std::string> e, ad, f1, f2, fdd1800, fdd900, combinedF;

    BandLists() = default;
    explicit BandLists(const ProfileFile& plan)
        : e(bandList(plan, Band::E)),
          ad(bandList(plan, Band::AD)),
          f1(bandList(plan, Band::F1)),
          f2(bandList(plan, Band::F2)),
          fdd1800(bandList(plan, Band::FDD1800)),
          fdd900(bandList(plan, Band::FDD900)) {
        combinedF = f1;
        combinedF.insert(combinedF.end(), f2.begin(), f2.end());
        combinedF.insert(combinedF.end(), fdd1800.begin(), fdd1800.end());
    }

    const std::vector<std::string>& of(TargetList list) const {
        switch (list) {
            case TargetList::E:
                return e;
            case TargetList::AD:
                return ad;
            case TargetList::F1:
                return f1;
            case TargetList::F2:
                return f2;
            case TargetList::FDD1800:
                return fdd1800;
            case TargetList::FDD900:
                return fdd900;
            case TargetList::CombinedF:
                break;
        }
        return combinedF;
    }
};

// The list that decides membership of a serving class.
TargetList listOf(ServingGroup serving) {
    switch (serving) {
        case ServingGroup::E:
            return TargetList::E;
        case ServingGroup::AD:
            return TargetList::AD;
        case ServingGroup::F:
            return TargetList::CombinedF;
        case ServingGroup::FDD900:
            break;
    }
    return TargetList::FDD900;
}

// An EARFCN standing twice in a list counts twice.
std::size_t occurrences(const std::vector<std::string>& list, const std::string& earfcn) {
    return static_cast<std::size_t>(std::count(list.begin(), list.end(), earfcn));
}

struct CarrierRun {
    CarrierRun(Session& s, const PageInput& in, ScriptSink& out, Feedback& fb)
        : session(s), input(in), pane(out), feedback(fb), plan(s.folder.earfcnIni()) {}

    Session& session;
    const PageInput& input;
    ScriptSink& pane;
    Feedback& feedback;
    FrequencyPlan plan;
    bool urban = true;
    std::string_view suffix;

    // The file as it was at the start of the current pair, and what was read
    // from it. Each pair looks at the file afresh; reading it again is only
    // needed when it changed.
    std::shared_ptr<const ProfileFile> state;
    BandLists lists;
    std::map<std::string_view, FamilyValues> families;

    void refresh() {
        auto now = plan.snapshot();
        if (now == state) return;
        state = std::move(now);
        lists = BandLists(*state);
        families.clear();
    }

    const FamilyValues& family(std::string_view prefix) {
        auto it = families.find(prefix);
        if (it == families.end())
            it =
                families.emplace(prefix, familyValues(*state, *plankeys::findFamily(prefix))).first;
        return it->second;
    }

    bool applies(Area area) const { return area == Area::Both || (area == Area::Urban) == urban; }

    void put(const Cell4G& owner, const Cell4G& carrier, std::string_view prefix) {
        if (sameEarfcn(owner, carrier)) return;
        const std::string line = addCarrierLine(owner, carrier, family(prefix), suffix);
        if (input.directOutput())
            session.carrierBuffer += line;
        else
            pane.append(line);
    }

    // One pass: every receiving cell of `receivers` gets the carriers of the
    // cell on the same line of `others`. The forward pass receives on the
    // sources, the reverse pass on the targets.
    void pass(const std::vector<std::string>& receivers, const std::vector<std::string>& others) {
        const long total = static_cast<long>(receivers.size());
        feedback.progress(0, total);
        for (std::size_t i = 0; i < receivers.size(); ++i) {
            pair(receivers, others, i);
            feedback.progress(static_cast<long>(i) + 1, total);
            feedback.pumpEvents();
        }
    }

    void pair(const std::vector<std::string>& receivers, const std::vector<std::string>& others,
              std::size_t i) {
        refresh();
        const auto owner = lookup4G(session.library4G.get(), receivers[i], feedback);
        if (!owner) return;
        for (ServingGroup serving :
             {ServingGroup::E, ServingGroup::AD, ServingGroup::F, ServingGroup::FDD900}) {
            for (std::size_t n = occurrences(lists.of(listOf(serving)), owner->频点); n > 0; --n) {
                // The other cell is looked up only once the receiver's carrier is listed.
                const auto other = i < others.size()
                                       ? lookup4G(session.library4G.get(), others[i], feedback)
                                       : (reportMissingCell(feedback, {}), std::nullopt);
                feedback.pumpEvents();
                if (!other) return;
                for (const auto& row : kFamilyRows) {
                    if (row.serving != serving || !applies(row.area)) continue;
                    for (std::size_t m = occurrences(lists.of(row.target), other->频点); m > 0; --m)
                        put(*owner, *other, row.prefix);
                }
            }
        }
    }
};

}  // namespace

void runCarrierAdd(Session& session, const PageInput& input, ScriptSink& pane, Feedback& feedback) {
    CarrierRun run(session, input, pane, feedback);
    run.urban = feedback.askYesNo(kAreaQuestion, kAreaTitle);
    feedback.message(run.urban ? kUrban : kRural);
    run.suffix = feedback.askYesNo(kReducedQuestion, kReducedTitle) ? kReducedMeasPerformance : "";

    const auto sources = nameList(input.sourceText);
    const auto targets = nameList(input.targetText);
    run.pass(sources, targets);
    if (input.twoWay()) run.pass(targets, sources);
    feedback.message(kSuccess);
    saveDirectOutput(session.carrierBuffer, input.directOutput(), feedback);
}

}  // namespace brindle::mml
