// Workbook readers: the input is read from memory as a workbook of the
// reader's extension, and every row of its first sheet is read. Built three
// times, once per extension (.xlsx, .xls, .csv); an open or read error is a
// good answer, a crash or a sanitizer report is not.

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/workbook/workbook.h"
#include "fuzzsupport.h"

#ifndef BRINDLE_FUZZ_EXTENSION
#define BRINDLE_FUZZ_EXTENSION ".xlsx"
#endif

using namespace brindle;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto source = workbook::ByteSource::memory(std::string(fuzz::bytesOf(data, size)),
                                                     "input" BRINDLE_FUZZ_EXTENSION);
    auto book = workbook::Workbook::open(source);
    if (!book) return 0;
    const auto names = (*book)->sheetNames();
    auto reader = (*book)->rows(std::size_t{0});
    if (!reader) return 0;
    workbook::Row row;
    std::size_t expected = 1;
    while ((*reader)->next(row)) {
        if (row.number != expected)
            fuzz::fail("row numbers are not continuous",
                       std::to_string(row.number) + " after " + std::to_string(expected - 1));
        ++expected;
        (void)row.blank();
    }
    (void)(*reader)->error();
    return 0;
}
