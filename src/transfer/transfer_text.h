#pragma once
// The one message of the transfer path. It is raised from portable code, which loads no resources,
// so its text is kept here.

namespace zelmor::transfer {

inline constexpr wchar_t kNotRunningText[] = L"Turbo HAMLOG/Winが起動していません。";
inline constexpr wchar_t kNotRunningTitle[] = L"Zelmor";

}  // namespace zelmor::transfer
