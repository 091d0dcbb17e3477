#include "camsim/sim_frames.h"

#include <algorithm>

namespace fq::camsim {
namespace {

constexpr char kToProgram[] = "ORX PC  DSC ";

}  // namespace

size_t SequencedFrameLength(uint8_t kind) {
  switch (kind) {
    case 8: return 16;
    case 16: return 262;
    case 1: return 1030;
  }
  return 0;
}

std::vector<uint8_t> MarkerFrameToProgram(uint8_t code, std::span<const uint8_t> data) {
  return MarkerFrameToProgram(code, data, static_cast<uint32_t>(data.size()));
}

std::vector<uint8_t> MarkerFrameToProgram(uint8_t code, std::span<const uint8_t> data,
                                          uint32_t announced) {
  std::vector<uint8_t> f(kToProgram, kToProgram + 12);
  for (int s = 24; s >= 0; s -= 8) f.push_back(static_cast<uint8_t>(announced >> s));
  f.push_back(code);
  f.insert(f.end(), data.begin(), data.end());
  return f;
}

std::vector<uint8_t> SequencedFrameToProgram(uint8_t kind, uint8_t sequence, uint8_t code,
                                             std::span<const uint8_t> data) {
  const size_t total = SequencedFrameLength(kind);
  if (total == 0) return {};
  std::vector<uint8_t> f(total, 0);
  f[0] = kind;
  f[1] = sequence;
  f[2] = static_cast<uint8_t>(~sequence);
  f[3] = code;
  std::copy_n(data.begin(), std::min(data.size(), total - 6), f.begin() + 4);
  unsigned sum = 0;
  for (size_t i = 1; i < total - 2; ++i) sum += f[i];
  f[total - 2] = static_cast<uint8_t>(sum);
  return f;
}

}  // namespace fq::camsim
