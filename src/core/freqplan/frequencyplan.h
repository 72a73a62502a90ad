#pragma once
// Typed reads of the frequency plan, EARFCN.ini.
//
// Engineers edit EARFCN.ini by hand while the program runs, so a plan made
// with PlanReads::Current sees the file as it is on disk at every read. A
// parsed copy is kept and reused while the file's stamp (modification and
// change times, size, file id) is unchanged. Those times are only as fine as
// the file system's clock tick, so two writes inside one tick can leave them
// equal: while the file was changed too recently for its times to be
// trusted, each read also compares the file's bytes with the copy's.
//
// A generator run reads the plan for every cell pair, a hundred thousand
// times in a province-sized run, and looking at the file each time was most
// of its cost. It makes its plan with PlanReads::OneRun: the file is looked
// at on the first read, and again only after Brindle itself wrote a settings
// file (the plan window stays usable while a run pauses for events). A hand
// edit made during a run is seen by the next run; within one run every line
// comes from one state of the plan.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/platform.h"
#include "core/base/result.h"
#include "core/freqplan/plankeys.h"
#include "core/freqplan/profile.h"

namespace brindle {

// The five values of one band-pair family.
struct FamilyValues {
    std::string reselPriority;  // 异频频点重先优先级
    std::string threshHigh;     // 异频频点高优先级重选门限
    std::string threshLow;      // 异频频点低优先级重选门限
    std::string hoEvent;        // 异频切换事件
    std::string connOffset;     // 连接态频率偏置

    bool operator==(const FamilyValues&) const = default;
};

// One of the "频点N设置" sections.
struct FrequencySettings {
    std::string earfcn;     // 频点
    std::string priority;   // 优先级
    std::string bandwidth;  // 测试带宽
    std::string event;      // 切换事件

    bool operator==(const FrequencySettings&) const = default;
};

// The head of the message telling why a plan file reads as empty or
// garbled, to be followed by its path; empty for a file that was read.
std::string_view planProblem(ProfileFile::Source source);

// Reads of one parsed state of the file, for callers that hold a snapshot.
std::vector<std::string> bandList(const ProfileFile& profile, Band band);
FamilyValues familyValues(const ProfileFile& profile, const Family& family);
// n from 1 to 13, as FrequencyPlan::frequencySettings.
FrequencySettings frequencySettings(const ProfileFile& profile, int n);

// When a FrequencyPlan looks at the file again; see above.
enum class PlanReads { Current, OneRun };

class FrequencyPlan {
public:
    explicit FrequencyPlan(std::filesystem::path earfcnIni, PlanReads reads = PlanReads::Current);
    FrequencyPlan(const FrequencyPlan&) = delete;
    FrequencyPlan& operator=(const FrequencyPlan&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // The band's carriers: the value split at "|", pieces exactly as written
    // (not trimmed); an empty or missing value gives no carriers.
    std::vector<std::string> bandList(Band band) const;
    // All five values, read from one state of the file.
    FamilyValues family(const Family& family) const;
    std::string minRxLevel() const;
    // n from 1 to 13. Any other n is a programming error: it throws
    // std::out_of_range, which the program's boundaries report.
    FrequencySettings frequencySettings(int n) const;
    std::string value(std::string_view section, std::string_view key) const;

    // Whether the file was missing or unreadable at the last read (both read
    // as an empty plan) or not GBK, which callers may want to report.
    ProfileFile::Source source() const;

    // The parsed file as it is now, for callers making several reads that
    // must agree with one another.
    std::shared_ptr<const ProfileFile> snapshot() const;

    // Writes through writeProfile (its error is this one's); the next read
    // re-reads the file.
    Status write(std::string_view section, std::string_view key, std::string_view value);

private:
    struct Cache {
        platform::FileStamp stamp;  // what identifies the parsed state of the file
        bool settled = false;       // the stamp alone proves the copy current
        std::string bytes;          // what was parsed, for the unsettled comparison
        std::shared_ptr<const ProfileFile> profile;
        std::uint64_t writes = 0;  // profileWriteCount() before the file was looked at
    };

    std::filesystem::path path_;
    PlanReads reads_;
    mutable std::mutex mutex_;
    mutable std::unique_ptr<Cache> cache_;
};

}  // namespace brindle
