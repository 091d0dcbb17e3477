// Faults of the serial line itself, for the simulator on a pseudo-terminal:
// bytes dropped, corrupted, duplicated or held back, each chosen at random
// per byte with a given probability from a seeded generator, so that a run
// can be repeated exactly. Each direction has its own generator and its own
// byte count; what a byte suffers depends only on its place in its
// direction's stream, not on how the stream was cut into writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fq::camsim {

enum class LineDirection { kOut, kIn, kBoth };

struct LineFaultOptions {
  double drop = 0;       // probability per byte that it is lost
  double corrupt = 0;    // ... that it arrives changed (never as itself)
  double dup = 0;        // ... that it arrives twice
  double delay = 0;      // ... that the line stalls before it
  uint32_t delay_ms = 100;
  uint64_t seed = 1;
  LineDirection direction = LineDirection::kOut;

  bool Any() const { return drop > 0 || corrupt > 0 || dup > 0 || delay > 0; }
  bool Out() const { return Any() && direction != LineDirection::kIn; }
  bool In() const { return Any() && direction != LineDirection::kOut; }
};

// Parses "drop=P,corrupt=P,dup=P,delay=P,delay-ms=MS,seed=N,dir=out|in|both"
// (any subset, any order; P a probability per byte from 0 to 1, their sum
// at most 1). False with `error` on a malformed text.
bool ParseLineFaults(const std::string& text, LineFaultOptions& out, std::string& error);

struct LineFaultCounts {
  uint64_t bytes = 0;  // bytes offered to the line
  uint64_t dropped = 0, corrupted = 0, duplicated = 0, delayed = 0;
  uint64_t Faults() const { return dropped + corrupted + duplicated + delayed; }
};

// Bytes as the line delivers them: a stretch of bytes, after a stall.
struct LinePiece {
  uint32_t pause_ms = 0;  // the line is quiet this long before the bytes
  std::vector<uint8_t> bytes;
};

// One direction of a faulty line.
class FaultyLine {
 public:
  // `stream` tells the directions apart: the same seed gives each its own
  // sequence.
  FaultyLine(const LineFaultOptions& options, uint64_t stream);
  // What becomes of `n` bytes put on the line, in order. Without delays
  // (or with `delays` false) there is one piece.
  std::vector<LinePiece> Pass(const uint8_t* data, size_t n, bool delays = true);
  const LineFaultCounts& counts() const { return counts_; }

 private:
  uint64_t Next();
  double Uniform();

  LineFaultOptions options_;
  uint64_t state_;
  LineFaultCounts counts_;
};

// "N dropped, N corrupted, N duplicated, N delayed of N bytes".
std::string DescribeCounts(const LineFaultCounts& c);

}  // namespace fq::camsim
