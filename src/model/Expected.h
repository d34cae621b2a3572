#pragma once

#include <utility>
#include <variant>

// The result of a fallible operation: a value or a typed error, never both.
// (std::expected arrives with C++23; this is the part of it we use.)
template <typename T, typename E> class [[nodiscard]] Expected {
public:
    Expected(T value)
        : m_state(std::in_place_index<0>, std::move(value))
    {
    }
    Expected(E error)
        : m_state(std::in_place_index<1>, std::move(error))
    {
    }

    bool hasValue() const { return m_state.index() == 0; }
    explicit operator bool() const { return hasValue(); }

    T& value() & { return std::get<0>(m_state); }
    const T& value() const& { return std::get<0>(m_state); }
    T&& value() && { return std::get<0>(std::move(m_state)); }
    const E& error() const { return std::get<1>(m_state); }

    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

private:
    std::variant<T, E> m_state;
};

// For operations that return nothing but may fail.
struct Done {
    friend bool operator==(Done, Done) { return true; }
};
