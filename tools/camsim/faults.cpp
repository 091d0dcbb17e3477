#include "camsim/faults.h"

#include <charconv>

namespace fq::camsim {
namespace {

bool ToNumber(const std::string& s, uint32_t& v) {
  if (s.empty()) return false;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  return ec == std::errc() && p == s.data() + s.size();
}

}  // namespace

bool CommandFault::Hit() {
  ++seen;
  if (seen < at) return false;
  uint32_t k = seen - at;
  if (every > 0) k %= every;
  return count == 0 || k < count;
}

const char* FaultName(FaultKind kind) {
  switch (kind) {
    case FaultKind::kBusy: return "busy";
    case FaultKind::kRetry: return "retry";
    case FaultKind::kChecksum: return "checksum";
    case FaultKind::kSilence: return "silence";
    case FaultKind::kNoise: return "noise";
    case FaultKind::kEmptyLastBlock: return "emptyblock";
    case FaultKind::kShortBlock: return "shortblock";
  }
  return "?";
}

bool ParseFaults(const std::string& text, std::vector<CommandFault>& out, std::string& error) {
  if (text.empty()) return true;
  for (const std::string& item : SplitOption(text, ',')) {
    std::vector<std::string> parts = SplitOption(item, ':');
    CommandFault f;
    const std::string& kind = parts[0];
    if (kind == "busy") f.kind = FaultKind::kBusy;
    else if (kind == "retry") f.kind = FaultKind::kRetry;
    else if (kind == "checksum") f.kind = FaultKind::kChecksum;
    else if (kind == "silence") f.kind = FaultKind::kSilence;
    else if (kind == "noise") f.kind = FaultKind::kNoise;
    else if (kind == "emptyblock") f.kind = FaultKind::kEmptyLastBlock;
    else if (kind == "shortblock") {
      f.kind = FaultKind::kShortBlock;
      f.noise_bytes = 512;
    }
    else {
      error = "unknown fault kind '" + kind + "'";
      return false;
    }
    for (size_t i = 1; i < parts.size(); ++i) {
      size_t eq = parts[i].find('=');
      std::string key = parts[i].substr(0, eq);
      uint32_t v = 0;
      if (eq == std::string::npos || !ToNumber(parts[i].substr(eq + 1), v)) {
        error = "bad setting '" + parts[i] + "' in '" + item + "'";
        return false;
      }
      if (key == "cmd" && v <= 255) f.command = static_cast<int>(v);
      else if (key == "at" && v >= 1) f.at = v;
      else if (key == "count") f.count = v;
      else if (key == "every") f.every = v;
      else if (key == "bytes" && v <= 4096) f.noise_bytes = v;
      else {
        error = "bad setting '" + parts[i] + "' in '" + item + "'";
        return false;
      }
    }
    out.push_back(f);
  }
  return true;
}

std::vector<std::string> SplitOption(const std::string& s, char sep) {
  std::vector<std::string> out;
  size_t start = 0;
  while (true) {
    size_t p = s.find(sep, start);
    out.push_back(s.substr(start, p == std::string::npos ? std::string::npos : p - start));
    if (p == std::string::npos) break;
    start = p + 1;
  }
  return out;
}

}  // namespace fq::camsim
