#pragma once

#include <optional>
#include <utility>
#include <variant>

namespace cv {

// The error of a failed result, wrapped so that it is never taken for a value: returning
// Unexpected(error) from a function that answers Expected<T, E> makes a failed result.
template <typename E> class Unexpected
{
public:
    explicit Unexpected(E error) : m_error(std::move(error)) {}

    const E& error() const& { return m_error; }
    E&& error() && { return std::move(m_error); }

private:
    E m_error;
};

// What an operation that can fail answers: a value of T, or the error E that kept it from being
// made, in one return type (in place of out-parameters, or of an optional whose presence would
// mean failure). Expected<void, E> is success or an error. True means success.
//
// C++20 has no std::expected; this is the small part of C++23's that the project uses, with the
// same names and meaning, so that it can give way to the standard one. Reading the value of a
// failed result, or the error of a successful one, throws (std::bad_variant_access,
// std::bad_optional_access) rather than reading memory that holds something else.
template <typename T, typename E> class [[nodiscard]] Expected
{
public:
    Expected(const T& value) : m_state(std::in_place_index<0>, value) {}
    Expected(T&& value) : m_state(std::in_place_index<0>, std::move(value)) {}
    template <typename G>
    Expected(Unexpected<G> error) : m_state(std::in_place_index<1>, std::move(error).error())
    {}

    bool has_value() const { return m_state.index() == 0; }
    explicit operator bool() const { return has_value(); }

    T& value() & { return std::get<0>(m_state); }
    const T& value() const& { return std::get<0>(m_state); }
    T&& value() && { return std::get<0>(std::move(m_state)); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T&& operator*() && { return std::move(*this).value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    const E& error() const& { return std::get<1>(m_state); }
    E&& error() && { return std::get<1>(std::move(m_state)); }

private:
    // By index, so that T and E may be the same type (a text, or a reason in words).
    std::variant<T, E> m_state;
};

template <typename E> class [[nodiscard]] Expected<void, E>
{
public:
    Expected() = default; // success
    template <typename G> Expected(Unexpected<G> error) : m_error(std::move(error).error()) {}

    bool has_value() const { return !m_error.has_value(); }
    explicit operator bool() const { return has_value(); }

    const E& error() const& { return m_error.value(); }
    E&& error() && { return std::move(m_error).value(); }

private:
    std::optional<E> m_error;
};

} // namespace cv
