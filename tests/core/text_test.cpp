// Name lists and the GBK boundary.

#include <gtest/gtest.h>

#include "core/base/namelist.h"
#include "core/base/textcodec.h"

using namespace brindle;
using Names = std::vector<std::string>;

TEST(NameList, SplitsAtCrLfKeepingInnerEmptyNamesAndDroppingTrailingPiece) {
    EXPECT_EQ(nameList("A\r\n\r\nB"), (Names{"A", "", "B"}));
    EXPECT_EQ(nameList("A\r\nB\r\n"), (Names{"A", "B"}));
    EXPECT_EQ(nameList(""), Names{});
    EXPECT_EQ(nameList("A"), Names{"A"});
    EXPECT_EQ(nameList("\r\n"), Names{""});
    EXPECT_EQ(nameList("\r\n\r\n"), (Names{"", ""}));
}

TEST(NameList, NeverTrimsAndSplitsOnlyAtTheWholeSeparator) {
    EXPECT_EQ(nameList(" 城北-1 \r\n城北-2\t"), (Names{" 城北-1 ", "城北-2\t"}));
    // A lone LF or CR is part of the name, as in the box.
    EXPECT_EQ(nameList("A\nB\rC"), Names{"A\nB\rC"});
}

// The views split as the copies do and point into the text itself.
TEST(NameList, ViewsAreThePiecesOfTheTextItself) {
    using Views = std::vector<std::string_view>;
    const std::string text = "A\r\n\r\n城北\nB\r\n";
    const auto views = nameViews(text);
    EXPECT_EQ(views, (Views{"A", "", "城北\nB"}));
    EXPECT_EQ(views[2].data(), text.data() + 5);
    EXPECT_EQ(nameViews(""), Views{});
    EXPECT_EQ(nameViews("\r\n\r\n"), (Views{"", ""}));
    EXPECT_EQ(splitViews("38400||38544|", "|"), (Views{"38400", "", "38544"}));
    EXPECT_EQ(splitViews("x", ""), Views{"x"});
}

TEST(NameList, SplitsBandListsAtBar) {
    EXPECT_EQ(splitList("38400|38544", "|"), (Names{"38400", "38544"}));
    EXPECT_EQ(splitList("38400||38544|", "|"), (Names{"38400", "", "38544"}));
    EXPECT_EQ(splitList("", "|"), Names{});
}

TEST(TextCodec, RoundTripsChineseThroughGbk) {
    const std::string utf8 = "是否删除工参库： \r\n北区.edb€";
    const auto gbk = codec::toGbk(utf8);
    ASSERT_TRUE(gbk.text);
    EXPECT_EQ(gbk.text->substr(0, 4), "\xCA\xC7\xB7\xF1");  // 是否
    EXPECT_EQ(gbk.text->back(), '\x80');                    // the euro sign of code page 936
    EXPECT_EQ(codec::fromGbk(*gbk.text), utf8);
}

TEST(TextCodec, ReportsWhereACharacterHasNoGbkForm) {
    const std::string utf8 = "ADD X;{站}\r\nMOD 😀";
    const auto gbk = codec::toGbk(utf8);
    EXPECT_FALSE(gbk.text);
    EXPECT_EQ(gbk.badOffset, utf8.find("😀"));
    EXPECT_EQ(codec::lineOfOffset(utf8, gbk.badOffset), 2u);
}

TEST(TextCodec, DetectsUtf8AndGbkAndDropsTheBom) {
    EXPECT_EQ(codec::decodeDetected("\xEF\xBB\xBF城北"), "城北");
    EXPECT_EQ(codec::decodeDetected("\xB3\xC7\xB1\xB1"), "城北");  // GBK
    EXPECT_EQ(codec::decodeDetected("plain"), "plain");
    EXPECT_FALSE(codec::isValidUtf8("\xC0\x80"));      // overlong
    EXPECT_FALSE(codec::isValidUtf8("\xED\xA0\x80"));  // surrogate
}

TEST(TextCodec, Utf16ToUtf8KeepsPairsAndReplacesLoneSurrogates) {
    const std::pair<std::u16string, std::string> cases[] = {
        {u"", ""},
        {u"A中", "A\xE4\xB8\xAD"},
        {u"\U0001F4F6", "\xF0\x9F\x93\xB6"},                           // a pair
        {u"\U0010FFFF", "\xF4\x8F\xBF\xBF"},                           // the last code point
        {std::u16string(1, 0xD800) + u"y", "\xEF\xBF\xBDy"},           // a high one alone
        {u"x" + std::u16string(1, 0xDC00), "x\xEF\xBF\xBD"},           // a low one alone
        {std::u16string{0xDC00, 0xD800}, "\xEF\xBF\xBD\xEF\xBF\xBD"},  // the wrong way round
        {std::u16string{0xD800, 0xD800, 0xDC00}, "\xEF\xBF\xBD\xF0\x90\x80\x80"},
        {std::u16string(1, 0xD7FF) + std::u16string(1, 0xE000), "\xED\x9F\xBF\xEE\x80\x80"},
        {std::u16string(1, 0), std::string(1, '\0')},
    };
    for (const auto& [units, utf8] : cases) {
        EXPECT_EQ(codec::fromUtf16(units), utf8);
        EXPECT_TRUE(codec::isValidUtf8(codec::fromUtf16(units)));
    }
}

TEST(TextCodec, ReadsLoneLfAsCrLf) {
    EXPECT_EQ(codec::toCrLf("A\nB\r\nC\n"), "A\r\nB\r\nC\r\n");
    EXPECT_EQ(codec::toCrLf("\n"), "\r\n");
}

TEST(TextCodec, DecodesTheCodePagesOldWorkbooksName) {
    using codec::fromCodePage;
    EXPECT_EQ(fromCodePage("\xB3\xC7\xB1\xB1 A-1", 936), "城北 A-1");
    EXPECT_EQ(fromCodePage("caf\xE9 \x80 \x9C", 1252), "café € œ");
    EXPECT_EQ(fromCodePage("caf\xE9", 32769), "café");
    EXPECT_EQ(fromCodePage(std::string("A\0\x2D\x4E", 4), 1200), "A中");
    EXPECT_EQ(fromCodePage("plain", 367), "plain");
    EXPECT_EQ(fromCodePage("caf\x8E", 10000), "café");
    EXPECT_EQ(fromCodePage("caf\x8E", 32768), "café");
    EXPECT_EQ(fromCodePage("城北", 65001), "城北");
    EXPECT_EQ(fromCodePage("\xA4\xA4\xA4\xE5", 950), "中文");  // Big5, by its CP name
    EXPECT_EQ(fromCodePage("", 936), "");

    // Bytes the code page does not have, and code pages there are not.
    EXPECT_FALSE(fromCodePage("\x81", 936));
    EXPECT_FALSE(fromCodePage("\x80", 367));
    EXPECT_FALSE(fromCodePage(std::string("A\0B", 3), 1200));  // half a character
    EXPECT_FALSE(fromCodePage("\xC0\x80", 65001));
    EXPECT_FALSE(fromCodePage("x", 12345));
    EXPECT_FALSE(fromCodePage("x", 0));
    EXPECT_FALSE(fromCodePage("x", -936));
}

// iconv drops the tag characters (U+E0000 to U+E007F) without an error: the
// GBK must read back as the text, or the character is refused like any other.
TEST(TextCodec, RefusesCharactersThatIconvWouldDropSilently) {
    const auto tagged = codec::toGbk("tag\xF3\xA0\x81\x81name-1");  // U+E0041
    EXPECT_FALSE(tagged.text);
    EXPECT_EQ(tagged.badOffset, 3u);
    const auto later = codec::toGbk("站甲\r\n站\xF3\xA0\x80\x81乙");  // U+E0001 on line 2
    EXPECT_FALSE(later.text);
    EXPECT_EQ(later.badOffset, 11u);
    EXPECT_EQ(codec::lineOfOffset("站甲\r\n站\xF3\xA0\x80\x81乙", later.badOffset), 2u);
    EXPECT_TRUE(codec::toGbk("站甲-1").text);
}

// One encoder converts piece after piece, appending; a refused character is
// placed within its own piece.
TEST(TextCodec, AnEncoderAppendsPieceAfterPiece) {
    codec::GbkEncoder encoder;
    std::string out = "<";
    std::size_t bad = 99;
    EXPECT_TRUE(encoder.append("城北\r\n", out, bad));
    EXPECT_TRUE(encoder.append("", out, bad));
    EXPECT_TRUE(encoder.append("A-1;{站}", out, bad));
    EXPECT_EQ(out, "<\xB3\xC7\xB1\xB1\r\nA-1;{\xD5\xBE}");
    EXPECT_EQ(bad, 99u);
    EXPECT_FALSE(encoder.append("站\xF3\xA0\x80\x81乙", out, bad));  // U+E0001
    EXPECT_EQ(bad, 3u);
    EXPECT_FALSE(encoder.append("ab😀", out, bad));
    EXPECT_EQ(bad, 2u);
    std::string after;
    EXPECT_TRUE(encoder.append("北", after, bad));
    EXPECT_EQ(after, "\xB1\xB1");
}
