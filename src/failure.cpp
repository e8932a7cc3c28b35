#include "failure.hpp"

#include "messages.hpp"

namespace tourwright {

void fail(const std::string& message) { throw Failure(message); }

void fail_index(std::size_t len, std::size_t index) {
  fail(messages::kIndexPrefix + std::to_string(len) + messages::kIndexMiddle +
       std::to_string(index));
}

}  // namespace tourwright
