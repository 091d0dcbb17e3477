#include "camsim/line_faults.h"

#include "camsim/faults.h"

#include <cstdlib>

namespace fq::camsim {
namespace {

bool Probability(const std::string& s, double& v) {
  if (s.empty()) return false;
  char* end = nullptr;
  v = std::strtod(s.c_str(), &end);
  return end == s.c_str() + s.size() && v >= 0 && v <= 1;
}

bool Whole(const std::string& s, uint64_t limit, uint64_t& v) {
  if (s.empty() || s.find_first_not_of("0123456789") != std::string::npos || s.size() > 19) return false;
  v = std::strtoull(s.c_str(), nullptr, 10);
  return v <= limit;
}

// The finaliser of splitmix64: nearby seeds give unrelated states.
uint64_t Mix(uint64_t z) {
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

}  // namespace

bool ParseLineFaults(const std::string& text, LineFaultOptions& out, std::string& error) {
  LineFaultOptions o;
  if (text.empty()) {
    error = "no line faults given";
    return false;
  }
  for (const std::string& item : SplitOption(text, ',')) {
    const size_t eq = item.find('=');
    const std::string key = item.substr(0, eq);
    const std::string value = eq == std::string::npos ? std::string() : item.substr(eq + 1);
    uint64_t n = 0;
    bool good = eq != std::string::npos;
    if (!good) {
    } else if (key == "drop") {
      good = Probability(value, o.drop);
    } else if (key == "corrupt") {
      good = Probability(value, o.corrupt);
    } else if (key == "dup") {
      good = Probability(value, o.dup);
    } else if (key == "delay") {
      good = Probability(value, o.delay);
    } else if (key == "delay-ms") {
      good = Whole(value, 60000, n);
      o.delay_ms = static_cast<uint32_t>(n);
    } else if (key == "seed") {
      good = Whole(value, UINT64_MAX, n);
      o.seed = n;
    } else if (key == "dir") {
      good = value == "out" || value == "in" || value == "both";
      o.direction = value == "in" ? LineDirection::kIn : value == "both" ? LineDirection::kBoth : LineDirection::kOut;
    } else {
      error = "unknown line fault '" + key + "'";
      return false;
    }
    if (!good) {
      error = "bad line fault setting '" + item + "'";
      return false;
    }
  }
  if (o.drop + o.corrupt + o.dup + o.delay > 1) {
    error = "the line fault probabilities add up to more than 1";
    return false;
  }
  out = o;
  return true;
}

FaultyLine::FaultyLine(const LineFaultOptions& options, uint64_t stream)
    : options_(options), state_(Mix(Mix(options.seed) ^ (stream * 0xD1B54A32D192ED03ull))) {}

uint64_t FaultyLine::Next() { return Mix(state_ += 0x9E3779B97F4A7C15ull); }  // splitmix64

double FaultyLine::Uniform() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }

std::vector<LinePiece> FaultyLine::Pass(const uint8_t* data, size_t n, bool delays) {
  std::vector<LinePiece> pieces(1);
  pieces.back().bytes.reserve(n);
  const LineFaultOptions& o = options_;
  for (size_t i = 0; i < n; ++i) {
    ++counts_.bytes;
    // Two draws for every byte, whether used or not, so that a byte's fate
    // depends only on its place in the stream.
    const double u = Uniform();
    const uint8_t flip = static_cast<uint8_t>(Next() % 255 + 1);
    uint8_t b = data[i];
    if (u < o.drop) {
      ++counts_.dropped;
      continue;
    }
    if (u < o.drop + o.corrupt) {
      ++counts_.corrupted;
      b ^= flip;
    } else if (u < o.drop + o.corrupt + o.dup) {
      ++counts_.duplicated;
      pieces.back().bytes.push_back(b);
    } else if (u < o.drop + o.corrupt + o.dup + o.delay) {
      ++counts_.delayed;
      if (delays) {
        if (!pieces.back().bytes.empty()) pieces.emplace_back();
        pieces.back().pause_ms += o.delay_ms;
      }
    }
    pieces.back().bytes.push_back(b);
  }
  return pieces;
}

std::string DescribeCounts(const LineFaultCounts& c) {
  return std::to_string(c.dropped) + " dropped, " + std::to_string(c.corrupted) + " corrupted, " +
         std::to_string(c.duplicated) + " duplicated, " + std::to_string(c.delayed) + " delayed of " +
         std::to_string(c.bytes) + " bytes";
}

}  // namespace fq::camsim
