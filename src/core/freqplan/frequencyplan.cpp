#include "core/freqplan/frequencyplan.h"

#include <algorithm>
#include <cstdint>

#include "core/base/messages.h"
#include "core/base/namelist.h"

namespace brindle {
namespace {

// Longer than the coarsest modification-time tick of the file systems the
// plan may sit on (FAT keeps even seconds). A file whose times are older
// than this when a read starts cannot change again without changing them.
constexpr std::int64_t kSettleNs = 3'000'000'000;

}  // namespace

FrequencyPlan::FrequencyPlan(std::filesystem::path earfcnIni, PlanReads reads)
    : path_(std::move(earfcnIni)), reads_(reads) {}

std::shared_ptr<const ProfileFile> FrequencyPlan::snapshot() const {
    std::lock_guard lock(mutex_);

    const std::uint64_t writes = profileWriteCount();
    if (reads_ == PlanReads::OneRun && cache_ && cache_->writes == writes) return cache_->profile;

    const platform::FileStamp stamp = platform::fileStamp(path_);
    if (cache_ && cache_->settled && cache_->stamp == stamp) {
        cache_->writes = writes;
        return cache_->profile;
    }

    if (!stamp.exists) {
        cache_ = std::make_unique<Cache>();
        cache_->stamp = stamp;
        cache_->settled = true;
        cache_->profile = std::make_shared<const ProfileFile>(ProfileFile::Source::Missing);
        cache_->writes = writes;
        return cache_->profile;
    }

    const std::int64_t readStart = platform::wallClockNs();
    platform::FileContents contents = platform::readWholeFile(path_, ProfileFile::kMaxFileBytes);
    if (contents.state != platform::FileContents::State::Read) {
        // Unreadable, or gone since the stamp was taken: keep nothing, try
        // again next read.
        cache_.reset();
        return std::make_shared<const ProfileFile>(ProfileFile::sourceOf(contents.state));
    }
    std::string bytes = std::move(contents.bytes);

    const bool settled = std::max(stamp.mtimeNs, stamp.ctimeNs) + kSettleNs < readStart;
    if (!cache_ || cache_->bytes != bytes) {
        auto fresh = std::make_unique<Cache>();
        fresh->profile = std::make_shared<const ProfileFile>(ProfileFile::parse(bytes));
        fresh->bytes = std::move(bytes);
        cache_ = std::move(fresh);
    }
    cache_->stamp = stamp;
    cache_->settled = settled;
    cache_->writes = writes;
    return cache_->profile;
}

std::string FrequencyPlan::value(std::string_view section, std::string_view key) const {
    return snapshot()->value(section, key);
}

std::string_view planProblem(ProfileFile::Source source) {
    switch (source) {
        case ProfileFile::Source::Read:
            break;
        case ProfileFile::Source::Missing:
            return msg::kPlanMissing;
        case ProfileFile::Source::Unreadable:
            return msg::kPlanUnreadable;
        case ProfileFile::Source::NotGbk:
            return msg::kPlanNotGbk;
    }
    return {};
}

std::vector<std::string> bandList(const ProfileFile& profile, Band band) {
    const plankeys::ListKey& names = plankeys::bandListKey(band);
    return splitList(profile.value(names.section, names.key), plankeys::kListSeparator);
}

FamilyValues familyValues(const ProfileFile& profile, const Family& family) {
    FamilyValues values;
    values.reselPriority = profile.value(family.section, family.reselPriorityKey);
    values.threshHigh = profile.value(family.section, family.threshHighKey);
    values.threshLow = profile.value(family.section, family.threshLowKey);
    values.hoEvent = profile.value(family.section, family.hoEventKey);
    values.connOffset = profile.value(family.section, family.connOffsetKey);
    return values;
}

std::vector<std::string> FrequencyPlan::bandList(Band band) const {
    return brindle::bandList(*snapshot(), band);
}

FamilyValues FrequencyPlan::family(const Family& family) const {
    return familyValues(*snapshot(), family);
}

std::string FrequencyPlan::minRxLevel() const {
    return value(plankeys::kOtherSection, plankeys::kMinRxLevelKey);
}

FrequencySettings frequencySettings(const ProfileFile& profile, int n) {
    const std::string section = plankeys::frequencySettingsSection(n);
    FrequencySettings settings;
    settings.earfcn = profile.value(section, plankeys::kFsEarfcnKey);
    settings.priority = profile.value(section, plankeys::kFsPriorityKey);
    settings.bandwidth = profile.value(section, plankeys::kFsBandwidthKey);
    settings.event = profile.value(section, plankeys::kFsEventKey);
    return settings;
}

FrequencySettings FrequencyPlan::frequencySettings(int n) const {
    return brindle::frequencySettings(*snapshot(), n);
}

ProfileFile::Source FrequencyPlan::source() const {
    return snapshot()->source();
}

Status FrequencyPlan::write(std::string_view section, std::string_view key,
                            std::string_view value) {
    Status written = writeProfile(path_, section, key, value);
    std::lock_guard lock(mutex_);
    cache_.reset();
    return written;
}

}  // namespace brindle
