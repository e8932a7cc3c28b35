#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

namespace tourwright {

// The one exception the core throws. Its message is exactly what the caller
// of `solve` sees, so it is composed here and never decorated later.
class Failure : public std::runtime_error {
 public:
  explicit Failure(const std::string& message) : std::runtime_error(message) {}
};

[[noreturn]] void fail(const std::string& message);

// "index out of bounds: the len is L but the index is I"
[[noreturn]] void fail_index(std::size_t len, std::size_t index);

// Bounds-checked element access that fails with the index message.
template <class List>
decltype(auto) element_at(List& list, std::size_t index) {
  if (index >= list.size()) fail_index(list.size(), index);
  return list[index];
}

}  // namespace tourwright
