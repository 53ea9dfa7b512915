// The fuzz programs have no resource script at hand: every text of the program's own is a stand-in
// that names its ID, which is all the rules under test need (that a message came, and which).

#include <string>

#include "base/texts.h"

namespace zelmor {

std::wstring LoadText(int id) { return L"text " + std::to_wstring(id); }

}  // namespace zelmor
