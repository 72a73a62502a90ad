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
// while holding only a trifle of the sheet.
constexpr std::size_t kBatchRows = 256;
constexpr std::size_t kBatchesWaiting = 4;

class ReadAheadReader final : public RowReader {
public:
    explicit ReadAheadReader(std::unique_ptr<RowReader> source) : source_(std::move(source)) {
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
            current_.clear();
            taken_ = 0;
            std::unique_lock lock(mutex_);
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
        row = std::move(current_[taken_++]);
        return true;
    }

    const std::optional<WorkbookError>& error() const override { return error_; }

private:
    // Reads batches until the sheet ends or the caller stops; the source is
    // used by this thread alone from now on.
    void run() {
        std::optional<WorkbookError> error;
        bool more = true;
        while (more) {
            std::vector<Row> batch;
            try {
                batch.reserve(kBatchRows);
                Row row;
                while (batch.size() < kBatchRows && (more = source_->next(row)))
                    batch.push_back(std::move(row));
                if (!more) error = source_->error();
            } catch (...) {
                // No exception may leave a thread; a row that could not be
                // held ends the reading like damage does, after the rows
                // before it.
                more = false;
                error = WorkbookError{detail::Kind::Damaged};
            }
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return stop_ || ready_.size() < kBatchesWaiting; });
            if (stop_) return;
            if (!batch.empty()) ready_.push_back(std::move(batch));
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
    std::deque<std::vector<Row>> ready_;  // batches not yet taken
    bool ended_ = false;                  // no batch will follow
    bool stop_ = false;                   // the caller wants no more rows
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
