#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "penalties/packed_matrix.hpp"
#include "python/handle.hpp"

namespace tourwright::python {

// Integer rule: an int is used directly, anything else through __index__;
// the value must lie in 0 .. 2^64 − 1 (the interpreter's OverflowError otherwise).
std::uint64_t extract_u64(PyObject* value);

// Pair rule: a tuple (or subclass) of exactly two integers.
std::pair<std::uint64_t, std::uint64_t> extract_pair(PyObject* value);

// List rule: any non-str sequence, read by iteration; each item by `item_rule`.
template <class Item>
using ItemRule = Item (*)(PyObject*);

void check_list_value(PyObject* value);
Py_ssize_t reservation_for(PyObject* sequence);

// Items read between two polls for pending signals. Reading a big array or a
// huge range runs no Python code that would notice Ctrl-C for us.
inline constexpr std::size_t kItemsPerSignalPoll = 4096;

// How many values an item held: a row counts its entries, so that a matrix
// of short rows polls as often as one long list.
template <class Item>
std::size_t values_in(const Item& item) {
  if constexpr (requires { item.size(); }) {
    return item.size() + 1;
  } else {
    return 1;
  }
}

template <class Item>
std::vector<Item> extract_list(PyObject* value, ItemRule<Item> item_rule) {
  check_list_value(value);
  std::vector<Item> items;
  items.reserve(static_cast<std::size_t>(reservation_for(value)));
  const Object iterator = checked(PyObject_GetIter(value));
  std::size_t since_poll = 0;
  while (const Object item = Object::steal(PyIter_Next(iterator.get()))) {
    items.push_back(item_rule(item.get()));
    since_poll += values_in(items.back());
    if (since_poll >= kItemsPerSignalPoll) {
      since_poll = 0;
      check_status(PyErr_CheckSignals());
    }
  }
  if (PyErr_Occurred() != nullptr) throw PythonError{};
  return items;
}

std::vector<std::uint64_t> extract_u64_list(PyObject* value);
// A NumPy array of 32-bit integers (or narrower) arrives packed; anything
// else as rows.
MatrixInput extract_matrix(PyObject* value);
std::vector<std::vector<std::pair<std::uint64_t, std::uint64_t>>> extract_windows(PyObject* value);

// Called with a Python exception set: replaces an exact TypeError by one whose
// message is prefixed "argument 'NAME': " and which keeps the original's
// __cause__. Any other exception is left as it is.
void name_argument_in_type_error(const char* name);

// Runs one parameter's extraction, naming the parameter in its TypeError.
template <class Extract>
auto extract_argument(const char* name, Extract&& extract) -> decltype(extract()) {
  try {
    return extract();
  } catch (const PythonError&) {
    name_argument_in_type_error(name);
    throw;
  }
}

// An optional parameter: absent when not given or None.
template <class Item>
std::optional<Item> extract_optional(const char* name, PyObject* value, Item (*rule)(PyObject*)) {
  if (value == nullptr || value == Py_None) return std::nullopt;
  return extract_argument(name, [&] { return rule(value); });
}

}  // namespace tourwright::python
