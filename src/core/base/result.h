#pragma once
// How the core reports that an operation failed: a Result holds either the
// value the operation produced or the text that tells the engineer why it
// could not (UTF-8, shown as it is). Operations that produce nothing return a
// Status. Failures are made with fail("text") and convert to any Result.
//
// A layer whose callers tell its failures apart and word them themselves
// (SQLite's busy from a damaged file; a workbook's password from damage,
// worded differently by the import and the export tools) gives a
// Result<T, E> whose error is its own type E; the caller turns it into the
// engineer's message. On a success error() is an empty E.
//
// Exceptions are left to programming errors (a value read from a failed
// Result, a number outside its table); the GUI's event dispatch and the
// command line's main catch them and report them without ending the program.

// std::expected is C++23 and Debian 12 packages no tl-expected, so this is the program's own.

#include <optional>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace brindle {

// The failed side of a Result: the message for the engineer.
struct Failure {
    std::string text;
};

inline Failure fail(std::string text) {
    return Failure{std::move(text)};
}

// Thrown when the value of a failed Result is read.
class BadResultAccess : public std::logic_error {
public:
    explicit BadResultAccess(const std::string& error)
        : std::logic_error("Result read without a value: " + error) {}
};

template <class T, class E = Failure>
class Result;

namespace detail {
template <class U>
inline constexpr bool kIsResult = false;
template <class U, class F>
inline constexpr bool kIsResult<Result<U, F>> = true;
inline const std::string kNoError;
template <class E>
inline const E kNoFailure{};

// What a Result<T, E> may be made from as its value: anything T can be made
// from, except another Result or an E.
template <class U, class T, class E>
concept ValueFor = std::is_constructible_v<T, U&&> && !kIsResult<std::remove_cvref_t<U>> &&
                   !std::is_same_v<std::remove_cvref_t<U>, E>;

// Why a Result failed: the text of a Failure, any other E itself; on a
// success "" or an empty E, and for an E that has no empty form (a kind
// must be named) reading it is a programming error.
template <class E>
const auto& errorOf(const E* failure) {
    if constexpr (std::is_same_v<E, Failure>) {
        return failure ? failure->text : kNoError;
    } else if constexpr (std::is_default_constructible_v<E>) {
        return failure ? *failure : kNoFailure<E>;
    } else {
        if (!failure) throw BadResultAccess("no error on a success");
        return *failure;
    }
}

// What a failure reads as when a value is read from it by mistake.
template <class E>
std::string describe(const E& failure) {
    if constexpr (requires { std::string(failure.text); })
        return std::string(failure.text);
    else
        return "a typed error";
}
}  // namespace detail

template <class T, class E>
class [[nodiscard]] Result {
    static_assert(!std::is_reference_v<T> && !std::is_same_v<std::remove_cv_t<T>, E>);

public:
    // A success holding `value`; implicit where T is implicitly made from U.
    template <detail::ValueFor<T, E> U = T>
    explicit(!std::is_convertible_v<U&&, T>) Result(U&& value)
        : state_(std::in_place_index<0>, std::forward<U>(value)) {}

    Result(E failure) : state_(std::in_place_index<1>, std::move(failure)) {}

    bool ok() const noexcept { return state_.index() == 0; }
    explicit operator bool() const noexcept { return ok(); }

    // The value; throws BadResultAccess on a failure.
    T& value() & {
        checked();
        return std::get<0>(state_);
    }
    const T& value() const& {
        checked();
        return std::get<0>(state_);
    }
    T value() && {
        checked();
        return std::move(std::get<0>(state_));
    }

    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T operator*() && { return std::move(*this).value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    // Why the operation failed; "" on a success.
    const auto& error() const { return detail::errorOf(std::get_if<1>(&state_)); }

private:
    void checked() const {
        if (!ok()) throw BadResultAccess(detail::describe(std::get<1>(state_)));
    }

    std::variant<T, E> state_;
};

template <class E>
class [[nodiscard]] Result<void, E> {
public:
    Result() = default;  // success
    Result(E failure) : failure_(std::move(failure)) {}

    bool ok() const noexcept { return !failure_; }
    explicit operator bool() const noexcept { return ok(); }

    // Nothing to read; throws BadResultAccess on a failure, like Result<T>.
    void value() const {
        if (failure_) throw BadResultAccess(detail::describe(*failure_));
    }

    // Why the operation failed; "" on a success.
    const auto& error() const { return detail::errorOf(failure_ ? &*failure_ : nullptr); }

private:
    std::optional<E> failure_;
};

using Status = Result<void>;

}  // namespace brindle
