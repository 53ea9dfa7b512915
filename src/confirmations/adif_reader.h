#pragma once
// ADIF as other programs write it (LoTW's report, the kept file): the header, then records of
// fields "<NAME:length>value" or "<NAME:length:type>value", each record closed by <EOR>.
//
// Lengths count bytes of the UTF-8 text, not characters, so a value is taken as bytes and never
// re-encoded. Names and the markers <EOH> and <EOR> come in any case; names are kept in upper case.
// Whatever stands between fields (line breaks, comments, a "<" that starts no field) is passed
// over. A tag without a length (LoTW's <APP_LoTW_EOF>) reads as a field with an empty value.
// A length that runs past the end is a cut-off field: reading stops there, and says so.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zelmor::confirmations {

struct AdifField {
  std::string name;   // upper case
  std::string type;   // the type letter as written ("D", "S"), upper case, or empty
  std::string value;  // the value's bytes
};

struct AdifRecord {
  std::vector<AdifField> fields;

  // The first field of that name (upper case), or null.
  const AdifField* Find(std::string_view name) const;
  // Its value, or empty when the record has no such field.
  std::string_view Value(std::string_view name) const;
};

struct AdifText {
  bool has_header = false;           // an <EOH> came before the first record
  std::string header_text;           // the free text the header begins with, before its first tag
  std::vector<AdifField> header;     // the header's fields
  std::vector<AdifRecord> records;   // every record closed by <EOR>; empty ones are passed over
  std::vector<AdifField> unclosed;   // the fields after the last <EOR> (LoTW's <APP_LoTW_EOF>)
  bool cut_off = false;              // a field's length ran past the end of the text
  bool any_length = false;           // some tag had a length: the text is ADIF, not a web page
};

AdifText ReadAdif(std::string_view text);

// The same reading without a copy of any field, for files of many records (the kept file): views
// into the text, which must outlive them.
struct AdifFieldView {
  std::string_view name;  // as written: any case
  std::string_view type;  // as written, or empty
  std::string_view value;
};

class AdifRecordView {
 public:
  AdifRecordView() = default;
  AdifRecordView(const AdifFieldView* begin, const AdifFieldView* end) : begin_(begin), end_(end) {}

  const AdifFieldView* begin() const { return begin_; }
  const AdifFieldView* end() const { return end_; }
  bool empty() const { return begin_ == end_; }
  // The first field of that name (upper case; the text's may be in any case), or null.
  const AdifFieldView* Find(std::string_view name) const;
  // Its value, or empty when the record has no such field.
  std::string_view Value(std::string_view name) const;

 private:
  const AdifFieldView* begin_ = nullptr;
  const AdifFieldView* end_ = nullptr;
};

struct AdifView {
  bool has_header = false;
  std::string_view header_text;
  bool cut_off = false;
  bool any_length = false;
  // Every field in the order of the text: the header's, each record's, then the unclosed ones.
  std::vector<AdifFieldView> fields;
  size_t header_end = 0;            // the header's fields are [0, header_end)
  std::vector<size_t> record_ends;  // record i ends where record i + 1 begins

  size_t RecordCount() const { return record_ends.size(); }
  AdifRecordView Header() const { return Range(0, header_end); }
  AdifRecordView Record(size_t i) const { return Range(i == 0 ? header_end : record_ends[i - 1], record_ends[i]); }
  AdifRecordView Unclosed() const {
    return Range(record_ends.empty() ? header_end : record_ends.back(), fields.size());
  }

 private:
  AdifRecordView Range(size_t from, size_t to) const {
    return AdifRecordView(fields.data() + from, fields.data() + to);
  }
};

AdifView ViewAdif(std::string_view text);

// "<NAME:length>value" (with ":type" when the field has one), the length in bytes: ReadAdif gives
// the field back as it was.
std::string FormatAdifField(const AdifField& field);

// The record's fields, one after the other, and <EOR> with a line end; names and types in upper
// case.
std::string FormatAdifRecord(const AdifRecord& record);
std::string FormatAdifRecord(AdifRecordView record);

}  // namespace zelmor::confirmations
