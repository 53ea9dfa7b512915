#pragma once
// ADIF as other programs write it (LoTW's report, the kept file): the header, then records of
// fields "<NAME:length>value" or "<NAME:length:type>value", each record closed by <EOR>.
//
// Lengths count bytes of the UTF-8 text, not characters, so a value is taken as bytes and never
// re-encoded. Names and the markers <EOH> and <EOR> come in any case; names are kept in upper case.
// Whatever stands between fields (line breaks, comments, a "<" that starts no field) is passed
// over. A tag without a length (LoTW's <APP_LoTW_EOF>) reads as a field with an empty value.
// A length that runs past the end is a cut-off field: reading stops there, and says so.

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

// "<NAME:length>value" (with ":type" when the field has one), the length in bytes: ReadAdif gives
// the field back as it was.
std::string FormatAdifField(const AdifField& field);

// The record's fields, one after the other, and <EOR> with a line end.
std::string FormatAdifRecord(const AdifRecord& record);

}  // namespace zelmor::confirmations
