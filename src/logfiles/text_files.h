#pragma once
// Plain text files in the ANSI code page, as the log files and the safety copy are kept.

#include <optional>
#include <string>

namespace zelmor::logfiles {

class TextFiles {
 public:
  virtual ~TextFiles() = default;
  virtual bool Read(const std::wstring& path, std::wstring& text) = 0;
  // Replaces the file's whole content in one step: a crash leaves the old or the new file whole.
  virtual bool Replace(const std::wstring& path, const std::wstring& text) = 0;
  // The same in two steps, for a writer that keeps a long text's bytes and adds to them: the bytes
  // of `text` as the files hold them (nothing when it cannot be converted), and the replacement
  // of a file with bytes made that way. Pieces that split the text between characters encode to
  // the pieces of the whole text's bytes.
  virtual std::optional<std::string> Encode(const std::wstring& text) = 0;
  // Replaces the file's whole content in one step with `bytes` exactly as they are: those made by
  // Encode, or a file whose form is fixed in bytes already (ADIF's ASCII).
  virtual bool ReplaceEncoded(const std::wstring& path, const std::string& bytes) = 0;
  virtual bool Exists(const std::wstring& path) = 0;
  // Never replaces an existing `to`: false then, and `from` stays.
  virtual bool Rename(const std::wstring& from, const std::wstring& to) = 0;
  // Removes what interrupted replacements of `path` left beside it (only files of the name the
  // replacement itself gives them).
  virtual void RemoveLeftovers(const std::wstring& path) = 0;
};

}  // namespace zelmor::logfiles
