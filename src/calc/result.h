#pragma once
// The one result type of new code: a value, or an error with its text (and,
// where a caller maps it to an exit status or a code table, its code).
// Functions that can fail return this instead of bool plus an out-parameter.

#include <string>
#include <utility>
#include <variant>

namespace kestrel {

struct ErrorInfo {
    std::string text;
    int code = -1;
};

template <class T>
class [[nodiscard]] Result {
public:
    Result(T value) : m_state(std::move(value)) {}
    Result(ErrorInfo error) : m_state(std::move(error)) {}
    static Result Fail(std::string text, int code = -1) { return Result(ErrorInfo{std::move(text), code}); }

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    // The value; only when ok().
    const T& value() const& { return std::get<0>(m_state); }
    T& value() & { return std::get<0>(m_state); }
    T&& value() && { return std::get<0>(std::move(m_state)); }
    const T* operator->() const { return &value(); }
    T* operator->() { return &value(); }

    // The error; only when !ok().
    const ErrorInfo& error() const { return std::get<1>(m_state); }
    const std::string& errorText() const { return error().text; }
    int errorCode() const { return error().code; }

private:
    std::variant<T, ErrorInfo> m_state;
};

// Success without a value, or an error.
struct Done {};
using Status = Result<Done>;
inline Status Ok()
{
    return Status(Done{});
}

} // namespace kestrel
