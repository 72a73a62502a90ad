#pragma once
// The generator registry: one row per generator button, and the one way a
// row is run. The window connects its buttons by looking their unit names up
// here; the command line lists and runs generators by their names. Adding a
// generator is one row here plus its template in mml/templates.h (and, for
// a unit its run reads, a row of mml/pageunits.h).

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "core/app/session.h"
#include "core/base/feedback.h"
#include "core/base/questions.h"
#include "core/base/script.h"
#include "core/library/lookup.h"
#include "core/mml/run.h"

namespace brindle {

// The main window's pages, in tab order.
enum class Page { Lte, Geran, OnOff, Expansion, LoadBalancing };
inline constexpr Page kPages[] = {Page::Lte, Page::Geran, Page::OnOff, Page::Expansion,
                                  Page::LoadBalancing};
// The page's tab caption, as the window shows it and `gen --list` prints it.
std::string_view pageTitle(Page page);  // "4G小区操作", …

// How a generator runs: the shape of its loop, over which cell types, with
// which template.
template <class Source, class Target>
struct Pairwise {
    mml::PairTemplate<Source, Target> pair;
};
template <class Source, class Target>
struct OneToMany {
    mml::PairTemplate<Source, Target> pair;
};
template <class Cell>
struct SingleList {
    mml::CellTemplate<Cell> cell;
    // Earlier output stays only while this check box is ticked; null: always.
    const mml::PageUnit* keepUnit = nullptr;
    // Shown, and nothing run, when the template's value box is empty.
    std::string_view valueMissing = {};
    // Shown instead of the success message when the pane ends empty.
    std::string_view nothingMade = {};
};
// A run with a loop of its own (添加频点, the capacity-expansion page).
struct OwnRun {
    bool (*run)(const mml::RunContext& context, const mml::PageInput& input);
};

using Shape = std::variant<Pairwise<Cell4G, Cell4G>, Pairwise<Cell4G, Cell2G>,
                           OneToMany<Cell4G, Cell2G>, SingleList<Cell4G>, OwnRun>;
std::string_view shapeName(const Shape& shape);  // "pairwise 4G×4G", …

struct Generator {
    std::string_view name;     // command-line name
    std::string_view unit;     // the button's unit name
    std::string_view caption;  // the button's caption
    Page page;
    Shape shape;
    MissPolicy onMiss;
    std::string_view success;  // shown when the run completes; empty: the run says its own
    std::span<const Question> questions = {};  // asked in order before the loop
    OutputBuffer buffer = OutputBuffer::None;
    bool reloads2G = false;  // reloads the 2G settings before it starts
    // What the page's name boxes hold: source and target names, or one list
    // of names (in PageInput::sourceText).
    enum class Names { Pairs, List };
    Names names = Names::Pairs;
    // The page units (core/mml/pageunits.h) its run reads besides the name
    // boxes and the two check boxes of the 4G page; the command line offers
    // their options with the generator.
    std::span<const mml::PageUnit* const> units = {};
};

// Every generator, in the order of their pages and buttons.
std::span<const Generator> generators();
// The two GERAN families share their names; the one-to-many one is asked
// for with `oneToMany`.
const Generator* findGenerator(std::string_view name, bool oneToMany = false);
bool isOneToMany(const Generator& generator);
const Generator* generatorForUnit(std::string_view unit);

// What a run reads of the session, taken when it starts, so a run on a
// worker thread reads the same whatever the window does meanwhile: the
// libraries as they stand (shared, never changed under the run), a copy of
// the 2G settings (reloaded first when the generator does), the frequency
// plan's file and the generator's direct-output buffer, which only runs
// write.
struct RunSources {
    std::shared_ptr<const Library> lte;
    std::shared_ptr<const Library> gsm;
    Settings2G settings2G;
    std::filesystem::path earfcnIni;
    std::string* buffer = nullptr;
};
RunSources runSources(const Generator& generator, Session& session);

// Runs one generator over its page's input: asks its questions, runs its
// loop with a context built from the sources, then, when the loop was not
// stopped (by a missing cell or by the engineer), shows its success message
// and runs the direct-output save step of its buffer: a stopped run leaves
// the lines it made where they went. Returns false when
// the run was stopped; a question cancelled (Esc) stops it before anything
// is made or said.
bool runGenerator(const Generator& generator, const RunSources& sources,
                  const mml::PageInput& input, ScriptSink& pane, Feedback& feedback,
                  Clipboard* clipboard = nullptr);
// The same, the sources taken from the session at once.
bool runGenerator(const Generator& generator, Session& session, const mml::PageInput& input,
                  ScriptSink& pane, Feedback& feedback, Clipboard* clipboard = nullptr);

}  // namespace brindle
