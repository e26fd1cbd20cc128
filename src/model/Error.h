// The one exception type of the program: a real failure (socket, file, document) with the Slovak
// text the general error report shows to the user.
#pragma once

#include <stdexcept>
#include <string>

namespace lumetra {

class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// The reason behind a system error number, in Slovak: the system's own texts are English.
std::string SystemErrorText(int err);

}  // namespace lumetra
