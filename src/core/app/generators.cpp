#include "core/app/generators.h"

#include <stdexcept>

#include "core/base/messages.h"
#include "core/geran/templates.h"
#include "core/mml/carrier.h"
#include "core/mml/expansion.h"
#include "core/mml/loadbalancing.h"
#include "core/mml/templates.h"

namespace brindle {

namespace {

using mml::RunContext;

// A 4G×4G template that needs nothing but the two cells.
template <std::string (*Line)(const Cell4G&, const Cell4G&)>
std::string cells4G(const Cell4G& owner, const Cell4G& other, const RunContext&) {
    return Line(owner, other);
}

std::string addNeighbour(const Cell4G& owner, const Cell4G& other, const RunContext&) {
    return mml::neighbourLine("ADD", owner, other);
}
std::string modNeighbour(const Cell4G& owner, const Cell4G& other, const RunContext&) {
    return mml::neighbourLine("MOD", owner, other);
}

// A cell of the same eNodeB is never declared as an external cell by MOD.
bool sameENodeB(const Cell4G& source, const Cell4G& target) {
    return source.基站号 == target.基站号;
}

constexpr Question kCarrierQuestions[] = {Question::UrbanArea, Question::ReducedMeasurement};

// The GERAN templates take the 2G settings as they are in memory.
const Settings2G& settings(const RunContext& context) {
    static const Settings2G none;
    return context.settings2G ? *context.settings2G : none;
}
std::string geranGroupAdd(const Cell4G& s, const Cell2G&, const RunContext& c) {
    return geran::addFrequencyGroupLine(s, settings(c));
}
std::string geranGroupRmv(const Cell4G& s, const Cell2G&, const RunContext& c) {
    return geran::removeFrequencyGroupLine(s, settings(c));
}
std::string geranArfcnAdd(const Cell4G& s, const Cell2G& t, const RunContext& c) {
    return geran::addGroupArfcnLine(s, t, settings(c));
}
std::string geranArfcnRmv(const Cell4G& s, const Cell2G& t, const RunContext&) {
    return geran::removeGroupArfcnLine(s, t);
}
std::string geranExternalAdd(const Cell4G& s, const Cell2G& t, const RunContext& c) {
    return geran::externalCellLine("ADD", s, t, settings(c));
}
std::string geranExternalMod(const Cell4G& s, const Cell2G& t, const RunContext& c) {
    return geran::externalCellLine("MOD", s, t, settings(c));
}
std::string geranExternalRmv(const Cell4G& s, const Cell2G& t, const RunContext&) {
    return geran::removeExternalCellLine(s, t);
}
std::string geranNcellAdd(const Cell4G& s, const Cell2G& t, const RunContext&) {
    return geran::addNeighbourLine(s, t);
}
std::string geranNcellRmv(const Cell4G& s, const Cell2G& t, const RunContext&) {
    return geran::removeNeighbourLine(s, t, false);
}
std::string geranNcellRmvPlmn(const Cell4G& s, const Cell2G& t, const RunContext&) {
    return geran::removeNeighbourLine(s, t, true);
}

// The on/off page: one line per named cell, the power box's text as typed.
std::string activateCell(const Cell4G& cell, std::string_view) {
    return mml::activateCellLine(cell);
}
std::string deactivateCell(const Cell4G& cell, std::string_view) {
    return mml::deactivateCellLine(cell);
}
namespace units = mml::units;
constexpr std::string_view kNoCellNames = "基站名为空，不能生成！";
using List4G = SingleList<Cell4G>;
constexpr auto kList = Generator::Names::List;
// The page units each run reads.
constexpr const mml::PageUnit* kKeepUnits[] = {&units::kKeepOutput};
constexpr const mml::PageUnit* kPowerUnits[] = {&units::kKeepOutput, &units::kPower};
constexpr const mml::PageUnit* kLoadBalancingUnits[] = {
    &units::kWithNe, &units::kCellSwitch, &units::kOverlap, &units::kModeSwitch,
    &units::kUeMode, &units::kPrbMode,    &units::kUeOther, &units::kScaleOther,
    &units::kUeF1,   &units::kUeF2,       &units::kScaleF2, &units::kUeD,
    &units::kUeFddg};

using Pairwise4G = Pairwise<Cell4G, Cell4G>;
using OneToOne2G = Pairwise<Cell4G, Cell2G>;
using OneToMany2G = OneToMany<Cell4G, Cell2G>;
constexpr std::string_view kGeranSuccess = "脚本生成成功！！";

// Adding a generator is one row here (no count to keep in step) plus its
// template.
const Generator kGenerators[] = {
    {.name = "neighbour-add",
     .unit = "按钮_4G小区操作_添加邻区按钮",
     .caption = "添加邻区",
     .page = Page::Lte,
     .shape = Pairwise4G{{addNeighbour}},
     .onMiss = MissPolicy::SkipPair,
     .success = "添加邻区脚本生成成功！！",
     .buffer = OutputBuffer::General},
    {.name = "neighbour-mod",
     .unit = "按钮_4G小区操作_4G修改邻区",
     .caption = "修改邻区",
     .page = Page::Lte,
     .shape = Pairwise4G{{modNeighbour}},
     .onMiss = MissPolicy::SkipPair,
     .success = "修改邻区脚本生成成功！！",
     .buffer = OutputBuffer::General},
    {.name = "neighbour-rmv",
     .unit = "按钮_4G小区操作_删除邻区按钮",
     .caption = "删除邻区",
     .page = Page::Lte,
     .shape = Pairwise4G{{cells4G<mml::removeNeighbourLine>}},
     .onMiss = MissPolicy::SkipPair,
     .success = "删除脚本生成成功！！",
     .buffer = OutputBuffer::General},
    {.name = "external-add",
     .unit = "按钮_4G小区操作_添加外部按钮",
     .caption = "添加外部",
     .page = Page::Lte,
     .shape = Pairwise4G{{cells4G<mml::addExternalCellLine>}},
     .onMiss = MissPolicy::SkipPair,
     .success = "添加外部脚本生成成功！！",
     .buffer = OutputBuffer::General},
    {.name = "external-mod",
     .unit = "按钮_4G小区操作_修改外部按钮",
     .caption = "修改外部",
     .page = Page::Lte,
     .shape = Pairwise4G{{cells4G<mml::modExternalCellLine>, sameENodeB}},
     .onMiss = MissPolicy::SkipPair,
     .success = "脚本生成成功！！",
     .buffer = OutputBuffer::General},
    {.name = "external-rmv",
     .unit = "按钮_4G小区操作_删除外部按钮",
     .caption = "删除外部",
     .page = Page::Lte,
     .shape = Pairwise4G{{cells4G<mml::removeExternalCellLine>}},
     .onMiss = MissPolicy::SkipPair,
     .success = "删除外部脚本生成成功！！",
     .buffer = OutputBuffer::General},
    {.name = "carrier-add",
     .unit = "按钮_4G小区操作_添加频点按钮",
     .caption = "添加频点",
     .page = Page::Lte,
     .shape = OwnRun{mml::runCarrierAdd},
     .onMiss = MissPolicy::SkipPair,
     .success = "添加频点脚本生成成功！！",
     .questions = kCarrierQuestions,
     .buffer = OutputBuffer::Carrier},
    {.name = "carrier-rmv",
     .unit = "按钮_4G小区操作_删除频点按钮",
     .caption = "删除频点",
     .page = Page::Lte,
     .shape = Pairwise4G{{cells4G<mml::removeCarrierLine>}},
     .onMiss = MissPolicy::SkipPair,
     .success = "删除频点脚本生成成功！！",
     .buffer = OutputBuffer::General},

    // The 2G page, one-to-one: source line i with target line i.
    {.name = "geran-group-add",
     .unit = "按钮_2G小区操作_一对一_添加GE邻区频点组",
     .caption = "加频点组",
     .page = Page::Geran,
     .shape = OneToOne2G{{geranGroupAdd}},
     .onMiss = MissPolicy::StopRun,
     .success = kGeranSuccess,
     .reloads2G = true},
    {.name = "geran-arfcn-add",
     .unit = "按钮_2G小区操作_一对一_添加GE邻区频点",
     .caption = "添加频点",
     .page = Page::Geran,
     .shape = OneToOne2G{{geranArfcnAdd}},
     .onMiss = MissPolicy::StopRun,
     .success = kGeranSuccess,
     .reloads2G = true},
    {.name = "geran-external-add",
     .unit = "按钮_2G小区操作_一对一_添加GE外部小区",
     .caption = "添加外部",
     .page = Page::Geran,
     .shape = OneToOne2G{{geranExternalAdd}},
     .onMiss = MissPolicy::StopRun,
     .success = kGeranSuccess},
    {.name = "geran-ncell-add",
     .unit = "按钮_2G小区操作_一对一_添加GE邻区关系",
     .caption = "添加邻区",
     .page = Page::Geran,
     .shape = OneToOne2G{{geranNcellAdd}},
     .onMiss = MissPolicy::StopRun,
     .success = kGeranSuccess},
    {.name = "geran-external-mod",
     .unit = "按钮_2G小区操作_一对一_修改外部小区",
     .caption = "修改外部",
     .page = Page::Geran,
     .shape = OneToOne2G{{geranExternalMod}},
     .onMiss = MissPolicy::StopRun,
     .success = kGeranSuccess},
    {.name = "geran-ncell-rmv",
     .unit = "按钮_2G小区操作_一对一_删除GE邻区关系",
     .caption = "删除邻区",
     .page = Page::Geran,
     .shape = OneToOne2G{{geranNcellRmv}},
     .onMiss = MissPolicy::StopRun,
     .success = kGeranSuccess},
    {.name = "geran-external-rmv",
     .unit = "按钮_2G小区操作_一对一_删除GE外部小区",
     .caption = "删除外部",
     .page = Page::Geran,
     .shape = OneToOne2G{{geranExternalRmv}},
     .onMiss = MissPolicy::StopRun,
     .success = kGeranSuccess},
    {.name = "geran-arfcn-rmv",
     .unit = "按钮_2G小区操作_一对一_删除GE相邻频点",
     .caption = "删除频点",
     .page = Page::Geran,
     .shape = OneToOne2G{{geranArfcnRmv}},
     .onMiss = MissPolicy::StopRun,
     .success = kGeranSuccess},
    {.name = "geran-group-rmv",
     .unit = "按钮_2G小区操作_一对一_删除GE相邻频点组",
     .caption = "删频点组",
     .page = Page::Geran,
     .shape = OneToOne2G{{geranGroupRmv}},
     .onMiss = MissPolicy::StopRun,
     .success = kGeranSuccess},

    // The 2G page, one-to-many: every source with every target.
    {.name = "geran-group-add",
     .unit = "按钮_2G小区操作_一对多_添加GE邻区频点组按钮",
     .caption = "加频点组",
     .page = Page::Geran,
     .shape = OneToMany2G{{geranGroupAdd}},
     .onMiss = MissPolicy::StopRun,
     .success = kGeranSuccess,
     .reloads2G = true},
    {.name = "geran-arfcn-add",
     .unit = "按钮_2G小区操作_一对多_GERAN邻区频点按钮",
     .caption = "添加频点",
     .page = Page::Geran,
     .shape = OneToMany2G{{geranArfcnAdd}},
     .onMiss = MissPolicy::StopRun,
     .success = kGeranSuccess,
     .reloads2G = true},
    {.name = "geran-external-add",
     .unit = "按钮_2G小区操作_一对多_GERAN外部小区按钮",
     .caption = "添加外部",
     .page = Page::Geran,
     .shape = OneToMany2G{{geranExternalAdd}},
     .onMiss = MissPolicy::StopRun,
     .success = kGeranSuccess,
     .reloads2G = true},
    {.name = "geran-ncell-add",
     .unit = "按钮_2G小区操作_一对多_GERAN邻区关系按钮",
     .caption = "添加邻区",
     .page = Page::Geran,
     .shape = OneToMany2G{{geranNcellAdd}},
     .onMiss = MissPolicy::StopRun,
     .success = kGeranSuccess},
    {.name = "geran-external-mod",
     .unit = "按钮_2G小区操作_一对多_GERAN修改外部按钮",
     .caption = "修改外部",
     .page = Page::Geran,
     .shape = OneToMany2G{{geranExternalMod}},
     .onMiss = MissPolicy::StopRun,
     .success = kGeranSuccess},
    {.name = "geran-ncell-rmv",
     .unit = "按钮_2G小区操作_一对多_删除GERAN邻区关系按钮",
     .caption = "删除邻区",
     .page = Page::Geran,
     .shape = OneToMany2G{{geranNcellRmvPlmn}},
     .onMiss = MissPolicy::StopRun,
     .success = kGeranSuccess},
    {.name = "geran-external-rmv",
     .unit = "按钮_2G小区操作_一对多_删除GE外部小区按钮",
     .caption = "删除外部",
     .page = Page::Geran,
     .shape = OneToMany2G{{geranExternalRmv}},
     .onMiss = MissPolicy::StopRun,
     .success = kGeranSuccess},
    {.name = "geran-arfcn-rmv",
     .unit = "按钮_2G小区操作_一对多_GERAN相邻频点按钮",
     .caption = "删除频点",
     .page = Page::Geran,
     .shape = OneToMany2G{{geranArfcnRmv}},
     .onMiss = MissPolicy::StopRun,
     .success = kGeranSuccess},
    {.name = "geran-group-rmv",
     .unit = "按钮_2G小区操作_一对多_GERAN相邻频点组按钮",
     .caption = "删频点组",
     .page = Page::Geran,
     .shape = OneToMany2G{{geranGroupRmv}},
     .onMiss = MissPolicy::StopRun,
     .success = kGeranSuccess},

    // The on/off page: a fresh script box unless 勾选连续输出 is ticked.
    {.name = "cell-act",
     .unit = "开关基站_按钮_激活",
     .caption = "激活小区",
     .page = Page::OnOff,
     .shape =
         List4G{
             .cell = {activateCell}, .keepUnit = &units::kKeepOutput, .nothingMade = kNoCellNames},
     .onMiss = MissPolicy::SkipName,
     .success = "激活脚本已生成！",
     .names = kList,
     .units = kKeepUnits},
    {.name = "cell-dea",
     .unit = "开关基站_按钮_去激活",
     .caption = "去激活小区",
     .page = Page::OnOff,
     .shape = List4G{.cell = {deactivateCell},
                     .keepUnit = &units::kKeepOutput,
                     .nothingMade = kNoCellNames},
     .onMiss = MissPolicy::SkipName,
     .success = "去激活脚本已生成！",
     .names = kList,
     .units = kKeepUnits},
    {.name = "cell-power",
     .unit = "开关基站_按钮_修改功率",
     .caption = "修改功率",
     .page = Page::OnOff,
     .shape = List4G{.cell = {mml::referenceSignalPowerLine, &units::kPower},
                     .keepUnit = &units::kKeepOutput,
                     .valueMissing = "功率值为空，请添写功率值！",
                     .nothingMade = kNoCellNames},
     .onMiss = MissPolicy::SkipName,
     .success = "修改功率脚本已生成！",
     .names = kList,
     .units = kPowerUnits},

    // The capacity-expansion page: the output box keeps earlier lines.
    {.name = "expansion-bands",
     .unit = "按钮_小区扩容配置成生",
     .caption = "生成",
     .page = Page::Expansion,
     .shape = OwnRun{mml::runExpansionBands},
     .onMiss = MissPolicy::SkipName,
     .success = "好了",
     .names = kList},

    // The load-balancing page: the run copies its script and says so itself.
    {.name = "mlb",
     .unit = "负载均衡优化_生成按钮",
     .caption = "生成脚本",
     .page = Page::LoadBalancing,
     .shape = OwnRun{mml::runLoadBalancing},
     .onMiss = MissPolicy::StopRun,
     .success = "",
     .names = kList,
     .units = kLoadBalancingUnits},
};

// A single-list page: a fresh pane unless earlier output is kept, the value
// box checked first, and a message of its own when nothing was made.
bool runList(const SingleList<Cell4G>& list, MissPolicy onMiss, const RunContext& context,
             const mml::PageInput& input) {
    if (list.keepUnit && !input.isTicked(*list.keepUnit)) context.pane.clear();
    if (!list.valueMissing.empty() && input.textOf(*list.cell.valueUnit).empty()) {
        context.feedback.message(list.valueMissing);
        return false;
    }
    if (!mml::runSingleList(list.cell, onMiss, context, input)) return false;
    if (!list.nothingMade.empty() && context.pane.empty()) {
        context.feedback.message(list.nothingMade);
        return false;
    }
    return true;
}

// Runs the shape's loop; false when a missing cell or the engineer stopped it.
bool runShape(const Generator& generator, const RunContext& context, const mml::PageInput& input) {
    return std::visit(
        [&](const auto& shape) -> bool {
            using S = std::decay_t<decltype(shape)>;
            if constexpr (std::is_same_v<S, OwnRun>)
                return shape.run(context, input);
            else if constexpr (std::is_same_v<S, SingleList<Cell4G>>)
                return runList(shape, generator.onMiss, context, input);
            else if constexpr (std::is_same_v<S, OneToMany<Cell4G, Cell2G>>)
                return mml::runOneToMany(shape.pair, generator.onMiss, context, input);
            else
                return mml::runPairwise(shape.pair, generator.onMiss, context, input);
        },
        generator.shape);
}

}  // namespace

std::string_view pageTitle(Page page) {
    switch (page) {
        case Page::Lte:
            return "4G小区操作";
        case Page::Geran:
            return "2G小区操作";
        case Page::OnOff:
            return "开关基站修改功率";
        case Page::Expansion:
            return "小区扩容配置";
        case Page::LoadBalancing:
            break;
    }
    return "负载均衡优化工具";
}

std::string_view shapeName(const Shape& shape) {
    return std::visit(
        [](const auto& s) -> std::string_view {
            using S = std::decay_t<decltype(s)>;
            if constexpr (std::is_same_v<S, Pairwise<Cell4G, Cell4G>>)
                return "pairwise 4G×4G";
            else if constexpr (std::is_same_v<S, Pairwise<Cell4G, Cell2G>>)
                return "pairwise 4G×2G";
            else if constexpr (std::is_same_v<S, OneToMany<Cell4G, Cell2G>>)
                return "one-to-many 4G×2G";
            else if constexpr (std::is_same_v<S, SingleList<Cell4G>>)
                return "single list 4G";
            else
                return "own run";
        },
        shape);
}

std::span<const Generator> generators() {
    return kGenerators;
}

bool isOneToMany(const Generator& generator) {
    return std::holds_alternative<OneToMany<Cell4G, Cell2G>>(generator.shape);
}

const Generator* findGenerator(std::string_view name, bool oneToMany) {
    for (const Generator& g : kGenerators)
        if (g.name == name && isOneToMany(g) == oneToMany) return &g;
    return nullptr;
}

const Generator* generatorForUnit(std::string_view unit) {
    for (const Generator& g : kGenerators)
        if (g.unit == unit) return &g;
    return nullptr;
}

RunSources runSources(const Generator& generator, Session& session) {
    if (generator.reloads2G) session.reload2GSettings();
    return {session.library4G, session.library2G, session.settings2G, session.folder.earfcnIni(),
            session.buffer(generator.buffer)};
}

bool runGenerator(const Generator& generator, Session& session, const mml::PageInput& input,
                  ScriptSink& pane, Feedback& feedback, Clipboard* clipboard) {
    return runGenerator(generator, runSources(generator, session), input, pane, feedback,
                        clipboard);
}

bool runGenerator(const Generator& generator, const RunSources& sources,
                  const mml::PageInput& input, ScriptSink& pane, Feedback& feedback,
                  Clipboard* clipboard) {
    const FrequencyPlan plan(sources.earfcnIni, PlanReads::OneRun);
    RunContext context{
        pane,           feedback, sources.lte.get(), sources.gsm.get(), &plan, &sources.settings2G,
        sources.buffer, {},       clipboard};
    for (Question id : generator.questions) {
        const Answer answer = feedback.ask(id);
        // A question put away unanswered ends the run before it makes a line.
        if (answer == Answer::Cancelled) return false;
        const bool yes = answer == Answer::Yes;
        context.answers[id] = yes;
        const QuestionText& q = questionText(id);
        if (const auto note = yes ? q.yesNote : q.noNote; !note.empty()) feedback.message(note);
    }
    // The run reads the units its row names and no other: the command line
    // offers options for those alone, and a unit the row forgot would
    // otherwise be read there as it stands in the window.
    mml::PageInput declared = input;
    const auto check = [&generator](std::string_view unit) {
        for (const mml::PageUnit* u : generator.units)
            if (u->name == unit) return;
        throw std::logic_error(std::string(msg::kUndeclaredUnit) + std::string(unit));
    };
    if (input.text)
        declared.text = [&input, check](std::string_view unit) {
            check(unit);
            return input.text(unit);
        };
    if (input.ticked)
        declared.ticked = [&input, check](std::string_view unit) {
            check(unit);
            return input.ticked(unit);
        };
    if (!runShape(generator, context, declared)) return false;
    if (!generator.success.empty()) mml::sayClosing(feedback, generator.success, context.tally);
    if (context.buffer) saveDirectOutput(*context.buffer, declared.directOutputTicked(), feedback);
    return true;
}

}  // namespace brindle
