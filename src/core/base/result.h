#pragma once
// How the core reports that an operation failed: a Result holds either the
// value the operation produced or the text that tells the engineer why it
// could not (UTF-8, shown as it is). Operations that produce nothing return a
// Status. Failures are made with fail("text") and convert to any Result.
//
// A module whose callers word its failures themselves (the workbook readers:
// one failure reads differently in the import and in the export tools, and a
// buffer in memory has no path to name) returns Result<T, E> with a typed
// error E instead of the text; E converts to that Result as a Failure does,
// and error() gives the E.
//
// Exceptions are left to programming errors (a value read from a failed
// Result, a number outside its table); the GUI's event dispatch and the
// command line's main catch them and report them without ending the program.

// std::expected is C++23 and Debian 12 packages no tl-expected, so this is the program's own.

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
template <class U, class E>
inline constexpr bool kIsResult<Result<U, E>> = true;
inline const std::string kNoError;

// What a Result<T, E> may be made from as its value: anything T can be made
// from, except another Result, a Failure or an E.
template <class U, class T, class E>
concept ValueFor =
    std::is_constructible_v<T, U&&> && !kIsResult<std::remove_cvref_t<U>> &&
    !std::is_same_v<std::remove_cvref_t<U>, Failure> && !std::is_same_v<std::remove_cvref_t<U>, E>;
}  // namespace detail

template <class T, class E>
class [[nodiscard]] Result {
    static_assert(!std::is_reference_v<T> && !std::is_same_v<std::remove_cv_t<T>, Failure> &&
                  !std::is_same_v<std::remove_cv_t<T>, E>);
    static constexpr bool kText = std::is_same_v<E, Failure>;

public:
    // A success holding `value`; implicit where T is implicitly made from U.
    template <class U = T>
    requires detail::ValueFor<U, T, E>
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

    // Why the operation failed: the text, "" on a success; a typed error,
    // which a success does not have (reading it throws BadResultAccess).
    const auto& error() const {
        if constexpr (kText) {
            return ok() ? detail::kNoError : std::get<1>(state_).text;
        } else {
            if (ok()) throw BadResultAccess("no error on a success");
            return std::get<1>(state_);
        }
    }

private:
    void checked() const {
        if (ok()) return;
        if constexpr (kText)
            throw BadResultAccess(error());
        else
            throw BadResultAccess("a typed error");
    }

    std::variant<T, E> state_;
};

template <>
class [[nodiscard]] Result<void, Failure> {
public:
    Result() = default;  // success
    Result(Failure failure) : failed_(true), error_(std::move(failure.text)) {}

    bool ok() const noexcept { return !failed_; }
    explicit operator bool() const noexcept { return ok(); }

    // Nothing to read; throws BadResultAccess on a failure, like Result<T>.
    void value() const {
        if (failed_) throw BadResultAccess(error_);
    }

    // Why the operation failed; "" on a success.
    const std::string& error() const noexcept { return error_; }

private:
    bool failed_ = false;
    std::string error_;
};

using Status = Result<void>;

}  // namespace brindle
