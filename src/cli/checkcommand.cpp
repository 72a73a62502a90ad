#include "cli/checkcommand.h"

#include <iostream>

#include "cli/commands.h"
#include "cli/streamfeedback.h"
#include "core/app/commandtable.h"
#include "core/base/messages.h"
#include "core/base/platform.h"
#include "core/base/textcodec.h"
#include "core/library/catalogue.h"
#include "core/tools/scriptcheck.h"

namespace brindle::cli {

namespace {

// The few JSON strings of the report are written here rather than through a
// JSON library: escaping quotes, backslashes and control characters is all
// they need, and UTF-8 passes through as it is.
std::string jsonString(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    static constexpr char kHex[] = "0123456789abcdef";
                    out += "\\u00";
                    out += kHex[(c >> 4) & 0xF];
                    out += kHex[c & 0xF];
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::string_view severityWord(check::Severity severity) {
    return severity == check::Severity::Error ? "error" : "warning";
}

// A library named by --lib4g or --lib2g; null when none was named.
Result<std::shared_ptr<Library>> openGiven(const std::filesystem::path& path, LibraryKind kind,
                                           Feedback& feedback) {
    if (path.empty()) return std::shared_ptr<Library>();
    return openNonEmpty(path, kind, feedback);
}

}  // namespace

void addCheckCommand(CLI::App& app, CheckOptions& options) {
    auto* check = app.add_subcommand(
        "check",
        "check scripts for lines the network would reject (with --lib4g/--lib2g: "
        "also against the libraries)");
    check->add_option("files", options.files, "script files (GBK or UTF-8)")->required();
    check->add_flag("--json", options.json, "print one JSON document instead of lines");
}

int runCheck(const CheckOptions& options, Session& session) {
    StreamFeedback feedback;
    auto lte = openGiven(session.current4G, LibraryKind::Lte, feedback);
    auto gsm = openGiven(session.current2G, LibraryKind::Gsm, feedback);
    if (!lte || !gsm) return kUsage;
    const check::CheckContext context{&programCommands(), lte->get(), gsm->get()};

    std::size_t errors = 0, warnings = 0;
    bool unreadable = false;
    std::string json = "{\"files\":[";
    for (std::size_t f = 0; f < options.files.size(); ++f) {
        const std::string& file = options.files[f];
        // A name unpacked from an archive made on Chinese Windows is GBK
        // bytes; the report says it as text, and the JSON stays UTF-8.
        const std::string shown = codec::fileNameText(file);
        // The findings are told once the whole file is read; one that cannot
        // be read or is not text leaves no entry in the report.
        const std::size_t before = json.size();
        if (json.back() == '}') json += ",";
        json += "{\"file\":" + jsonString(shown) + ",\"findings\":[";
        bool first = true;
        const auto checked = check::checkScriptFile(
            platform::pathFromUtf8(file), context, [&](const check::Finding& finding) {
                (finding.rule->severity == check::Severity::Error ? errors : warnings) += 1;
                if (!options.json) {
                    std::cout << check::formatFinding(shown, finding) << '\n';
                    return;
                }
                json += first ? "" : ",";
                first = false;
                json += "{\"line\":" + std::to_string(finding.line) +
                        ",\"severity\":" + jsonString(severityWord(finding.rule->severity)) +
                        ",\"rule\":" + jsonString(finding.rule->id) +
                        ",\"reason\":" + jsonString(finding.detail) + "}";
            });
        if (!checked) {
            json.resize(before);
            feedback.message(checked.error(), {}, Icon::Error);
            unreadable = true;
            continue;
        }
        json += "]}";
    }
    if (options.json) {
        std::cout << json << "],\"errors\":" << errors << ",\"warnings\":" << warnings << "}\n";
    } else {
        std::cout << errors << msg::kCheckErrors << warnings << msg::kCheckWarnings << '\n';
    }
    std::cout.flush();
    if (unreadable) return kUsage;
    return errors > 0 ? kEndedEarly : kCompleted;
}

}  // namespace brindle::cli
