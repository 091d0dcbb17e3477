#include "base/ini_file.h"

#include "base/file_io.h"

namespace fq::settings {
namespace {

std::string_view Trim(std::string_view s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string_view::npos) return {};
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t nl = text.find('\n', start);
    size_t end = nl == std::string_view::npos ? text.size() : nl;
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (nl == std::string_view::npos) break;
    start = nl + 1;
  }
  return lines;
}

// The section name of a header line "[name]", if the line is one.
std::optional<std::string_view> SectionOf(std::string_view line) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

struct KeyLine {
  std::string_view key;
  std::string_view value;
};

std::optional<KeyLine> KeyOf(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() == ';' || line.front() == '[') return std::nullopt;
  size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  KeyLine k{Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))};
  if (k.key.empty()) return std::nullopt;
  return k;
}

std::string_view Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

// The file's text; nothing when it exists but cannot be read. A missing file
// reads as empty.
std::optional<std::string> ReadText(const std::string& path) {
  auto bytes = io::ReadWholeFile(path);
  if (!bytes) {
    if (io::Fs().Exists(path)) return std::nullopt;
    return std::string();
  }
  return std::string(bytes->begin(), bytes->end());
}

}  // namespace

std::optional<std::string> FindValue(std::string_view text, std::string_view section,
                                     std::string_view key) {
  bool seen_section = false;  // only the first section of a name counts
  bool inside = false;
  for (std::string_view line : SplitLines(text)) {
    if (auto s = SectionOf(line)) {
      if (inside) return std::nullopt;
      inside = !seen_section && SameName(*s, section);
      seen_section = seen_section || inside;
      continue;
    }
    if (!inside) continue;
    if (auto k = KeyOf(line); k && SameName(k->key, key)) return std::string(Unquote(k->value));
  }
  return std::nullopt;
}

std::string SetValue(std::string_view text, std::string_view section, std::string_view key,
                     std::string_view value) {
  std::vector<std::string_view> lines = SplitLines(text);
  std::string entry = std::string(key) + "=" + std::string(value);
  std::vector<std::string> out(lines.begin(), lines.end());

  size_t header = out.size();
  for (size_t i = 0; i < lines.size(); ++i) {
    auto s = SectionOf(lines[i]);
    if (s && SameName(*s, section)) {
      header = i;
      break;
    }
  }
  if (header == out.size()) {
    if (!out.empty() && !Trim(out.back()).empty()) out.emplace_back();
    out.push_back("[" + std::string(section) + "]");
    out.push_back(entry);
  } else {
    size_t last_filled = header;  // new keys go after the section's last line
    size_t i = header + 1;
    bool replaced = false;
    for (; i < lines.size() && !SectionOf(lines[i]); ++i) {
      if (auto k = KeyOf(lines[i]); k && SameName(k->key, key)) {
        out[i] = entry;
        replaced = true;
        break;
      }
      if (!Trim(lines[i]).empty()) last_filled = i;
    }
    if (!replaced) out.insert(out.begin() + static_cast<std::ptrdiff_t>(last_filled + 1), entry);
  }

  std::string result;
  for (const std::string& l : out) result += l + "\r\n";
  return result;
}

int IniFileStore::ReadInt(std::string_view section, std::string_view key, int def) {
  auto v = FindValue(ReadText(path_).value_or(""), section, key);
  return v ? LeadingDigits(*v) : def;
}

std::string IniFileStore::ReadString(std::string_view section, std::string_view key,
                                     std::string_view def, size_t buffer_size) {
  if (buffer_size == 0) return {};
  auto v = FindValue(ReadText(path_).value_or(""), section, key);
  std::string s = v ? *v : std::string(def);
  if (s.size() > buffer_size - 1) s.resize(buffer_size - 1);
  return s;
}

void IniFileStore::WriteString(std::string_view section, std::string_view key,
                               std::string_view value) {
  auto bad = [](std::string_view name, std::string_view forbidden) {
    return Trim(name).empty() || Trim(name) != name ||
           name.find_first_of(forbidden) != std::string_view::npos;
  };
  if (bad(section, "]\r\n") || bad(key, "=[;\r\n")) return;
  value = value.substr(0, value.find_first_of("\r\n"));

  // An existing file that cannot be read is left alone rather than replaced
  // by one holding only this key.
  auto old = ReadText(path_);
  if (!old) return;
  std::string text = SetValue(*old, section, key, value);
  io::ReplacingWriter w(path_);
  if (!w.Open() || !w.Write(text.data(), text.size())) return;
  (void)w.Commit();
}

}  // namespace fq::settings
