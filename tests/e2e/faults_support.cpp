#include "faults_support.h"

#include <algorithm>
#include <set>
#include <sstream>

#include "unix_win.h"

namespace e2e::faults {
namespace {

// The mount's source name: how this driver recognises its own mounts in /proc/mounts.
constexpr char kSource[] = "zelmor-e2e-disk";
constexpr DWORD kPage = 4096;

std::set<std::string>& LiveMounts() {
  static std::set<std::string> live;
  return live;
}

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// "zelmor-e2e-<pid>-..." as TempFolder names its folders: the Windows process that made it.
DWORD OwnerOf(const std::string& mount_point) {
  const std::string leaf = mount_point.substr(mount_point.find_last_of('/') + 1);
  const std::string prefix = "zelmor-e2e-";
  if (leaf.compare(0, prefix.size(), prefix) != 0) return 0;
  return static_cast<DWORD>(std::strtoul(leaf.c_str() + prefix.size(), nullptr, 10));
}

bool ProcessAlive(DWORD pid) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (!process) return false;
  const bool alive = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return alive;
}

// The mount point as /proc/mounts shows it: symbolic links (Wine's dosdevices) resolved.
std::string RealPath(const std::string& unix_path) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring out = std::wstring(temp) + L"zelmor-e2e-realpath-" + std::to_wstring(GetCurrentProcessId());
  const std::string unix_out = UnixName(out);
  if (unix_out.empty() || RunUnix("realpath " + Quoted(unix_path) + " > " + Quoted(unix_out)) != 0) return {};
  std::string path = ReadBytes(out);
  DeleteFileW(out.c_str());
  while (!path.empty() && (path.back() == '\n' || path.back() == '\r')) path.pop_back();
  return path;
}

// A run killed before its destructors ran leaves its disk mounted; process ids start again with
// every Wine server, so a mount counts as stale when its owner is gone or is this very process
// without knowing it. Only this Wine prefix's folders are looked at: another prefix's processes
// cannot be seen from here.
void RemoveStaleMounts() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring list = std::wstring(temp) + L"zelmor-e2e-mounts-" + std::to_wstring(GetCurrentProcessId());
  const std::string unix_list = UnixName(list);
  const std::string own_temp = RealPath(UnixName(temp)) + "/";
  if (unix_list.empty() || own_temp.size() < 2) return;
  if (RunUnix(std::string("awk '$1==\"") + kSource + "\" && $3==\"tmpfs\" {print $2}' /proc/mounts > " +
              Quoted(unix_list)) != 0)
    return;
  std::istringstream lines(ReadBytes(list));
  DeleteFileW(list.c_str());
  for (std::string mount_point; std::getline(lines, mount_point);) {
    if (mount_point.compare(0, own_temp.size(), own_temp) != 0) continue;
    const DWORD owner = OwnerOf(mount_point);
    const bool stale = owner == GetCurrentProcessId() ? LiveMounts().count(mount_point) == 0 : !ProcessAlive(owner);
    if (owner != 0 && stale) RunUnix("umount -l " + Quoted(mount_point) + "; rmdir " + Quoted(mount_point));
  }
}

ULONGLONG FreeBytes(const std::wstring& folder) {
  ULARGE_INTEGER free{};
  return GetDiskFreeSpaceExW((folder + L"\\").c_str(), &free, nullptr, nullptr) ? free.QuadPart : ~0ULL;
}

ULONGLONG TotalBytes(const std::wstring& folder) {
  ULARGE_INTEGER total{};
  return GetDiskFreeSpaceExW((folder + L"\\").c_str(), nullptr, &total, nullptr) ? total.QuadPart : 0;
}

bool CanCreateFiles(const std::wstring& folder) {
  const std::wstring probe = folder + L"\\probe.tmp";
  HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  DeleteFileW(probe.c_str());
  return true;
}

}  // namespace

SmallDisk::SmallDisk(const TempFolder& folder, int size_kib)
    : folder_(folder.path()), filler_(folder.File(L"filler.bin")) {
  RemoveStaleMounts();
  const std::string unix_name = UnixName(folder_);
  if (unix_name.empty()) {
    reason_ = "not running under Wine: no Unix side to mount a small file system on";
    return;
  }
  unix_folder_ = RealPath(unix_name);
  if (unix_folder_.empty()) {
    reason_ = "could not resolve the folder's Unix path";
    return;
  }
  const int status = RunUnix("mount -t tmpfs -o size=" + std::to_string(size_kib) + "k,mode=0777 " + kSource + " " +
                             Quoted(unix_folder_));
  if (status != 0) {
    reason_ = "mounting a tmpfs was refused (status " + std::to_string(status) + "): the test needs root";
    return;
  }
  mounted_ = true;
  LiveMounts().insert(unix_folder_);
  // The file system under the folder must now be the small one, or nothing the test does means
  // what it says.
  const ULONGLONG total = TotalBytes(folder_);
  if (total == 0 || total > static_cast<ULONGLONG>(size_kib) * 1024) {
    reason_ = "the mount does not show through Wine (" + std::to_string(total) + " bytes)";
    mounted_ = false;
  }
}

SmallDisk::~SmallDisk() {
  if (unix_folder_.empty() || LiveMounts().count(unix_folder_) == 0) return;
  // A process just ended may hold its executable on the disk for a moment longer; a lazy unmount
  // at the end detaches the disk whatever still holds it.
  RunUnix("for i in $(seq 100); do umount " + Quoted(unix_folder_) + " && exit 0; sleep 0.1; done; umount -l " +
          Quoted(unix_folder_));
  LiveMounts().erase(unix_folder_);
}

bool SmallDisk::Fill(size_t leave) {
  if (!mounted_) return false;
  HANDLE file = CreateFileW(filler_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const std::string chunk(64 * 1024, 'F');
  for (DWORD size = static_cast<DWORD>(chunk.size()); size >= 512; size /= 2) {
    DWORD written = 0;
    while (WriteFile(file, chunk.data(), size, &written, nullptr) && written == size) {
    }
  }
  LARGE_INTEGER length{};
  GetFileSizeEx(file, &length);
  const LONGLONG give_back = static_cast<LONGLONG>((leave + kPage - 1) / kPage * kPage);
  length.QuadPart = std::max<LONGLONG>(0, length.QuadPart - give_back);
  // Wine's SetEndOfFile writes at the new end, which a full disk refuses even for the same size.
  const bool done = give_back == 0 || (SetFilePointerEx(file, length, nullptr, FILE_BEGIN) && SetEndOfFile(file));
  CloseHandle(file);
  return done && FreeBytes(folder_) <= static_cast<ULONGLONG>(give_back) + kPage;
}

bool SmallDisk::Free() { return DeleteFileW(filler_.c_str()) != FALSE; }

bool SmallDisk::SetReadOnly(bool read_only) {
  if (!mounted_) return false;
  if (RunUnix(std::string("mount -o remount,") + (read_only ? "ro " : "rw ") + Quoted(unix_folder_)) != 0)
    return false;
  return CanCreateFiles(folder_) != read_only;
}

HeldFile::HeldFile(const std::wstring& path)
    : handle_(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}

std::string HeldFile::Content() const {
  std::string bytes;
  if (!ok() || SetFilePointer(handle_, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(handle_, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  return bytes;
}

void HeldFile::Release() {
  if (ok()) CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
}

}  // namespace e2e::faults
