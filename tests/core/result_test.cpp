// The result type every fallible core function returns.

#include "core/base/result.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

using namespace brindle;

namespace {

struct Shape {
    virtual ~Shape() = default;
    virtual int corners() const = 0;
};
struct Square : Shape {
    int corners() const override { return 4; }
};

Result<int> half(int n) {
    if (n % 2 != 0) return fail("不是偶数：" + std::to_string(n));
    return n / 2;
}

Status check(bool good) {
    if (!good) return fail("检查未通过");
    return {};
}

}  // namespace

// Misuse that must not compile: a success taken for the value false, a
// Status turned into a Result<bool>, a failure hidden in a conversion.
static_assert(!std::is_convertible_v<Status, bool>);
static_assert(!std::is_convertible_v<Result<int>, bool>);
static_assert(!std::is_constructible_v<Result<bool>, Status>);
static_assert(!std::is_constructible_v<Result<bool>, Result<int>>);
static_assert(std::is_convertible_v<Failure, Result<std::string>>);
static_assert(std::is_convertible_v<Failure, Status>);
static_assert(!std::is_default_constructible_v<Result<int>>);
// Implicit only where the value type converts implicitly.
static_assert(std::is_convertible_v<const char*, Result<std::string>>);
static_assert(!std::is_convertible_v<std::string_view, Result<std::string>>);
static_assert(std::is_constructible_v<Result<std::string>, std::string_view>);

TEST(Result, HoldsAValue) {
    const Result<int> r = half(84);
    EXPECT_TRUE(r.ok());
    EXPECT_TRUE(static_cast<bool>(r));
    EXPECT_EQ(r.value(), 42);
    EXPECT_EQ(*r, 42);
    EXPECT_EQ(r.error(), "");

    Result<std::string> text = std::string("城北");
    text->append("-1");
    EXPECT_EQ(*text, "城北-1");
    EXPECT_EQ(text->size(), std::string("城北-1").size());
}

TEST(Result, HoldsAnErrorByteForByte) {
    const Result<int> r = half(7);
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(static_cast<bool>(r));
    EXPECT_EQ(r.error(), "不是偶数：7");
    EXPECT_THROW(static_cast<void>(r.value()), BadResultAccess);
    EXPECT_THROW(static_cast<void>(*r), BadResultAccess);
    try {
        static_cast<void>(half(7).value());
        ADD_FAILURE() << "no exception";
    } catch (const BadResultAccess& e) {
        EXPECT_EQ(std::string(e.what()), "Result read without a value: 不是偶数：7");
    }

    // Line breaks and every other byte stay as the message had them.
    const std::string text = "工参库无法读取：/a b\r\n文件不存在\xFF";
    EXPECT_EQ(Result<int>(fail(text)).error(), text);
    // An empty message is still a failure.
    EXPECT_FALSE(Result<int>(fail("")).ok());
}

TEST(Result, ABoolValueIsNotItsSuccess) {
    const Result<bool> no = false;
    ASSERT_TRUE(no.ok());
    EXPECT_FALSE(*no);
    const Result<bool> failed = fail("删除文件出错！");
    EXPECT_FALSE(failed.ok());
    EXPECT_EQ(failed.error(), "删除文件出错！");
}

TEST(Result, AStringValueIsNotAnError) {
    const Result<std::string> value = "原因";  // a value that happens to read like a reason
    EXPECT_TRUE(value.ok());
    EXPECT_EQ(*value, "原因");
    EXPECT_EQ(value.error(), "");
    const Result<std::string> empty = std::string();
    EXPECT_TRUE(empty.ok());
}

TEST(Result, CarriesMoveOnlyValuesAndConvertsThem) {
    Result<std::unique_ptr<Shape>> shape = std::make_unique<Square>();
    ASSERT_TRUE(shape.ok());
    EXPECT_EQ((*shape)->corners(), 4);
    std::unique_ptr<Shape> taken = *std::move(shape);
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(taken->corners(), 4);

    Result<std::unique_ptr<Shape>> none = fail("无法读取工作簿");
    EXPECT_THROW(static_cast<void>(*std::move(none)), BadResultAccess);
}

TEST(Result, CopiesKeepTheirSide) {
    const Result<int> good = half(4);
    const Result<int> bad = half(5);
    Result<int> copy = good;
    EXPECT_EQ(*copy, 2);
    copy = bad;
    EXPECT_FALSE(copy.ok());
    EXPECT_EQ(copy.error(), "不是偶数：5");
    copy = 9;
    EXPECT_TRUE(copy.ok());
    EXPECT_EQ(copy.error(), "");
}

TEST(Status, SucceedsOrSaysWhy) {
    const Status good = check(true);
    EXPECT_TRUE(good.ok());
    EXPECT_TRUE(static_cast<bool>(good));
    EXPECT_EQ(good.error(), "");
    EXPECT_NO_THROW(good.value());
    EXPECT_TRUE(Status().ok());

    const Status bad = check(false);
    EXPECT_FALSE(bad.ok());
    EXPECT_FALSE(static_cast<bool>(bad));
    EXPECT_EQ(bad.error(), "检查未通过");
    EXPECT_THROW(bad.value(), BadResultAccess);
    EXPECT_FALSE(Status(fail("")).ok());

    Status copy = bad;
    EXPECT_EQ(copy.error(), "检查未通过");
    copy = good;
    EXPECT_TRUE(copy.ok());
    EXPECT_EQ(copy.error(), "");
}

TEST(Status, PassesAFailureOnToAnotherResult) {
    const auto scaled = [](bool good) -> Result<int> {
        if (Status checked = check(good); !checked) return fail(checked.error());
        return 10;
    };
    EXPECT_EQ(*scaled(true), 10);
    EXPECT_EQ(scaled(false).error(), "检查未通过");
}

// A layer's own error type: the caller reads what it is, not only its text.
TEST(Result, CarriesATypedError) {
    struct Busy {
        int seconds = 0;
        std::string text;
    };
    const Result<int, Busy> busy = Busy{3, "被其他程序锁定"};
    EXPECT_FALSE(busy.ok());
    EXPECT_EQ(busy.error().seconds, 3);
    EXPECT_THROW(static_cast<void>(*busy), BadResultAccess);
    const Result<int, Busy> good = 7;
    EXPECT_EQ(*good, 7);
    EXPECT_EQ(good.error().text, "");

    const Result<void, Busy> failed = Busy{1, "锁定"};
    EXPECT_EQ(failed.error().seconds, 1);
    EXPECT_THROW(failed.value(), BadResultAccess);
    EXPECT_TRUE((Result<void, Busy>().ok()));
}
