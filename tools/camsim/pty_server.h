// Serving the simulated camera on a pseudo-terminal (Linux): the program
// opens the slave side as its serial port; the simulator reads and writes
// the master side, follows the speed the program sets on the slave, and
// notices when the program closes the port.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "camsim/camera_simulator.h"
#include "camsim/line_faults.h"

namespace fq::camsim {

struct PtyOptions {
  // Write replies, and take in what the program writes, no faster than the
  // nominal line speed (10 bit times per byte).
  bool pace = false;
  bool once = false;  // stop after the first connection has ended
  // Faults of the line itself (none by default): on the bytes toward the
  // program, and on the bytes from it. Their `direction` is not looked at.
  LineFaultOptions faults_out, faults_in;
};

class PtyServer {
 public:
  ~PtyServer();
  // Opens the pseudo-terminal in raw mode at 9600 bit/s. False with `error`.
  bool Open(std::string& error);
  const std::string& slave_path() const { return slave_; }
  // Serves until `stop` is set, or (with `once`) the first connection ends.
  void Serve(CameraSimulator& sim, const PtyOptions& options, const std::atomic<bool>& stop);
  // What the line's faults did so far, toward the program and from it.
  LineFaultCounts faults_out() const { return out_line_ ? out_line_->counts() : LineFaultCounts{}; }
  LineFaultCounts faults_in() const { return in_line_ ? in_line_->counts() : LineFaultCounts{}; }

 private:
  uint32_t SlaveSpeed() const;
  void Write(const std::vector<uint8_t>& bytes, uint32_t speed, bool pace);
  void WriteOnSchedule(const std::vector<uint8_t>& bytes, uint32_t speed, bool pace);
  // Bytes read from the program, each with the time (ns) it has finished
  // arriving over the line; handed to the camera when due.
  void Arrive(const uint8_t* data, size_t n, uint64_t now_us, uint32_t speed, bool pace);
  void Deliver(CameraSimulator& sim, uint64_t now_us);

  int master_ = -1;
  std::string slave_;
  // Set while serving: a reply nobody reads must not hold off a stop.
  const std::atomic<bool>* stop_ = nullptr;
  std::unique_ptr<FaultyLine> out_line_, in_line_;
  std::deque<std::pair<uint64_t, uint8_t>> inbox_;
  uint64_t line_free_ns_ = 0;  // when the line from the program is free again
};

}  // namespace fq::camsim
