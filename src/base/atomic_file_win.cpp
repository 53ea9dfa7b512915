#include "base/atomic_file_win.h"

#include <algorithm>
#include <climits>

#include "base/handles_win.h"
#include "base/paths.h"

namespace zelmor::base {
namespace {

// Virus scanners and indexers hold freshly written files for a moment; such failures pass.
bool IsPassing(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
         error == ERROR_ACCESS_DENIED;
}

template <typename Step>
DWORD WithRetries(Step step) {
  DWORD error = ERROR_SUCCESS;
  for (int attempt = 0; attempt < 5; ++attempt) {
    error = step();
    if (error == ERROR_SUCCESS || !IsPassing(error)) break;
    Sleep(20 * (attempt + 1));
  }
  return error;
}

}  // namespace

DWORD WriteAndFlush(const std::wstring& path, const std::string& bytes, DWORD creation) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return GetLastError();
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr)) return GetLastError();
    if (written == 0) return ERROR_WRITE_FAULT;
    done += written;
  }
  if (!FlushFileBuffers(file.get())) return GetLastError();
  return ERROR_SUCCESS;
}

DWORD FlushFile(const std::wstring& path) {
  UniqueFile file(
      CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return GetLastError();
  return FlushFileBuffers(file.get()) ? DWORD{ERROR_SUCCESS} : GetLastError();
}

std::wstring TemporarySibling(const std::wstring& path) {
  static LONG counter = 0;
  return path + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(InterlockedIncrement(&counter)) + kTemporaryMarker;
}

DWORD ReplaceFileContent(const std::wstring& path, const std::string& bytes) {
  const std::wstring temporary = TemporarySibling(path);
  DWORD error = WithRetries([&] { return WriteAndFlush(temporary, bytes, CREATE_ALWAYS); });
  if (error == ERROR_SUCCESS) {
    error = WithRetries([&] {
      return MoveFileExW(temporary.c_str(), path.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                 ? DWORD{ERROR_SUCCESS}
                 : GetLastError();
    });
  }
  if (error != ERROR_SUCCESS) DeleteFileW(temporary.c_str());
  return error;
}

DWORD ReadFileContent(const std::wstring& path, std::string& bytes) {
  bytes.clear();
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return GetLastError();
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return GetLastError();
  if (size.QuadPart > INT_MAX) return ERROR_FILE_TOO_LARGE;
  bytes.resize(static_cast<size_t>(size.QuadPart));
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    if (!ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got, nullptr))
      return GetLastError();
    if (got == 0) break;
    done += got;
  }
  bytes.resize(done);
  return ERROR_SUCCESS;
}

void RemoveTemporarySiblings(const std::wstring& path) {
  std::wstring folder = FolderOf(path);
  if (folder.empty()) folder = L".";
  WIN32_FIND_DATAW found{};
  const UniqueFind search(FindFirstFileW((path + L".*" + kTemporaryMarker).c_str(), &found));
  if (!search) return;
  do {
    DeleteFileW(JoinPath(folder, found.cFileName).c_str());
  } while (FindNextFileW(search.get(), &found));
}

}  // namespace zelmor::base
