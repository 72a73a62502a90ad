// Rows read on a thread of their own: a caller that does real work with each
// row (the export's SQLite inserts) then shares the two cores with the
// parsing instead of waiting for it.

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "core/workbook/internal.h"

namespace brindle::workbook {

namespace {

// Rows go over in batches so that the threads meet a few hundred times a
// sheet, not once a row; a few batches in waiting keep both threads busy
// while holding only a trifle of the sheet. A batch the caller has taken out
// comes back with the caller's rows in it, and the next rows are read into
// those: the strings of a sheet are then made a few thousand times, not a
// few million, and freed by the thread that made them.
constexpr std::size_t kBatchRows = 256;
constexpr std::size_t kBatchesWaiting = 4;
// Batches back from the caller, waiting to be filled again.
constexpr std::size_t kBatchesSpent = kBatchesWaiting + 2;

class ReadAheadReader final : public RowReader {
public:
    explicit ReadAheadReader(std::unique_ptr<RowReader> source) : source_(std::move(source)) {
        spent_.reserve(kBatchesSpent);
        worker_ = std::thread([this] { run(); });
    }

    ~ReadAheadReader() override {
        {
            const std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        worker_.join();
    }

    bool next(Row& row) override {
        if (taken_ == current_.size()) {
            taken_ = 0;
            std::unique_lock lock(mutex_);
            if (!current_.empty() && spent_.size() < spent_.capacity())
                spent_.push_back(std::move(current_));
            current_.clear();
            changed_.wait(lock, [this] { return !ready_.empty() || ended_; });
            if (ready_.empty()) {
                error_ = sourceError_;
                return false;
            }
            current_ = std::move(ready_.front());
            ready_.pop_front();
            lock.unlock();
            changed_.notify_all();  // room for another batch
        }
        std::swap(row, current_[taken_++]);
        return true;
    }

    const std::optional<WorkbookError>& error() const override { return error_; }

private:
    // Reads batches until the sheet ends or the caller stops; the source is
    // used by this thread alone from now on.
    void run() {
        std::optional<WorkbookError> error;
        bool more = true;
        std::vector<Row> batch;
        while (more) {
            std::size_t filled = 0;
            try {
                batch.reserve(kBatchRows);
                for (; filled < kBatchRows; ++filled) {
                    if (filled == batch.size()) batch.emplace_back();
                    if (!(more = source_->next(batch[filled]))) break;
                }
                if (!more) error = source_->error();
            } catch (...) {
                // No exception may leave a thread; a row that could not be
                // held ends the reading like damage does, after the rows
                // before it.
                more = false;
                error = WorkbookError{detail::Kind::Damaged};
            }
            batch.resize(filled);  // rows of the caller's not read into
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return stop_ || ready_.size() < kBatchesWaiting; });
            if (stop_) return;
            if (!batch.empty()) ready_.push_back(std::move(batch));
            batch.clear();
            if (!spent_.empty()) {
                batch = std::move(spent_.back());
                spent_.pop_back();
            }
            if (!more) {
                sourceError_ = std::move(error);
                ended_ = true;
            }
            lock.unlock();
            changed_.notify_all();
        }
    }

    std::unique_ptr<RowReader> source_;
    std::thread worker_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<Row>> ready_;   // batches not yet taken
    std::vector<std::vector<Row>> spent_;  // batches taken and emptied, to be filled again
    bool ended_ = false;                   // no batch will follow
    bool stop_ = false;                    // the caller wants no more rows
    std::optional<WorkbookError> sourceError_;

    // The caller's side.
    std::vector<Row> current_;
    std::size_t taken_ = 0;
    std::optional<WorkbookError> error_;
};

}  // namespace

std::unique_ptr<RowReader> Workbook::readAhead(std::unique_ptr<RowReader> rows) const {
    return std::make_unique<ReadAheadReader>(std::move(rows));
}

}  // namespace brindle::workbook
