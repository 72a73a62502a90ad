// The script checker's line parser: whatever it takes apart holds what a
// command line may hold, and written out again as a generator writes a line
// it parses to the same pieces.
//
// A parsed line has a verb of letters, an object of A–Z, 0–9 and "_", and
// parameters whose names are not blank and hold no "=", "," or ";", whose
// unquoted values hold no "," or ";" and no blank at either end; every piece
// lies inside the text. "VERB OBJECT:" + the parameters as NAME=value or
// NAME="value", joined by ",", + ";" + "{NE}" where there is one, parses
// again to the same verb, object, parameters and NE.

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/tools/scriptcheck.h"
#include "fuzzsupport.h"

using namespace brindle;

namespace {

bool inside(std::string_view piece, std::string_view text) {
    return piece.empty() || (piece.data() >= text.data() &&
                             piece.data() + piece.size() <= text.data() + text.size());
}

std::string written(const check::Line& line) {
    std::string out = std::string(line.verb) + " " + std::string(line.object) + ":";
    for (std::size_t i = 0; i < line.params.size(); ++i) {
        const check::Param& p = line.params[i];
        if (i > 0) out += ",";
        out += std::string(p.name) + "=";
        out += p.quoted ? "\"" + std::string(p.value) + "\"" : std::string(p.value);
    }
    out += ";";
    if (line.hasNe) out += "{" + std::string(line.ne) + "}";
    return out;
}

bool same(const check::Line& a, const check::Line& b) {
    if (a.verb != b.verb || a.object != b.object || a.hasNe != b.hasNe || a.ne != b.ne ||
        a.params.size() != b.params.size())
        return false;
    for (std::size_t i = 0; i < a.params.size(); ++i)
        if (a.params[i].name != b.params[i].name || a.params[i].value != b.params[i].value ||
            a.params[i].quoted != b.params[i].quoted)
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::bytesOf(data, size);
    check::Line line;
    if (const auto problem = check::parseLine(text, line)) {
        if (problem->empty()) fuzz::fail("a malformed line without a reason");
        return 0;
    }
    if (line.verb.empty() || line.object.empty()) fuzz::fail("a line without verb or object");
    for (char c : line.verb)
        if (!std::isalpha(static_cast<unsigned char>(c)))
            fuzz::fail("a verb of other than letters");
    for (char c : line.object)
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'))
            fuzz::fail("an object of other characters");
    if (!inside(line.verb, text) || !inside(line.object, text) || !inside(line.ne, text))
        fuzz::fail("a piece outside the text");
    for (const check::Param& p : line.params) {
        if (!inside(p.name, text) || !inside(p.value, text)) fuzz::fail("a piece outside the text");
        if (p.name.empty() || p.name.find_first_of("=,;") != std::string_view::npos ||
            p.name.front() == ' ' || p.name.front() == '\t' || p.name.back() == ' ' ||
            p.name.back() == '\t')
            fuzz::fail("a parameter name that cannot be", std::string(p.name));
        if (!p.quoted && (p.value.find_first_of(",;") != std::string_view::npos ||
                          (!p.value.empty() && (p.value.front() == ' ' || p.value.front() == '\t' ||
                                                p.value.back() == ' ' || p.value.back() == '\t'))))
            fuzz::fail("an unquoted value that cannot be", std::string(p.value));
    }
    const std::string again = written(line);
    check::Line reparsed;
    if (const auto problem = check::parseLine(again, reparsed))
        fuzz::fail("the line written out again does not parse", again + "\n  " + *problem);
    if (!same(line, reparsed)) fuzz::fail("the line written out again parses otherwise", again);
    return 0;
}
