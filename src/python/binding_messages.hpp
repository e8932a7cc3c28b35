#pragma once

// The fixed message texts the bindings raise, as callers see them. Texts
// composed from the caller's values are each built by one function
// (arguments.cpp, errors.cpp, extract.cpp).

namespace tourwright::python::messages {

inline constexpr const char* kStrIsNotAList = "Can't extract `str` to `Vec`";
inline constexpr const char* kPairLength = "expected tuple of length 2, but got tuple of length ";
inline constexpr const char* kUnprintableTypeError = "<unprintable TypeError object>";
inline constexpr const char* kEventIndexOutOfRange = "tuple index out of range";
inline constexpr const char* kWrongEventVariant =
    "internal error: entered unreachable code: Wrong complex enum variant found in variant "
    "wrapper PyClass";
inline constexpr const char* kIsolatedSubinterpreter =
    "module tourwright does not support loading in subinterpreters";
inline constexpr const char* kOtherInterpreterHasIt =
    "tourwright does not support subinterpreters: it is already loaded in another interpreter of "
    "this process";
// The class of the failures a solve raises after its arguments were read.
inline constexpr const char* kInternalFailureName = "pyo3_runtime.PanicException";
inline constexpr const char* kInternalFailureDoc =
    "Raised by tourwright when a solve fails after its arguments were read: a time value out of "
    "range, inconsistent operating hours or windows, a location beyond a list, or a date or "
    "duration overflow. It derives from BaseException; catch it by name.";

}  // namespace tourwright::python::messages
