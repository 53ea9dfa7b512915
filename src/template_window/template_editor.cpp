#include "template_window/template_editor.h"

#include "settings/keys.h"

namespace zelmor::template_window {

std::wstring TrimSpaces(const std::wstring& text) {
  const size_t first = text.find_first_not_of(L' ');
  if (first == std::wstring::npos) return std::wstring();
  const size_t last = text.find_last_not_of(L' ');
  return text.substr(first, last - first + 1);
}

void TemplateEditor::OnTextChanged(const std::wstring& box_text) {
  state_.TemplateText = TrimSpaces(box_text);
}

void TemplateEditor::OnClose(const std::wstring& box_text) {
  profile_.CurrentSection = settings::kMainSection;
  profile_.ProfileWrite(settings::kTemplateKey, TrimSpaces(box_text));
}

}  // namespace zelmor::template_window
