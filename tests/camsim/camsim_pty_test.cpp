#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "camsim/pty_server.h"
#include "camsim_rig.h"

namespace fq::camsim::test {
namespace {

Bytes ReadFd(int fd, size_t want, int timeout_ms = 3000) {
  Bytes got;
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (got.size() < want && std::chrono::steady_clock::now() < end) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 20) <= 0) continue;
    uint8_t buf[2048];
    ssize_t n = read(fd, buf, std::min(sizeof buf, want - got.size()));
    if (n > 0) got.insert(got.end(), buf, buf + n);
  }
  return got;
}

void SetSpeed(int fd, speed_t s) {
  termios t{};
  ASSERT_EQ(tcgetattr(fd, &t), 0);
  cfmakeraw(&t);
  cfsetispeed(&t, s);
  cfsetospeed(&t, s);
  ASSERT_EQ(tcsetattr(fd, TCSANOW, &t), 0);
}

TEST(CamsimPty, FollowsTheSpeedSetOnTheTerminalAndWritesUploadsBack) {
  auto dir = std::filesystem::temp_directory_path() / ("camsim_pty_" + std::to_string(getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  SimOptions o;
  o.type = 2;
  CameraSimulator sim(o, FlatContent({FakePicture(3000, 1)}));
  sim.on_upload = [&](const StoredEntry& e, const StoredFolder& f, int m) { WriteUpload(dir.string(), m, f, e); };
  PtyServer server;
  std::string error;
  ASSERT_TRUE(server.Open(error)) << error;
  std::atomic<bool> stop{false};
  PtyOptions po;
  po.once = true;
  std::thread serving([&] { server.Serve(sim, po, stop); });

  int fd = open(server.slave_path().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(fd, 0);
  SetSpeed(fd, B9600);
  auto ask = [&](const Bytes& frame, size_t want, int timeout_ms = 3000) {
    EXPECT_EQ(write(fd, frame.data(), frame.size()), static_cast<ssize_t>(frame.size()));
    return ReadFd(fd, want, timeout_ms);
  };
  EXPECT_EQ(ask(Marker(4, {3}), 18), Rig::MarkerAck(0));
  // The program has not switched yet: the camera, now at 57600, hears nothing.
  EXPECT_TRUE(ask(Marker(2), 21, 300).empty());
  SetSpeed(fd, B57600);
  EXPECT_EQ(ask(Marker(2), 21).size(), 21u);
  Bytes pic = FakePicture(1100, 4);
  EXPECT_EQ(ask(Sequenced(21, {0x4C, 0x04, 0, 0}), 16), Rig::SeqAck(0));
  EXPECT_EQ(ask(Sequenced(5, Bytes(pic.begin(), pic.begin() + 1024), 0, 1), 16), Rig::SeqAck(0));
  EXPECT_EQ(ask(Sequenced(5, Bytes(pic.begin() + 1024, pic.end()), 1, 1), 16), Rig::SeqAck(0));
  EXPECT_EQ(ask(Sequenced(31), 16), Rig::SeqAck(0));
  close(fd);
  serving.join();  // once: the server ends with the connection
  EXPECT_EQ(sim.camera_speed(), 9600u);
  auto stored = dir / "UPLD0001.jpg";
  ASSERT_TRUE(std::filesystem::exists(stored));
  EXPECT_EQ(std::filesystem::file_size(stored), pic.size());
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace fq::camsim::test
