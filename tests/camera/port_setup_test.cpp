// The port setup: the speed the dialog opens with, and the search of the
// ports for the camera past ports that are missing, silent or talk
// nonsense.
#include <gtest/gtest.h>

#include <map>

#include "base/messages.h"
#include "camera/port_setup.h"
#include "camera/sim_rig.h"

namespace fq::cam {
namespace {

using namespace testing;

TEST(PortSetupTest, FirstSpeedFromTheSettingAndThePort) {
  const uint32_t all = 0xFFFFFFFF;
  EXPECT_EQ(InitialSpeedCode(192, all), speed_code::k19200);
  EXPECT_EQ(InitialSpeedCode(9600, 0), speed_code::k9600);
  EXPECT_EQ(InitialSpeedCode(1152, 0), speed_code::k115200);
  EXPECT_EQ(InitialSpeedCode(777, all), speed_code::k38400);
  EXPECT_EQ(InitialSpeedCode(0, speed_bit::k38400 | speed_bit::k9600), speed_code::k38400);
  EXPECT_EQ(InitialSpeedCode(5, speed_bit::k19200 | speed_bit::k57600), speed_code::k57600);
  EXPECT_EQ(InitialSpeedCode(5, speed_bit::k9600 | speed_bit::k115200), speed_code::k9600);
  EXPECT_EQ(InitialSpeedCode(5, speed_bit::k115200), speed_code::k115200);
  EXPECT_EQ(InitialSpeedCode(5, 0), speed_code::k38400);
}

// Ports by name, each the end of its own line; a name without a line
// cannot be opened.
class PortsByName final : public SerialPort {
 public:
  void Add(const std::string& name, SerialPort& port) { ports_[name] = &port; }
  int Open(const std::string& name) override {
    Close();
    auto it = ports_.find(name);
    if (it == ports_.end()) return rc::kPortOpen;
    current_ = it->second;
    opened.push_back(name);
    return current_->Open(name);
  }
  int SetSpeed(uint32_t b) override { return current_ ? current_->SetSpeed(b) : rc::kStateRead; }
  bool Purge() override { return current_ && current_->Purge(); }
  size_t Write(const uint8_t* d, size_t n) override { return current_ ? current_->Write(d, n) : 0; }
  bool Status(LineStatus& s) override { return current_ && current_->Status(s); }
  size_t Read(uint8_t* d, size_t n) override { return current_ ? current_->Read(d, n) : 0; }
  bool WaitForInput(uint64_t us) override { return current_ && current_->WaitForInput(us); }
  void Close() override {
    if (current_) current_->Close();
    current_ = nullptr;
  }
  bool IsOpen() const override { return current_ && current_->IsOpen(); }
  std::vector<std::string> opened;

 private:
  std::map<std::string, SerialPort*> ports_;
  SerialPort* current_ = nullptr;
};

camsim::SimOptions Device(camsim::SimOptions::Device d) {
  camsim::SimOptions o = SimOf(2);
  o.device = d;
  return o;
}

TEST(PortSetupTest, FindsTheCameraPastMissingSilentAndGarbledPorts) {
  FakeClock clock;
  camsim::CameraSimulator silent(Device(camsim::SimOptions::Device::kSilent), camsim::DemoContent(2));
  camsim::CameraSimulator garbage(Device(camsim::SimOptions::Device::kGarbage), camsim::DemoContent(2));
  camsim::CameraSimulator camera(SimOf(4), camsim::DemoContent(4));
  MemoryLine l1(clock, silent), l2(clock, garbage), l4(clock, camera);
  PortsByName ports;
  ports.Add("COM1", l1.port());
  ports.Add("COM2", l2.port());
  ports.Add("COM4", l4.port());
  RecordingReporter reporter;
  FakePump pump;
  CameraLink link(ports, clock, pump, reporter);
  link.port_name = "COM2";
  link.speed_code = speed_code::k115200;

  const uint64_t start = clock.NowMillis();
  EXPECT_EQ(FindCameraPort(link, DefaultSearchPorts()), 4);
  const uint64_t took = clock.NowMillis() - start;
  EXPECT_EQ(ports.opened, (std::vector<std::string>{"COM1", "COM2", "COM4"}));
  EXPECT_TRUE(reporter.messages.empty());
  EXPECT_EQ(link.port_name, "COM2");
  EXPECT_EQ(link.speed_code, speed_code::k115200);
  EXPECT_EQ(camera.stats().sessions_ended, 1);
  EXPECT_FALSE(l4.is_open());
  EXPECT_EQ(l4.speed(), 9600u);
  // Two silent ports cost their two speed attempts of 1 s each, no more.
  EXPECT_GE(took, 4000u);
  EXPECT_LT(took, 4500u);

  // No camera anywhere: 0, still quiet.
  PortsByName none;
  none.Add("COM1", l1.port());
  CameraLink lonely(none, clock, pump, reporter);
  EXPECT_EQ(FindCameraPort(lonely, DefaultSearchPorts()), 0);
  EXPECT_TRUE(reporter.messages.empty());
}

TEST(PortSetupTest, AMalformedIdentificationIsReportedButThePortFound) {
  Bench b([](const ProgramFrame& f) -> Answer {
    if (f.command == 2) return {{MarkerReply(3, {'D', 'S', 'C', '7'})}};
    return {{MarkerAck(0)}};
  });
  EXPECT_EQ(FindCameraPort(b.link, {"COM3"}), 1);
  EXPECT_FALSE(b.reporter.messages.empty());
  EXPECT_EQ(b.reporter.messages.front(), err::kDataError);
}

}  // namespace
}  // namespace fq::cam
