#pragma once
/// @file
/// The platform's exception classes. Every error the library raises derives
/// from vexa::Exception, which carries the message text.

#include <cstdint>
#include <exception>
#include <string>

namespace vexa {

/// Base of all exceptions raised by the library.
class Exception : public std::exception {
public:
  explicit Exception(std::string message) : FMessage(std::move(message)) {}
  const char* what() const noexcept override { return FMessage.c_str(); }
  const std::string& Message() const noexcept { return FMessage; }

private:
  std::string FMessage;
};

/// Declares an exception class `Name` derived from `Parent` with no fields of its own.
#define VEXA_DECLARE_EXCEPTION(Name, Parent) \
  class Name : public Parent {               \
  public:                                    \
    using Parent::Parent;                    \
  }

VEXA_DECLARE_EXCEPTION(EAbort, Exception);            ///< silent abort of an operation
VEXA_DECLARE_EXCEPTION(EMathError, Exception);        ///< arithmetic outside a function's domain
VEXA_DECLARE_EXCEPTION(EInvalidOp, EMathError);
VEXA_DECLARE_EXCEPTION(EZeroDivide, EMathError);
VEXA_DECLARE_EXCEPTION(EOverflow, EMathError);
VEXA_DECLARE_EXCEPTION(EUnderflow, EMathError);
VEXA_DECLARE_EXCEPTION(EConvertError, Exception);     ///< failed conversion (text to number, assignment)
VEXA_DECLARE_EXCEPTION(EOutOfMemory, Exception);
VEXA_DECLARE_EXCEPTION(ERangeError, Exception);       ///< index outside a list or array
VEXA_DECLARE_EXCEPTION(EListError, Exception);
VEXA_DECLARE_EXCEPTION(EArgumentException, Exception);
VEXA_DECLARE_EXCEPTION(EComponentError, Exception);   ///< invalid or duplicate component name
VEXA_DECLARE_EXCEPTION(EStreamError, Exception);      ///< stream read/write failure
VEXA_DECLARE_EXCEPTION(EFOpenError, EStreamError);    ///< a file stream could not open its file
VEXA_DECLARE_EXCEPTION(EFCreateError, EStreamError);  ///< a file stream could not create its file
VEXA_DECLARE_EXCEPTION(EReadError, EStreamError);     ///< fewer bytes than requested could be read
VEXA_DECLARE_EXCEPTION(EWriteError, EStreamError);    ///< fewer bytes than requested could be written

/// Input/output failure of a text or block file; ErrorCode is the OS error number.
class EInOutError : public Exception {
public:
  EInOutError(std::string message, int errorCode)
      : Exception(std::move(message)), ErrorCode(errorCode) {}
  explicit EInOutError(std::string message) : EInOutError(std::move(message), 0) {}
  int ErrorCode;
};

}  // namespace vexa
