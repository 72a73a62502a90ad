#include "core/export/exportfile.h"

#include "core/base/messages.h"
#include "core/base/platform.h"

namespace brindle::exports {

std::unique_ptr<ExportBook> openExport(const std::filesystem::path& path, bool titled,
                                       Feedback& feedback) {
    auto book = ExportBook::open(path);
    if (!book) {
        feedback.message(std::string(msg::kExportOpenFailed) + "\r\n" + book.error(),
                         titled ? msg::kSystemTitle : std::string_view());
        return nullptr;
    }
    feedback.message(msg::kExportOpened);
    return std::move(*book);
}

std::unique_ptr<ExportBook> chooseExport(std::string_view filter, bool titled, Feedback& feedback) {
    const auto chosen = feedback.chooseOpenFile(
        {std::string(filter), {}, platform::desktopFolder(), FileKind::Export});
    if (!chosen) return nullptr;
    return openExport(*chosen, titled, feedback);
}

std::size_t CellIndex::KeyHash::operator()(const Key& k) const {
    const std::size_t h = std::hash<std::string_view>{}(k.first);
    return h ^
           (std::hash<std::string_view>{}(k.second) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2));
}

CellIndex::CellIndex(const Library& library) : library_(library) {
    first_.reserve(library.count());
    for (std::size_t i = 0; i < library.count(); ++i) {
        const RecordView r = library.at(i);
        // The first record of a (NE, local cell) pair wins, as a forward
        // search from the first record would find it.
        first_.try_emplace(Key(r.field(kSiteNameField), r.field(Field4G::LocalCellId)), i);
    }
}

std::optional<RecordView> CellIndex::find(std::string_view ne, std::string_view localCellId) const {
    const auto it = first_.find(Key(ne, localCellId));
    if (it == first_.end()) return std::nullopt;
    return library_.at(it->second);
}

std::optional<Cell4G> resolveRow(const CellIndex& index, std::string_view ne,
                                 std::string_view localCellId, Feedback& feedback) {
    if (const auto record = index.find(ne, localCellId)) return Cell4G::from(*record);
    feedback.message(msg::kRowNotInLibrary, {}, Icon::Information);
    return std::nullopt;
}

}  // namespace brindle::exports
