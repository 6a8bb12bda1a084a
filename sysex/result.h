#pragma once
// Results of operations that can fail: a value, or an error a user can act on.

#include <string>
#include <utility>
#include <variant>

namespace vtl {

// What went wrong, in words fit for a message box or standard error.
struct Error {
    std::string message;
};

// A value or the error that prevented it; callers check before use.
template <class T> class [[nodiscard]] Expected {
public:
    Expected(T value) : state_(std::move(value)) {}
    Expected(Error error) : state_(std::move(error)) {}

    bool has_value() const { return state_.index() == 0; }
    explicit operator bool() const { return has_value(); }

    T& value() { return std::get<0>(state_); }
    const T& value() const { return std::get<0>(state_); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    const Error& error() const { return std::get<1>(state_); }

private:
    std::variant<T, Error> state_;
};

// For operations that produce nothing but can fail.
using Status = Expected<std::monostate>;
inline Status Ok() {
    return std::monostate{};
}

} // namespace vtl
