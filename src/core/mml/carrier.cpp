#include "core/mml/carrier.h"

#include <algorithm>
#include <array>
#include <map>

#include "core/base/messages.h"
#include "core/base/namelist.h"
#include "core/base/platform.h"
#include "core/freqplan/frequencyplan.h"
#include "core/library/lookup.h"
#include "core/mml/templates.h"

namespace brindle::mml {

namespace {

// The carrier lists a family row names: one band, or F1, F2 and FDD1800
// joined in that order.
enum class TargetList { E, AD, F1, F2, FDD1800, FDD900, CombinedF };
enum class Area { Both, Urban, Rural };

struct FamilyRow {
    ServingGroup serving;
    TargetList target;
    Area area;
    const Family* family;
};

// For a serving class the rows are tried in this order.
constexpr std::array<FamilyRow, 24> kFamilyRows = {{
    {ServingGroup::E, TargetList::E, Area::Both, &plankeys::family::E_E},
    {ServingGroup::E, TargetList::AD, Area::Both, &plankeys::family::E_A_D},
    {ServingGroup::E, TargetList::CombinedF, Area::Both, &plankeys::family::E_FDD1800_F},
    {ServingGroup::E, TargetList::FDD900, Area::Both, &plankeys::family::E_FDD900},
    {ServingGroup::AD, TargetList::E, Area::Both, &plankeys::family::A_D_E},
    {ServingGroup::AD, TargetList::AD, Area::Both, &plankeys::family::A_D_A_D},
    {ServingGroup::AD, TargetList::F1, Area::Urban, &plankeys::family::A_D_F1_CQ},
    {ServingGroup::AD, TargetList::F2, Area::Urban, &plankeys::family::A_D_F2_CQ},
    {ServingGroup::AD, TargetList::FDD1800, Area::Urban, &plankeys::family::A_D_FDD1800_CQ},
    {ServingGroup::AD, TargetList::FDD900, Area::Urban, &plankeys::family::A_D_FDD900_CQ},
    {ServingGroup::AD, TargetList::CombinedF, Area::Rural, &plankeys::family::F1_F2_FDD1800_NC},
    {ServingGroup::AD, TargetList::FDD900, Area::Rural, &plankeys::family::A_D_FDD900_NC},
    {ServingGroup::F, TargetList::E, Area::Both, &plankeys::family::F_E},
    {ServingGroup::F, TargetList::AD, Area::Both, &plankeys::family::F_A_D},
    {ServingGroup::F, TargetList::CombinedF, Area::Both, &plankeys::family::F_F},
    {ServingGroup::F, TargetList::FDD900, Area::Urban, &plankeys::family::F_FDD900_CQ},
    {ServingGroup::F, TargetList::FDD900, Area::Rural, &plankeys::family::F_FDD900_NC},
    {ServingGroup::FDD900, TargetList::E, Area::Both, &plankeys::family::FDD900_E},
    {ServingGroup::FDD900, TargetList::AD, Area::Both, &plankeys::family::FDD900_A_D},
    {ServingGroup::FDD900, TargetList::FDD900, Area::Both, &plankeys::family::FDD900_FDD900},
    {ServingGroup::FDD900, TargetList::F1, Area::Urban, &plankeys::family::FDD900_F1_CQ},
    {ServingGroup::FDD900, TargetList::F2, Area::Urban, &plankeys::family::FDD900_F2_CQ},
    {ServingGroup::FDD900, TargetList::FDD1800, Area::Urban, &plankeys::family::FDD900_FDD1800_CQ},
    {ServingGroup::FDD900, TargetList::CombinedF, Area::Rural, &plankeys::family::FDD900_F_NC},
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
std::size_t occurrences(const std::vector<std::string>& list, std::string_view earfcn) {
    return static_cast<std::size_t>(std::count(list.begin(), list.end(), earfcn));
}

struct CarrierRun {
    CarrierRun(const RunContext& c, const PageInput& in)
        : context(c),
          input(in),
          feedback(c.feedback),
          urban(c.answer(Question::UrbanArea)),
          suffix(c.answer(Question::ReducedMeasurement) ? kReducedMeasPerformance : "") {}

    const RunContext& context;
    const PageInput& input;
    Feedback& feedback;
    const bool urban;
    const std::string_view suffix;

    // The file as it was at the start of the current pair, and what was read
    // from it. Each pair looks at the file afresh; reading it again is only
    // needed when it changed.
    std::shared_ptr<const ProfileFile> state;
    BandLists lists;
    std::map<const Family*, FamilyValues> families;

    void refresh() {
        auto now = context.plan ? context.plan->snapshot()
                                : std::make_shared<const ProfileFile>(ProfileFile::Source::Missing);
        if (now == state) return;
        state = std::move(now);
        lists = BandLists(*state);
        families.clear();
    }

    const FamilyValues& values(const Family* family) {
        auto it = families.find(family);
        if (it == families.end())
            it = families.emplace(family, familyValues(*state, *family)).first;
        return it->second;
    }

    bool applies(Area area) const { return area == Area::Both || (area == Area::Urban) == urban; }

    void put(const Cell4G& owner, const Cell4G& carrier, const Family* family) {
        if (sameEarfcn(owner, carrier)) return;
        send(context, input, addCarrierLine(owner, carrier, values(family), suffix));
    }

    // One pass: every receiving cell of `receivers` gets the carriers of the
    // cell on the same line of `others`. The forward pass receives on the
    // sources, the reverse pass on the targets. False when the engineer
    // stopped it, between two receivers.
    bool pass(const std::vector<std::string>& receivers, const std::vector<std::string>& others) {
        const long total = static_cast<long>(receivers.size());
        feedback.progress(0, total);
        for (std::size_t i = 0; i < receivers.size(); ++i) {
            if (feedback.stopRequested()) return false;
            pair(receivers, others, i);
            feedback.progress(static_cast<long>(i) + 1, total);
        }
        return true;
    }

    void pair(const std::vector<std::string>& receivers, const std::vector<std::string>& others,
              std::size_t i) {
        refresh();
        const auto owner = lookupCell<Cell4G>(context, receivers[i], MissPolicy::SkipPair);
        if (!owner) return;
        for (ServingGroup serving :
             {ServingGroup::E, ServingGroup::AD, ServingGroup::F, ServingGroup::FDD900}) {
            for (std::size_t n = occurrences(lists.of(listOf(serving)), owner->频点); n > 0; --n) {
                // The other cell is looked up only once the receiver's carrier is listed.
                const auto other =
                    i < others.size()
                        ? lookupCell<Cell4G>(context, others[i], MissPolicy::SkipPair)
                        : (reportMiss(context, {}, MissPolicy::SkipPair), std::nullopt);
                if (!other) return;
                for (const auto& row : kFamilyRows) {
                    if (row.serving != serving || !applies(row.area)) continue;
                    for (std::size_t m = occurrences(lists.of(row.target), other->频点); m > 0; --m)
                        put(*owner, *other, row.family);
                }
            }
        }
    }
};

// A plan that reads as empty or garbled makes a run with few or no lines;
// the engineer is told once, before the loop, why.
void warnAboutPlan(const RunContext& context) {
    if (!context.plan) return;
    const std::string_view head = planProblem(context.plan->source());
    if (head.empty()) return;
    context.feedback.message(std::string(head) + platform::utf8Name(context.plan->path()), {},
                             Icon::Warning);
}

}  // namespace

bool runCarrierAdd(const RunContext& context, const PageInput& input) {
    warnAboutPlan(context);
    CarrierRun run(context, input);
    const auto sources = nameList(input.sourceText);
    const auto targets = nameList(input.targetText);
    // A stopped forward pass has no reverse pass.
    if (!run.pass(sources, targets)) return false;
    return !input.twoWayTicked() || run.pass(targets, sources);
}

}  // namespace brindle::mml
