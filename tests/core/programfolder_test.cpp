// Which program folder a start without --home works on, and how the user's
// data folder is made the first time.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/app/programfolder.h"
#include "core/base/messages.h"
#include "testsupport.h"

using namespace brindle;
using namespace brindle::test;
namespace fs = std::filesystem;

namespace {

// Every file and folder below `root`, sorted, as "name" or "name=content".
std::vector<std::string> listing(const fs::path& root) {
    std::vector<std::string> out;
    if (!fs::exists(root)) return out;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        std::string name =
            platform::utf8Name(entry.path().lexically_relative(root).generic_u8string());
        if (entry.is_regular_file()) name += "=" + readFile(entry.path());
        out.push_back(name);
    }
    std::sort(out.begin(), out.end());
    return out;
}

// An installed program: <root>/bin/ holds the executable, the sample
// workspace is in <root>/share/brindle/workspace, and the user's data folder
// is <root>/data/brindle.
struct Installation {
    TempDir root;
    fs::path bin = root / "bin";
    fs::path data = root / "data" / "brindle";
    fs::path share = root / "share" / "brindle" / "workspace";

    Installation() { fs::create_directories(bin); }
    void writeSample() {
        writeFile(share / "mu" / platform::pathFromUtf8("示例4G.db"), "4G");
        writeFile(share / "mu2" / platform::pathFromUtf8("示例2G.db"), "2G");
        writeFile(share / "workbooks" / platform::pathFromUtf8("示例.xlsx"), "book");
    }
};

enum class Chosen { Executable, Data };

struct Case {
    const char* name;
    bool executableHasMu;
    bool sample;
    bool dataExists;  // with one file of its own
    bool dataKnown;
    Chosen chosen;
    std::vector<std::string> dataAfter;
};

const std::vector<std::string> kSampleCopy{
    "mu", "mu/示例4G.db=4G", "mu2", "mu2/示例2G.db=2G", "workbooks", "workbooks/示例.xlsx=book"};
const std::vector<std::string> kOwnData{"mu", "mu/own.db=mine"};

const Case kCases[] = {
    {"ExecutableFolderWithMuWins", true, true, false, true, Chosen::Executable, {}},
    {"DataFolderMadeFromTheSample", false, true, false, true, Chosen::Data, kSampleCopy},
    {"ExistingDataFolderUntouched", false, true, true, true, Chosen::Data, kOwnData},
    {"NoSampleGivesEmptyLibraryFolders", false, false, false, true, Chosen::Data, {"mu", "mu2"}},
    {"NoDataFolderKeepsTheExecutables", false, true, false, false, Chosen::Executable, {}},
};

class ProgramFolderTest : public testing::TestWithParam<Case> {};

TEST_P(ProgramFolderTest, Chooses) {
    const Case& c = GetParam();
    Installation inst;
    if (c.executableHasMu) fs::create_directory(inst.bin / "mu");
    if (c.sample) inst.writeSample();
    if (c.dataExists) writeFile(inst.data / "mu" / "own.db", "mine");

    const Result<fs::path> folder =
        chooseProgramFolder(inst.bin, c.dataKnown ? std::optional(inst.data) : std::nullopt);
    ASSERT_TRUE(folder.ok()) << folder.error();
    EXPECT_EQ(*folder, c.chosen == Chosen::Executable ? inst.bin : inst.data);
    EXPECT_EQ(listing(inst.data), c.dataAfter);
    // Nothing else beside the data folder: no temporary copy stays.
    EXPECT_EQ(listing(inst.root / "data"), [&] {
        std::vector<std::string> beside{};
        if (!c.dataAfter.empty()) beside.push_back("brindle");
        for (const auto& name : c.dataAfter) beside.push_back("brindle/" + name);
        return beside;
    }());
}

INSTANTIATE_TEST_SUITE_P(Cases, ProgramFolderTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ProgramFolder, AFolderThatCannotBeMadeFailsAndLeavesNothing) {
    Installation inst;
    inst.writeSample();
    writeFile(inst.root / "data", "a file where the folder's parent should be");
    const Result<fs::path> folder = chooseProgramFolder(inst.bin, inst.data);
    ASSERT_FALSE(folder.ok());
    EXPECT_TRUE(folder.error().starts_with(std::string(msg::kProgramFolderNotMade) +
                                           platform::utf8Name(inst.data) + "："))
        << folder.error();
    EXPECT_EQ(readFile(inst.root / "data"), "a file where the folder's parent should be");
}

}  // namespace
