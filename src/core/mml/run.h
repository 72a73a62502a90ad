#pragma once
// The run loops that every generator button shares, one per shape, written
// once over the cell types they pair:
//
// - pairwise: source line i with target line i (the 4G page, the GERAN
//   one-to-one family);
// - one-to-many: every source with every target (the GERAN one-to-many family);
// - single list: one line per named cell.
//
// A run sees only its context: the libraries, the settings, where its lines
// go and the feedback seam. What it does after a missing cell is data (the
// miss policy of its generator).
//
// The engineer may stop a run: each loop asks before every item (a name, or
// a pair of the one-to-many loop) and, once asked to stop, ends there and
// returns false, as after a miss that stops the run. What was sent so far
// stays where it went; nothing of the next item is looked up or made.

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "core/base/clipboard.h"
#include "core/base/feedback.h"
#include "core/base/messages.h"
#include "core/base/namelist.h"
#include "core/base/questions.h"
#include "core/base/script.h"
#include "core/freqplan/frequencyplan.h"
#include "core/freqplan/settings2g.h"
#include "core/library/library.h"
#include "core/library/lookup.h"
#include "core/mml/pageunits.h"

namespace brindle::mml {

// What a run reads from its page. The two check boxes are read anew for
// every pair: the engineer may tick or clear them during a run.
struct PageInput {
    std::string sourceText;              // source names (or the single list), one per line
    std::string targetText;              // target names, one per line
    std::function<bool()> twoWay;        // 双向操作; unset: never ticked
    std::function<bool()> directOutput;  // 直出脚本; unset: never ticked
    // The page's other units (the rows of kPageUnits) by unit name, as the
    // front end holds them now: a value box's text, whether a check box or
    // radio button is ticked. Nothing for a unit the front end lacks.
    std::function<std::optional<std::string>(std::string_view unit)> text;
    std::function<std::optional<bool>(std::string_view unit)> ticked;

    bool twoWayTicked() const { return twoWay && twoWay(); }
    bool directOutputTicked() const { return directOutput && directOutput(); }
    // A unit of the table, read when the run needs it. A unit the front end
    // lacks, or one asked for as the wrong kind, is a program error
    // (MissingUnit), never an empty text: the run must not go on without it.
    std::string textOf(const PageUnit& unit) const;
    bool isTicked(const PageUnit& unit) const;
};

// Thrown when a run asks for a unit its front end does not have.
class MissingUnit : public std::logic_error {
public:
    explicit MissingUnit(std::string_view unit);
};

// What a run has made and missed so far, for its closing message.
struct RunTally {
    long lines = 0;                    // line ends sent to the pane or the buffer
    std::vector<std::string> missing;  // names that found no cell, in lookup order
};

// Everything a run may use.
struct RunContext {
    ScriptSink& pane;
    Feedback& feedback;
    const Library* lte = nullptr;
    const Library* gsm = nullptr;
    const FrequencyPlan* plan = nullptr;
    const Settings2G* settings2G = nullptr;
    // The generator's direct-output buffer, or null when it has none.
    std::string* buffer = nullptr;
    // The answers to the generator's questions, asked before the run.
    std::map<Question, bool> answers;
    // Where the pages that hand their result to the clipboard put it.
    Clipboard* clipboard = nullptr;
    // Kept while the run goes on; the context is otherwise as it was built.
    mutable RunTally tally = {};

    bool answer(Question id) const {
        const auto it = answers.find(id);
        return it != answers.end() && it->second;
    }
};

// Where lines go at this moment: the direct-output buffer while 直出脚本 is
// ticked (for generators that have one), else the end of the pane.
enum class Destination { Pane, Buffer };
inline Destination destination(const RunContext& context, const PageInput& input) {
    return context.buffer && input.directOutputTicked() ? Destination::Buffer : Destination::Pane;
}
inline void send(const RunContext& context, Destination to, std::string_view line) {
    context.tally.lines += static_cast<long>(std::count(line.begin(), line.end(), '\n'));
    if (to == Destination::Buffer)
        *context.buffer += line;
    else
        context.pane.append(line);
}
inline void send(const RunContext& context, const PageInput& input, std::string_view line) {
    send(context, destination(context, input), line);
}

// The library that holds cells of a type.
template <class Cell>
const Library* libraryOf(const RunContext& context) {
    if constexpr (std::is_same_v<Cell, Cell4G>)
        return context.lte;
    else
        return context.gsm;
}

// A name of the run that found no cell: kept for the closing message and
// told as "<name>" + `wording`, a message that comes once per name (which the
// engineer may quiet for the rest of the run) unless the miss ends the run.
void reportMiss(const RunContext& context, std::string_view name, MissPolicy onMiss,
                std::string_view wording = msg::kCellMissing);

// Looks a name of the run up in the library of its cell type; a miss is
// reported as above.
template <class Cell>
std::optional<Cell> lookupCell(const RunContext& context, std::string_view name,
                               MissPolicy onMiss) {
    auto cell = findNamedCell<Cell>(libraryOf<Cell>(context), name);
    if (!cell) reportMiss(context, name, onMiss);
    return cell;
}

// Closes a run that completed: `success` as it stands when no name was
// missed; otherwise followed by the lines made and the names missed, whose
// list goes to the message's details.
void sayClosing(Feedback& feedback, std::string_view success, const RunTally& tally);

// What a pair produces. `line(owner, other, context)` builds one line; for
// two cells of one kind the reverse line is line(target, source). A pair for
// which `skip` holds produces nothing and does not advance the progress bar.
template <class Source, class Target>
struct PairTemplate {
    std::string (*line)(const Source& owner, const Target& other, const RunContext& context);
    bool (*skip)(const Source& source, const Target& target) = nullptr;
};

// What one named cell produces: `line(cell, value)` with the text of the
// page's value box `valueUnit` (none when null).
template <class Cell>
struct CellTemplate {
    std::string (*line)(const Cell& cell, std::string_view value);
    const PageUnit* valueUnit = nullptr;
};

// Source line i with target line i. A source line past the end of the
// target list has no target: it is reported like a missing empty name.
// Returns false when a miss or the engineer stopped the run.
template <class Source, class Target>
bool runPairwise(const PairTemplate<Source, Target>& pair, MissPolicy onMiss,
                 const RunContext& context, const PageInput& input) {
    Feedback& feedback = context.feedback;
    const auto sources = nameViews(input.sourceText);
    const auto targets = nameViews(input.targetText);
    const long total = static_cast<long>(sources.size());
    long done = 0;
    feedback.progress(0, total);
    for (std::size_t i = 0; i < sources.size(); ++i) {
        if (feedback.stopRequested()) return false;
        const auto source = lookupCell<Source>(context, sources[i], onMiss);
        std::optional<Target> target;
        if (source) {
            if (i < targets.size())
                target = lookupCell<Target>(context, targets[i], onMiss);
            else
                reportMiss(context, {}, onMiss);
        }
        if (!source || !target) {
            if (onMiss == MissPolicy::StopRun) return false;
        } else if (pair.skip && pair.skip(*source, *target)) {
            continue;
        } else {
            // The reverse line goes where its forward line went.
            const Destination to = destination(context, input);
            send(context, to, pair.line(*source, *target, context));
            if constexpr (std::is_same_v<Source, Target>) {
                if (input.twoWayTicked()) send(context, to, pair.line(*target, *source, context));
            }
        }
        feedback.progress(++done, total);
    }
    return true;
}

// Every source with every target, source-major. Each source is looked up
// once; every target again for every source. The progress bar counts
// sources. Returns false when a miss or the engineer stopped the run.
template <class Source, class Target>
bool runOneToMany(const PairTemplate<Source, Target>& pair, MissPolicy onMiss,
                  const RunContext& context, const PageInput& input) {
    Feedback& feedback = context.feedback;
    const auto sources = nameViews(input.sourceText);
    const auto targets = nameViews(input.targetText);
    const long total = static_cast<long>(sources.size());
    feedback.progress(0, total);
    for (std::size_t i = 0; i < sources.size(); ++i) {
        if (feedback.stopRequested()) return false;
        const auto source = lookupCell<Source>(context, sources[i], onMiss);
        if (!source && onMiss == MissPolicy::StopRun) return false;
        for (std::size_t j = 0; source && j < targets.size(); ++j) {
            // A source may have many targets: the stop is heard between pairs.
            if (j > 0 && feedback.stopRequested()) return false;
            const auto target = lookupCell<Target>(context, targets[j], onMiss);
            if (!target) {
                if (onMiss == MissPolicy::StopRun) return false;
                continue;
            }
            if (pair.skip && pair.skip(*source, *target)) continue;
            send(context, input, pair.line(*source, *target, context));
        }
        feedback.progress(static_cast<long>(i) + 1, total);
    }
    return true;
}

// One line per named cell. Returns false when a miss or the engineer stopped
// the run.
template <class Cell>
bool runSingleList(const CellTemplate<Cell>& cellLine, MissPolicy onMiss, const RunContext& context,
                   const PageInput& input) {
    Feedback& feedback = context.feedback;
    const auto names = nameViews(input.sourceText);
    const std::string value =
        cellLine.valueUnit ? input.textOf(*cellLine.valueUnit) : std::string();
    const long total = static_cast<long>(names.size());
    feedback.progress(0, total);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (feedback.stopRequested()) return false;
        const auto cell = lookupCell<Cell>(context, names[i], onMiss);
        if (cell)
            send(context, input, cellLine.line(*cell, value));
        else if (onMiss == MissPolicy::StopRun)
            return false;
        feedback.progress(static_cast<long>(i) + 1, total);
    }
    return true;
}

}  // namespace brindle::mml
