// Failure kinds. Every failure on the analysis path is one of these exceptions; the
// application's central handler shows the message. Messages are Windows-1251 texts.
#pragma once

#include <exception>
#include <string>

namespace orvix {

class Exception : public std::exception {
  public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    // The message as Windows-1251 bytes.
    const std::string& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

  private:
    std::string message_;
};

#define ORVIX_DECLARE_EXCEPTION(Name, Base) \
    class Name : public Base {              \
      public:                               \
        using Base::Base;                   \
    };

ORVIX_DECLARE_EXCEPTION(EConvertError, Exception)
ORVIX_DECLARE_EXCEPTION(EInvalidOperation, Exception)
ORVIX_DECLARE_EXCEPTION(EOutOfMemory, Exception)
ORVIX_DECLARE_EXCEPTION(EListError, Exception)
ORVIX_DECLARE_EXCEPTION(EStreamError, Exception)
ORVIX_DECLARE_EXCEPTION(EFOpenError, EStreamError)
ORVIX_DECLARE_EXCEPTION(EFCreateError, EStreamError)
ORVIX_DECLARE_EXCEPTION(EFilerError, EStreamError)
ORVIX_DECLARE_EXCEPTION(EWriteError, EFilerError)
ORVIX_DECLARE_EXCEPTION(EExternal, Exception)
ORVIX_DECLARE_EXCEPTION(EMathError, EExternal)
ORVIX_DECLARE_EXCEPTION(EZeroDivide, EMathError)
ORVIX_DECLARE_EXCEPTION(EInvalidOp, EMathError)
ORVIX_DECLARE_EXCEPTION(EOverflow, EMathError)
ORVIX_DECLARE_EXCEPTION(EIntError, EExternal)
ORVIX_DECLARE_EXCEPTION(ERangeError, EIntError)

#undef ORVIX_DECLARE_EXCEPTION

// The fixed message texts.
namespace msg {
inline constexpr const char* kCannotOpenFile = "Cannot open file %s";
inline constexpr const char* kCannotCreateFile = "Cannot create file %s";
inline constexpr const char* kStreamWriteError = "Stream write error";
inline constexpr const char* kTextExceedsCapacity = "Text exceeds memo capacity";
inline constexpr const char* kInvalidInteger = "'%s' is not a valid integer value";
inline constexpr const char* kInvalidFloat = "'%s' is not a valid floating point value";
inline constexpr const char* kZeroDivide = "Floating point division by zero";
inline constexpr const char* kInvalidOp = "Invalid floating point operation";
inline constexpr const char* kOverflow = "Floating point overflow";
inline constexpr const char* kRangeError = "Range check error";
inline constexpr const char* kOutOfMemory = "Out of memory";
inline constexpr const char* kListIndex = "List index out of bounds (%d)";
// A save whose target another program holds open (Windows refuses to replace it). UTF-8, like
// the program's other own texts: W1251 makes it a message.
inline constexpr const char* kFileInUse =
    "Файл %s открыт в другой программе. Закройте его там и сохраните снова";
}  // namespace msg

// Replaces the first "%s" (or "%d") of a message pattern by an argument.
std::string WithArgument(const char* pattern, const std::string& argument);

// The text the failure message box shows: a "." is appended when the message is not empty
// and its last character's code is above that of ".".
std::string FailureText(const std::string& message);

}  // namespace orvix
