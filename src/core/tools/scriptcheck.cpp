#include "core/tools/scriptcheck.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>
#include <unordered_map>

#include "core/base/flatindex.h"
#include "core/base/messages.h"
#include "core/base/platform.h"
#include "core/base/textcodec.h"

namespace brindle::check {

namespace {

using Sev = Severity;

// The one table of rules. The README's table is checked against it.
constexpr Rule kRules[] = {
    {"syntax", Sev::Error, "行格式不对，应为 命令 对象:参数=值,…;{网元名}"},
    {"line-end", Sev::Error, "行尾不是回车换行（CR LF）"},
    {"no-ne", Sev::Warning, "行末没有{网元名}，只能在已连接该网元的窗口中执行"},
    {"empty-ne", Sev::Error, "网元名为空（工参库中缺少基站名）"},
    {"unknown-command", Sev::Warning, "Brindle不生成这条命令，未核对它的参数"},
    {"unknown-parameter", Sev::Warning, "这条命令不带这个参数，请核对参数名"},
    {"duplicate-parameter", Sev::Error, "同一个参数在一行中出现两次"},
    {"empty-value", Sev::Error, "参数值为空"},
    {"not-number", Sev::Error, "参数值应为整数"},
    {"range", Sev::Error, "参数值超出取值范围"},
    {"earfcn-band", Sev::Error, "频点不在3GPP TS 36.101的任何E-UTRA频段内"},
    {"arfcn-band", Sev::Error, "GSM频点不在GSM 900（P/E/R-GSM）或DCS 1800频段内"},
    {"db-value", Sev::Error, "偏置值不在dB-24至dB24的取值之内"},
    {"duplicate-line", Sev::Warning, "与前面的一行完全相同"},
    {"add-and-remove", Sev::Warning, "同一对象在脚本中既被ADD又被RMV"},
    {"unknown-neighbour", Sev::Warning,
     "邻区既不在本网元，也没有在脚本中声明为外部小区（可能已在网中）"},
    {"pci-collision", Sev::Error, "同一基站同频点的两个小区PCI相同"},
    {"pci-shared", Sev::Warning, "同一基站的两个小区被改为相同PCI（不知频点，请核对是否同频）"},
    {"unknown-cell", Sev::Warning, "工参库中没有这个小区名"},
    {"cell-mismatch", Sev::Warning, "行中的标识与工参库中该小区的记录不一致"},
};

const Rule& rule(std::string_view id) {
    const Rule* found = findRule(id);
    if (!found) throw std::logic_error("no rule " + std::string(id));
    return *found;
}

// ---- value checks: one row per parameter name ----------------------------------

// TS 36.101 table 5.7.3-1, the downlink EARFCN range of each operating band
// (bands 15 and 16 are reserved; 29, 32, 67, 69 and 75–76 are downlink only).
constexpr EarfcnBand kEarfcnBands[] = {
    {1, 0, 599},        {2, 600, 1199},     {3, 1200, 1949},    {4, 1950, 2399},
    {5, 2400, 2649},    {6, 2650, 2749},    {7, 2750, 3449},    {8, 3450, 3799},
    {9, 3800, 4149},    {10, 4150, 4749},   {11, 4750, 4949},   {12, 5010, 5179},
    {13, 5180, 5279},   {14, 5280, 5379},   {17, 5730, 5849},   {18, 5850, 5999},
    {19, 6000, 6149},   {20, 6150, 6449},   {21, 6450, 6599},   {22, 6600, 7399},
    {23, 7500, 7699},   {24, 7700, 8039},   {25, 8040, 8689},   {26, 8690, 9039},
    {27, 9040, 9209},   {28, 9210, 9659},   {29, 9660, 9769},   {30, 9770, 9869},
    {31, 9870, 9919},   {32, 9920, 10359},  {33, 36000, 36199}, {34, 36200, 36349},
    {35, 36350, 36949}, {36, 36950, 37549}, {37, 37550, 37749}, {38, 37750, 38249},
    {39, 38250, 38649}, {40, 38650, 39649}, {41, 39650, 41589}, {42, 41590, 43589},
    {43, 43590, 45589}, {44, 45590, 46589}, {45, 46590, 46789}, {46, 46790, 54539},
    {47, 54540, 55239}, {48, 55240, 56739}, {49, 56740, 58239}, {50, 58240, 59089},
    {51, 59090, 59139}, {52, 59140, 60139}, {53, 60140, 60254}, {65, 65536, 66435},
    {66, 66436, 67335}, {67, 67336, 67535}, {68, 67536, 67835}, {69, 67836, 68335},
    {70, 68336, 68585}, {71, 68586, 68935}, {72, 68936, 68985}, {73, 68986, 69035},
    {74, 69036, 69465}, {75, 69466, 70315}, {76, 70316, 70365}, {85, 70366, 70545},
    {87, 70546, 70595}, {88, 70596, 70645},
};

// GSM ARFCNs: P-GSM 900 1–124 and E-GSM 0–124 with 975–1023, R-GSM
// 955–1023, DCS 1800 512–885.
constexpr std::array<std::pair<long, long>, 3> kGsmArfcns = {{{0, 124}, {512, 885}, {955, 1023}}};

// TS 36.331 q-OffsetRange, in dB.
constexpr std::array<int, 31> kOffsetsDb = {-24, -22, -20, -18, -16, -14, -12, -10, -8, -6, -5,
                                            -4,  -3,  -2,  -1,  0,   1,   2,   3,   4,  5,  6,
                                            8,   10,  12,  14,  16,  18,  20,  22,  24};

enum class Check { Range, Earfcn, Arfcn, Decibel };

struct ValueRow {
    std::string_view name;
    Check check;
    long low = 0, high = 0;  // Range only
};

// The one table of parameter values.
constexpr ValueRow kValueRows[] = {
    {"PHYCELLID", Check::Range, 0, 503},
    {"LOCALCELLID", Check::Range, 0, 255},
    {"CELLID", Check::Range, 0, 255},
    {"ENODEBID", Check::Range, 0, 1048575},
    {"DLEARFCN", Check::Earfcn},
    {"GERANARFCN", Check::Arfcn},
    {"STARTINGARFCN", Check::Arfcn},
    {"NETWORKCOLOURCODE", Check::Range, 0, 7},
    {"BASESTATIONCOLOURCODE", Check::Range, 0, 7},
    // 0 and 65534/65535 are reserved location-area codes.
    {"LAC", Check::Range, 1, 65533},
    {"TAC", Check::Range, 0, 65535},
    {"GERANCELLID", Check::Range, 0, 65535},
    {"CELLINDIVIDUALOFFSET", Check::Decibel},
    {"QOFFSETFREQ", Check::Decibel},
    {"QOFFSETFREQCONN", Check::Decibel},
};

const ValueRow* valueRow(std::string_view name) {
    for (const ValueRow& row : kValueRows)
        if (row.name == name) return &row;
    return nullptr;
}

// A whole decimal number, sign allowed; nothing else around it.
std::optional<long> wholeNumber(std::string_view text) {
    long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty()) return std::nullopt;
    return value;
}

bool inEarfcnBand(long earfcn) {
    return std::any_of(std::begin(kEarfcnBands), std::end(kEarfcnBands),
                       [&](const EarfcnBand& b) { return b.first <= earfcn && earfcn <= b.last; });
}

bool inGsmBand(long arfcn) {
    return std::any_of(kGsmArfcns.begin(), kGsmArfcns.end(),
                       [&](const auto& b) { return b.first <= arfcn && arfcn <= b.second; });
}

// ---- the line parser ---------------------------------------------------------------
// Written by hand: the MML line is small and specific (quoted names that may
// hold commas, the blanks some templates carry before a comma), and no
// packaged parser knows it.

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool isUpperOrDigit(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

}  // namespace

std::optional<std::string> parseLine(std::string_view text, Line& out) {
    out.params.clear();
    out.hasNe = false;
    out.ne = {};
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto skipBlanks = [&] {
        while (i < n && isBlank(text[i])) ++i;
    };
    skipBlanks();
    const std::size_t verbStart = i;
    while (i < n && std::isalpha(static_cast<unsigned char>(text[i]))) ++i;
    out.verb = text.substr(verbStart, i - verbStart);
    if (out.verb.empty() || i == n || !isBlank(text[i])) return std::string(msg::kCheckNoVerb);
    skipBlanks();
    const std::size_t objectStart = i;
    while (i < n && isUpperOrDigit(text[i])) ++i;
    out.object = text.substr(objectStart, i - objectStart);
    if (out.object.empty()) return std::string(msg::kCheckNoObject);
    skipBlanks();
    if (i == n || text[i] != ':') return std::string(msg::kCheckNoColon);
    ++i;
    skipBlanks();
    bool closed = i < n && text[i] == ';';
    if (closed) ++i;
    while (!closed) {
        skipBlanks();
        const std::size_t nameStart = i;
        while (i < n && text[i] != '=' && text[i] != ',' && text[i] != ';') ++i;
        const std::string_view name = trimmed(text.substr(nameStart, i - nameStart));
        if (i == n || text[i] != '=') return std::string(msg::kCheckNoEquals) + std::string(name);
        if (name.empty()) return std::string(msg::kCheckNoName);
        ++i;
        skipBlanks();
        Param param{name, {}, false};
        if (i < n && text[i] == '"') {
            // Names are written unescaped, so the closing quote is the one
            // that a "," or ";" follows, not simply the next one.
            std::size_t from = i + 1;
            for (;;) {
                const std::size_t quote = text.find('"', from);
                if (quote == std::string_view::npos) return std::string(msg::kCheckOpenQuote);
                std::size_t after = quote + 1;
                while (after < n && isBlank(text[after])) ++after;
                if (after == n || text[after] == ',' || text[after] == ';') {
                    param.value = text.substr(i + 1, quote - i - 1);
                    param.quoted = true;
                    i = after;
                    break;
                }
                from = quote + 1;
            }
        } else {
            const std::size_t valueStart = i;
            while (i < n && text[i] != ',' && text[i] != ';') ++i;
            param.value = trimmed(text.substr(valueStart, i - valueStart));
        }
        out.params.push_back(param);
        if (i == n) return std::string(msg::kCheckNoSemicolon);
        closed = text[i] == ';';
        ++i;
    }
    skipBlanks();
    if (i == n) return std::nullopt;  // no NE: a finding of its own
    if (text[i] != '{') return std::string(msg::kCheckAfterSemicolon);
    const std::size_t brace = text.rfind('}');
    if (brace == std::string_view::npos || brace < i) return std::string(msg::kCheckNoBrace);
    if (!trimmed(text.substr(brace + 1)).empty()) return std::string(msg::kCheckAfterBrace);
    out.hasNe = true;
    out.ne = text.substr(i + 1, brace - i - 1);
    return std::nullopt;
}

namespace {

std::string commandKey(std::string_view verb, std::string_view object) {
    std::string key;
    key.reserve(verb.size() + 1 + object.size());
    key.append(verb).append(" ").append(object);
    return key;
}

// ---- script-wide facts, as data -----------------------------------------------------

// The parameters the network identifies an object by, for telling that an
// ADD and an RMV name the same one (MCC and MNC are the one fixed PLMN).
struct ObjectKeys {
    std::string_view object;
    std::array<std::string_view, 3> keys;
};
constexpr ObjectKeys kObjectKeys[] = {
    {"EUTRANINTRAFREQNCELL", {"LOCALCELLID", "ENODEBID", "CELLID"}},
    {"EUTRANINTERFREQNCELL", {"LOCALCELLID", "ENODEBID", "CELLID"}},
    {"EUTRANEXTERNALCELL", {"ENODEBID", "CELLID"}},
    {"EUTRANINTERNFREQ", {"LOCALCELLID", "DLEARFCN"}},
    {"GERANNFREQGROUP", {"LOCALCELLID", "BCCHGROUPID"}},
    {"GERANNFREQGROUPARFCN", {"LOCALCELLID", "GERANARFCN"}},
    {"GERANNCELL", {"LOCALCELLID", "LAC", "GERANCELLID"}},
    {"GERANEXTERNALCELL", {"GERANCELLID", "LAC"}},
    {"GERANRANSHARE", {"LOCALCELLID", "BCCHGROUPID"}},
};

// A relation and the external-cell object that declares its target on the
// same NE; `lte` relations may also point at a cell of the NE itself.
struct RelationRow {
    std::string_view relation, external;
    std::array<std::string_view, 2> target;
    bool lte;
};
constexpr RelationRow kRelations[] = {
    {"EUTRANINTRAFREQNCELL", "EUTRANEXTERNALCELL", {"ENODEBID", "CELLID"}, true},
    {"EUTRANINTERFREQNCELL", "EUTRANEXTERNALCELL", {"ENODEBID", "CELLID"}, true},
    {"GERANNCELL", "GERANEXTERNALCELL", {"LAC", "GERANCELLID"}, false},
};

// A cell name in a line and the line's identifiers that must match the
// library's record of that name. "{}" stands for the NE suffix.
struct NameRow {
    std::string_view objectPrefix;
    std::string_view nameParam;
    LibraryKind kind;
    std::array<std::pair<std::string_view, std::size_t>, 2> ids;
};
constexpr std::string_view kNeKey = "{}";
constexpr NameRow kNameRows[] = {
    {"",
     "LOCALCELLNAME",
     LibraryKind::Lte,
     {{{"LOCALCELLID", fieldIndex(Field4G::LocalCellId)},
       {kNeKey, fieldIndex(Field4G::SiteName)}}}},
    {"EUTRAN",
     "NEIGHBOURCELLNAME",
     LibraryKind::Lte,
     {{{"ENODEBID", fieldIndex(Field4G::EnodebId)}, {"CELLID", fieldIndex(Field4G::CellId)}}}},
    {"EUTRANEXTERNALCELL",
     "CELLNAME",
     LibraryKind::Lte,
     {{{"ENODEBID", fieldIndex(Field4G::EnodebId)}, {"CELLID", fieldIndex(Field4G::CellId)}}}},
    {"GERAN",
     "NEIGHBOURCELLNAME",
     LibraryKind::Gsm,
     {{{"GERANCELLID", fieldIndex(Field2G::Ci)}, {"LAC", fieldIndex(Field2G::Lac)}}}},
    {"GERANEXTERNALCELL",
     "CELLNAME",
     LibraryKind::Gsm,
     {{{"GERANCELLID", fieldIndex(Field2G::Ci)}, {"LAC", fieldIndex(Field2G::Lac)}}}},
};

// A key of the script-wide sets: the fields joined by a separator no field
// holds, and its hash. The text is the builder's, valid until it builds the
// next key.
struct Key {
    std::string_view text;
    std::uint64_t hash;
};

class KeyBuilder {
public:
    KeyBuilder& add(std::string_view field) {
        if (built_) drop();
        text_.append(field);
        text_.push_back('\x1f');
        return *this;
    }
    Key key() {
        built_ = true;
        return {text_, FlatIndex::hash(text_)};
    }
    void drop() {
        text_.clear();
        built_ = false;
    }

private:
    std::string text_;
    bool built_ = false;
};

constexpr std::string_view kBom = "\xEF\xBB\xBF";
// How often a check reports progress and lets events run.
constexpr std::size_t kLinesPerProgress = 8192;

// Where a distinct line first stood, for the duplicate-line rule: 16 bytes,
// as line numbers and line lengths fit 32 bits in any script under 4 GiB (a
// longer one keeps its later lines out of the table).
struct Position {
    std::uint64_t offset;  // where the line's text starts in the script (or its file)
    std::uint32_t line;
    std::uint32_t length;
};
constexpr std::size_t kMaxPosition = std::numeric_limits<std::uint32_t>::max();

// A script-wide set of keys, each kept as the line it came from: a key's
// text is not held (on a province's script the texts were most of the
// check's memory); on a hash match the caller's `same` reads the earlier
// line again and compares its key, so two keys sharing a hash stay two.
class KeyTable {
public:
    template <class Same>
    const Position* find(const Key& key, const Same& same) const {
        const auto e = index_.find(key.hash, [&](std::uint32_t i) { return same(lines_[i]); });
        return e ? &lines_[*e] : nullptr;
    }
    void prefetch(const Key& key) const { index_.prefetch(key.hash); }
    // Keeps `where` under `key` unless a line is there.
    template <class Same>
    void add(const Key& key, const Position& where, const Same& same) {
        if (lines_.size() >= FlatIndex::kFree) return;  // a script of billions of lines
        const auto next = static_cast<std::uint32_t>(lines_.size());
        if (index_.insert(key.hash, next, [&](std::uint32_t i) { return same(lines_[i]); }).second)
            lines_.push_back(where);
    }

private:
    FlatIndex index_;
    std::vector<Position> lines_;
};

// About how many lines a script of `total` bytes has, judged by `sample`, a
// stretch of its beginning.
std::size_t estimatedLines(std::string_view sample, std::uintmax_t total) {
    if (sample.empty()) return 0;
    const auto lines = static_cast<std::uintmax_t>(std::count(sample.begin(), sample.end(), '\n'));
    return static_cast<std::size_t>(total / sample.size() * lines +
                                    total % sample.size() * lines / sample.size());
}

// The text of the earlier line at `where`, read again (valid until the next
// read), or none when it cannot be: the script-wide tables keep only where
// each line was, not its text.
using ReadLine = std::function<std::optional<std::string_view>(const Position& where)>;

// The key an ADD or RMV line names its object by, built in `b`, or none.
std::optional<Key> objectKey(const Line& line, KeyBuilder& b) {
    if (line.verb != "ADD" && line.verb != "RMV") return std::nullopt;
    const auto keys = std::find_if(std::begin(kObjectKeys), std::end(kObjectKeys),
                                   [&](const ObjectKeys& k) { return k.object == line.object; });
    if (keys == std::end(kObjectKeys)) return std::nullopt;
    b.add(line.ne).add(line.object);
    for (std::string_view k : keys->keys) {
        if (k.empty()) continue;
        const Param* p = line.find(k);
        // A removal by fewer keys (all relations of a cell) names no one object.
        if (!p) {
            b.drop();
            return std::nullopt;
        }
        b.add(p->value);
    }
    return b.key();
}

// The external cell an ADD of a relation or of an external cell names: its
// key, built in `b`, and the line's row; none for other lines.
struct CellKey {
    Key key;
    const RelationRow* row;
    bool relation;  // else the line declares the external cell
};
std::optional<CellKey> externalCellKey(const Line& line, KeyBuilder& b) {
    if (line.verb != "ADD") return std::nullopt;
    for (const RelationRow& row : kRelations) {
        const bool relation = line.object == row.relation;
        if (!relation && line.object != row.external) continue;
        const Param* x = line.find(row.target[0]);
        const Param* y = line.find(row.target[1]);
        if (!x || !y) return std::nullopt;
        return CellKey{b.add(line.ne).add(row.external).add(x->value).add(y->value).key(), &row,
                       relation};
    }
    return std::nullopt;
}
// The external cell an ADD of an external cell declares, or none.
std::optional<Key> declaredCellKey(const Line& line, KeyBuilder& b) {
    const auto cell = externalCellKey(line, b);
    if (!cell || cell->relation) return std::nullopt;
    return cell->key;
}

// The rules over a script's lines, told one line at a time, then finish().
class Checker {
public:
    // With `deferred`, findings are told only by finish(), so that a script
    // found not to be text half-way has told none.
    Checker(const CheckContext& context, const std::function<void(const Finding&)>& found,
            ReadLine readLine, bool deferred)
        : context_(context), found_(found), readLine_(std::move(readLine)), deferred_(deferred) {}

    // One line: its text without the line end, where it is (for finding it
    // again), and whether it ends in a lone "\n".
    void checkLine(std::size_t lineNo, std::size_t offset, std::size_t length,
                   std::string_view text, bool bareLf) {
        const std::string_view content = trimmed(text);
        // Blank lines and "//" comments are no commands: the NMS skips them.
        if (content.empty() || content.starts_with("//")) return;
        if (bareLf) tell(lineNo, "line-end", {});
        const std::uint64_t textHash = FlatIndex::hash(text);
        lines_.prefetch(textHash);
        if (const auto problem = parseLine(text, line_)) {
            tell(lineNo, "syntax", *problem);
            return;
        }
        // The script-wide tables are fetched from while the line's own rules run.
        const std::optional<Key> object = objectKey(line_, objectKey_);
        if (object) {
            added_.prefetch(*object);
            removed_.prefetch(*object);
        }
        forEachCellName([](const NameRow&, const Param& name, const Library& library) {
            library.prefetchCell(name.value);
        });
        checkShape(lineNo);
        checkValues(lineNo);
        checkDuplicate(lineNo, offset, length, text, textHash);
        const Position where{offset, static_cast<std::uint32_t>(lineNo),
                             static_cast<std::uint32_t>(length)};
        checkAddRemove(lineNo, where, object);
        noteRelation(where);
        notePci(lineNo);
        checkNames(lineNo);
    }

    // Sizes the duplicate-line table for a script of about `lines` lines.
    void expectLines(std::size_t lines) {
        lines_.reserve(lines);
        firstLines_.reserve(lines);
    }

    // The script-wide rules; every finding, in the order told.
    std::vector<Finding> finish() {
        finishLate();
        return stop();
    }

    // The findings of the lines checked so far, for a check the engineer
    // stopped: the script-wide rules need the whole script and are not run.
    std::vector<Finding> stop() {
        if (deferred_ && found_)
            for (const Finding& f : findings_) found_(f);
        return std::move(findings_);
    }

private:
    void tell(std::size_t line, std::string_view id, std::string detail) {
        const Rule& r = rule(id);
        Finding f{line, &r, std::string(r.reason)};
        if (!detail.empty()) f.detail += "：" + detail;
        if (found_ && !deferred_) found_(f);
        findings_.push_back(std::move(f));
    }

    static std::string sameAs(std::size_t line) {
        return std::string(msg::kCheckSameAsLine) + std::to_string(line) +
               std::string(msg::kCheckLineTail);
    }

    void checkShape(std::size_t lineNo) {
        if (!line_.hasNe)
            tell(lineNo, "no-ne", {});
        else if (trimmed(line_.ne).empty())
            tell(lineNo, "empty-ne", {});
        const auto* known =
            context_.commands ? context_.commands->parameters(line_.verb, line_.object) : nullptr;
        if (context_.commands && !known)
            tell(lineNo, "unknown-command", commandKey(line_.verb, line_.object));
        for (std::size_t p = 0; p < line_.params.size(); ++p) {
            const Param& param = line_.params[p];
            if (known && !known->contains(param.name))
                tell(lineNo, "unknown-parameter", std::string(param.name));
            for (std::size_t q = 0; q < p; ++q)
                if (line_.params[q].name == param.name) {
                    tell(lineNo, "duplicate-parameter", std::string(param.name));
                    break;
                }
            if (param.value.empty() && !param.quoted)
                tell(lineNo, "empty-value", std::string(param.name) + "=");
        }
    }

    void checkValues(std::size_t lineNo) {
        for (const Param& param : line_.params) {
            if (param.value.empty()) continue;  // told as an empty value
            if (auto broken = checkValue(param.name, param.value))
                tell(lineNo, broken->rule->id, std::move(broken->detail));
        }
    }

    void checkDuplicate(std::size_t lineNo, std::size_t offset, std::size_t length,
                        std::string_view text, std::uint64_t h) {
        if (lineNo > kMaxPosition || length > kMaxPosition) return;
        // The hash only finds the candidates; the texts decide. Line numbers
        // below kMaxPosition leave the entry numbers below FlatIndex::kFree.
        const auto [first, inserted] =
            lines_.insert(h, static_cast<std::uint32_t>(firstLines_.size()), [&](std::uint32_t e) {
                const auto earlier = readLine_(firstLines_[e]);
                return earlier && *earlier == text;
            });
        if (!inserted) {
            tell(lineNo, "duplicate-line", sameAs(firstLines_[first].line));
            return;
        }
        firstLines_.push_back(Position{offset, static_cast<std::uint32_t>(lineNo),
                                       static_cast<std::uint32_t>(length)});
    }

    // The earlier line at `where` parsed again into earlier_, or none.
    const Line* reread(const Position& where) {
        const auto text = readLine_(where);
        if (!text || parseLine(*text, earlier_)) return nullptr;
        return &earlier_;
    }
    // Whether the earlier line at a position has the key `text` by `keyOf`.
    auto sameKey(std::string_view text, std::optional<Key> (*keyOf)(const Line&, KeyBuilder&)) {
        return [this, text, keyOf](const Position& where) {
            const Line* line = reread(where);
            const auto key = line ? keyOf(*line, earlierKey_) : std::nullopt;
            return key && key->text == text;
        };
    }
    auto sameObject(std::string_view text) { return sameKey(text, objectKey); }
    auto sameCell(std::string_view text) { return sameKey(text, declaredCellKey); }

    void checkAddRemove(std::size_t lineNo, const Position& where, const std::optional<Key>& key) {
        if (!key || lineNo > kMaxPosition || where.length > kMaxPosition) return;
        const bool add = line_.verb == "ADD";
        auto& mine = add ? added_ : removed_;
        const auto& other = add ? removed_ : added_;
        mine.add(*key, where, sameObject(key->text));
        if (const Position* earlier = other.find(*key, sameObject(key->text)))
            tell(lineNo, "add-and-remove", sameAs(earlier->line));
    }

    void noteRelation(const Position& where) {
        const auto cell = externalCellKey(line_, relationKey_);
        if (!cell || where.line > kMaxPosition || where.length > kMaxPosition) return;
        if (!cell->relation) {
            declared_.add(cell->key, where, sameCell(cell->key.text));
            return;
        }
        if (declared_.find(cell->key, sameCell(cell->key.text))) return;
        if (cell->row->lte) {
            // Which eNodeB an NE is only a 4G library says; without one
            // every relation inside a site would be reported.
            if (!context_.library4G) return;
            const std::string_view enodeb = line_.value(cell->row->target[0]);
            const auto own = sites().find(line_.ne);
            if (own != sites().end() &&
                std::any_of(own->second.begin(), own->second.end(), [&](std::size_t r) {
                    return context_.library4G->at(r).field(Field4G::EnodebId) == enodeb;
                }))
                return;
        }
        pending_.push_back(where);
    }

    void notePci(std::size_t lineNo) {
        if (line_.verb != "MOD" || line_.object != "CELL") return;
        const Param* pci = line_.find("PHYCELLID");
        const Param* local = line_.find("LOCALCELLID");
        if (!pci || !local) return;
        auto& cells = pciChanges_[std::string(line_.ne)];
        for (auto& c : cells)
            if (c.localId == local->value) {
                c.pci = pci->value;
                c.line = lineNo;
                return;
            }
        cells.push_back({std::string(local->value), std::string(pci->value), lineNo});
    }

    // Calls `f(row, name, library)` for each cell name of the line that a
    // library given can tell about.
    template <class F>
    void forEachCellName(F&& f) const {
        for (const NameRow& row : kNameRows) {
            if (!line_.object.starts_with(row.objectPrefix)) continue;
            const Param* name = line_.find(row.nameParam);
            if (!name) continue;
            const Library* library =
                row.kind == LibraryKind::Lte ? context_.library4G : context_.library2G;
            if (library) f(row, *name, *library);
        }
    }

    void checkNames(std::size_t lineNo) {
        forEachCellName([&](const NameRow& row, const Param& name, const Library& library) {
            const auto position = library.findCell(name.value);
            if (!position) {
                tell(lineNo, "unknown-cell",
                     std::string(row.nameParam) + "=\"" + std::string(name.value) + "\"");
                return;
            }
            const RecordView record = library.at(*position);
            for (const auto& [param, field] : row.ids) {
                const bool onNe = param == kNeKey;
                if (onNe && !line_.hasNe) continue;
                const Param* id = onNe ? nullptr : line_.find(param);
                if (!onNe && !id) continue;
                const std::string_view value = onNe ? line_.ne : id->value;
                if (field < record.fieldCount() && record.field(field) == value) continue;
                const std::string shown =
                    onNe ? std::string(msg::kCheckOnNe) + "{" + std::string(value) + "}"
                         : std::string(param) + "=" + std::string(value);
                tell(lineNo, "cell-mismatch",
                     std::string(name.value) + "：" + shown + "，" +
                         std::string(msg::kCheckLibraryHas) +
                         std::string(field < record.fieldCount() ? record.field(field)
                                                                 : std::string_view()));
            }
        });
    }

    // 基站名 -> the library's records of that NE, built on first use.
    const std::unordered_map<std::string_view, std::vector<std::size_t>>& sites() {
        if (!sites_) {
            sites_.emplace();
            const Library& library = *context_.library4G;
            for (std::size_t r = 0; r < library.count(); ++r)
                (*sites_)[library.at(r).field(kSiteNameField)].push_back(r);
        }
        return *sites_;
    }

    struct Late {
        std::size_t line;
        std::string_view rule;
        std::string detail;
    };

    void finishLate() {
        std::vector<Late> late;
        std::string text;  // the relation's key: sameCell reads other lines meanwhile
        for (const Position& p : pending_) {
            const Line* line = reread(p);
            const auto cell = line ? externalCellKey(*line, earlierKey_) : std::nullopt;
            if (!cell) continue;  // the script changed under the check
            text = cell->key.text;
            if (!declared_.find({text, cell->key.hash}, sameCell(text)))
                late.push_back({p.line, "unknown-neighbour", {}});
        }
        finishPci(late);
        std::stable_sort(late.begin(), late.end(),
                         [](const Late& a, const Late& b) { return a.line < b.line; });
        for (Late& l : late) tell(l.line, l.rule, std::move(l.detail));
    }

    // Two cells of one NE left with one PCI. Carriers of one sector share a
    // PCI on purpose, so only a 4G library, which knows each cell's 频点, can
    // tell a collision; without it the pair is only worth a look.
    void finishPci(std::vector<Late>& late) {
        for (const auto& [ne, changed] : pciChanges_) {
            struct Cell {
                std::string_view localId, pci, earfcn;
                std::size_t line;  // 0: not changed by the script
            };
            std::vector<Cell> cells;
            std::vector<bool> known(changed.size(), false);
            if (context_.library4G) {
                const auto site = sites().find(ne);
                if (site != sites().end())
                    for (std::size_t r : site->second) {
                        const RecordView rec = context_.library4G->at(r);
                        Cell cell{rec.field(Field4G::LocalCellId), rec.field(Field4G::Pci),
                                  rec.field(Field4G::Earfcn), 0};
                        for (std::size_t c = 0; c < changed.size(); ++c)
                            if (changed[c].localId == cell.localId) {
                                cell.pci = changed[c].pci;
                                cell.line = changed[c].line;
                                known[c] = true;
                            }
                        cells.push_back(cell);
                    }
            }
            for (std::size_t a = 0; a < cells.size(); ++a)
                for (std::size_t b = a + 1; b < cells.size(); ++b) {
                    const Cell &x = cells[a], &y = cells[b];
                    if ((x.line == 0 && y.line == 0) || x.pci != y.pci || x.earfcn != y.earfcn)
                        continue;
                    const bool xLater = x.line > y.line;
                    late.push_back({xLater ? x.line : y.line, "pci-collision",
                                    pciDetail(ne, xLater ? y.localId : x.localId, x.pci)});
                }
            // Cells the library does not hold (or no library): carrier unknown.
            for (std::size_t a = 0; a < changed.size(); ++a)
                for (std::size_t b = a + 1; b < changed.size(); ++b) {
                    if (known[a] && known[b]) continue;
                    if (changed[a].pci != changed[b].pci) continue;
                    late.push_back(
                        {std::max(changed[a].line, changed[b].line), "pci-shared",
                         pciDetail(ne,
                                   changed[a].line > changed[b].line ? changed[b].localId
                                                                     : changed[a].localId,
                                   changed[a].pci)});
                }
        }
    }

    static std::string pciDetail(std::string_view ne, std::string_view otherLocalId,
                                 std::string_view pci) {
        return std::string(msg::kCheckOnNe) + "{" + std::string(ne) +
               "} LOCALCELLID=" + std::string(otherLocalId) + " PHYCELLID=" + std::string(pci);
    }

    const CheckContext& context_;
    const std::function<void(const Finding&)>& found_;
    ReadLine readLine_;
    const bool deferred_;
    std::vector<Finding> findings_;
    Line line_, earlier_;  // the line checked; an earlier one read again
    KeyBuilder objectKey_, relationKey_, earlierKey_;
    // Each distinct line's first occurrence, by the line's text.
    FlatIndex lines_;
    std::vector<Position> firstLines_;
    KeyTable added_, removed_;  // by object key
    KeyTable declared_;         // external cells, by cell key
    // Relations whose external cell was not declared before their line.
    std::vector<Position> pending_;
    struct PciChange {
        std::string localId, pci;
        std::size_t line;
    };
    std::map<std::string, std::vector<PciChange>> pciChanges_;
    std::optional<std::unordered_map<std::string_view, std::vector<std::size_t>>> sites_;
};

}  // namespace

std::optional<ValueProblem> checkValue(std::string_view parameter, std::string_view value) {
    const ValueRow* row = valueRow(parameter);
    if (!row) return std::nullopt;
    const std::string shown = std::string(parameter) + "=" + std::string(value);
    const auto broken = [&](std::string_view id, std::string detail) {
        return std::optional<ValueProblem>(ValueProblem{&rule(id), std::move(detail)});
    };
    if (value.empty()) return broken("empty-value", shown);
    if (row->check == Check::Decibel) {
        const auto db = value.starts_with("dB") ? wholeNumber(value.substr(2)) : std::nullopt;
        if (!db || std::find(kOffsetsDb.begin(), kOffsetsDb.end(), *db) == kOffsetsDb.end())
            return broken("db-value", shown);
        return std::nullopt;
    }
    const auto number = wholeNumber(value);
    if (!number) return broken("not-number", shown);
    switch (row->check) {
        case Check::Range:
            if (*number < row->low || *number > row->high)
                return broken("range", shown + "（" + std::to_string(row->low) + "–" +
                                           std::to_string(row->high) + "）");
            break;
        case Check::Earfcn:
            if (!inEarfcnBand(*number)) return broken("earfcn-band", shown);
            break;
        case Check::Arfcn:
            if (!inGsmBand(*number)) return broken("arfcn-band", shown);
            break;
        case Check::Decibel:
            break;
    }
    return std::nullopt;
}

std::span<const Rule> rules() {
    return kRules;
}

const Rule* findRule(std::string_view id) {
    for (const Rule& r : kRules)
        if (r.id == id) return &r;
    return nullptr;
}

std::span<const EarfcnBand> earfcnBands() {
    return kEarfcnBands;
}

void CommandTable::learn(std::string_view line) {
    if (line.ends_with("\r\n")) line.remove_suffix(2);
    Line parsed;
    if (parseLine(line, parsed)) return;  // not a command line: nothing to learn
    auto& names = commands_[commandKey(parsed.verb, parsed.object)];
    for (const Param& p : parsed.params) names.emplace(p.name);
}

bool CommandTable::knows(std::string_view verb, std::string_view object) const {
    return parameters(verb, object) != nullptr;
}

const std::set<std::string, std::less<>>* CommandTable::parameters(std::string_view verb,
                                                                   std::string_view object) const {
    const auto it = commands_.find(commandKey(verb, object));
    return it == commands_.end() ? nullptr : &it->second;
}

std::vector<Finding> checkScript(std::string_view script, const CheckContext& context,
                                 const std::function<void(const Finding&)>& found,
                                 Feedback* feedback) {
    Checker checker(
        context, found,
        [script](const Position& where) -> std::optional<std::string_view> {
            return script.substr(where.offset, where.length);
        },
        false);
    std::size_t start = 0, lineNo = 0;
    if (script.starts_with(kBom)) start = kBom.size();
    checker.expectLines(
        estimatedLines(script.substr(start, kLineBlockSize), script.size() - start));
    const std::size_t size = script.size();
    while (start < size) {
        ++lineNo;
        std::size_t end = script.find('\n', start);
        const bool terminated = end != std::string_view::npos;
        if (!terminated) end = size;
        std::size_t textEnd = end;
        const bool crlf = terminated && end > start && script[end - 1] == '\r';
        if (crlf) --textEnd;
        checker.checkLine(lineNo, start, textEnd - start, script.substr(start, textEnd - start),
                          terminated && !crlf);
        start = terminated ? end + 1 : size;
        if (feedback && lineNo % kLinesPerProgress == 0) {
            feedback->progress(static_cast<long>(start / 1024), static_cast<long>(size / 1024));
            if (feedback->stopRequested()) return checker.stop();
        }
    }
    return checker.finish();
}

Result<std::string> readScript(const std::filesystem::path& path) {
    platform::FileContents contents = platform::readWholeFile(path);
    const std::string shown = platform::utf8Name(path);
    if (contents.state == platform::FileContents::State::Missing)
        return fail(std::string(msg::kScriptMissing) + shown);
    if (contents.state != platform::FileContents::State::Read)
        return fail(std::string(msg::kScriptUnreadable) + shown);
    auto text = codec::decodeDetected(contents.bytes);
    if (!text) return fail(std::string(msg::kScriptNotText) + shown);
    return *std::move(text);
}

Result<std::vector<Finding>> checkScriptFile(const std::filesystem::path& path,
                                             const CheckContext& context,
                                             const std::function<void(const Finding&)>& found,
                                             Feedback* feedback, std::size_t blockSize) {
    const std::string shown = codec::fileNameText(platform::utf8Name(path));
    platform::FileReader file;
    switch (file.open(path)) {
        case platform::FileContents::State::Missing:
            return fail(std::string(msg::kScriptMissing) + shown);
        case platform::FileContents::State::Failed:
            return fail(std::string(msg::kScriptUnreadable) + shown);
        case platform::FileContents::State::Read:
            break;
    }
    const auto unreadable = [&] { return fail(std::string(msg::kScriptUnreadable) + shown); };
    // As readScript decodes: a byte-order mark is dropped, and the rest is
    // UTF-8 when all of it is, else GBK. The first pass only learns which.
    std::string head(kBom.size(), '\0');
    const auto headRead = file.readAt(0, head.data(), head.size());
    if (!headRead) return unreadable();
    const std::uintmax_t start = head.substr(0, *headRead) == kBom ? kBom.size() : 0;
    bool utf8 = true;
    std::size_t lines = 0;
    {
        LineBlocks blocks(file, start, blockSize);
        std::string_view block;
        for (bool firstBlock = true;; firstBlock = false) {
            if (feedback && feedback->stopRequested()) return std::vector<Finding>{};
            if (!blocks.next(block)) return unreadable();
            if (firstBlock) lines = estimatedLines(block, file.size() - start);
            utf8 = codec::isValidUtf8(block);
            if (!utf8 || block.empty()) break;
        }
    }

    std::string decoded, raw, earlier;  // a block's text; a line read again, its text
    bool bomInText = false;             // the text itself began with a (second) mark
    Checker checker(
        context, found,
        [&](const Position& where) -> std::optional<std::string_view> {
            raw.resize(where.length);
            const auto read = file.readAt(where.offset, raw.data(), raw.size());
            if (!read || *read != raw.size()) return std::nullopt;
            if (utf8) return std::string_view(raw);
            earlier.clear();
            if (!codec::appendFromGbk(raw, earlier)) return std::nullopt;
            std::string_view shownText = earlier;
            if (where.line == 1 && bomInText && shownText.starts_with(kBom))
                shownText.remove_prefix(kBom.size());
            return shownText;
        },
        true);
    checker.expectLines(lines);
    LineBlocks blocks(file, start, blockSize);
    std::string_view block;
    std::size_t lineNo = 0;
    for (bool firstBlock = true;; firstBlock = false) {
        if (!blocks.next(block)) return unreadable();
        if (block.empty()) break;
        std::string_view text = block;
        if (!utf8) {
            decoded.clear();
            if (!codec::appendFromGbk(block, decoded))
                return fail(std::string(msg::kScriptNotText) + shown);
            text = decoded;
        }
        // Lines never cross blocks: each one is found in the block's text and,
        // for where it is in the file, in its bytes as read.
        std::size_t at = 0, rawAt = 0;
        if (firstBlock && text.starts_with(kBom)) {
            bomInText = true;
            at = kBom.size();
            if (utf8) rawAt = at;
        }
        while (at < text.size()) {
            ++lineNo;
            std::size_t end = text.find('\n', at);
            const bool terminated = end != std::string_view::npos;
            if (!terminated) end = text.size();
            const bool crlf = terminated && end > at && text[end - 1] == '\r';
            const std::size_t textEnd = crlf ? end - 1 : end;
            std::size_t rawEnd = utf8 ? end : block.find('\n', rawAt);
            if (rawEnd == std::string_view::npos) rawEnd = block.size();
            const std::size_t rawTextEnd = crlf ? rawEnd - 1 : rawEnd;
            checker.checkLine(lineNo, blocks.offset() + rawAt, rawTextEnd - rawAt,
                              text.substr(at, textEnd - at), terminated && !crlf);
            at = end + 1;
            rawAt = rawEnd + 1;
            if (feedback && lineNo % kLinesPerProgress == 0) {
                feedback->progress(static_cast<long>((blocks.offset() + rawAt) / 1024),
                                   static_cast<long>(file.size() / 1024));
                if (feedback->stopRequested()) return checker.stop();
            }
        }
    }
    return checker.finish();
}

std::string formatFinding(std::string_view file, const Finding& finding) {
    std::string out(file);
    out += ":" + std::to_string(finding.line) + ": ";
    out += finding.rule->severity == Severity::Error ? "error " : "warning ";
    out += finding.rule->id;
    out += ": ";
    out += finding.detail.empty() ? std::string(finding.rule->reason) : finding.detail;
    return out;
}

}  // namespace brindle::check
