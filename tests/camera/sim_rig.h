// The program's camera link on the in-memory line to the camera simulator,
// for the tests of the flows that run over a whole connection (upload,
// deletion, viewfinder, clock, port search).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "camera/camera_link.h"
#include "camera/link_codes.h"
#include "camera/memory_line.h"
#include "camera/scripted_camera.h"
#include "camsim/camera_simulator.h"
#include "camsim/sim_jpeg.h"

namespace fq::cam::testing {

inline camsim::SimOptions SimOf(int type, std::vector<camsim::CommandFault> faults = {}) {
  camsim::SimOptions o;
  o.type = type;
  o.faults = std::move(faults);
  o.check_uploads = true;
  return o;
}

inline camsim::CommandFault Fault(camsim::FaultKind kind, int command, uint32_t at = 1,
                                  uint32_t count = 1) {
  camsim::CommandFault f;
  f.kind = kind;
  f.command = command;
  f.at = at;
  f.count = count;
  return f;
}

// A flat camera (types 1 to 3) with `n` demo pictures named p1, p2, ...
inline camsim::CameraContent NamedPictures(int n, int width = 160, int height = 120) {
  camsim::CameraContent c;
  camsim::StoredFolder f;
  for (int i = 1; i <= n; ++i) {
    camsim::StoredEntry e;
    e.data = camsim::MakeDemoPicture(width, height, i);
    e.mode = camsim::ModeForSize(e.data.size());
    e.file = i;
    e.name = "p" + std::to_string(i);
    f.entries.push_back(std::move(e));
  }
  c.media[0].folders.push_back(std::move(f));
  return c;
}

struct SimRig {
  explicit SimRig(camsim::SimOptions options, camsim::CameraContent content)
      : sim(std::move(options), std::move(content)),
        line(clock, sim),
        link(line.port(), clock, pump, reporter) {
    link.port_name = "COM1";
    link.speed_code = speed_code::k38400;
    sim.log = [this](const std::string& s) {
      log.push_back(s);
      log_ms.push_back(clock.NowMillis());
    };
  }
  explicit SimRig(int type) : SimRig(SimOf(type), camsim::DemoContent(type)) {}

  const camsim::StoredFolder& Folder(size_t i = 0, int medium = 0) const {
    return sim.content().media[medium].folders[i];
  }
  // Log lines containing `text`, and when the first of them came.
  std::vector<std::string> LogWith(const std::string& text) const {
    std::vector<std::string> out;
    for (const auto& s : log)
      if (s.find(text) != std::string::npos) out.push_back(s);
    return out;
  }
  int64_t FirstLogMs(const std::string& text) const {
    for (size_t i = 0; i < log.size(); ++i)
      if (log[i].find(text) != std::string::npos) return static_cast<int64_t>(log_ms[i]);
    return -1;
  }

  FakeClock clock;
  camsim::CameraSimulator sim;
  MemoryLine line;
  RecordingReporter reporter;
  FakePump pump;
  CameraLink link;
  std::vector<std::string> log;
  std::vector<uint64_t> log_ms;
};

}  // namespace fq::cam::testing
