#pragma once
// The script checker: reads a script (a pane, a saved file, any .txt an
// engineer brings) and says which lines the network management system will
// reject, or that will silently do the wrong thing, before the night window.
// It never changes the script.
//
// Each rule has a short id, a severity and a one-line reason in Chinese. The
// verbs, objects and parameter names a line may carry come from a
// CommandTable built from the program's own templates, so the checker and
// the generators cannot drift apart.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/feedback.h"
#include "core/base/lineblocks.h"
#include "core/base/result.h"
#include "core/library/library.h"

namespace brindle::check {

enum class Severity { Error, Warning };

// One rule of the table.
struct Rule {
    std::string_view id;  // "empty-value"
    Severity severity;
    std::string_view reason;  // "参数值为空"
};

// Every rule, in the order they are documented.
std::span<const Rule> rules();
const Rule* findRule(std::string_view id);

// A value that breaks the value rule of its parameter: the rule and what a
// finding of it says after the reason ("PHYCELLID=9x9").
struct ValueProblem {
    const Rule* rule = nullptr;
    std::string detail;
};
// The value rules of the checker, for one value of the parameter named
// `parameter` (PHYCELLID, DLEARFCN, QOFFSETFREQCONN ...), as a script line
// would carry it. Nothing when the value keeps its rule or the parameter has
// none. An empty value breaks "empty-value".
std::optional<ValueProblem> checkValue(std::string_view parameter, std::string_view value);

// One E-UTRA operating band by its downlink EARFCNs, first and last included.
struct EarfcnBand {
    int band;
    long first, last;
};
// The bands the earfcn-band rule accepts, in band order.
std::span<const EarfcnBand> earfcnBands();

struct Finding {
    std::size_t line = 0;  // 1-based line of the script
    const Rule* rule = nullptr;
    // What was found, for the engineer: the rule's reason with the detail of
    // this line (the parameter, the value, the other line).
    std::string detail;
};

// The commands Brindle writes: for each "VERB OBJECT", the parameter names
// its lines may carry.
class CommandTable {
public:
    // Learns the verb, object and parameter names of one command line.
    void learn(std::string_view line);
    bool knows(std::string_view verb, std::string_view object) const;
    // Null when the command is unknown.
    const std::set<std::string, std::less<>>* parameters(std::string_view verb,
                                                         std::string_view object) const;

private:
    std::map<std::string, std::set<std::string, std::less<>>, std::less<>>
        commands_;  // "VERB OBJECT"
};

// What a check may compare the script with.
struct CheckContext {
    const CommandTable* commands = nullptr;
    const Library* library4G = nullptr;  // optional
    const Library* library2G = nullptr;  // optional
};

// Checks `script` (UTF-8; lines end in CR LF, a bare LF is itself a
// finding). `found` is told each finding as soon as it is known (line
// findings in line order, then the script-wide ones); `feedback` gets
// progress now and then, and may stop the check there: it then ends with
// the findings of the lines checked so far, without the script-wide rules,
// which need the whole script. Returns every finding, in the order told.
std::vector<Finding> checkScript(std::string_view script, const CheckContext& context,
                                 const std::function<void(const Finding&)>& found = {},
                                 Feedback* feedback = nullptr);

// A script file as it is on disk, decoded: UTF-8 when it is valid UTF-8,
// else GBK (as name lists are read), line ends kept as they are. The error
// says why it cannot be read.
Result<std::string> readScript(const std::filesystem::path& path);

// The same check of the script file at `path`, read and decoded as
// readScript does but a block at a time, so that a script of a million lines
// is never held whole. `found` is told the findings only once the whole file
// has been read: a file that is not text half-way tells none; a check
// stopped by the engineer tells those of the lines read. The error, as
// readScript's, says why the file cannot be read. `blockSize` is the bytes
// read at a time (see LineBlocks).
Result<std::vector<Finding>> checkScriptFile(const std::filesystem::path& path,
                                             const CheckContext& context,
                                             const std::function<void(const Finding&)>& found = {},
                                             Feedback* feedback = nullptr,
                                             std::size_t blockSize = kLineBlockSize);

// One command line taken apart: "VERB OBJECT:NAME=value,NAME=\"value\";{NE}".
// The views point into the parsed text.
struct Param {
    std::string_view name, value;
    bool quoted = false;
};

struct Line {
    std::string_view verb, object, ne;
    bool hasNe = false;
    std::vector<Param> params;

    const Param* find(std::string_view name) const {
        for (const Param& p : params)
            if (p.name == name) return &p;
        return nullptr;
    }
    std::string_view value(std::string_view name) const {
        const Param* p = find(name);
        return p ? p->value : std::string_view();
    }
};

// The line parser every rule works from. Fills `out`; on a malformed line
// returns what is wrong with it (a line without an NE is well-formed: that
// is a finding of its own).
std::optional<std::string> parseLine(std::string_view text, Line& out);

// "file:line: severity rule-id: reason" (severity "error" or "warning").
std::string formatFinding(std::string_view file, const Finding& finding);

}  // namespace brindle::check
