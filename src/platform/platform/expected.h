#pragma once
// The one result type of operations that can fail with a text the user reads.

#include <QString>
#include <optional>
#include <utility>

namespace pmkest {

// Why an operation failed, in words the user can act on (naming the file, for file errors).
struct Failure {
    QString text;
};

// A value, or the failure that stopped it.
template <typename T>
class [[nodiscard]] Expected {
public:
    Expected(T value) : m_value(std::move(value)) {}
    Expected(Failure failure) : m_error(std::move(failure.text)) {}

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& operator*() const& { return *m_value; }
    T& operator*() & { return *m_value; }
    T&& operator*() && { return std::move(*m_value); }
    const T* operator->() const { return &*m_value; }
    // Empty when ok().
    const QString& error() const { return m_error; }

private:
    std::optional<T> m_value;
    QString m_error;
};

// Done, or the failure: for operations without a value.
template <>
class [[nodiscard]] Expected<void> {
public:
    Expected() = default;
    Expected(Failure failure) : m_failed(true), m_error(std::move(failure.text)) {}

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const QString& error() const { return m_error; }

private:
    bool m_failed = false;
    QString m_error;
};

using Status = Expected<void>;

}  // namespace pmkest
