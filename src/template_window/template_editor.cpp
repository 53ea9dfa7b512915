#include "template_window/template_editor.h"

#include "base/text.h"
#include "settings/keys.h"

namespace zelmor::template_window {

void TemplateEditor::OnTextChanged(const std::wstring& box_text) {
  state_.template_text = TrimSpaces(box_text);
}

void TemplateEditor::OnClose(const std::wstring& box_text) {
  profile_.ProfileWrite(settings::kMainSection, settings::kTemplateKey, TrimSpaces(box_text));
}

}  // namespace zelmor::template_window
