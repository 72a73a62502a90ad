#include "freqplan/profile.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/textcodec.h"

namespace brindle {
namespace {

namespace fs = std::filesystem;

// UTF-8 test text as the GBK bytes a file on disk holds.
std::string gbk(std::string_view utf8) {
    auto result = codec::toGbk(utf8);
    if (!result.text) throw std::runtime_error("test text has no GBK form");
    return *result.text;
}

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "brindle-profile-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        file_ = dir_ / "test.ini";
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(file_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(dir_, ec);
    }

    void put(const std::string& bytes) const { put(file_, bytes); }
    static void put(const fs::path& path, const std::string& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    std::string contents() const { return contents(file_); }
    static std::string contents(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::string read(std::string_view section, std::string_view key) const {
        return readProfile(file_, section, key);
    }
    bool write(std::string_view section, std::string_view key, std::string_view value) const {
        return writeProfile(file_, section, key, value);
    }
    std::size_t entriesInDir() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
    }

    fs::path dir_;
    fs::path file_;
};

// ---- reading ---------------------------------------------------------------

TEST_F(ProfileTest, ReadsGbkValuesAsUtf8) {
    put(gbk("[Config]\r\n开始频点=512\r\nBCCH组标识=组一\r\n[其它项]\r\n最低接收电平=-120\r\n"));
    EXPECT_EQ(read("Config", "开始频点"), "512");
    EXPECT_EQ(read("Config", "BCCH组标识"), "组一");
    EXPECT_EQ(read("其它项", "最低接收电平"), "-120");
}

TEST_F(ProfileTest, MissingFileSectionOrKeyReadsEmpty) {
    EXPECT_EQ(read("Config", "开始频点"), "");
    put(gbk("[Config]\r\n开始频点=512\r\n"));
    EXPECT_EQ(read("其它项", "开始频点"), "");
    EXPECT_EQ(read("Config", "BCCH组标识"), "");
    EXPECT_EQ(ProfileFile::load(dir_ / "none.ini").source(), ProfileFile::Source::Missing);
    EXPECT_EQ(ProfileFile::load(file_).source(), ProfileFile::Source::Read);
}

TEST_F(ProfileTest, DirectoryInPlaceOfFileIsUnreadable) {
    const ProfileFile profile = ProfileFile::load(dir_);
    EXPECT_EQ(profile.source(), ProfileFile::Source::Unreadable);
    EXPECT_EQ(profile.value("a", "b"), "");
}

TEST_F(ProfileTest, NamesAreCaseSensitive) {
    put("[config]\r\nKey=lower-section\r\n[Config]\r\nkey=lower-key\r\n");
    EXPECT_EQ(read("config", "Key"), "lower-section");
    EXPECT_EQ(read("Config", "Key"), "");
    EXPECT_EQ(read("Config", "key"), "lower-key");
    EXPECT_EQ(read("CONFIG", "KEY"), "");
}

TEST_F(ProfileTest, BlanksAroundNamesAndValuesAreDropped) {
    put(gbk("  [ 其它项 ]\t \r\n \t最低接收电平 \t=  -120 \t\r\n"));
    EXPECT_EQ(read("其它项", "最低接收电平"), "-120");
    EXPECT_EQ(read(" 其它项 ", "最低接收电平"), "");
}

TEST_F(ProfileTest, OnePairOfWrappingQuotesIsRemoved) {
    put("[S]\r\n"
        "a=\"  spaced  \"\r\n"
        "b=\"open\r\n"
        "c=\"\"\r\n"
        "d=\"in\"side\"\r\n"
        "e =  \"x\"  \r\n"
        "f=\"\"twice\"\"\r\n"
        "g=\"\r\n"
        "h=mid\"dle\r\n");
    EXPECT_EQ(read("S", "a"), "  spaced  ");
    EXPECT_EQ(read("S", "b"), "\"open");
    EXPECT_EQ(read("S", "c"), "");
    EXPECT_EQ(read("S", "d"), "in\"side");
    EXPECT_EQ(read("S", "e"), "x");
    EXPECT_EQ(read("S", "f"), "\"twice\"");
    EXPECT_EQ(read("S", "g"), "\"");
    EXPECT_EQ(read("S", "h"), "mid\"dle");
}

TEST_F(ProfileTest, FirstSectionAndFirstKeyWin) {
    put("[S]\r\nk=first\r\nk=second\r\n[T]\r\nx=1\r\n[S]\r\nk=third\r\nonly=later\r\n");
    EXPECT_EQ(read("S", "k"), "first");
    // Windows reads only the first of two equal sections.
    EXPECT_EQ(read("S", "only"), "");
    EXPECT_EQ(read("T", "x"), "1");
}

TEST_F(ProfileTest, LinesWithoutEqualsAndLinesBeforeAnySectionNeverMatch) {
    put("k=outside\r\n[S]\r\njust some words\r\n; k=comment-like\r\nk=inside\r\n=nameless\r\n");
    EXPECT_EQ(read("S", "k"), "inside");
    EXPECT_EQ(read("S", "just some words"), "");
    EXPECT_EQ(read("S", "; k"), "comment-like");
    EXPECT_EQ(read("", "k"), "");
}

TEST_F(ProfileTest, EverythingAfterTheFirstEqualsIsTheValue) {
    put("[S]\r\nk=a=b==c\r\n");
    EXPECT_EQ(read("S", "k"), "a=b==c");
}

TEST_F(ProfileTest, SectionWithoutClosingBracketRunsToEndOfLine) {
    put("[S\r\nk=v\r\n[T] trailing text\r\nk=w\r\n");
    EXPECT_EQ(read("S", "k"), "v");
    EXPECT_EQ(read("T", "k"), "w");
}

TEST_F(ProfileTest, TrailByteThatLooksLikeABracketDoesNotEndTheSectionName) {
    // "乚" is 0x81 0x5D in GBK; 0x5D is ']'.
    ASSERT_EQ(gbk("乚"), "\x81\x5D");
    put(gbk("[乚]\r\n键=值\r\n"));
    EXPECT_EQ(read("乚", "键"), "值");
}

TEST_F(ProfileTest, LongValueIsNeverCut) {
    std::string list;
    while (list.size() < 30000) list += "38400|";
    put("[E]\r\nlist=" + list + "\r\n");
    EXPECT_EQ(read("E", "list"), list);
}

TEST_F(ProfileTest, LfOnlyLinesAndMissingFinalNewlineRead) {
    put("[S]\nk=lf\n[T]\r\nk=last");
    EXPECT_EQ(read("S", "k"), "lf");
    EXPECT_EQ(read("T", "k"), "last");
}

TEST_F(ProfileTest, InvalidGbkReadsTolerantly) {
    put("[S]\r\nk=a\xFF"
        "b\r\nm=" +
        gbk("中") + "\r\n");
    EXPECT_EQ(read("S", "k"),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(read("S", "m"), "中");
}

TEST_F(ProfileTest, ParsedFileAnswersManyReads) {
    put(gbk("[S]\r\na=1\r\nempty=\r\n"));
    const ProfileFile profile = ProfileFile::load(file_);
    EXPECT_EQ(profile.value("S", "a"), "1");
    EXPECT_EQ(profile.find("S", "empty"), std::optional<std::string>(""));
    EXPECT_EQ(profile.find("S", "none"), std::nullopt);
    EXPECT_TRUE(profile.hasSection("S"));
    EXPECT_FALSE(profile.hasSection("s"));
    EXPECT_EQ(profile.find("S", "😀"), std::nullopt);
}

TEST_F(ProfileTest, ManyDistinctLookupsStillFindValues) {
    put(gbk("[频点1设置]\r\n频点=38400\r\n"));
    const ProfileFile profile = ProfileFile::load(file_);
    for (int i = 0; i < 5000; ++i) {
        const std::string name = "键" + std::to_string(i);
        ASSERT_EQ(profile.find("频点1设置", name), std::nullopt) << name;
        ASSERT_EQ(profile.value(name, "频点"), "") << name;
    }
    EXPECT_EQ(profile.value("频点1设置", "频点"), "38400");
}

// ---- writing ---------------------------------------------------------------

TEST_F(ProfileTest, ReplacesValueInPlaceKeepingEveryOtherByte) {
    const std::string before =
        gbk("; 频点规划\r\n"
            "\r\n"
            "[其它项]\r\n"
            " 最低接收电平 = -120\r\n"
            "other=x\n"
            "\r\n"
            "[E频段频点配置]\r\n"
            "E频段频点=38400");
    put(before);
    ASSERT_TRUE(write("其它项", "最低接收电平", "-124"));
    const std::string expected =
        gbk("; 频点规划\r\n"
            "\r\n"
            "[其它项]\r\n"
            " 最低接收电平 = -124\r\n"
            "other=x\n"
            "\r\n"
            "[E频段频点配置]\r\n"
            "E频段频点=38400");
    EXPECT_EQ(contents(), expected);
}

TEST_F(ProfileTest, ReplacesLastLineWithoutAddingANewline) {
    put("[S]\r\nk=v");
    ASSERT_TRUE(write("S", "k", "longer value"));
    EXPECT_EQ(contents(), "[S]\r\nk=longer value");
}

TEST_F(ProfileTest, ReplacesLfLineKeepingItsLf) {
    put("[S]\nk=old\nz=1\n");
    ASSERT_TRUE(write("S", "k", "new"));
    EXPECT_EQ(contents(), "[S]\nk=new\nz=1\n");
}

TEST_F(ProfileTest, ReplacesOnlyTheFirstOfRepeatedKeys) {
    put("[S]\r\nk=1\r\nk=2\r\n");
    ASSERT_TRUE(write("S", "k", "9"));
    EXPECT_EQ(contents(), "[S]\r\nk=9\r\nk=2\r\n");
}

TEST_F(ProfileTest, AddsKeyAfterLastFilledLineOfItsSection) {
    put("[A]\r\na=1\r\n\r\n\r\n[B]\r\nb=2\r\n");
    ASSERT_TRUE(write("A", "new", "3"));
    EXPECT_EQ(contents(), "[A]\r\na=1\r\nnew=3\r\n\r\n\r\n[B]\r\nb=2\r\n");
}

TEST_F(ProfileTest, AddsKeyToEmptySectionRightAfterItsHeader) {
    put("[A]\r\n\r\n[B]\r\nb=2\r\n");
    ASSERT_TRUE(write("A", "k", "v"));
    EXPECT_EQ(contents(), "[A]\r\nk=v\r\n\r\n[B]\r\nb=2\r\n");
}

TEST_F(ProfileTest, AddsKeyToFirstOfRepeatedSections) {
    put("[A]\r\na=1\r\n[A]\r\nk=hidden\r\n");
    ASSERT_TRUE(write("A", "k", "seen"));
    EXPECT_EQ(contents(), "[A]\r\na=1\r\nk=seen\r\n[A]\r\nk=hidden\r\n");
    EXPECT_EQ(read("A", "k"), "seen");
}

TEST_F(ProfileTest, AddsKeyAfterLastLineWithoutNewline) {
    put("[A]\r\na=1");
    ASSERT_TRUE(write("A", "b", "2"));
    EXPECT_EQ(contents(), "[A]\r\na=1\r\nb=2\r\n");
}

TEST_F(ProfileTest, AddsMissingSectionAtEndOfFile) {
    put("[A]\r\na=1\r\n");
    ASSERT_TRUE(write("2G", "k", "v"));
    EXPECT_EQ(contents(), "[A]\r\na=1\r\n[2G]\r\nk=v\r\n");
}

TEST_F(ProfileTest, AddsMissingSectionAfterLastLineWithoutNewline) {
    put("[A]\na=1");
    ASSERT_TRUE(write("B", "k", "v"));
    EXPECT_EQ(contents(), "[A]\na=1\r\n[B]\r\nk=v\r\n");
}

TEST_F(ProfileTest, CreatesFileInGbk) {
    ASSERT_TRUE(write("Config", "开始频点", "中"));
    EXPECT_EQ(contents(), gbk("[Config]\r\n开始频点=中\r\n"));
    EXPECT_EQ(read("Config", "开始频点"), "中");
}

TEST_F(ProfileTest, FailsWhenFolderIsMissing) {
    const fs::path inMissing = dir_ / "nowhere" / "x.ini";
    EXPECT_FALSE(writeProfile(inMissing, "S", "k", "v"));
    EXPECT_FALSE(fs::exists(dir_ / "nowhere"));
}

TEST_F(ProfileTest, FailsOnADirectory) {
    fs::create_directory(dir_ / "sub.ini");
    EXPECT_FALSE(writeProfile(dir_ / "sub.ini", "S", "k", "v"));
    EXPECT_TRUE(fs::is_directory(dir_ / "sub.ini"));
}

TEST_F(ProfileTest, ReadOnlyFileIsLeftUntouchedEvenForRoot) {
    const std::string before = "[S]\r\nk=v\r\n";
    put(before);
    fs::permissions(file_, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_FALSE(write("S", "k", "changed"));
    EXPECT_FALSE(write("S", "added", "1"));
    EXPECT_EQ(contents(), before);
    EXPECT_EQ(entriesInDir(), 1u);  // no temporary left behind
}

TEST_F(ProfileTest, KeepsPermissionBitsAndLeavesNoTemporary) {
    put("[S]\r\nk=v\r\n");
    const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(file_, perms);
    ASSERT_TRUE(write("S", "k", "w"));
    EXPECT_EQ(fs::status(file_).permissions(), perms);
    EXPECT_EQ(entriesInDir(), 1u);
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

TEST_F(ProfileTest, EmptyValueKeepsTheKey) {
    put("[S]\r\nk=v\r\n");
    ASSERT_TRUE(write("S", "k", ""));
    ASSERT_TRUE(write("S", "n", ""));
    EXPECT_EQ(contents(), "[S]\r\nk=\r\nn=\r\n");
    EXPECT_EQ(ProfileFile::load(file_).find("S", "k"), std::optional<std::string>(""));
}

TEST_F(ProfileTest, ValuesThatReadingWouldAlterAreQuoted) {
    ASSERT_TRUE(write("S", "blank", " 5 "));
    ASSERT_TRUE(write("S", "quoted", "\"q\""));
    ASSERT_TRUE(write("S", "inner", "a \"b\" c"));
    EXPECT_EQ(contents(), "[S]\r\nblank=\" 5 \"\r\nquoted=\"\"q\"\"\r\ninner=a \"b\" c\r\n");
    EXPECT_EQ(read("S", "blank"), " 5 ");
    EXPECT_EQ(read("S", "quoted"), "\"q\"");
    EXPECT_EQ(read("S", "inner"), "a \"b\" c");
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
    EXPECT_FALSE(write("S", "k", "line\nbreak"));
    EXPECT_FALSE(write("S", "k", std::string_view("nul\0byte", 8)));
    EXPECT_EQ(contents(), "[S]\r\nk=v\r\n");
}

TEST_F(ProfileTest, WriteNeverAltersInvalidGbkBytesElsewhere) {
    const std::string before = "[S]\r\nbad=\xFF\x80\x81\r\n[T]\r\nk=1\r\n\xFE";
    put(before);
    ASSERT_TRUE(write("T", "k", "2"));
    EXPECT_EQ(contents(), "[S]\r\nbad=\xFF\x80\x81\r\n[T]\r\nk=2\r\n\xFE");
    ASSERT_TRUE(write("T", "n", "3"));
    EXPECT_EQ(contents(), "[S]\r\nbad=\xFF\x80\x81\r\n[T]\r\nk=2\r\n\xFE\r\nn=3\r\n");
}

TEST_F(ProfileTest, UnchangedValueLeavesFileAsItWas) {
    put("[S]\r\nk = v\r\n");
    ASSERT_TRUE(write("S", "k", "v"));
    EXPECT_EQ(contents(), "[S]\r\nk = v\r\n");
}

TEST_F(ProfileTest, WriteThroughSymbolicLinkKeepsTheLink) {
    const fs::path real = dir_ / "real.ini";
    put(real, "[S]\r\nk=v\r\n");
    fs::create_symlink(real, file_);
    ASSERT_TRUE(write("S", "k", "w"));
    EXPECT_TRUE(fs::is_symlink(file_));
    EXPECT_EQ(contents(real), "[S]\r\nk=w\r\n");
}

TEST_F(ProfileTest, WrittenValuesReadBack) {
    ASSERT_TRUE(write("E频段频点配置", "E频段频点", "38400|38544"));
    ASSERT_TRUE(write("其它项", "最低接收电平", "-120"));
    ASSERT_TRUE(write("E频段频点配置", "E频段频点", "38950"));
    EXPECT_EQ(read("E频段频点配置", "E频段频点"), "38950");
    EXPECT_EQ(read("其它项", "最低接收电平"), "-120");
}

}  // namespace
}  // namespace brindle
