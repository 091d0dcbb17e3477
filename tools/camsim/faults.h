// Faults the simulated camera can commit on purpose, at the level of whole
// commands: chosen by kind, by the command they hit, and by position.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fq::camsim {

enum class FaultKind {
  kBusy,            // answer "busy" instead of acting (sequenced: "cannot execute now")
  kRetry,           // answer "send that again" instead of acting
  kChecksum,        // act, but damage the reply (sequenced: checksum; marker: header text)
  kSilence,         // neither act nor answer
  kNoise,           // act and answer, with noise bytes on the line before the reply
  kEmptyLastBlock,  // marker frames: answer the last block of a picture with no data
  kShortBlock,      // marker frames: answer a block with fewer bytes than it has
};

struct CommandFault {
  FaultKind kind = FaultKind::kBusy;
  int command = -1;      // command code it hits; -1 = every command
  uint32_t at = 1;       // the first hit is the at-th matching command (from 1)
  uint32_t count = 1;    // consecutive matching commands hit; 0 = all from `at` on
  uint32_t every = 0;    // when > 0, the pattern repeats every `every` matching commands
  uint32_t noise_bytes = 8;  // noise: bytes of noise; shortblock: data bytes kept (at most all but one)
  uint32_t seen = 0;     // matching commands so far (state)

  // Counts one matching command and tells whether this one is hit.
  bool Hit();
};

// Parses a list like "busy:cmd=30:at=3:count=2,noise:bytes=5,silence:every=10".
// Kinds: busy, retry, checksum, silence, noise, emptyblock, shortblock. Keys: cmd, at,
// count, every, bytes. Returns false with `error` set on a malformed list.
bool ParseFaults(const std::string& text, std::vector<CommandFault>& out, std::string& error);

const char* FaultName(FaultKind kind);

// The pieces of an option's text between the separators (empty ones too).
std::vector<std::string> SplitOption(const std::string& s, char sep);

}  // namespace fq::camsim
