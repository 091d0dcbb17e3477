// The frames the camera sends, built straight from the byte tables of the
// protocol and nothing of the program's own framing code, so that the two
// sides meet only on the line (and tests that script a camera cannot share
// a mistake with the program they test).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace fq::camsim {

// Total length of a sequenced frame of `kind` (8: 16, 16: 262, 1: 1030);
// 0 for a byte that is not a kind.
size_t SequencedFrameLength(uint8_t kind);

// "ORX PC  DSC ", the length (most significant byte first), the reply code
// and the data. `announced` is written as the length; by default the data's.
std::vector<uint8_t> MarkerFrameToProgram(uint8_t code, std::span<const uint8_t> data);
std::vector<uint8_t> MarkerFrameToProgram(uint8_t code, std::span<const uint8_t> data,
                                          uint32_t announced);

// Kind, sequence, its complement, reply code, the zero-filled data area, the
// sum of bytes 1 to the end of the data area, 0. Data beyond the area is cut.
std::vector<uint8_t> SequencedFrameToProgram(uint8_t kind, uint8_t sequence, uint8_t code,
                                             std::span<const uint8_t> data);

}  // namespace fq::camsim
