// The engine's error types. Every failure the engine reports is an
// EDatabaseError carrying the exact English message of the operation; callers
// show what() to the user. EEncryptException is the cipher layer's flavour of
// the same error. EAbort is the silent abort (a cancelled login): callers end
// the command without showing anything.
#pragma once

#include <stdexcept>
#include <string>

namespace tomedb {

class EDatabaseError : public std::runtime_error {
public:
    explicit EDatabaseError(const std::string& message) : std::runtime_error(message) {}
};

class EEncryptException : public EDatabaseError {
public:
    explicit EEncryptException(const std::string& message) : EDatabaseError(message) {}
};

class EAbort : public std::exception {
public:
    const char* what() const noexcept override { return "Operation aborted"; }
};

// printf-style formatting for the engine's messages ("%s", "%d" and the like).
std::string FormatMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Raises EDatabaseError with a formatted message.
[[noreturn]] void DatabaseError(const std::string& message);

}  // namespace tomedb
