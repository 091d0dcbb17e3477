// Serving the simulated camera on a pseudo-terminal (Linux): the program
// opens the slave side as its serial port; the simulator reads and writes
// the master side, follows the speed the program sets on the slave, and
// notices when the program closes the port.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "camsim/camera_simulator.h"

namespace fq::camsim {

struct PtyOptions {
  bool pace = false;  // write replies no faster than the nominal line speed
  bool once = false;  // stop after the first connection has ended
};

class PtyServer {
 public:
  ~PtyServer();
  // Opens the pseudo-terminal in raw mode at 9600 bit/s. False with `error`.
  bool Open(std::string& error);
  const std::string& slave_path() const { return slave_; }
  // Serves until `stop` is set, or (with `once`) the first connection ends.
  void Serve(CameraSimulator& sim, const PtyOptions& options, const std::atomic<bool>& stop);

 private:
  uint32_t SlaveSpeed() const;
  void Write(const std::vector<uint8_t>& bytes, uint32_t speed, bool pace);

  int master_ = -1;
  std::string slave_;
  // Set while serving: a reply nobody reads must not hold off a stop.
  const std::atomic<bool>* stop_ = nullptr;
};

}  // namespace fq::camsim
