#include "core/mml/pairwise.h"

#include <array>

#include "core/base/namelist.h"
#include "core/library/lookup.h"
#include "core/mml/carrier.h"
#include "core/mml/templates.h"

namespace brindle::mml {

namespace {

// What one pairwise button brings to the shared run. Lines are built as
// line(owner, other): the forward line with the source as owner, the reverse
// line with the cells exchanged.
struct PairwiseButton {
    Generator4G generator;
    std::string_view name;
    std::string (*line)(const Cell4G& owner, const Cell4G& other);
    bool (*skip)(const Cell4G& source, const Cell4G& target);  // null: never skip
    std::string_view successMessage;
};

std::string addNeighbour(const Cell4G& o, const Cell4G& n) {
    return neighbourLine("ADD", o, n);
}
std::string modNeighbour(const Cell4G& o, const Cell4G& n) {
    return neighbourLine("MOD", o, n);
}

// A cell of the same eNodeB is never declared as an external cell by MOD.
bool sameENodeB(const Cell4G& s, const Cell4G& t) {
    return s.基站号 == t.基站号;
}

constexpr std::array<PairwiseButton, 7> kPairwise = {{
    {Generator4G::NeighbourAdd, "neighbour-add", addNeighbour, nullptr, "添加邻区脚本生成成功！！"},
    {Generator4G::NeighbourMod, "neighbour-mod", modNeighbour, nullptr, "修改邻区脚本生成成功！！"},
    {Generator4G::NeighbourRmv, "neighbour-rmv", removeNeighbourLine, nullptr,
     "删除脚本生成成功！！"},
    {Generator4G::ExternalAdd, "external-add", addExternalCellLine, nullptr,
     "添加外部脚本生成成功！！"},
    {Generator4G::ExternalMod, "external-mod", modExternalCellLine, sameENodeB, "脚本生成成功！！"},
    {Generator4G::ExternalRmv, "external-rmv", removeExternalCellLine, nullptr,
     "删除外部脚本生成成功！！"},
    {Generator4G::CarrierRmv, "carrier-rmv", removeCarrierLine, nullptr,
     "删除频点脚本生成成功！！"},
}};

constexpr std::string_view kCarrierAddName = "carrier-add";

void runPairwise(const PairwiseButton& button, Session& session, const PageInput& input,
                 ScriptSink& pane, Feedback& feedback) {
    const auto sources = nameList(input.sourceText);
    const auto targets = nameList(input.targetText);
    const long total = static_cast<long>(sources.size());
    long done = 0;
    feedback.progress(0, total);
    BufferSink buffer(session.generalBuffer);
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const auto pair = pairedLookup(session.library4G.get(), sources, targets, i, feedback);
        if (pair.found()) {
            if (button.skip && button.skip(*pair.source, *pair.target)) {
                feedback.pumpEvents();
                continue;
            }
            ScriptSink& out = input.directOutput() ? static_cast<ScriptSink&>(buffer) : pane;
            out.append(button.line(*pair.source, *pair.target));
            if (input.twoWay()) out.append(button.line(*pair.target, *pair.source));
        }
        feedback.progress(++done, total);
        feedback.pumpEvents();
    }
    feedback.message(button.successMessage);
    saveDirectOutput(session.generalBuffer, input.directOutput(), feedback);
}

}  // namespace

std::optional<Generator4G> generatorByName(std::string_view name) {
    if (name == kCarrierAddName) return Generator4G::CarrierAdd;
    for (const auto& button : kPairwise)
        if (button.name == name) return button.generator;
    return std::nullopt;
}

void run4G(Generator4G generator, Session& session, const PageInput& input, ScriptSink& pane,
           Feedback& feedback) {
    if (generator == Generator4G::CarrierAdd) {
        runCarrierAdd(session, input, pane, feedback);
        return;
    }
    for (const auto& button : kPairwise)
        if (button.generator == generator) runPairwise(button, session, input, pane, feedback);
}

}  // namespace brindle::mml
