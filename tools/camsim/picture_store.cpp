#include "camsim/picture_store.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "camsim/sim_jpeg.h"

namespace fq::camsim {
namespace fs = std::filesystem;
namespace {

constexpr uintmax_t kLargestFile = 16u << 20;

bool IsJpegName(const fs::path& p) {
  std::string ext = p.extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".jpg" || ext == ".jpeg";
}

std::optional<std::vector<uint8_t>> ReadFile(const fs::path& p, std::vector<std::string>* log) {
  std::error_code ec;
  uintmax_t size = fs::file_size(p, ec);
  if (ec || size == 0 || size > kLargestFile) {
    if (log) log->push_back("skipped " + p.string() + " (empty, unreadable or above 16 MiB)");
    return std::nullopt;
  }
  std::ifstream in(p, std::ios::binary);
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size))) {
    if (log) log->push_back("skipped " + p.string() + " (read failed)");
    return std::nullopt;
  }
  return bytes;
}

std::vector<fs::path> SortedChildren(const fs::path& dir) {
  std::vector<fs::path> out;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) out.push_back(it->path());
  std::sort(out.begin(), out.end());
  return out;
}

// Reads one folder's entries (stills, and movies when `movies`).
StoredFolder ReadOneFolder(const fs::path& dir, int number, bool movies, std::vector<std::string>* log) {
  StoredFolder folder;
  folder.number = number;
  folder.dir = dir.string();
  std::error_code ec;
  for (const fs::path& p : SortedChildren(dir)) {
    if (folder.entries.size() >= 9999) break;
    StoredEntry e;
    if (fs::is_regular_file(p, ec) && IsJpegName(p)) {
      auto bytes = ReadFile(p, log);
      if (!bytes) continue;
      e.data = std::move(*bytes);
      e.mode = ModeForSize(e.data.size());
    } else if (movies && fs::is_directory(p, ec) && p.extension() == ".movie") {
      e.movie = true;
      for (const fs::path& f : SortedChildren(p)) {
        if (!IsJpegName(f) || e.frames.size() >= 999) continue;
        if (auto bytes = ReadFile(f, log)) e.frames.push_back(std::move(*bytes));
      }
      if (e.frames.empty()) {
        if (log) log->push_back("skipped " + p.string() + " (a movie without frames)");
        continue;
      }
    } else {
      continue;
    }
    e.name = p.filename().string();
    e.file = static_cast<int>(folder.entries.size()) + 1;
    folder.entries.push_back(std::move(e));
  }
  return folder;
}

int FolderNumber(const fs::path& p) {
  std::string n = p.filename().string();
  if (n.size() != 3 || !std::all_of(n.begin(), n.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return 0;
  int v = std::stoi(n);
  return v >= 100 ? v : 0;
}

Medium ReadMedium(const fs::path& root, std::vector<std::string>* log) {
  Medium m;
  StoredFolder top = ReadOneFolder(root, 100, true, log);
  bool top_used = !top.entries.empty();
  std::error_code ec;
  for (const fs::path& p : SortedChildren(root)) {
    int number = fs::is_directory(p, ec) ? FolderNumber(p) : 0;
    if (number == 0) continue;
    if (number == 100 && top_used) {
      if (log) log->push_back("skipped " + p.string() + " (folder 100 is the top folder)");
      continue;
    }
    m.folders.push_back(ReadOneFolder(p, number, true, log));
  }
  if (top_used) m.folders.push_back(std::move(top));
  std::sort(m.folders.begin(), m.folders.end(),
            [](const StoredFolder& a, const StoredFolder& b) { return a.number < b.number; });
  return m;
}

StoredEntry DemoStill(int index, int width, int height) {
  StoredEntry e;
  e.data = MakeDemoPicture(width, height, index);
  e.mode = ModeForSize(e.data.size());
  e.name = "demo picture " + std::to_string(index);
  return e;
}

}  // namespace

size_t StoredEntry::Bytes() const {
  size_t n = data.size();
  for (const auto& f : frames) n += f.size();
  return n;
}

const std::vector<uint8_t>& StoredEntry::Face() const {
  return movie && !frames.empty() ? frames.front() : data;
}

size_t CameraContent::Bytes() const {
  size_t n = 0;
  for (const Medium& m : media)
    for (const StoredFolder& f : m.folders)
      for (const StoredEntry& e : f.entries) n += e.Bytes();
  return n;
}

size_t CameraContent::Count() const {
  size_t n = 0;
  for (const Medium& m : media)
    for (const StoredFolder& f : m.folders) n += f.entries.size();
  return n;
}

uint8_t ModeForSize(size_t bytes) {
  if (bytes <= 21504) return 0;
  if (bytes <= 64512) return 1;
  if (bytes <= 131072) return 2;
  return 3;
}

CameraContent LoadFolder(const std::string& dir, int type, std::vector<std::string>* log) {
  CameraContent c;
  if (type == 4) {
    c.media[0] = ReadMedium(dir, log);
    std::error_code ec;
    fs::path card2 = fs::path(dir) / "card2";
    if (fs::is_directory(card2, ec)) c.media[1] = ReadMedium(card2, log);
    else c.media[1].present = false;
    c.media[0].present = true;
    return c;
  }
  // One flat list: the top folder, then the numbered sub-folders, stills only.
  StoredFolder all = ReadOneFolder(dir, 100, false, log);
  std::error_code ec;
  for (const fs::path& p : SortedChildren(dir)) {
    if (!fs::is_directory(p, ec) || FolderNumber(p) == 0) continue;
    StoredFolder sub = ReadOneFolder(p, 100, false, log);
    for (auto& e : sub.entries) all.entries.push_back(std::move(e));
  }
  size_t limit = type == 1 ? 100 : 9999;
  if (all.entries.size() > limit) {
    if (log) log->push_back("kept the first " + std::to_string(limit) + " pictures of " + std::to_string(all.entries.size()));
    all.entries.resize(limit);
  }
  for (size_t i = 0; i < all.entries.size(); ++i) all.entries[i].file = static_cast<int>(i) + 1;
  c.media[0].folders.push_back(std::move(all));
  return c;
}

CameraContent DemoContent(int type) {
  CameraContent c;
  if (type != 4) {
    StoredFolder f;
    for (int i = 1; i <= 4; ++i) {
      StoredEntry e = DemoStill(i, 320, 240);
      e.file = i;
      f.entries.push_back(std::move(e));
    }
    c.media[0].folders.push_back(std::move(f));
    return c;
  }
  StoredFolder f100;
  for (int i = 1; i <= 3; ++i) {
    StoredEntry e = DemoStill(i, 320, 240);
    e.file = i;
    f100.entries.push_back(std::move(e));
  }
  StoredFolder f101;
  f101.number = 101;
  StoredEntry still = DemoStill(4, 320, 240);
  still.file = 1;
  f101.entries.push_back(std::move(still));
  StoredEntry movie;
  movie.movie = true;
  movie.file = 2;
  movie.name = "demo movie";
  for (int i = 1; i <= 4; ++i) movie.frames.push_back(MakeDemoPicture(160, 120, i));
  f101.entries.push_back(std::move(movie));
  c.media[0].folders.push_back(std::move(f100));
  c.media[0].folders.push_back(std::move(f101));
  StoredFolder card2;
  for (int i = 5; i <= 6; ++i) {
    StoredEntry e = DemoStill(i, 320, 240);
    e.file = i - 4;
    card2.entries.push_back(std::move(e));
  }
  c.media[1].present = true;
  c.media[1].folders.push_back(std::move(card2));
  return c;
}

bool ApplyContent(const std::string& spec, int type, CameraContent& content, std::string& error) {
  size_t start = 0;
  while (start <= spec.size()) {
    const size_t comma = spec.find(',', start);
    const std::string item = spec.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    start = comma == std::string::npos ? spec.size() + 1 : comma + 1;
    const size_t eq = item.find('=');
    const std::string kind = item.substr(0, eq);
    long value = -1;
    if (eq != std::string::npos) {
      const std::string v = item.substr(eq + 1);
      if (v.empty() || v.size() > 6 || v.find_first_not_of("0123456789") != std::string::npos) {
        error = "bad value in '" + item + "'";
        return false;
      }
      value = std::stol(v);
    }
    const bool wants_value = kind == "many" || kind == "parts" || kind == "rate";
    if (wants_value != (value >= 0)) {
      error = "'" + item + "': " + (wants_value ? "needs a value" : "takes no value");
      return false;
    }
    if ((kind == "hidden" || kind == "gaps") && type != 1) {
      error = "'" + kind + "' is for type 1";
      return false;
    }
    if ((kind == "parts" || kind == "rate") && type != 4) {
      error = "'" + kind + "' is for type 4 (movies)";
      return false;
    }
    if (content.media[0].folders.empty()) content.media[0].folders.push_back(StoredFolder{});
    StoredFolder& first = content.media[0].folders.front();
    if (kind == "many") {
      const size_t limit = type == 1 ? 100 : 9999;
      if (value < 1 || first.entries.size() + static_cast<size_t>(value) > limit) {
        error = "'" + item + "': the folder holds at most " + std::to_string(limit) + " pictures";
        return false;
      }
      // One small picture, told apart by a comment segment with its number.
      const std::vector<uint8_t> base = MakeDemoPicture(16, 16, 1, 50);
      for (long i = 0; i < value; ++i) {
        StoredEntry e;
        const std::string note = "tiny " + std::to_string(i + 1);
        const size_t length = note.size() + 2;
        e.data.assign(base.begin(), base.begin() + 2);
        e.data.insert(e.data.end(), {0xFF, 0xFE, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)});
        e.data.insert(e.data.end(), note.begin(), note.end());
        e.data.insert(e.data.end(), base.begin() + 2, base.end());
        e.mode = ModeForSize(e.data.size());
        e.name = note;
        e.file = first.entries.empty() ? 1 : first.entries.back().file + 1;
        first.entries.push_back(std::move(e));
      }
    } else if (kind == "hidden") {
      static constexpr uint8_t kHiddenModes[] = {4, 100, 255};
      for (size_t i = 2; i < first.entries.size(); i += 3) first.entries[i].mode = kHiddenModes[(i / 3) % 3];
    } else if (kind == "gaps") {
      for (size_t i = 0; i < first.entries.size(); ++i) first.entries[i].file = static_cast<int>(2 * i + 1);
    } else if (kind == "bigsize") {
      int stills = 0;
      bool done = false;
      for (StoredFolder& f : content.media[0].folders)
        for (StoredEntry& e : f.entries)
          if (!e.movie && ++stills == 2 && !done) {
            e.announced_size = 0xFFFFFF00u;
            done = true;
          }
      if (!done) {
        error = "'bigsize' needs two pictures";
        return false;
      }
    } else if (kind == "parts" || kind == "rate") {
      if (value > (kind == "rate" ? 255 : 65535)) {
        error = "'" + item + "' is out of range";
        return false;
      }
      for (Medium& m : content.media)
        for (StoredFolder& f : m.folders)
          for (StoredEntry& e : f.entries) {
            if (!e.movie) continue;
            if (kind == "parts") e.announced_parts = static_cast<int>(value);
            else e.rate_mode = static_cast<uint8_t>(value);
          }
    } else {
      error = "unknown content '" + kind + "'";
      return false;
    }
  }
  return true;
}

std::optional<std::string> WriteUpload(const std::string& root, int medium, const StoredFolder& folder,
                                       const StoredEntry& entry) {
  fs::path dir;
  if (!folder.dir.empty()) {
    dir = folder.dir;
  } else {
    dir = medium == 2 ? fs::path(root) / "card2" : fs::path(root);
    if (folder.number != 100) dir /= std::to_string(folder.number);
  }
  std::error_code ec;
  fs::create_directories(dir, ec);
  for (int n = 1; n <= 9999; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "UPLD%04d.jpg", n);
    fs::path p = dir / name;
    if (fs::exists(p, ec)) continue;
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(entry.data.data()), static_cast<std::streamsize>(entry.data.size()));
    out.close();
    if (!out) return std::nullopt;
    return p.string();
  }
  return std::nullopt;
}

}  // namespace fq::camsim
