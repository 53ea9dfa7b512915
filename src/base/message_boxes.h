#pragma once
// The program's questions and reports to the operator.

#include <optional>
#include <string>

namespace zelmor {

enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Question, Stop };
enum class MessageAnswer { Ok, Yes, No };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // No title leaves the platform's own (the application's) title.
  virtual MessageAnswer Show(const std::wstring& text, const std::optional<std::wstring>& title,
                             MessageButtons buttons, MessageIcon icon) = 0;
};

}  // namespace zelmor
