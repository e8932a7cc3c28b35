#include "failure.hpp"

namespace tourwright {

void fail(const std::string& message) { throw Failure(message); }

void fail_index(std::size_t len, std::size_t index) {
  fail("index out of bounds: the len is " + std::to_string(len) + " but the index is " +
       std::to_string(index));
}

}  // namespace tourwright
