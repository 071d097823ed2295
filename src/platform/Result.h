#pragma once
// The outcome of an operation that can fail, carried from where the failure happens to
// the one place that shows it (a message box on the desktop, standard error in the
// command line). The cause is UTF-8 text for the user; the system's error code, where
// there is one, lets the shower say it in the user's language.
#include <optional>
#include <string>
#include <system_error>
#include <utility>

class [[nodiscard]] Status {
 public:
  Status() = default;  // success
  static Status Failure(std::string cause, std::error_code code = {}) {
    Status s;
    s.m_failed = true;
    s.m_cause = std::move(cause);
    s.m_code = code;
    return s;
  }
  // A failed system call; the cause is DescribeSystemError's text.
  static Status SystemFailure(std::error_code code);

  bool ok() const { return !m_failed; }
  explicit operator bool() const { return ok(); }
  const std::string& cause() const { return m_cause; }
  std::error_code code() const { return m_code; }

 private:
  bool m_failed = false;
  std::string m_cause;
  std::error_code m_code;
};

template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : m_value(std::move(value)) {}  // NOLINT: a value is a success
  Result(Status failure) : m_status(std::move(failure)) {}  // NOLINT: must be a failure

  bool ok() const { return m_value.has_value(); }
  explicit operator bool() const { return ok(); }
  T& value() { return *m_value; }
  const T& value() const { return *m_value; }
  T* operator->() { return &*m_value; }
  const T* operator->() const { return &*m_value; }
  const Status& status() const { return m_status; }

 private:
  std::optional<T> m_value;
  Status m_status;
};

// The cause of a failed system call in Turkish where the program knows the case (disk
// full, permission denied, folder missing), else the system's own text.
std::string DescribeSystemError(std::error_code code);

inline Status Status::SystemFailure(std::error_code code) { return Failure(DescribeSystemError(code), code); }
