#pragma once
// The findings of one check, as the list under a pane shows them. A check of
// a million-line script finds millions: each is kept as a line number, its
// rule and the part of its text that is not the rule's own reason, in one
// shared buffer, and a row's text is made only when the view asks for it.
// The rows a filter lets through are the findings of one severity or one
// rule, or both.

#include <QAbstractListModel>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/tools/scriptcheck.h"

namespace brindle::gui {

class FindingsModel : public QAbstractListModel {
    Q_OBJECT
public:
    // The script line of a row (0 for a finding about the whole script).
    static constexpr int LineRole = Qt::UserRole + 1;

    struct Filter {
        std::optional<check::Severity> severity;  // none: both
        const check::Rule* rule = nullptr;        // none: every rule
    };

    explicit FindingsModel(QObject* parent = nullptr) : QAbstractListModel(parent) {}

    void clear();
    // Keeps a finding; it becomes a row at the next publish(), so that a
    // check telling thousands at a time inserts them as one block.
    void add(const check::Finding& finding);
    void publish();

    void setFilter(const Filter& filter);
    const Filter& filter() const { return filter_; }

    // Findings published so far, whatever the filter shows.
    std::size_t size() const { return published_; }
    // Of those, the findings of `rule` (null: those without one).
    std::size_t countOf(const check::Rule* rule) const;
    // The script line of a row the view shows.
    std::size_t lineAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    struct Entry {
        std::uint32_t line;
        std::uint16_t rule;       // index in check::rules(), or kNoRule
        bool startsWithReason;    // the detail is the rule's reason + the rest
        std::uint64_t detailEnd;  // where its rest ends in details_
    };
    static constexpr std::uint16_t kNoRule = 0xFFFF;

    bool passes(const Entry& entry) const;
    check::Finding finding(std::size_t entry) const;
    std::size_t entryAt(int row) const;

    std::vector<Entry> entries_;  // every finding kept, published or not
    std::string details_;
    std::size_t published_ = 0;
    // Per rule index, the last for findings without a rule.
    std::vector<std::size_t> perRule_;
    Filter filter_;
    bool filtered_ = false;
    std::vector<std::uint32_t> shown_;  // entries that pass, while filtered_
};

}  // namespace brindle::gui
