#pragma once
// What one field transfer to Turbo HAMLOG/Win puts on the wire, and the transfer menu that picks
// the field. Portable: the text arrives here already converted to the ANSI code page.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zelmor::transfer {

// Names one field of the logging program; the transfer menu passes 1..8, 11, 13 and 14.
using FieldCode = int32_t;

// Set on the codes of the fields that the logging program expects in its newer form.
inline constexpr uint32_t kFieldCodeFlag = 0x20000;
// The date field takes at most this many characters (the tail, so "2024/01/02" gives "24/01/02").
inline constexpr size_t kDateFieldLength = 8;

// The dwData that goes on the wire for `code`: 0x20000 OR-ed into 1, 2, 3, 6, 7, 8, 13 and 14;
// every other code, negative ones included, goes out as its own 32-bit pattern.
uint32_t WireFieldCode(FieldCode code);

// The part of `text` that is sent for `code`: the last 8 UTF-16 units for code 2, else all of it.
std::wstring FieldText(FieldCode code, std::wstring_view text);

// The WM_COPYDATA payload: dwData, cbData and the bytes lpData points at.
struct WireRecord {
  uint32_t dwData = 0;
  uint32_t cbData = 0;  // bytes of the text; the terminating NUL is not counted
  std::string bytes;    // the text in the ANSI code page followed by one NUL
};

// `ansi_text` is the field text already converted to the ANSI code page.
WireRecord BuildWireRecord(uint32_t dwData, std::string_view ansi_text);

// One item of the transfer menu HLcopyMenu.
struct TransferMenuItem {
  const wchar_t* name;     // the item's role name
  const wchar_t* caption;  // its caption, exactly as the menu shows it
  FieldCode code;          // the field code it passes
};

inline constexpr size_t kTransferMenuItemCount = 11;

// The transfer menu in menu order.
inline constexpr std::array<TransferMenuItem, kTransferMenuItemCount> kTransferMenu = {{
    {L"cpDATE", L"to HL DATE", 2},
    {L"cpTIME", L"to HL TIME", 3},
    {L"cpCALL", L"to HL CALL", 1},
    {L"cpHIS", L"to HL HisRST", 4},
    {L"cpMY", L"to HL MyRST", 5},
    {L"cpMODE", L"to HL MODE", 7},
    {L"cpFREQ", L"to HL FREQ", 6},
    {L"cpCODE", L"to HL CODE", 8},
    {L"cpNAME", L"to HL NAME", 11},
    {L"cpREM1", L"to HL REM-1", 13},
    {L"cpREM2", L"to HL REM-2", 14},
}};

}  // namespace zelmor::transfer
