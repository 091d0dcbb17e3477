#include "shell/command_line.h"

#include <array>

#include "base/file_io.h"

namespace fq::shell {
namespace {

bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == '"'; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (Lower(text[i]) != Lower(prefix[i])) return false;
  return true;
}

// True when `name` ends in one of the extensions after which a separator
// ends a name.
bool EndsInKnownExtension(std::string_view name) {
  static constexpr std::array<std::string_view, 5> kExtensions = {".jpg", ".bmp", ".avi", ".cal",
                                                                 ".alb"};
  if (name.size() < 4) return false;
  std::string_view tail = name.substr(name.size() - 4);
  for (std::string_view ext : kExtensions)
    if (StartsWithNoCase(tail, ext)) return true;
  return false;
}

}  // namespace

std::vector<Result<std::string>> ParseCommandLine(std::string_view text) {
  std::vector<Result<std::string>> names;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsSeparator(text[i])) ++i;
    if (i == text.size()) break;
    size_t start = i;
    while (i < text.size()) {
      if (IsSeparator(text[i]) && EndsInKnownExtension(text.substr(start, i - start))) break;
      ++i;
    }
    std::string_view name = text.substr(start, i - start);
    if (name.size() > kMaxFileNameLength)
      names.emplace_back(Failure{err::kFileNameTooLong});
    else
      names.emplace_back(std::string(name));
  }
  return names;
}

std::string HandOverFilePath() { return io::Fs().TempFolder() + std::string(kHandOverFileName); }

std::vector<uint8_t> HandOverBytes(std::string_view command_line) {
  std::vector<uint8_t> bytes(command_line.begin(), command_line.end());
  if (!StartsWithNoCase(command_line, kEventPrefix)) bytes.insert(bytes.end(), 2, 0);
  return bytes;
}

Status WriteHandOverFile(const std::string& path, std::string_view command_line) {
  io::ReplacingWriter w(path);
  if (Status s = w.Open(); !s) return s;
  if (Status s = w.Write(HandOverBytes(command_line)); !s) return s;
  return w.Commit();
}

std::optional<std::string> HandOverText(std::span<const uint8_t> bytes) {
  if (bytes.empty() || bytes.size() > kMaxHandOverBytes) return std::nullopt;
  std::string text;
  for (uint8_t b : bytes) {
    if (b == 0) break;
    if (b < 0x20 && b != '\t') return std::nullopt;
    text.push_back(static_cast<char>(b));
  }
  if (text.empty()) return std::nullopt;
  return text;
}

std::optional<std::string> ReadHandOverFile(const std::string& path) {
  auto f = io::Fs().OpenRead(path);
  if (!f) return std::nullopt;
  auto size = f->Size();
  if (!size || *size == 0 || *size > kMaxHandOverBytes) return std::nullopt;
  std::vector<uint8_t> bytes(static_cast<size_t>(*size));
  if (f->Read(bytes.data(), bytes.size()) != bytes.size()) return std::nullopt;
  return HandOverText(bytes);
}

}  // namespace fq::shell
