#include "confirmations/adif_reader.h"

#include "base/text.h"

namespace zelmor::confirmations {

namespace {

bool IsNameChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u > ' ' && u != 0x7F && c != '<' && c != '>' && c != ':';
}

bool SameCaseless(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

enum class TagKind { kNone, kField, kEndOfHeader, kEndOfRecord, kCutOff };

struct Tag {
  TagKind kind = TagKind::kNone;
  AdifFieldView field;
  bool has_length = false;
  size_t next = 0;  // where reading goes on
};

// The tag at text[at] == '<'. kNone: the "<" starts no tag, and reading goes on after it.
Tag ReadTag(std::string_view text, size_t at) {
  Tag tag;
  tag.next = at + 1;
  size_t i = at + 1;
  while (i < text.size() && IsNameChar(text[i])) ++i;
  const std::string_view name = text.substr(at + 1, i - at - 1);
  if (name.empty()) return tag;
  if (i == text.size()) {
    tag.kind = TagKind::kCutOff;
    return tag;
  }
  size_t length = 0;
  std::string_view type;
  if (text[i] == ':') {
    tag.has_length = true;
    const size_t digits = ++i;
    // Past the text's size the length can only run past the end; counting stops there, so that
    // no number of digits overflows.
    while (i < text.size() && IsAsciiDigit(text[i])) {
      if (length <= text.size()) length = length * 10 + static_cast<size_t>(text[i] - '0');
      ++i;
    }
    if (i == text.size()) {
      tag.kind = TagKind::kCutOff;
      return tag;
    }
    if (i == digits) return Tag{TagKind::kNone, {}, false, at + 1};
    if (text[i] == ':') {
      const size_t type_start = ++i;
      while (i < text.size() && IsAsciiLetter(text[i])) ++i;
      if (i == text.size()) {
        tag.kind = TagKind::kCutOff;
        return tag;
      }
      type = text.substr(type_start, i - type_start);
    }
  }
  if (text[i] != '>') return Tag{TagKind::kNone, {}, false, at + 1};
  const size_t value_start = i + 1;
  if (length > text.size() - value_start) {
    tag.kind = TagKind::kCutOff;
    return tag;
  }
  tag.next = value_start + length;
  if (SameCaseless(name, "EOH")) {
    tag.kind = TagKind::kEndOfHeader;
  } else if (SameCaseless(name, "EOR")) {
    tag.kind = TagKind::kEndOfRecord;
  } else {
    tag.kind = TagKind::kField;
    tag.field = AdifFieldView{name, type, text.substr(value_start, length)};
  }
  return tag;
}

AdifField Owned(const AdifFieldView& view) {
  return AdifField{AsciiUpper(std::string(view.name)), AsciiUpper(std::string(view.type)), std::string(view.value)};
}

std::vector<AdifField> Owned(AdifRecordView view) {
  std::vector<AdifField> fields;
  fields.reserve(static_cast<size_t>(view.end() - view.begin()));
  for (const AdifFieldView& field : view) fields.push_back(Owned(field));
  return fields;
}

void AppendField(std::string& text, std::string_view name, std::string_view type, std::string_view value) {
  text += '<';
  for (char c : name) text += AsciiUpper(c);
  text += ':';
  text += std::to_string(value.size());
  if (!type.empty()) {
    text += ':';
    for (char c : type) text += AsciiUpper(c);
  }
  text += '>';
  text += value;
}

}  // namespace

const AdifField* AdifRecord::Find(std::string_view name) const {
  for (const AdifField& field : fields) {
    if (field.name == name) return &field;
  }
  return nullptr;
}

std::string_view AdifRecord::Value(std::string_view name) const {
  const AdifField* field = Find(name);
  return field ? std::string_view(field->value) : std::string_view();
}

const AdifFieldView* AdifRecordView::Find(std::string_view name) const {
  for (const AdifFieldView& field : *this) {
    if (SameCaseless(field.name, name)) return &field;
  }
  return nullptr;
}

std::string_view AdifRecordView::Value(std::string_view name) const {
  const AdifFieldView* field = Find(name);
  return field ? field->value : std::string_view();
}

AdifView ViewAdif(std::string_view text) {
  AdifView adif;
  size_t first_tag = std::string_view::npos;
  size_t record_start = 0;  // where the fields of the record being read begin
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t at = text.find('<', pos);
    if (at == std::string_view::npos) break;
    const Tag tag = ReadTag(text, at);
    if (tag.kind == TagKind::kCutOff) {
      // A tag cut after its name's colon was a field's: the text was ADIF up to there.
      adif.any_length = adif.any_length || tag.has_length;
      adif.cut_off = true;
      break;
    }
    pos = tag.next;
    if (tag.kind == TagKind::kNone) continue;
    if (first_tag == std::string_view::npos) first_tag = at;
    adif.any_length = adif.any_length || tag.has_length;
    switch (tag.kind) {
      case TagKind::kField:
        adif.fields.push_back(tag.field);
        break;
      case TagKind::kEndOfHeader:
        // Once records have begun, a second header is no header: the marker is passed over.
        if (!adif.has_header && adif.record_ends.empty()) {
          adif.has_header = true;
          adif.header_text = text.substr(0, first_tag);
          adif.header_end = record_start = adif.fields.size();
        }
        break;
      case TagKind::kEndOfRecord:
        if (adif.fields.size() > record_start) adif.record_ends.push_back(adif.fields.size());
        record_start = adif.fields.size();
        break;
      default:
        break;
    }
  }
  return adif;
}

AdifText ReadAdif(std::string_view text) {
  const AdifView view = ViewAdif(text);
  AdifText adif;
  adif.has_header = view.has_header;
  adif.header_text = std::string(view.header_text);
  adif.header = Owned(view.Header());
  adif.records.reserve(view.RecordCount());
  for (size_t i = 0; i < view.RecordCount(); ++i) adif.records.push_back(AdifRecord{Owned(view.Record(i))});
  adif.unclosed = Owned(view.Unclosed());
  adif.cut_off = view.cut_off;
  adif.any_length = view.any_length;
  return adif;
}

std::string FormatAdifField(const AdifField& field) {
  std::string text;
  AppendField(text, field.name, field.type, field.value);
  return text;
}

std::string FormatAdifRecord(const AdifRecord& record) {
  std::string text;
  for (const AdifField& field : record.fields) {
    AppendField(text, field.name, field.type, field.value);
    text += ' ';
  }
  return text + "<EOR>\r\n";
}

std::string FormatAdifRecord(AdifRecordView record) {
  std::string text;
  for (const AdifFieldView& field : record) {
    AppendField(text, field.name, field.type, field.value);
    text += ' ';
  }
  return text + "<EOR>\r\n";
}

}  // namespace zelmor::confirmations
