#include "transfer/field_transfer.h"

namespace zelmor::transfer {

uint32_t WireFieldCode(FieldCode code) {
  switch (code) {
    case 1: case 2: case 3: case 6: case 7: case 8: case 13: case 14:
      return static_cast<uint32_t>(code) | kFieldCodeFlag;
    default:
      return static_cast<uint32_t>(code);
  }
}

std::wstring FieldText(FieldCode code, std::wstring_view text) {
  if (code == 2 && text.size() > kDateFieldLength) text.remove_prefix(text.size() - kDateFieldLength);
  return std::wstring(text);
}

WireRecord BuildWireRecord(uint32_t dwData, std::string_view ansi_text) {
  WireRecord record;
  record.dwData = dwData;
  record.cbData = static_cast<uint32_t>(ansi_text.size());
  record.bytes.reserve(ansi_text.size() + 1);
  record.bytes.assign(ansi_text);
  record.bytes.push_back('\0');
  return record;
}

}  // namespace zelmor::transfer
