#include "core/freqplan/profile.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/base/textcodec.h"
#include "testsupport.h"

namespace brindle {
namespace {
using brindle::test::gbk;

namespace fs = std::filesystem;

// UTF-8 test text as the GBK bytes a file on disk holds.
class ProfileTest : public ::testing::Test {
protected:
    test::TempDir temp_;

    void SetUp() override {
        dir_ = temp_.path();
        file_ = dir_ / "test.ini";
    }

    static void put(const fs::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }
    static std::string contents(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void put(const std::string& bytes) const { put(file_, bytes); }
    std::string contents() const { return contents(file_); }
    std::string read(std::string_view section, std::string_view key) const {
        return readProfile(file_, section, key);
    }
    Status write(std::string_view section, std::string_view key, std::string_view value) const {
        return writeProfile(file_, section, key, value);
    }
    // The files of the folder but the lock file that every write leaves.
    long entriesInDir() const {
        return std::count_if(
            fs::directory_iterator(dir_), fs::directory_iterator(),
            [](const fs::directory_entry& e) { return e.path().filename() != ".brindle.lock"; });
    }

    fs::path dir_, file_;
};

TEST_F(ProfileTest, ReadsGbkValuesAndMissingOnesAsEmpty) {
    EXPECT_EQ(read("Config", "开始频点"), "");
    EXPECT_EQ(ProfileFile::load(file_).source(), ProfileFile::Source::Missing);
    put(gbk("[Config]\r\n开始频点=512\r\nBCCH组标识=组一\r\n[其它项]\r\n最低接收电平=-120\r\n"));
    EXPECT_EQ(read("Config", "BCCH组标识"), "组一");
    EXPECT_EQ(read("其它项", "最低接收电平"), "-120");
    EXPECT_EQ(read("其它项", "开始频点"), "");
    EXPECT_EQ(read("Config", "GSM_dcs1800"), "");
    EXPECT_EQ(ProfileFile::load(dir_).source(), ProfileFile::Source::Unreadable);
}

TEST_F(ProfileTest, NamesAreCaseSensitiveAndLoseSurroundingBlanks) {
    put(gbk("[config]\r\nKey=lower-section\r\n  [ Config ]\t\r\n \tkey \t=  lower-key \t\r\n"));
    EXPECT_EQ(read("config", "Key"), "lower-section");
    EXPECT_EQ(read("Config", "Key"), "");
    EXPECT_EQ(read("Config", "key"), "lower-key");
    EXPECT_EQ(read(" Config ", "key"), "");
}

TEST_F(ProfileTest, LineRules) {
    put("k=outside\r\n[S]\r\n"
        "a=\"  spaced  \"\r\nb=\"open\r\nc=\"\"\r\nd=\"in\"side\"\r\ne =  \"x\"  \r\n"
        "f=\"\"twice\"\"\r\ng=\"\r\nh=a=b==c\r\ni=  'x y'  \r\nj='x\"\r\nl='\r\nm=''\r\n"
        "just some words\r\nk=first\r\nk=second\r\n"
        "[T] trailing\nt=lf\n[U\r\nu=unclosed\r\n[S]\r\nk=hidden\r\nonly=hidden\r\n[V]\r\nv=last");
    const std::pair<std::string_view, std::string_view> expected[] = {
        {"a", "  spaced  "}, {"b", "\"open"},         {"c", ""},   {"d", "in\"side"},
        {"e", "x"},          {"f", "\"twice\""},      {"g", "\""}, {"h", "a=b==c"},
        {"i", "x y"},        {"j", "'x\""},           {"l", "'"},  {"m", ""},
        {"k", "first"},      {"just some words", ""}, {"only", ""}};
    for (const auto& [key, value] : expected) EXPECT_EQ(read("S", key), value) << key;
    EXPECT_EQ(read("T", "t"), "lf");
    EXPECT_EQ(read("U", "u"), "unclosed");
    EXPECT_EQ(read("V", "v"), "last");
}

TEST_F(ProfileTest, GbkAwareTolerantAndNeverCut) {
    ASSERT_EQ(gbk("乚"), "\x81\x5D");  // its trail byte is ']'
    std::string list;
    while (list.size() < 30000) list += "38400|";
    put(gbk("[乚]\r\n键=值\r\nlong=") + list +
        "\r\nbad=a\xFF"
        "b\r\n");
    EXPECT_EQ(read("乚", "键"), "值");
    EXPECT_EQ(read("乚", "long"), list);
    EXPECT_EQ(read("乚", "bad"),
              "a\xEF\xBF\xBD"
              "b");
}

TEST_F(ProfileTest, ParsedFileAnswersManyReads) {
    put(gbk("[频点1设置]\r\n频点=38400\r\nempty=\r\n"));
    const ProfileFile profile = ProfileFile::load(file_);
    EXPECT_EQ(profile.find("频点1设置", "empty"), std::optional<std::string>(""));
    EXPECT_EQ(profile.find("频点1设置", "😀"), std::nullopt);
    EXPECT_FALSE(profile.hasSection("频点2设置"));
    for (int i = 0; i < 5000; ++i)
        ASSERT_EQ(profile.find("频点1设置", "键" + std::to_string(i)), std::nullopt);
    EXPECT_EQ(profile.value("频点1设置", "频点"), "38400");
}

TEST_F(ProfileTest, ReplacesValueInPlaceKeepingEveryOtherByte) {
    put(
        gbk("; 频点规划\r\n\r\n[其它项]\r\n 最低接收电平 = -120\r\nother=x\n\r\n[E]\nk=old\nk=2\n"
            "[F]\r\nf=v"));
    ASSERT_TRUE(write("其它项", "最低接收电平", "-124"));
    ASSERT_TRUE(write("E", "k", "new"));
    ASSERT_TRUE(write("F", "f", "longer value"));
    EXPECT_EQ(contents(), gbk("; 频点规划\r\n\r\n[其它项]\r\n 最低接收电平 = -124\r\nother=x\n\r\n"
                              "[E]\nk=new\nk=2\n[F]\r\nf=longer value"));
}

TEST_F(ProfileTest, AddsKeysAndSections) {
    put("[A]\r\na=1\r\n\r\n[B]\r\n\r\n[A]\r\nk=hidden\r\n[C]\nc=1");
    ASSERT_TRUE(write("A", "k", "seen"));  // end of the first [A], before its blank line
    ASSERT_TRUE(write("B", "b", "2"));     // empty section: right after the header
    ASSERT_TRUE(write("C", "c2", "3"));    // last line had no line break
    ASSERT_TRUE(write("D", "d", "4"));     // new section at the end
    EXPECT_EQ(contents(),
              "[A]\r\na=1\r\nk=seen\r\n\r\n[B]\r\nb=2\r\n\r\n[A]\r\nk=hidden\r\n"
              "[C]\nc=1\r\nc2=3\r\n[D]\r\nd=4\r\n");
    EXPECT_EQ(read("A", "k"), "seen");

    const fs::path noNewline = dir_ / "n.ini";
    put(noNewline, "[A]\na=1");
    ASSERT_TRUE(writeProfile(noNewline, "B", "k", "v"));
    EXPECT_EQ(contents(noNewline), "[A]\na=1\r\n[B]\r\nk=v\r\n");
}

TEST_F(ProfileTest, CreatesFileOnlyInAnExistingFolder) {
    ASSERT_TRUE(write("Config", "开始频点", "中"));
    EXPECT_EQ(contents(), gbk("[Config]\r\n开始频点=中\r\n"));
    EXPECT_FALSE(writeProfile(dir_ / "nowhere" / "x.ini", "S", "k", "v"));
    EXPECT_FALSE(fs::exists(dir_ / "nowhere"));
    fs::create_directory(dir_ / "sub.ini");
    EXPECT_FALSE(writeProfile(dir_ / "sub.ini", "S", "k", "v"));
}

TEST_F(ProfileTest, ReadOnlyFileIsLeftUntouchedEvenForRoot) {
    put("[S]\r\nk=v\r\n");
    fs::permissions(file_, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(write("S", "k", "changed").error(), "文件为只读");
    EXPECT_EQ(write("S", "added", "1").error(), "文件为只读");
    EXPECT_EQ(contents(), "[S]\r\nk=v\r\n");
    EXPECT_EQ(entriesInDir(), 1);  // no temporary left behind
}

TEST_F(ProfileTest, KeepsPermissionsAndFollowsSymbolicLinks) {
    BRINDLE_POSIX_ONLY("symbolic links need privileges on Windows");
    const fs::path real = dir_ / "real.ini";
    put(real, "[S]\r\nk=v\r\n");
    const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(real, perms);
    fs::create_symlink(real, file_);
    ASSERT_TRUE(write("S", "k", "w"));
    EXPECT_TRUE(fs::is_symlink(file_));
    EXPECT_EQ(contents(real), "[S]\r\nk=w\r\n");
    EXPECT_EQ(fs::status(real).permissions(), perms);
    EXPECT_EQ(entriesInDir(), 2);
}

TEST_F(ProfileTest, UnencodableTextFailsAndLeavesFileUntouched) {
    const std::string before = gbk("[S]\r\n键=值\r\n");
    put(before);
    EXPECT_FALSE(write("S", "键", "😀"));
    EXPECT_FALSE(write("S", "😀", "v"));
    EXPECT_FALSE(write("😀", "键", "v"));
    EXPECT_EQ(contents(), before);
    EXPECT_FALSE(writeProfile(dir_ / "new.ini", "S", "k", "a😀b"));
    EXPECT_FALSE(fs::exists(dir_ / "new.ini"));
}

// A value is stored as Windows stores it (without the blanks around it) and
// reads back as Windows reads it (one pair of matching quotes dropped too).
TEST_F(ProfileTest, ValuesAreStoredAndReadAsWindowsDoes) {
    struct Case {
        std::string_view written, line, read;
    };
    const Case cases[] = {
        {"v", "k=v", "v"},
        {"", "k=", ""},
        {" ", "k=", ""},
        {" 5", "k=5", "5"},
        {"\t5", "k=5", "5"},
        {"5 \t", "k=5", "5"},
        {"'5'", "k='5'", "5"},
        {"\"5\"", "k=\"5\"", "5"},
        {"' 5 '", "k=' 5 '", " 5 "},
        {"  \" 5 \"\t", "k=\" 5 \"", " 5 "},
        {"''", "k=''", ""},
        {"'", "k='", "'"},
        {"'5", "k='5", "'5"},
        {"\"5'", "k=\"5'", "\"5'"},
        {"'a' b'", "k='a' b'", "a' b"},
        {"a 'b' c", "k=a 'b' c", "a 'b' c"},
        {" 城北 ", "k=\xB3\xC7\xB1\xB1", "城北"},
    };
    for (const Case& c : cases) {
        fs::remove(file_);
        ASSERT_TRUE(write("S", "k", c.written)) << c.written;
        EXPECT_EQ(contents(), "[S]\r\n" + std::string(c.line) + "\r\n") << c.written;
        EXPECT_EQ(read("S", "k"), c.read) << c.written;
    }
    // In place, too: the line up to the value is kept, the blanks are not.
    put("[S]\r\nk =  old\r\n");
    ASSERT_TRUE(write("S", "k", " new\t"));
    EXPECT_EQ(contents(), "[S]\r\nk =  new\r\n");
}

TEST_F(ProfileTest, NamesAndValuesThatCannotReadBackAreRefused) {
    put("[S]\r\nk=v\r\n");
    EXPECT_FALSE(write("", "k", "v"));
    EXPECT_FALSE(write("S", "", "v"));
    EXPECT_FALSE(write(" S", "k", "v"));
    EXPECT_FALSE(write("S", "k\t", "v"));
    EXPECT_FALSE(write("S]", "k", "v"));
    EXPECT_FALSE(write("S", "a=b", "v"));
    EXPECT_FALSE(write("S", "[k", "v"));
    EXPECT_FALSE(write("S", "k", "two\r\nlines"));
    EXPECT_FALSE(write("S", "k", std::string_view("nul\0byte", 8)));
    EXPECT_EQ(contents(), "[S]\r\nk=v\r\n");
}

TEST_F(ProfileTest, RefusalsSayWhy) {
    put("[S]\r\nk=v\r\n");
    EXPECT_EQ(write("S]", "k", "v").error(), "节名无法写入配置文件：S]");
    EXPECT_EQ(write("S", "a=b", "v").error(), "键名无法写入配置文件：a=b");
    EXPECT_EQ(write("S", "k", "two\nlines").error(), "值含有换行或空字符，无法写入配置文件");
    EXPECT_EQ(write("😀", "k", "v").error(), "含有GBK编码无法表示的字符：😀");
    EXPECT_EQ(write("S", "键😀", "v").error(), "含有GBK编码无法表示的字符：键😀");
    EXPECT_EQ(write("S", "k", "a😀").error(), "含有GBK编码无法表示的字符：a😀");
    EXPECT_EQ(writeProfile(dir_ / "nowhere" / "x.ini", "S", "k", "v").error(), "文件夹不存在");
    fs::create_directory(dir_ / "sub.ini");
    EXPECT_EQ(writeProfile(dir_ / "sub.ini", "S", "k", "v").error(), "不是普通文件");
#ifndef _WIN32  // symbolic links need privileges on Windows
    fs::create_symlink(dir_ / "gone.ini", dir_ / "dangling.ini");
    EXPECT_EQ(writeProfile(dir_ / "dangling.ini", "S", "k", "v").error(), "链接指向的文件不存在");
    EXPECT_FALSE(fs::exists(dir_ / "gone.ini"));
#endif
    EXPECT_EQ(contents(), "[S]\r\nk=v\r\n");
    const Status written = write("S", "k", "w");
    EXPECT_TRUE(written.ok()) << written.error();
    EXPECT_EQ(written.error(), "");
}

TEST_F(ProfileTest, InvalidGbkBytesSurviveWrites) {
    put("[S]\r\nbad=\xFF\x80\x81\r\n[T]\r\nk = 1\r\n\xFE");
    ASSERT_TRUE(write("T", "k", "1"));  // unchanged value: file as it was
    ASSERT_TRUE(write("T", "k", "2"));
    EXPECT_EQ(contents(), "[S]\r\nbad=\xFF\x80\x81\r\n[T]\r\nk = 2\r\n\xFE");
    ASSERT_TRUE(write("T", "n", "3"));
    EXPECT_EQ(contents(), "[S]\r\nbad=\xFF\x80\x81\r\n[T]\r\nk = 2\r\n\xFE\r\nn=3\r\n");
}

TEST_F(ProfileTest, RefusesAValueThatWouldNotComeBack) {
    put(gbk("[Config]\r\nKey=old\r\n"));
    const Status written = writeProfile(file_, "Config", "Key", "tag\xF3\xA0\x81\x81name-1");
    EXPECT_FALSE(written);
    EXPECT_EQ(read("Config", "Key"), "old");
}

TEST_F(ProfileTest, TellsAFileThatIsNotGbk) {
    put(gbk("[Config]\r\nKey=组一\r\n"));
    EXPECT_EQ(ProfileFile::load(file_).source(), ProfileFile::Source::Read);
    put("[Config]\r\nKey=组一\r\n");  // UTF-8
    EXPECT_EQ(ProfileFile::load(file_).source(), ProfileFile::Source::NotGbk);
    put("[Config]\r\nKey=\x81\x20\r\n");  // a lead byte without its trail byte
    EXPECT_EQ(ProfileFile::load(file_).source(), ProfileFile::Source::NotGbk);
    put("[Config]\r\nKey=ascii\r\n");
    EXPECT_EQ(ProfileFile::load(file_).source(), ProfileFile::Source::Read);
}

// Two processes adding keys to one file at once: each write reads the file
// and renames a new one over it, so without taking turns one process's
// rename drops what the other had just added.
TEST_F(ProfileTest, WritesOfTwoProcessesToOneFileAreAllKept) {
    BRINDLE_POSIX_ONLY("the second writer is a forked child");
#ifndef _WIN32
    constexpr int kWrites = 100;
    put("[S]\r\n");
    const auto writeAll = [&](const std::string& prefix) {
        int failed = 0;
        for (int i = 0; i < kWrites; ++i)
            if (!write("S", prefix + std::to_string(i), std::to_string(i))) ++failed;
        return failed;
    };
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) ::_exit(writeAll("child") == 0 ? 0 : 1);
    EXPECT_EQ(writeAll("parent"), 0);
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    const ProfileFile profile = ProfileFile::load(file_);
    int lost = 0;
    for (const char* prefix : {"child", "parent"})
        for (int i = 0; i < kWrites; ++i)
            if (profile.find("S", prefix + std::to_string(i)) != std::to_string(i)) ++lost;
    EXPECT_EQ(lost, 0);
#endif
}

TEST_F(ProfileTest, AFileFarTooLargeReadsAsUnreadable) {
    std::string huge = "[Config]\r\nKey=1\r\n";
    huge.resize(ProfileFile::kMaxFileBytes + 1, ' ');
    put(huge);
    const ProfileFile profile = ProfileFile::load(file_);
    EXPECT_EQ(profile.source(), ProfileFile::Source::Unreadable);
    EXPECT_EQ(profile.value("Config", "Key"), "");
    EXPECT_FALSE(writeProfile(file_, "Config", "Key", "2"));
}

}  // namespace
}  // namespace brindle
