#include "logfiles/file_dialogs_win.h"

#include <cderr.h>
#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "base/paths.h"

namespace zelmor::logfiles {
namespace {

// Room for any path the dialog can return, long paths included.
constexpr size_t kFileBufferChars = 32768;

// A remembered folder at the root of a drive is stored without its backslash ("D:"), which the
// dialog would read as the current directory of that drive. A folder of MAX_PATH characters or
// more is left out: Wine's dialog copies it into a fixed buffer, and from about 950 characters on
// that overran the stack and ended the process.
std::wstring StartFolder(const std::wstring& folder) {
  if (folder.size() >= MAX_PATH) return std::wstring();
  if (folder.size() == 2 && folder[1] == L':') return folder + L"\\";
  return folder;
}

// comdlg32 brings shell32 and the printing DLLs with it, which under Wine cost a start-up noticeable
// time for dialogs most runs never show; it is loaded when a dialog is first asked for, and stays
// loaded for the rest of the run.
class CommonDialogLibrary {
 public:
  using FileNameFn = BOOL(WINAPI*)(OPENFILENAMEW*);
  using ErrorFn = DWORD(WINAPI*)();

  static const CommonDialogLibrary& Get() {
    static const CommonDialogLibrary library;
    return library;
  }
  bool loaded() const { return open_ && save_ && error_; }
  BOOL Open(OPENFILENAMEW* ofn) const { return open_(ofn); }
  BOOL Save(OPENFILENAMEW* ofn) const { return save_(ofn); }
  DWORD Error() const { return error_(); }

 private:
  CommonDialogLibrary() {
    const HMODULE module = LoadLibraryExW(L"comdlg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module) return;
    open_ = Function<FileNameFn>(module, "GetOpenFileNameW");
    save_ = Function<FileNameFn>(module, "GetSaveFileNameW");
    error_ = Function<ErrorFn>(module, "CommDlgExtendedError");
  }
  template <typename Fn>
  static Fn Function(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  }

  FileNameFn open_ = nullptr;
  FileNameFn save_ = nullptr;
  ErrorFn error_ = nullptr;
};

}  // namespace

std::wstring DialogFilter(const std::wstring& filter) {
  std::wstring out = filter;
  std::replace(out.begin(), out.end(), L'|', L'\0');
  out.push_back(L'\0');
  out.push_back(L'\0');
  return out;
}

bool CommonFileDialogs::Show(FileDialogState& state, bool save, ExistingFile existing) {
  const std::wstring filter = DialogFilter(state.filter);
  const std::wstring start_folder = StartFolder(state.initial_dir);
  std::vector<wchar_t> file(kFileBufferChars, L'\0');

  const CommonDialogLibrary& dialogs = CommonDialogLibrary::Get();
  if (!dialogs.loaded()) {
    last_error_ = CDERR_INITIALIZATION;
    return false;
  }

  auto run = [&](const std::wstring& preset) {
    std::fill(file.begin(), file.end(), L'\0');
    std::copy_n(preset.begin(), std::min(preset.size(), file.size() - 1), file.begin());
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner_;
    ofn.lpstrFilter = state.filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = start_folder.empty() ? nullptr : start_folder.c_str();
    ofn.lpstrTitle = state.title.empty() ? nullptr : state.title.c_str();
    // The process's current folder must not follow the choice: it would hold the log's folder
    // (a removable drive, say) in use for as long as the program runs.
    ofn.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR;
    if (save && existing == ExistingFile::AskFirst) ofn.Flags |= OFN_OVERWRITEPROMPT;
    const BOOL ok = save ? dialogs.Save(&ofn) : dialogs.Open(&ofn);
    last_error_ = ok ? 0 : dialogs.Error();
    return ok != FALSE;
  };

  const std::wstring preset = base::NameOf(state.file_name);
  bool ok = run(preset);
  // A remembered name the dialog refuses would keep it from showing at all.
  if (!ok && last_error_ == FNERR_INVALIDFILENAME && !preset.empty()) ok = run(std::wstring());
  if (!ok) return false;
  state.file_name = file.data();
  return true;
}

}  // namespace zelmor::logfiles
