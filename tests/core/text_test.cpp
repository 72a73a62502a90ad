// Name lists and the GBK boundary.

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdint>

#include "core/base/namelist.h"
#include "core/base/textcodec.h"

using namespace brindle;
using Names = std::vector<std::string>;

namespace {

#include "core/base/codepages.inc"

std::string utf8Of(char32_t code) {
    std::string out;
    codec::appendUtf8(out, code);
    return out;
}

// Every sequence of code page 936 a reader can meet: each byte alone, and
// each byte above 0x7F followed by any byte. `expected` is the character the
// checked-in table gives for it (nothing when it has none).
struct Sequence {
    std::string bytes;
    std::optional<std::string> expected;
};

std::vector<Sequence> everyGbkSequence() {
    const auto single = [](unsigned b) -> std::optional<std::string> {
        if (b < 0x80) return std::string(1, static_cast<char>(b));
        if (const char32_t u = kCp936Single[b - 0x80]) return utf8Of(u);
        return std::nullopt;
    };
    std::vector<Sequence> all;
    for (unsigned b = 0; b < 0x100; ++b) all.push_back({std::string(1, char(b)), single(b)});
    for (unsigned lead = 0x80; lead < 0x100; ++lead) {
        for (unsigned trail = 0; trail < 0x100; ++trail) {
            Sequence s{std::string{char(lead), char(trail)}, std::nullopt};
            if (lead >= 0x81 && lead <= 0xFE && trail >= 0x40 && trail <= 0xFE) {
                if (const char32_t u = kCp936Double[(lead - 0x81) * 191 + trail - 0x40])
                    s.expected = utf8Of(u);
            } else if (const auto a = single(lead), b = single(trail); a && b) {
                s.expected = *a + *b;
            }
            all.push_back(std::move(s));
        }
    }
    return all;
}

}  // namespace

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

// A listed name shows where it begins and ends and what its blanks are; the
// marks are all GBK characters, so a copied list survives a GBK file.
TEST(NameList, ShownNamesMarkTheirBlanks) {
    const struct {
        std::string_view name;
        std::string_view shown;
        bool marked;
    } cases[] = {
        {"城北-1", "「城北-1」", false},         {"", "「」", false},
        {"城北-1 ", "「城北-1·」", true},        {"\t城 北", "「→城·北」", true},
        {"城北\xE3\x80\x80", "「城北□」", true}, {"A\nB\x7F", "「A\\x0AB\\x7F」", true},
    };
    for (const auto& c : cases) {
        bool marked = false;
        EXPECT_EQ(shownName(c.name, &marked), c.shown) << c.name;
        EXPECT_EQ(marked, c.marked) << c.name;
        EXPECT_TRUE(codec::toGbk(c.shown).text.has_value()) << c.name;
    }
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
    EXPECT_EQ(fromCodePage("caf\x8E", 10000), "café");  // through the system
    EXPECT_EQ(fromCodePage("caf\x8E", 32768), "café");
    EXPECT_EQ(fromCodePage("城北", 65001), "城北");
    EXPECT_EQ(fromCodePage("\xA4\xA4\xA4\xE5 \xF9\xF9", 950), "中文 ═");  // Big5
    EXPECT_EQ(fromCodePage("\xFA\x40\x81\x40\x8E\x40\x80", 950),
              "\xEE\x80\x80\xEE\xBA\xB8\xEE\x8C\x91\xC2\x80");  // U+E000 U+EEB8 U+E311 U+0080
    EXPECT_EQ(fromCodePage("\x81\x8D\x8F\x90\x9D", 1252), "\u0081\u008D\u008F\u0090\u009D");
    EXPECT_EQ(fromCodePage("\x80\xB3\xE1 A", 437), "Ç│ß A");
    EXPECT_EQ(fromCodePage("\xC4\xE3", 1251), "Дг");
    EXPECT_EQ(fromCodePage("", 936), "");

    // Bytes the code page does not have, and code pages there are not.
    EXPECT_FALSE(fromCodePage("\x81", 936));
    EXPECT_FALSE(fromCodePage("\x80", 367));
    EXPECT_FALSE(fromCodePage(std::string("A\0B", 3), 1200));      // half a character
    EXPECT_FALSE(fromCodePage(std::string("\x00\xD8", 2), 1200));  // a lone surrogate
    EXPECT_FALSE(fromCodePage("\xFF", 950));
    EXPECT_FALSE(fromCodePage("\xA1\x30", 950));
    EXPECT_FALSE(fromCodePage("\xC0\x80", 65001));
    EXPECT_FALSE(fromCodePage("x", 12345));
    EXPECT_FALSE(fromCodePage("x", 0));
    EXPECT_FALSE(fromCodePage("x", -936));
}

// The tag characters (U+E0000 to U+E007F), which some converters drop
// without an error, are refused like any other character GBK lacks.
TEST(TextCodec, RefusesTagCharacters) {
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
    std::string out = "<";
    std::size_t bad = 99;
    EXPECT_TRUE(codec::appendGbk("城北\r\n", out, bad));
    EXPECT_TRUE(codec::appendGbk("", out, bad));
    EXPECT_TRUE(codec::appendGbk("A-1;{站}", out, bad));
    EXPECT_EQ(out, "<\xB3\xC7\xB1\xB1\r\nA-1;{\xD5\xBE}");
    EXPECT_EQ(bad, 99u);
    EXPECT_FALSE(codec::appendGbk("站\xF3\xA0\x80\x81乙", out, bad));  // U+E0001
    EXPECT_EQ(bad, 3u);
    EXPECT_FALSE(codec::appendGbk("ab😀", out, bad));
    EXPECT_EQ(bad, 2u);
    std::string after;
    EXPECT_TRUE(codec::appendGbk("北", after, bad));
    EXPECT_EQ(after, "\xB1\xB1");
}

// Every sequence reads as the table says and writes back to itself; every
// other reads as nothing.
TEST(Cp936, EverySequenceReadsAsTheTableSaysAndWritesBack) {
    std::size_t characters = 0;
    for (const Sequence& s : everyGbkSequence()) {
        const auto read = codec::fromGbk(s.bytes);
        ASSERT_EQ(read, s.expected) << testing::PrintToString(s.bytes);
        if (!read) continue;
        const auto lead = static_cast<unsigned char>(s.bytes[0]);
        const auto trail = static_cast<unsigned char>(s.bytes.back());
        characters += s.bytes.size() == 2 && lead >= 0x81 && trail >= 0x40 && trail <= 0xFE;
        ASSERT_EQ(codec::toGbk(*read).text, s.bytes);
    }
    EXPECT_EQ(characters, 21791u + 1894u + 255u);
}

// The table itself, by hand: the standard part, the euro sign, the three
// user-defined areas and the unassigned positions, each at its two ends.
TEST(Cp936, MapsTheAreasWindowsMapsBothWays) {
    const std::pair<std::string, char32_t> cases[] = {
        {"\x80", 0x20AC},     {"\xB0\xA1", 0x554A}, {"\xA1\xA4", 0x00B7}, {"\xA1\xAA", 0x2014},
        {"\xAA\xA1", 0xE000}, {"\xAF\xFE", 0xE233}, {"\xF8\xA1", 0xE234}, {"\xFE\xFE", 0xE4C5},
        {"\xA1\x40", 0xE4C6}, {"\xA7\xA0", 0xE765}, {"\xA2\xAB", 0xE766}, {"\xA2\xE3", 0xE76C},
        {"\xFE\xA0", 0xE864}, {"\x81\x40", 0x4E02}, {"\xFE\x4F", 0xFA29},
    };
    for (const auto& [gbk, code] : cases) {
        EXPECT_EQ(codec::fromGbk(gbk), utf8Of(code)) << std::hex << static_cast<unsigned>(code);
        EXPECT_EQ(codec::toGbk(utf8Of(code)).text, gbk) << std::hex << static_cast<unsigned>(code);
    }
    // Characters past the table, and those Windows only approximates: a
    // best fit (U+F8F5 to 0xFF, which reads as nothing) is no GBK form.
    for (const char32_t code : {0xE865u, 0xF8F5u, 0x00C0u, 0x20ADu, 0xFFFDu, 0x10000u, 0x20087u}) {
        const auto gbk = codec::toGbk("a" + utf8Of(code));
        EXPECT_FALSE(gbk.text) << std::hex << static_cast<unsigned>(code);
        EXPECT_EQ(gbk.badOffset, 1u);
    }
    EXPECT_FALSE(codec::toGbk("ab\xE4\xB8").text);  // UTF-8 cut short
    EXPECT_EQ(codec::toGbk("ab\xE4\xB8").badOffset, 2u);
}

// Every character of the Basic Multilingual Plane the table does not hold is
// refused: nothing is written for it.
TEST(Cp936, RefusesEveryCharacterOutsideTheTable) {
    std::vector<bool> held(0x10000, false);
    for (unsigned b = 0; b < 0x80; ++b) held[b] = true;
    for (const std::uint16_t u : kCp936Single) held[u] = true;
    for (const std::uint16_t u : kCp936Double) held[u] = true;
    std::size_t refused = 0;
    for (char32_t code = 1; code < 0x10000; ++code) {
        if (held[code] || (code >= 0xD800 && code <= 0xDFFF)) continue;
        ASSERT_FALSE(codec::toGbk(utf8Of(code)).text) << std::hex << static_cast<unsigned>(code);
        ++refused;
    }
    EXPECT_EQ(refused, 0x10000u - 0x800u - 128u - 1u - 23940u);
}

#ifdef _WIN32
// The codec is code page 936 as this system has it: every sequence reads as
// MultiByteToWideChar reads it, and every character it writes is what
// WideCharToMultiByte writes without a best fit and reads back as itself.
TEST(Cp936, IsTheCodePageOfWindows) {
    const auto windowsRead = [](const std::string& bytes) -> std::optional<std::string> {
        wchar_t wide[4];
        const int n = MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes.data(),
                                          static_cast<int>(bytes.size()), wide, 4);
        if (n <= 0) return std::nullopt;
        std::string out;
        for (int i = 0; i < n; ++i) out += utf8Of(wide[i]);
        return out;
    };
    for (const Sequence& s : everyGbkSequence())
        ASSERT_EQ(codec::fromGbk(s.bytes), windowsRead(s.bytes)) << testing::PrintToString(s.bytes);
    for (char32_t code = 1; code < 0x10000; ++code) {
        if (code >= 0xD800 && code <= 0xDFFF) continue;
        const wchar_t wide = static_cast<wchar_t>(code);
        char bytes[4];
        BOOL usedDefault = FALSE;
        const int n = WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, &wide, 1, bytes, 4, nullptr,
                                          &usedDefault);
        std::optional<std::string> windows;
        if (n > 0 && !usedDefault && windowsRead(std::string(bytes, n)) == utf8Of(code))
            windows = std::string(bytes, n);
        ASSERT_EQ(codec::toGbk(utf8Of(code)).text, windows)
            << std::hex << static_cast<unsigned>(code);
    }
}
#endif
