#pragma once

#include <string>

namespace focura {

// A modal prompt: title, message, an input field holding `defaultText`, OK and Cancel.
// Returns the field's text on OK and "" on Cancel.
class Prompt {
 public:
  virtual ~Prompt() = default;
  virtual std::string Ask(const std::string& title, const std::string& text,
                          const std::string& defaultText) = 0;
};

}  // namespace focura
