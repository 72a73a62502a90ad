#include "gui/base/findingsmodel.h"

#include <QColor>

#include "core/tools/checkreport.h"
#include "gui/base/qtext.h"

namespace brindle::gui {

namespace {

std::uint16_t ruleIndex(const check::Rule* rule) {
    const auto all = check::rules();
    if (!rule || rule < all.data() || rule >= all.data() + all.size()) return 0xFFFF;
    return static_cast<std::uint16_t>(rule - all.data());
}

}  // namespace

void FindingsModel::clear() {
    beginResetModel();
    entries_ = {};
    details_ = {};
    shown_ = {};
    published_ = 0;
    perRule_.assign(check::rules().size() + 1, 0);
    endResetModel();
}

void FindingsModel::add(const check::Finding& finding) {
    std::string_view rest = finding.detail;
    const bool withReason = finding.rule && rest.starts_with(finding.rule->reason);
    if (withReason) rest.remove_prefix(finding.rule->reason.size());
    details_ += rest;
    entries_.push_back({static_cast<std::uint32_t>(finding.line), ruleIndex(finding.rule),
                        withReason, details_.size()});
}

void FindingsModel::publish() {
    if (perRule_.empty()) perRule_.assign(check::rules().size() + 1, 0);
    if (published_ == entries_.size()) return;
    std::vector<std::uint32_t> passing;
    for (std::size_t i = published_; i < entries_.size(); ++i) {
        const Entry& e = entries_[i];
        ++perRule_[e.rule == kNoRule ? perRule_.size() - 1 : e.rule];
        if (filtered_ && passes(e)) passing.push_back(static_cast<std::uint32_t>(i));
    }
    const int first = rowCount();
    const std::size_t added = filtered_ ? passing.size() : entries_.size() - published_;
    if (added == 0) {
        published_ = entries_.size();
        return;
    }
    beginInsertRows({}, first, first + static_cast<int>(added) - 1);
    published_ = entries_.size();
    shown_.insert(shown_.end(), passing.begin(), passing.end());
    endInsertRows();
}

void FindingsModel::setFilter(const Filter& filter) {
    beginResetModel();
    filter_ = filter;
    filtered_ = filter.severity || filter.rule;
    shown_ = {};
    if (filtered_)
        for (std::size_t i = 0; i < published_; ++i)
            if (passes(entries_[i])) shown_.push_back(static_cast<std::uint32_t>(i));
    endResetModel();
}

std::size_t FindingsModel::countOf(const check::Rule* rule) const {
    if (perRule_.empty()) return 0;
    const std::uint16_t index = ruleIndex(rule);
    return perRule_[index == kNoRule ? perRule_.size() - 1 : index];
}

bool FindingsModel::passes(const Entry& entry) const {
    const check::Rule* rule = entry.rule == kNoRule ? nullptr : &check::rules()[entry.rule];
    if (filter_.rule && rule != filter_.rule) return false;
    // A finding without its rule counts as an error, as its row says.
    const check::Severity severity = rule ? rule->severity : check::Severity::Error;
    return !filter_.severity || severity == *filter_.severity;
}

check::Finding FindingsModel::finding(std::size_t entry) const {
    const Entry& e = entries_[entry];
    const std::size_t begin = entry == 0 ? 0 : entries_[entry - 1].detailEnd;
    check::Finding f{e.line, e.rule == kNoRule ? nullptr : &check::rules()[e.rule], {}};
    if (e.startsWithReason) f.detail = f.rule->reason;
    f.detail.append(details_, begin, e.detailEnd - begin);
    return f;
}

std::size_t FindingsModel::entryAt(int row) const {
    return filtered_ ? shown_[static_cast<std::size_t>(row)] : static_cast<std::size_t>(row);
}

std::size_t FindingsModel::lineAt(int row) const {
    if (row < 0 || row >= rowCount()) return 0;
    return entries_[entryAt(row)].line;
}

int FindingsModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return static_cast<int>(filtered_ ? shown_.size() : published_);
}

QVariant FindingsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const std::size_t entry = entryAt(index.row());
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:  // the whole text, where the list cuts it
            return qs(check::findingRow(finding(entry)));
        case Qt::ForegroundRole: {
            const std::uint16_t rule = entries_[entry].rule;
            const bool warning =
                rule != kNoRule && check::rules()[rule].severity == check::Severity::Warning;
            return warning ? QColor(0x9a, 0x5b, 0x00) : QColor(0xb0, 0x10, 0x20);
        }
        case LineRole:
            return QVariant::fromValue<qulonglong>(entries_[entry].line);
        default:
            return {};
    }
}

}  // namespace brindle::gui
