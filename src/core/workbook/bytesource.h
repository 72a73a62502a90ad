#pragma once
// What a workbook is read from: a file, or bytes already in memory (a fuzz
// input, a workbook that came some other way than from a disk). The readers
// take either; a file is never read whole where a reader can do without.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "core/base/platform.h"
#include "core/base/result.h"
#include "core/workbook/error.h"

namespace brindle::workbook {

class ByteSource {
public:
    static ByteSource file(std::filesystem::path path);
    // `name` is what the bytes are taken for: its extension picks a format
    // that has no signature, its stem names the sheet of a .csv.
    static ByteSource memory(std::string bytes, std::filesystem::path name);

    // The file, or the name the bytes go by.
    const std::filesystem::path& name() const { return name_; }
    // The bytes in memory; null for a file.
    const std::shared_ptr<const std::string>& bytes() const { return bytes_; }

    // Reads the bytes at any offset, as often as needed.
    class Reader {
    public:
        // Up to `length` bytes at `offset`: fewer only at the end. Nothing on
        // a read error.
        std::optional<std::size_t> readAt(std::uintmax_t offset, char* into,
                                          std::size_t length) const;
        // The bytes there are (a file's size when it was opened).
        std::uintmax_t size() const;

    private:
        friend class ByteSource;
        std::shared_ptr<const platform::FileReader> file_;
        std::shared_ptr<const std::string> bytes_;
    };

    // A file is opened only as a plain file: a folder, a device or a FIFO is
    // refused at once (CannotOpen) instead of being waited on; a missing one
    // is NotFound.
    Result<Reader, WorkbookError> open() const;

    // The file as a C stream, opened the same way, for a library that reads
    // a file through one of its own (libzip): a path it
    // opened itself could be a FIFO by then. The caller closes it. For a
    // file only.
    Result<std::FILE*, WorkbookError> openStream() const;

private:
    std::filesystem::path name_;
    std::shared_ptr<const std::string> bytes_;
};

}  // namespace brindle::workbook
