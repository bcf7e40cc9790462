#pragma once

#include <QString>

#include <utility>
#include <variant>

// Why something could not be done, in Italian for the user (or an errno where the caller
// words it itself).
template <typename E>
struct Failure {
    E why;
};
[[nodiscard]] inline Failure<QString> failure(QString why) { return {std::move(why)}; }
[[nodiscard]] inline Failure<int> failure(int error) { return {error}; }

// What a function that opens, reads or builds something returns: the thing, or why not.
// The one way a failure is reported, so every caller handles it the same way.
template <typename T, typename E = QString>
class [[nodiscard]] Result {
public:
    Result(T value) : m_value(std::in_place_index<0>, std::move(value)) {}
    Result(Failure<E> failed) : m_value(std::in_place_index<1>, std::move(failed.why)) {}

    [[nodiscard]] bool ok() const { return m_value.index() == 0; }
    explicit operator bool() const { return ok(); }
    [[nodiscard]] T &value() { return std::get<0>(m_value); }
    [[nodiscard]] const T &value() const { return std::get<0>(m_value); }
    T *operator->() { return &value(); }
    const T *operator->() const { return &value(); }
    T &operator*() { return value(); }
    const T &operator*() const { return value(); }
    [[nodiscard]] T value_or(T otherwise) const { return ok() ? value() : std::move(otherwise); }
    // Why not; empty (E's default) when it worked.
    [[nodiscard]] E error() const { return ok() ? E {} : std::get<1>(m_value); }

    bool operator==(const Result &) const = default;

private:
    std::variant<T, E> m_value;
};

// A result with nothing to hand back but its success.
using Done = Result<std::monostate>;
inline constexpr std::monostate kDone;
