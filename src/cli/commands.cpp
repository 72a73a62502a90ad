#include "cli/commands.h"

#include <algorithm>
#include <iostream>
#include <system_error>

#include "cli/runfiles.h"
#include "cli/streamfeedback.h"
#include "core/app/editorvalues.h"
#include "core/app/generators.h"
#include "core/app/workflows.h"
#include "core/base/asciicase.h"
#include "core/base/clipboard.h"
#include "core/base/messages.h"
#include "core/base/namefile.h"
#include "core/base/namelist.h"
#include "core/base/platform.h"
#include "core/freqplan/profile.h"
#include "core/library/catalogue.h"
#include "core/library/import.h"
#include "core/library/lookup.h"
#include "core/library/query.h"
#include "core/library/record2g.h"
#include "core/tools/boxnumber.h"
#include "core/tools/sitetype.h"
#include "core/tools/splitter.h"

namespace brindle::cli {

namespace {

constexpr std::string_view kUnknownField = "未知字段，应为 字段名=值：";

LibraryKind kindOf(const std::string& kind) {
    return kind == "2g" ? LibraryKind::Gsm : LibraryKind::Lte;
}

int listCommand(Session& session) {
    for (const auto& name : listLibraries(session.folder.mu())) std::cout << "4G " << name << '\n';
    for (const auto& name : listLibraries(session.folder.mu2())) std::cout << "2G " << name << '\n';
    return kCompleted;
}

int deleteCommand(const Options& options, Session& session) {
    StreamFeedback feedback;
    if (!options.yes) {
        feedback.message("删除工参库需要 --yes 确认，未删除：" + options.name);
        return kUsage;
    }
    feedback.preset.answer(Question::DeleteLibrary, true);
    const auto folder = session.folder.libraries(kindOf(options.kind));
    const Result<bool> deleted = deleteLibrary(folder, options.name, feedback);
    return deleted && *deleted ? kCompleted : kEndedEarly;
}

// Reads a name list option; prints why and gives nothing when unreadable.
std::optional<std::string> readNames(const std::string& path, Feedback& feedback) {
    Result<std::string> text = readNameFile(path);
    if (!text) {
        feedback.message(text.error(), {}, Icon::Error);
        return std::nullopt;
    }
    return *std::move(text);
}

void printRecord(RecordView r) {
    std::cout << r.ID;
    for (std::size_t f = 0; f < r.fieldCount(); ++f) std::cout << '\t' << r.field(f);
    std::cout << '\n';
}

int showCommand(const Options& options, Session& session) {
    StreamFeedback feedback;
    const auto text = readNames(options.names, feedback);
    if (!text) return kUsage;
    if (!openChosenLibraries(session, feedback)) return kEndedEarly;
    const Library* library = kindOf(options.kind) == LibraryKind::Lte ? session.library4G.get()
                                                                      : session.library2G.get();
    for (const auto& name : nameList(*text)) {
        std::optional<std::size_t> pos;
        if (library) pos = library->findCell(name);
        if (!pos) {
            reportMissingCell(feedback, name);
            continue;
        }
        printRecord(library->at(*pos));
    }
    return kCompleted;
}

// The current 4G library alone: the query and edit commands need no 2G library.
std::shared_ptr<Library> open4G(Session& session, Feedback& feedback) {
    std::error_code ec;
    if (session.current4G.empty() || !std::filesystem::is_regular_file(session.current4G, ec)) {
        feedback.message(msg::kChoose4G);
        return nullptr;
    }
    auto opened = openNonEmpty(session.current4G, LibraryKind::Lte, feedback);
    return opened ? *std::move(opened) : nullptr;
}

// The row "查询数据" selects in the query window.
int findCommand(const Options& options, Session& session) {
    StreamFeedback feedback;
    const auto library = open4G(session, feedback);
    if (!library) return kEndedEarly;
    const auto row = findQueryRow(*library, options.text);
    if (!row) return kEndedEarly;
    printRecord(library->at(*row));
    return kCompleted;
}

// The record edit window's "修改": the fields not named keep their values.
int editCommand(const Options& options, Session& session) {
    StreamFeedback feedback;
    const auto names = fieldNames(LibraryKind::Lte);
    FieldChanges changes;
    for (const std::string& assignment : options.assignments) {
        const auto eq = assignment.find('=');
        const std::string name = assignment.substr(0, eq);
        const auto field = std::find(names.begin(), names.end(), name);
        if (eq == std::string::npos || field == names.end()) {
            feedback.message(std::string(kUnknownField) + assignment);
            return kUsage;
        }
        changes.emplace_back(static_cast<std::size_t>(field - names.begin()),
                             assignment.substr(eq + 1));
    }
    // The window asks before it writes such values; here --force is the Yes,
    // and without it the record is left alone, the input being wrong.
    if (options.force) feedback.preset.answer(Question::RecordValues, true);
    if (!confirmValues(Question::RecordValues, recordValueProblems(changes), feedback)) {
        feedback.message(msg::kEditNeedsForce);
        return kUsage;
    }
    const auto library = open4G(session, feedback);
    if (!library) return kEndedEarly;
    return saveRecordEdit(library.get(), options.id, changes, feedback) ? kCompleted : kEndedEarly;
}

int importCommand(const Options& options, Session& session) {
    StreamFeedback feedback;
    const LibraryKind kind = kindOf(options.kind);
    Preview preview;
    // The rows are written into the library as they are read, and committed
    // only when the import goes ahead.
    const std::filesystem::path workbook = platform::pathFromUtf8(options.workbook);
    ImportDraft draft = draftImport(session, kind, workbook);
    if (!readWorkbook(workbook, kind, preview, feedback, &draft)) return kUsage;
    // The window asks whether a workbook that does not look like its kind
    // is still imported; here --force is the Yes, and without it the
    // library is left alone, the input being wrong.
    if (const std::string mismatch = workbookMismatch(preview, kind); !mismatch.empty()) {
        const Question id = mismatchQuestion(kind);
        if (!options.force) {
            feedback.message(std::string(questionText(id).text) + mismatch);
            feedback.message(msg::kImportNeedsForce);
            return kUsage;
        }
        feedback.preset.answer(id, true);
    }
    return importPreview(session, kind, preview, feedback, &draft) ? kCompleted : kEndedEarly;
}

// Where a run's lines go: UTF-8 with CR LF on stdout, or GBK with CR LF in
// a file. Without --dedup the file is written as the lines come (nothing is
// held but the piece being converted); with it, or on stdout, the run's text
// is kept and written at the end. Whatever the run made is written, also
// when it stopped early.
//
// What a run copies (the load-balancing page) is the command's output in
// place of its pane; a copy of nothing leaves the pane's text the output. A
// copy made while the pane holds nothing goes straight into the file, which
// the pane then no longer uses: the copied script is never held a second
// time.
class ScriptOutput : public Clipboard {
public:
    explicit ScriptOutput(const Options& options) : options_(options), pane_(*this) {
        if (!options.output.empty() && !options.dedup) file_.emplace(options.output);
    }
    ScriptSink& pane() { return pane_; }

    bool setText(std::string_view copied) override {
        copiedText_.clear();
        if (copied.empty()) {
            copy_ = Copy::None;
        } else if (file_ && (fileTaken_ || file_->empty())) {
            fileTaken_ = true;
            file_->clear();
            file_->append(copied);
            copy_ = Copy::InFile;
        } else {
            copiedText_ = copied;
            copy_ = Copy::Kept;
        }
        return true;
    }

    int finish(Feedback& feedback) {
        const std::string_view text =
            copy_ == Copy::Kept ? std::string_view(copiedText_) : std::string_view(kept_.text());
        Status written;
        if (file_) {
            if (copy_ == Copy::Kept || (copy_ == Copy::None && fileTaken_)) {
                file_->clear();
                file_->append(text);
            }
            written = file_->finish();
        } else if (options_.output.empty()) {
            if (options_.dedup)
                std::cout << dedupText(text) << std::flush;
            else
                std::cout << text << std::flush;
        } else {
            ScriptFileSink file(platform::pathFromUtf8(options_.output));
            dedupInto(text, file);
            written = file.finish();
        }
        if (!written) {
            feedback.message(writeFailedMessage(written.error()), {}, Icon::Error);
            return kEndedEarly;
        }
        return kCompleted;
    }

private:
    // The pane: the file while it streams there, else the kept text.
    class Pane : public ScriptSink {
    public:
        explicit Pane(ScriptOutput& output) : output_(output) {}
        void append(std::string_view text) override { target().append(text); }
        void clear() override { target().clear(); }
        bool empty() const override {
            return output_.paneInFile() ? output_.file_->empty() : output_.kept_.empty();
        }

    private:
        ScriptSink& target() {
            return output_.paneInFile() ? static_cast<ScriptSink&>(*output_.file_) : output_.kept_;
        }
        ScriptOutput& output_;
    };

    // Where the last copy is: none (or of nothing), in the file, or kept.
    enum class Copy { None, InFile, Kept };

    bool paneInFile() const { return file_ && !fileTaken_; }

    const Options& options_;
    Pane pane_;
    StringSink kept_;
    std::optional<ScriptFileSink> file_;
    bool fileTaken_ = false;  // a copy took the file: the pane is kept_
    Copy copy_ = Copy::None;
    std::string copiedText_;
};

const AnswerOption* answerOption(Question id, std::size_t& index) {
    for (index = 0; index < kAnswerOptions.size(); ++index)
        if (kAnswerOptions[index].id == id) return &kAnswerOptions[index];
    return nullptr;
}

// "`--area urban|rural`" or "`--reduced`", for help and listings.
std::string optionForm(const AnswerOption& a, std::string_view bar = "|") {
    std::string form(a.option);
    if (!a.yes.empty()) form += " " + std::string(a.yes) + std::string(bar) + std::string(a.no);
    return form;
}

// The page-unit row that first names `option`, where the option's value is
// kept; kNoRow for none.
constexpr std::size_t kNoRow = std::size(mml::kPageUnits);
std::size_t optionRow(std::string_view option) {
    for (std::size_t i = 0; i < std::size(mml::kPageUnits); ++i)
        if (!option.empty() && mml::kPageUnits[i]->option == option) return i;
    return kNoRow;
}

// The radio buttons an option selects among, in table order.
std::vector<const mml::PageUnit*> radiosOf(std::string_view option) {
    std::vector<const mml::PageUnit*> radios;
    for (const mml::PageUnit* u : mml::kPageUnits)
        if (u->option == option && u->kind == mml::UnitKind::RadioButton) radios.push_back(u);
    return radios;
}

// "`--mode ue|prb`" or "`--power`": an option as listings show it, once at
// the row that first names it; empty for a unit without one or a later row.
std::string unitOptionForm(const mml::PageUnit& unit, std::string_view bar) {
    if (unit.option.empty() || optionRow(unit.option) != mml::pageUnitIndex(unit)) return {};
    std::string form(unit.option);
    std::string_view between = " ";
    for (const mml::PageUnit* radio : radiosOf(unit.option)) {
        form += std::string(between) + std::string(radio->word);
        between = bar;
    }
    return form;
}

void addListed(std::string& list, const std::string& item) {
    if (!list.empty()) list += ", ";
    list += item;
}

// The registry as a Markdown table, as the README shows it.
int listGenerators() {
    std::cout << "| Generator | Page | Button | Unit | Shape | Options |\n"
                 "|---|---|---|---|---|---|\n";
    for (const Generator& g : generators()) {
        std::string answers = isOneToMany(g) ? "`--one-to-many`" : "";
        if (g.names == Generator::Names::List) answers = "`--names`";
        for (const mml::PageUnit* u : g.units)
            if (const std::string form = unitOptionForm(*u, "\\|"); !form.empty())
                addListed(answers, "`" + form + "`");
        for (Question id : g.questions) {
            std::size_t index = 0;
            const AnswerOption* a = answerOption(id, index);
            addListed(answers,
                      a ? "`" + optionForm(*a, "\\|") + "`" : std::string(questionText(id).key));
        }
        std::cout << "| `" << g.name << "` | " << pageTitle(g.page) << " | " << g.caption << " | `"
                  << g.unit << "` | " << shapeName(g.shape) << " | " << answers << " |\n";
    }
    return kCompleted;
}

// A page unit as the command line holds it: as the option set it, else as
// the window opens it. Nothing for a unit not of the table.
std::optional<std::string> unitText(const Options& options, std::string_view name) {
    const mml::PageUnit* unit = mml::findPageUnit(name);
    if (!unit) return std::nullopt;
    const std::size_t row = optionRow(unit->option);
    if (row != kNoRow && options.unitTexts[row]) return *options.unitTexts[row];
    return std::string(unit->initial);
}

std::optional<bool> unitTicked(const Options& options, std::string_view name) {
    const mml::PageUnit* unit = mml::findPageUnit(name);
    if (!unit) return std::nullopt;
    const std::size_t row = optionRow(unit->option);
    if (row == kNoRow) return false;  // unticked, as the window opens
    if (unit->kind == mml::UnitKind::RadioButton)
        return options.unitTexts[row] == std::string(unit->word);
    // A check box behind radio buttons is ticked by choosing one of them.
    if (!radiosOf(unit->option).empty()) return options.unitTexts[row].has_value();
    return options.unitFlags[row];
}

int genCommand(const Options& options, Session& session) {
    if (options.list) return listGenerators();
    if (isExportTool(options.generator))
        return runExportTool(options.generator, options.exports, options.output, session);
    StreamFeedback feedback;
    const Generator* generator = findGenerator(options.generator, options.oneToMany);
    if (!generator) {
        feedback.message(options.generator.empty()
                             ? "缺少生成器名称（brindle-cli gen --list 列出全部）"
                             : "未知的生成器：" + options.generator,
                         {}, Icon::Error);
        return kUsage;
    }
    // The generator's questions are answered by options, before anything is read.
    for (Question id : generator->questions) {
        std::size_t index = 0;
        const AnswerOption* a = answerOption(id, index);
        if (!a) continue;  // asked and answered No, as the stream feedback does
        if (a->yes.empty()) {
            feedback.preset.answer(id, options.answerFlags[index]);
        } else if (!options.answerWords[index].empty()) {
            feedback.preset.answer(id, options.answerWords[index] == a->yes);
        } else {
            feedback.message(std::string(generator->name) + " 需要 " + optionForm(*a) + "（" +
                                 std::string(questionText(id).text) + "）",
                             {}, Icon::Error);
            return kUsage;
        }
    }
    const bool pairs = generator->names == Generator::Names::Pairs;
    const std::string& list = pairs ? options.source : options.names;
    if (list.empty() || (pairs && options.target.empty())) {
        feedback.message(
            std::string(generator->name) + (pairs ? " 需要 --source 和 --target" : " 需要 --names"),
            {}, Icon::Error);
        return kUsage;
    }
    RunFiles files;
    files.input(pairs ? "--source" : "--names", platform::pathFromUtf8(list));
    files.input("--target", platform::pathFromUtf8(options.target));
    files.sessionInputs(session);
    files.output("-o", platform::pathFromUtf8(options.output));
    if (!files.clear(feedback)) return kUsage;
    const auto sources = readNames(list, feedback);
    if (!sources) return kUsage;
    std::optional<std::string> targets = std::string();
    if (pairs) targets = readNames(options.target, feedback);
    if (!targets) return kUsage;
    if (!openChosenLibraries(session, feedback)) return kEndedEarly;
    // As the main window does on every page change: the 2G settings in
    // memory are those of mu/2G.ini when the command starts.
    session.reload2GSettings();

    mml::PageInput input{*sources, *targets, [&] { return options.twoWay; }, [] { return false; },
                         {},       {}};
    input.text = [&options](std::string_view unit) { return unitText(options, unit); };
    input.ticked = [&options](std::string_view unit) { return unitTicked(options, unit); };
    ScriptOutput output(options);
    const bool completed =
        runGenerator(*generator, session, input, output.pane(), feedback, &output);
    const int written = output.finish(feedback);
    return completed ? written : kEndedEarly;
}

// A missing file, section or key prints an empty line: reads have no
// defaults. A file that is there but cannot be read, or is UTF-8, would
// print an empty or garbled value as if it were the setting.
int iniGetCommand(const Options& options) {
    const ProfileFile profile = ProfileFile::load(platform::pathFromUtf8(options.iniFile));
    std::string_view refused;
    if (profile.source() == ProfileFile::Source::Unreadable)
        refused = msg::kSettingsUnreadable;
    else if (profile.isUtf8())
        refused = msg::kSettingsNotGbk;
    if (!refused.empty()) {
        StreamFeedback feedback;
        feedback.message(std::string(refused) + options.iniFile, {}, Icon::Error);
        return kUsage;
    }
    std::cout << profile.value(options.iniSection, options.iniKey) << '\n';
    return kCompleted;
}

int iniSetCommand(const Options& options) {
    const Status written = writeProfile(platform::pathFromUtf8(options.iniFile), options.iniSection,
                                        options.iniKey, options.iniValue);
    if (written) return kCompleted;
    StreamFeedback feedback;
    feedback.message(std::string(msg::kSettingWriteFailed) + "：" + written.error(), {},
                     Icon::Error);
    return kEndedEarly;
}

// The record group of the 2G settings window: only the five radio fields
// may be changed, every other field stays as it is.
int edit2GCommand(const Options& options, Session& session) {
    StreamFeedback feedback;
    RadioValues2G values;
    for (const std::string& assignment : options.assignments) {
        const auto equals = assignment.find('=');
        const auto field =
            equals == std::string::npos ? std::nullopt : radioField2G(assignment.substr(0, equals));
        if (!field) {
            feedback.message("只能修改" + std::string(kRadioFields2G[0]) + "、" +
                             std::string(kRadioFields2G[1]) + "、" +
                             std::string(kRadioFields2G[2]) + "、" +
                             std::string(kRadioFields2G[3]) + "、" +
                             std::string(kRadioFields2G[4]) + "，不能修改：" + assignment);
            return kUsage;
        }
        values[*field] = assignment.substr(equals + 1);
    }
    if (session.current2G.empty()) {
        feedback.message("请用 --lib2g 选择2G工参库");
        return kUsage;
    }
    auto library = openNonEmpty(session.current2G, LibraryKind::Gsm, feedback);
    if (!library) return kEndedEarly;
    return saveRadioEdit2G(library->get(), options.editName, values, feedback) ? kCompleted
                                                                               : kEndedEarly;
}

// The files already in `folder` that a split would replace: those named
// <base>_<n>.txt, letters in any case, as a file system that ignores case
// would take the split's own names for them.
std::vector<std::filesystem::path> splitOutputsThere(const std::filesystem::path& folder,
                                                     std::string_view base) {
    const std::string head = ascii::lowered(std::string(base) + "_");
    std::vector<std::filesystem::path> found;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder.empty() ? "." : folder, ec), end;
         !ec && it != end; it.increment(ec)) {
        const std::string name = ascii::lowered(platform::utf8Name(it->path().filename()));
        if (name.size() <= head.size() + 4 || !name.starts_with(head) || !name.ends_with(".txt"))
            continue;
        const std::string number = name.substr(head.size(), name.size() - head.size() - 4);
        if (number.find_first_not_of("0123456789") != std::string::npos ||
            (number.size() > 1 && number[0] == '0') || number.size() > 18)
            continue;
        found.push_back(folder /
                        platform::pathFromUtf8(tools::chunkFileName(base, std::stoull(number))));
    }
    // X_1.TXT and x_1.txt, side by side where case counts, are one output.
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

// Writes <base>_<n>.txt beside the script.
int splitCommand(const Options& options) {
    StreamFeedback feedback;
    // Read a block at a time: a script of a million lines is never held whole.
    platform::FileReader script;
    const std::filesystem::path scriptFile = platform::pathFromUtf8(options.script);
    if (script.open(scriptFile) != platform::FileContents::State::Read) {
        feedback.message(std::string(msg::kScriptUnreadable) + options.script, {}, Icon::Error);
        return kUsage;
    }
    tools::SplitSettings settings;
    if (options.byNe) settings = {tools::SplitBy::NeCount, tools::boxNumber(*options.byNe)};
    if (options.byLines) settings = {tools::SplitBy::LineCount, tools::boxNumber(*options.byLines)};
    const std::string base = options.base ? *options.base : tools::baseNameOf(options.script);
    const std::filesystem::path folder = scriptFile.parent_path();
    RunFiles files;
    files.input("split", scriptFile);
    for (const auto& output : splitOutputsThere(folder, base)) files.output("split", output);
    if (!files.clear(feedback)) return kUsage;
    return tools::splitToFiles(script, options.script, folder, base, settings, feedback)
               ? kCompleted
               : kEndedEarly;
}

int siteTypeCommand(const Options& options, Session& session) {
    StreamFeedback feedback;
    const auto text = readNames(options.names, feedback);
    if (!text) return kUsage;
    if (!openChosenLibraries(session, feedback)) return kEndedEarly;
    tools::SiteTypeSettings settings;
    for (std::size_t b = 0; b < 4; ++b) {
        if (options.bandNames[b]) settings.bandNames[b] = *options.bandNames[b];
        if (options.earfcns[b]) settings.earfcns[b] = *options.earfcns[b];
    }
    if (options.head) settings.head = *options.head;
    if (options.connector) settings.connector = *options.connector;
    if (options.maxCells) settings.maxCells = *options.maxCells;
    if (options.separator) settings.separator = *options.separator;
    // The lines go to stdout as they are made; the names that found no cell
    // go to stderr at the end, as the window tells them.
    (void)tools::buildSiteTypes(session.library4G.get(), *text, settings, &feedback,
                                [](const std::string& line) { std::cout << line << std::flush; });
    return kCompleted;
}

// One option per option name of the page-unit table, said to belong to the
// generators that read its units.
void addUnitOptions(CLI::App& gen, Options& o) {
    for (std::size_t i = 0; i < std::size(mml::kPageUnits); ++i) {
        const mml::PageUnit& u = *mml::kPageUnits[i];
        if (optionRow(u.option) != i) continue;
        std::string readers;
        for (const Generator& g : generators())
            for (const mml::PageUnit* read : g.units)
                if (read->option == u.option) {
                    addListed(readers, std::string(g.name));
                    break;
                }
        std::string help = readers + ": " + std::string(u.help);
        const auto radios = radiosOf(u.option);
        const std::string option(u.option);
        if (!radios.empty()) {
            std::vector<std::string> words;
            for (const mml::PageUnit* radio : radios) {
                help += std::string(words.empty() ? ": " : " or ") + std::string(radio->word) +
                        " (" + std::string(radio->caption) + ")";
                words.emplace_back(radio->word);
            }
            gen.add_option(option, o.unitTexts[i], help)->check(CLI::IsMember(words));
        } else if (u.kind == mml::UnitKind::ValueBox) {
            help += " (default " +
                    (u.initial.empty() ? std::string("empty") : std::string(u.initial)) + ")";
            gen.add_option(option, o.unitTexts[i], help);
        } else {
            gen.add_flag(option, o.unitFlags[i], help);
        }
    }
}

}  // namespace

void addCommands(CLI::App& app, Options& o) {
    app.add_subcommand("libs", "list the 4G and 2G libraries");

    auto* del = app.add_subcommand("delete", "delete a library file");
    del->add_option("kind", o.kind, "4g or 2g")->required()->check(CLI::IsMember({"4g", "2g"}));
    del->add_option("name", o.name, "library file name, as listed")->required();
    del->add_flag("--yes", o.yes, "confirm the deletion");

    auto* show = app.add_subcommand("show", "print the records of named cells");
    show->add_option("kind", o.kind, "4g or 2g")->required()->check(CLI::IsMember({"4g", "2g"}));
    show->add_option("--names", o.names, "name list file ('-' for stdin)")->required();

    auto* find = app.add_subcommand("find", "print the record the query window's search selects");
    find->add_option("text", o.text, "search text: ID prefix, then any field's prefix")->required();

    auto* import = app.add_subcommand("import", "import a workbook into a library");
    import->add_option("kind", o.kind, "4g or 2g")->required()->check(CLI::IsMember({"4g", "2g"}));
    import->add_option("workbook", o.workbook, ".xlsx, .xlsm, .xls or .csv file")->required();
    import->add_flag("--force", o.force,
                     "import a workbook whose header or columns do not look like the kind's");

    auto* ini = app.add_subcommand("ini", "read or write one value of a settings file");
    ini->require_subcommand(1);
    auto* iniGet = ini->add_subcommand("get", "print the value of KEY in SECTION");
    auto* iniSet = ini->add_subcommand("set", "write VALUE to KEY in SECTION");
    for (auto* sub : {iniGet, iniSet}) {
        sub->add_option("file", o.iniFile, "settings file (GBK), e.g. mu/EARFCN.ini")->required();
        sub->add_option("section", o.iniSection, "section name")->required();
        sub->add_option("key", o.iniKey, "key name")->required();
    }
    iniSet->add_option("value", o.iniValue, "the value; empty is written as empty")->required();

    auto* edit = app.add_subcommand("edit", "change one record of a library");
    edit->require_subcommand(1);
    auto* edit4g =
        edit->add_subcommand("4g", "change fields of a 4G record, found by its ID (--lib4g)");
    edit4g->add_option("id", o.id, "the record's ID")->required();
    edit4g->add_option("fields", o.assignments, "FIELD=VALUE, FIELD one of the 4G field names")
        ->required();
    edit4g->add_flag(
        "--force", o.force,
        "write values the script checker rejects (a PCI that is no number in 0-503 ...)");
    auto* edit2g = edit->add_subcommand("2g", "change the radio fields of a 2G cell (--lib2g)");
    edit2g->add_option("name", o.editName, "the cell's 小区名")->required();
    edit2g
        ->add_option("assignments", o.assignments,
                     "FIELD=VALUE: 小区LAC, 小区CI, BCCH频点, 小区网络色码 or 小区基站色码")
        ->required();

    std::string names;
    for (const Generator& g : generators())
        names += (names.empty() ? "" : ", ") + std::string(g.name);
    auto* gen = app.add_subcommand("gen", "run a generator button (gen --list lists them)");
    gen->add_option("generator", o.generator, names + "; export tools: " + exportToolNames());
    gen->add_flag("--list", o.list, "print the generators as a table and exit");
    gen->add_option("--source", o.source, "source names file ('-' for stdin)");
    gen->add_option("--names", o.names, "the name list of a single-list page ('-' for stdin)");
    gen->add_option("--target", o.target, "target names file ('-' for stdin)");
    gen->add_flag("--two-way", o.twoWay, "also write the reverse lines (双向操作)");
    gen->add_flag("--one-to-many", o.oneToMany,
                  "the 2G page's one-to-many family (一对多操作): every source with every target");
    gen->add_option("-o", o.output, "write the lines to FILE (GBK, CR LF) instead of stdout");
    gen->add_flag("--dedup", o.dedup, "remove repeated lines first");
    addUnitOptions(*gen, o);
    for (std::size_t i = 0; i < kAnswerOptions.size(); ++i) {
        const AnswerOption& a = kAnswerOptions[i];
        std::string askedBy;
        for (const Generator& g : generators())
            for (Question id : g.questions)
                if (id == a.id) addListed(askedBy, std::string(g.name));
        const std::string help = askedBy + ": " + std::string(a.help);
        if (a.yes.empty())
            gen->add_flag(std::string(a.option), o.answerFlags[i], help);
        else
            gen->add_option(std::string(a.option), o.answerWords[i], help)
                ->check(CLI::IsMember({std::string(a.yes), std::string(a.no)}));
    }
    addExportOptions(*gen, o.exports);
    addPciUpdateCommand(app, o.exports);
    addToolCommands(app, o);
    addCheckCommand(app, o.check);
}

void addToolCommands(CLI::App& app, Options& o) {
    auto* split = app.add_subcommand(
        "split", "split a script file into <base>_0.txt, <base>_1.txt ... beside it (脚本分割)");
    split->add_option("file", o.script, "the script file (GBK, CR LF)")->required();
    auto* byNe = split->add_option("--by-ne", o.byNe, "NEs per file (按照基站分割)");
    auto* byLines = split->add_option("--by-lines", o.byLines, "lines per file (按照行数分割)");
    byNe->excludes(byLines);
    split->add_option("--base", o.base,
                      "base name of the files (default: the script's name before its first dot)");

    const tools::SiteTypeSettings defaults;
    auto* site = app.add_subcommand("site-type", "site types of base stations (站型转换)");
    site->add_option("--names", o.names, "base-station names file ('-' for stdin)")->required();
    for (std::size_t b = 0; b < 4; ++b) {
        const std::string n = std::to_string(b + 1);
        site->add_option("--band" + n, o.bandNames[b],
                         "name of band " + n + " (default " + defaults.bandNames[b] + ")");
        site->add_option(
            "--earfcns" + n, o.earfcns[b],
            "EARFCNs of band " + n + ", separated by | (default " + defaults.earfcns[b] + ")");
    }
    site->add_option("--head", o.head, "prefix of each band's site type (default S)");
    site->add_option("--connector", o.connector,
                     "between base-station name and sector number (default -)");
    site->add_option("--max-cells", o.maxCells, "highest sector number tried (default 9)");
    site->add_option("--separator", o.separator, "after each sector's count (default /)");
}

int runCommand(const CLI::App& app, const Options& options, Session& session) {
    const auto* command = app.get_subcommands().front();
    const std::string name = command->get_name();
    if (name == "libs") return listCommand(session);
    if (name == "delete") return deleteCommand(options, session);
    if (name == "show") return showCommand(options, session);
    if (name == "gen") return genCommand(options, session);
    if (name == "find") return findCommand(options, session);
    if (name == "import") return importCommand(options, session);
    if (name == "ini")
        return command->get_subcommands().front()->get_name() == "get" ? iniGetCommand(options)
                                                                       : iniSetCommand(options);
    if (name == "edit")
        return command->get_subcommands().front()->get_name() == "4g"
                   ? editCommand(options, session)
                   : edit2GCommand(options, session);
    if (name == "split") return splitCommand(options);
    if (name == "site-type") return siteTypeCommand(options, session);
    if (name == "pci-update") return runPciUpdate(options.exports, session);
    if (name == "check") return runCheck(options.check, session);
    return kUsage;
}

}  // namespace brindle::cli
