#include "cli/commands.h"

#include <iostream>

#include "cli/cliio.h"
#include "core/app/workflows.h"
#include "core/base/namefile.h"
#include "core/base/namelist.h"
#include "core/library/catalogue.h"
#include "core/library/import.h"
#include "core/library/lookup.h"
#include "core/mml/pairwise.h"

namespace brindle::cli {

namespace {

LibraryKind kindOf(const std::string& kind) {
    return kind == "2g" ? LibraryKind::Gsm : LibraryKind::Lte;
}

int listCommand(Session& session) {
    for (const auto& name : listLibraries(session.folder.mu())) std::cout << "4G " << name << '\n';
    for (const auto& name : listLibraries(session.folder.mu2())) std::cout << "2G " << name << '\n';
    return kCompleted;
}

int deleteCommand(const Options& options, Session& session) {
    auto feedback = makeFeedback();
    if (!options.yes) {
        feedback->message("删除工参库需要 --yes 确认，未删除：" + options.name);
        return kUsage;
    }
    feedback->answers.push_back(true);
    const auto folder = session.folder.libraries(kindOf(options.kind));
    const Result<bool> deleted = deleteLibrary(folder, options.name, *feedback);
    return deleted && *deleted ? kCompleted : kEndedEarly;
}

// Reads a name list option; prints why and gives nothing when unreadable.
std::optional<std::string> readNames(const std::string& path, RecordingFeedback& feedback) {
    Result<std::string> text = readNameFile(path);
    if (!text) {
        feedback.message(text.error(), {}, Icon::Error);
        return std::nullopt;
    }
    return *std::move(text);
}

int showCommand(const Options& options, Session& session) {
    auto feedback = makeFeedback();
    const auto text = readNames(options.names, *feedback);
    if (!text) return kUsage;
    if (!openChosenLibraries(session, *feedback)) return kEndedEarly;
    const Library* library = kindOf(options.kind) == LibraryKind::Lte ? session.library4G.get()
                                                                      : session.library2G.get();
    for (const auto& name : nameList(*text)) {
        std::optional<std::size_t> pos;
        if (library) pos = library->findCell(name);
        if (!pos) {
            reportMissingCell(*feedback, name);
            continue;
        }
        const Record& r = library->at(*pos);
        std::cout << r.ID;
        for (const auto& f : r.fields) std::cout << '\t' << f;
        std::cout << '\n';
    }
    return kCompleted;
}

int importCommand(const Options& options, Session& session) {
    auto feedback = makeFeedback();
    const LibraryKind kind = kindOf(options.kind);
    Preview preview;
    if (!readWorkbook(options.workbook, kind, preview, *feedback)) return kUsage;
    return importPreview(session, kind, preview, *feedback) ? kCompleted : kEndedEarly;
}

int genCommand(const Options& options, Session& session) {
    auto feedback = makeFeedback();
    const auto generator = mml::generatorByName(options.generator);
    if (!generator) {
        feedback->message("未知的生成器：" + options.generator, {}, Icon::Error);
        return kUsage;
    }
    if (*generator == mml::Generator4G::CarrierAdd && options.area.empty()) {
        feedback->message("carrier-add 需要 --area urban|rural（是否为城区）", {}, Icon::Error);
        return kUsage;
    }
    const auto sources = readNames(options.source, *feedback);
    const auto targets = sources ? readNames(options.target, *feedback) : std::nullopt;
    if (!targets) return kUsage;
    if (!openChosenLibraries(session, *feedback)) return kEndedEarly;

    // The answers to the add-carrier questions, in the order they are asked.
    feedback->answers = {options.area == "urban", options.reduced};
    const mml::PageInput input{*sources, *targets, [&] { return options.twoWay; },
                               [] { return false; }};
    StringSink pane;
    mml::run4G(*generator, session, input, pane, *feedback);
    return emitScript(pane.text(), options.output, options.dedup, *feedback);
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

    auto* import = app.add_subcommand("import", "import a workbook into a library");
    import->add_option("kind", o.kind, "4g or 2g")->required()->check(CLI::IsMember({"4g", "2g"}));
    import->add_option("workbook", o.workbook, ".xlsx, .xlsm, .xls or .csv file")->required();

    auto* gen = app.add_subcommand("gen", "run a generator of the 4G page");
    gen->add_option("generator", o.generator,
                    "neighbour-add, neighbour-mod, neighbour-rmv, external-add, external-mod, "
                    "external-rmv, carrier-add, carrier-rmv")
        ->required();
    gen->add_option("--source", o.source, "source names file ('-' for stdin)")->required();
    gen->add_option("--target", o.target, "target names file ('-' for stdin)")->required();
    gen->add_flag("--two-way", o.twoWay, "also write the reverse lines (双向操作)");
    gen->add_option("-o", o.output, "write the lines to FILE (GBK, CR LF) instead of stdout");
    gen->add_flag("--dedup", o.dedup, "remove repeated lines first");
    gen->add_option("--area", o.area, "carrier-add: urban (城区) or rural (农村)")
        ->check(CLI::IsMember({"urban", "rural"}));
    gen->add_flag("--reduced", o.reduced, "carrier-add: reduced measurement performance demand");
}

int runCommand(const CLI::App& app, const Options& options, Session& session) {
    const auto* command = app.get_subcommands().front();
    const std::string name = command->get_name();
    if (name == "libs") return listCommand(session);
    if (name == "delete") return deleteCommand(options, session);
    if (name == "show") return showCommand(options, session);
    if (name == "gen") return genCommand(options, session);
    if (name == "import") return importCommand(options, session);
    return kUsage;
}

}  // namespace brindle::cli
