#pragma once

#include <QString>
#include <optional>
#include <utility>
#include <variant>

namespace horalog {

// The one way a rule says it could not do what was asked: it returns a Result, which holds either
// its value or why not. Why is the Danish text to show the user, or for the registration file's
// calls a FileError that also says what kind of problem it was. Only the registry raises
// exceptions (its key error), as its callers expect.
template <typename T, typename Why = QString>
class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    static Result failed(Why why) { return Result(std::in_place_index<1>, std::move(why)); }

    bool ok() const { return state_.index() == 0; }
    const Why& error() const { return std::get<1>(state_); }
    const T& value() const { return std::get<0>(state_); }
    T& value() { return std::get<0>(state_); }
    const T* operator->() const { return &value(); }
    T* operator->() { return &value(); }
    const T& operator*() const { return value(); }

    // A failure passed on as another Result's.
    template <typename U>
    Result<U, Why> failure() const {
        return Result<U, Why>::failed(error());
    }

private:
    template <std::size_t I, typename A>
    Result(std::in_place_index_t<I> index, A&& arg) : state_(index, std::forward<A>(arg)) {}
    std::variant<T, Why> state_;
};

// A rule that yields nothing but may fail.
template <typename Why>
class [[nodiscard]] Result<void, Why> {
public:
    Result() = default;
    static Result failed(Why why) {
        Result result;
        result.why_ = std::move(why);
        return result;
    }

    bool ok() const { return !why_.has_value(); }
    const Why& error() const { return *why_; }

    template <typename U>
    Result<U, Why> failure() const {
        return Result<U, Why>::failed(error());
    }

private:
    std::optional<Why> why_;
};

using Outcome = Result<void>;

}  // namespace horalog
