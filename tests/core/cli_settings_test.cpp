// The command line's settings and record commands: ini get/set, edit 2g.

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cstdlib>

#include "clirun.h"
#include "core/base/textcodec.h"
#include "core/freqplan/profile.h"
#include "core/library/store.h"
#include "testsupport.h"

using namespace brindle;
using brindle::test::CliResult;
using brindle::test::readFile;
using brindle::test::TempDir;

namespace {

class CliSettings : public ::testing::Test {
protected:
    TempDir dir;

    void SetUp() override {
        test::makeLibrary(dir / "mu2" / u8"北区2G.edb", LibraryKind::Gsm,
                          {test::cell2G(3, {"G站", "G1", "4501", "10001", "60", "1", "2"}),
                           test::cell2G(4, {"G站", "G2", "4502", "10002", "61", "3", "4"})});
    }

    CliResult cli(const std::string& args) { return test::runCli(dir.path(), args); }

    std::vector<std::string> fields(const std::string& name) {
        auto library = store::load(dir / "mu2" / u8"北区2G.edb", LibraryKind::Gsm);
        if (!library) return {};
        const auto pos = (*library)->findCell(name);
        return pos ? (*library)->at(*pos).toRecord().fields : std::vector<std::string>{};
    }
};

}  // namespace

TEST_F(CliSettings, IniSetWritesGbkAndGetReadsItBack) {
    std::filesystem::create_directories(dir / "mu");
    auto r = cli("ini set mu/EARFCN.ini 'FDD1800频段频点配置' 'FDD180频段频点' '1850|1825'");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(readFile(dir / "mu" / "EARFCN.ini"),
              *codec::toGbk("[FDD1800频段频点配置]\r\nFDD180频段频点=1850|1825\r\n").text);
    r = cli("ini get mu/EARFCN.ini 'FDD1800频段频点配置' 'FDD180频段频点'");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "1850|1825\n");
    // The seven-character spelling is another key.
    r = cli("ini get mu/EARFCN.ini 'FDD1800频段频点配置' 'FDD1800频段频点'");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "\n");
}

TEST_F(CliSettings, IniSetWritesAnEmptyValue) {
    const auto r = cli("ini set 2G.ini Config 'GSM_dcs1800' ''");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(readFile(dir / "2G.ini"), "[Config]\r\nGSM_dcs1800=\r\n");
}

TEST_F(CliSettings, IniGetOfAMissingFilePrintsAnEmptyLine) {
    const auto r = cli("ini get nothing.ini Config x");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "\n");
}

// A file that is there but cannot be read is no empty setting: the read
// fails saying why, as unreadable input.
TEST_F(CliSettings, IniGetOfAFileItCannotReadFails) {
    std::string huge = "[S]\r\nk=1\r\n";
    huge.resize(ProfileFile::kMaxFileBytes + 1, ' ');
    test::writeFile(dir / "huge.ini", huge);
    test::writeFile(dir / "utf8.ini", "[S]\r\nk=组一\r\n");
    std::filesystem::create_directory(dir / "folder.ini");
#ifndef _WIN32  // a FIFO in a folder is POSIX's
    ASSERT_EQ(::mkfifo(platform::utf8Name(dir / "fifo.ini").c_str(), 0600), 0);
#endif
    const std::pair<const char*, const char*> cases[] = {
        {"huge.ini", "配置文件无法读取：huge.ini\n"},
        {"utf8.ini", "配置文件不是GBK编码：utf8.ini\n"},
        {"folder.ini", "配置文件无法读取：folder.ini\n"},
#ifndef _WIN32
        {"fifo.ini", "配置文件无法读取：fifo.ini\n"},
#endif
    };
    for (const auto& [file, err] : cases) {
        const auto r = cli(std::string("ini get ") + file + " S k");
        EXPECT_EQ(r.status, 2) << file;
        EXPECT_EQ(r.out, "") << file;
        EXPECT_EQ(r.err, err) << file;
    }
}

// A GBK line added to a UTF-8 file would leave it neither UTF-8 nor GBK.
TEST_F(CliSettings, IniSetRefusesAFileSavedAsUtf8) {
    const std::string utf8 = "[S]\r\nk=组一\r\n";
    test::writeFile(dir / "utf8.ini", utf8);
    for (const char* args : {"S k 组二", "新节 k 1"}) {
        const auto r = cli(std::string("ini set utf8.ini ") + args);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_EQ(r.err, "写入失败，请重新写入：文件不是GBK编码\n") << args;
    }
    EXPECT_EQ(readFile(dir / "utf8.ini"), utf8);
    // Plain ASCII is GBK as well, and a GBK file with a damaged byte is still one.
    test::writeFile(dir / "ascii.ini", "[S]\r\nk=1\r\n");
    test::writeFile(dir / "damaged.ini", test::gbk("[S]\r\nk=组一\r\n") + "\xFF\r\n");
    for (const char* file : {"ascii.ini", "damaged.ini"})
        EXPECT_EQ(cli(std::string("ini set ") + file + " S n 组二").status, 0) << file;
}

TEST_F(CliSettings, IniSetFailureSaysWhyAndChangesNothing) {
    test::writeFile(dir / "ro.ini", "[Config]\r\na=1\r\n");
    std::filesystem::permissions(dir / "ro.ini", std::filesystem::perms::owner_read);
    auto r = cli("ini set ro.ini Config a 2");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("写入失败，请重新写入：", 0), 0u) << r.err;
    EXPECT_GT(r.err.size(), std::string("写入失败，请重新写入：\n").size());
    EXPECT_EQ(readFile(dir / "ro.ini"), "[Config]\r\na=1\r\n");
    r = cli("ini set 无/x.ini Config a 2");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("写入失败，请重新写入："), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "无"));
}

TEST_F(CliSettings, Edit2GChangesTheGivenRadioFields) {
    const auto r = cli("--lib2g 北区2G.edb edit 2g G2 '小区LAC=4600' 'BCCH频点=' '小区基站色码=7'");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "修改成功\n");
    EXPECT_EQ(fields("G2"), (std::vector<std::string>{"G站", "G2", "4600", "10002", "", "3", "7"}));
    EXPECT_EQ(fields("G1"),
              (std::vector<std::string>{"G站", "G1", "4501", "10001", "60", "1", "2"}));
}

TEST_F(CliSettings, Edit2GRefusesOtherFields) {
    for (const char* args :
         {"'小区名=X'", "'ID=9'", "'基站名=X'", "'小区LAC'", "'小区LAC=1' 'TAC号=2'"}) {
        const auto r = cli(std::string("--lib2g 北区2G.edb edit 2g G1 ") + args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.err.find("不能修改"), std::string::npos) << args;
    }
    EXPECT_EQ(fields("G1"),
              (std::vector<std::string>{"G站", "G1", "4501", "10001", "60", "1", "2"}));
}

TEST_F(CliSettings, Edit2GOfAMissingCell) {
    const auto r = cli("--lib2g 北区2G.edb edit 2g G9 '小区CI=1'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "查找不到ID\n");
}

TEST_F(CliSettings, Edit2GWithoutALibrary) {
    const auto r = cli("edit 2g G1 '小区CI=1'");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--lib2g"), std::string::npos);
}
