#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "camsim/line_faults.h"
#include "camsim/pty_server.h"
#include "camsim_rig.h"

namespace fq::camsim::test {
namespace {

Bytes Stream(size_t n) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(i * 7 + 3);
  return b;
}

Bytes Joined(const std::vector<LinePiece>& pieces) {
  Bytes out;
  for (const LinePiece& p : pieces) out.insert(out.end(), p.bytes.begin(), p.bytes.end());
  return out;
}

LineFaultOptions Parsed(const std::string& text) {
  LineFaultOptions o;
  std::string error;
  EXPECT_TRUE(ParseLineFaults(text, o, error)) << text << ": " << error;
  return o;
}

TEST(CamsimLineFaults, ParsesTheSettingsAndRefusesWhatIsMalformed) {
  LineFaultOptions o = Parsed("drop=0.01,corrupt=0.002,dup=1e-3,delay=0.5,delay-ms=250,seed=42,dir=both");
  EXPECT_DOUBLE_EQ(o.drop, 0.01);
  EXPECT_DOUBLE_EQ(o.corrupt, 0.002);
  EXPECT_DOUBLE_EQ(o.dup, 0.001);
  EXPECT_DOUBLE_EQ(o.delay, 0.5);
  EXPECT_EQ(o.delay_ms, 250u);
  EXPECT_EQ(o.seed, 42u);
  EXPECT_TRUE(o.In() && o.Out());
  EXPECT_FALSE(Parsed("seed=3").Any());
  EXPECT_TRUE(Parsed("drop=0.1,dir=in").In());
  EXPECT_FALSE(Parsed("drop=0.1,dir=in").Out());
  for (const char* bad : {"", "drop", "drop=", "drop=2", "drop=-0.1", "drop=0.1x", "jitter=0.1", "seed=-1",
                          "delay-ms=70000", "dir=sideways", "drop=0.6,corrupt=0.6"}) {
    LineFaultOptions keep;
    keep.seed = 99;
    std::string error;
    EXPECT_FALSE(ParseLineFaults(bad, keep, error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
    EXPECT_EQ(keep.seed, 99u) << bad;  // left as it was
  }
}

TEST(CamsimLineFaults, ASeedRepeatsTheRunWhateverTheWrites) {
  const LineFaultOptions o = Parsed("drop=0.01,corrupt=0.01,dup=0.01,seed=7");
  const Bytes in = Stream(20000);
  FaultyLine whole(o, 1);
  const Bytes once = Joined(whole.Pass(in.data(), in.size()));
  // The same stream cut into uneven writes suffers the same faults.
  FaultyLine cut(o, 1);
  Bytes pieces;
  for (size_t at = 0, step = 1; at < in.size(); at += step, step = step % 37 + 1) {
    const size_t n = std::min(step, in.size() - at);
    const Bytes part = Joined(cut.Pass(in.data() + at, n));
    pieces.insert(pieces.end(), part.begin(), part.end());
  }
  EXPECT_EQ(once, pieces);
  EXPECT_EQ(whole.counts().Faults(), cut.counts().Faults());
  EXPECT_GT(whole.counts().Faults(), 0u);
  // Another seed, or the other direction of the same seed: other faults.
  FaultyLine other_seed(Parsed("drop=0.01,corrupt=0.01,dup=0.01,seed=8"), 1);
  FaultyLine other_way(o, 2);
  EXPECT_NE(Joined(other_seed.Pass(in.data(), in.size())), once);
  EXPECT_NE(Joined(other_way.Pass(in.data(), in.size())), once);
}

TEST(CamsimLineFaults, EachKindDoesWhatItSaysAtItsRate) {
  const Bytes in = Stream(100000);
  {
    FaultyLine line(Parsed("corrupt=0.02,seed=1"), 1);
    const Bytes out = Joined(line.Pass(in.data(), in.size()));
    ASSERT_EQ(out.size(), in.size());
    size_t changed = 0;
    for (size_t i = 0; i < in.size(); ++i) changed += out[i] != in[i];
    EXPECT_EQ(changed, line.counts().corrupted);  // a corrupted byte never comes out as itself
    EXPECT_NEAR(static_cast<double>(changed), 2000, 200);
  }
  {
    FaultyLine line(Parsed("drop=0.02,seed=2"), 1);
    const Bytes out = Joined(line.Pass(in.data(), in.size()));
    EXPECT_EQ(out.size(), in.size() - line.counts().dropped);
    EXPECT_NEAR(static_cast<double>(line.counts().dropped), 2000, 200);
    // What is left comes in order.
    size_t j = 0;
    for (size_t i = 0; i < in.size() && j < out.size(); ++i) j += in[i] == out[j];
    EXPECT_EQ(j, out.size());
  }
  {
    FaultyLine line(Parsed("dup=0.02,seed=3"), 1);
    const Bytes out = Joined(line.Pass(in.data(), in.size()));
    EXPECT_EQ(out.size(), in.size() + line.counts().duplicated);
    EXPECT_NEAR(static_cast<double>(line.counts().duplicated), 2000, 200);
  }
  {
    FaultyLine line(Parsed("delay=0.001,delay-ms=30,seed=4"), 1);
    const auto pieces = line.Pass(in.data(), in.size());
    EXPECT_EQ(Joined(pieces), in);  // a delay loses nothing
    uint64_t paused = 0;
    for (const LinePiece& p : pieces) paused += p.pause_ms;
    EXPECT_EQ(paused, line.counts().delayed * 30);
    EXPECT_NEAR(static_cast<double>(line.counts().delayed), 100, 35);
  }
}

Bytes ReadFor(int fd, size_t want, int timeout_ms) {
  Bytes got;
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (got.size() < want && std::chrono::steady_clock::now() < end) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 10) <= 0) continue;
    uint8_t buf[2048];
    ssize_t n = read(fd, buf, std::min(sizeof buf, want - got.size()));
    if (n > 0) got.insert(got.end(), buf, buf + n);
  }
  return got;
}

// The simulator served on a pseudo-terminal in a thread, the test being the
// program at 9600 bit/s.
struct Served {
  explicit Served(PtyOptions po) : sim(Options(), FlatContent({FakePicture(3000, 1)})) {
    std::string error;
    EXPECT_TRUE(server.Open(error)) << error;
    po.once = true;
    serving = std::thread([this, po] { server.Serve(sim, po, stop); });
    fd = open(server.slave_path().c_str(), O_RDWR | O_NOCTTY);
    EXPECT_GE(fd, 0);
    termios t{};
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    cfsetispeed(&t, B9600);
    cfsetospeed(&t, B9600);
    tcsetattr(fd, TCSANOW, &t);
  }
  ~Served() {
    stop = true;
    if (fd >= 0) close(fd);
    serving.join();
  }
  static SimOptions Options() {
    SimOptions o;
    o.type = 2;
    o.reply_delay_us = 0;
    return o;
  }
  CameraSimulator sim;
  PtyServer server;
  std::atomic<bool> stop{false};
  std::thread serving;
  int fd = -1;
};

TEST(CamsimLineFaults, WithARateTheCameraTakesInNoFasterThanTheLine) {
  // An upload block of 1030 bytes with its start command: at 9600 bit/s
  // the camera has the block whole 1030 × 10 / 9600 s after it was sent.
  const Bytes pic = FakePicture(1000, 4);
  const Bytes start = Sequenced(21, {0xE8, 0x03, 0, 0});
  Bytes block_data(pic.begin(), pic.end());
  block_data.resize(1024, 0);
  const Bytes block = Sequenced(5, block_data, 0, 1);
  ASSERT_EQ(block.size(), 1030u);
  for (bool pace : {false, true}) {
    PtyOptions po;
    po.pace = pace;
    Served s(po);
    ASSERT_EQ(write(s.fd, start.data(), start.size()), static_cast<ssize_t>(start.size()));
    ASSERT_EQ(ReadFor(s.fd, 16, 3000), Rig::SeqAck(0));
    const auto sent = std::chrono::steady_clock::now();
    ASSERT_EQ(write(s.fd, block.data(), block.size()), static_cast<ssize_t>(block.size()));
    const Bytes ack = ReadFor(s.fd, 16, 5000);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - sent).count();
    EXPECT_EQ(ack, Rig::SeqAck(0)) << "pace " << pace;
    // Bytes of the answer (16) take another 16 ms at the rate.
    if (pace) EXPECT_GE(ms, 1030 * 10 * 1000 / 9600) << "the block was taken in faster than the line";
    else EXPECT_LT(ms, 1000) << "without a rate the camera waited for nothing";
  }
}

TEST(CamsimLineFaults, FaultsFromTheProgramReachTheCameraAndTowardItOnlyTheProgram) {
  const Bytes ask = Marker(2);  // identification: 21 bytes back
  {
    PtyOptions po;
    std::string error;
    ASSERT_TRUE(ParseLineFaults("drop=1,dir=in", po.faults_in, error));
    Served s(po);
    ASSERT_EQ(write(s.fd, ask.data(), ask.size()), static_cast<ssize_t>(ask.size()));
    EXPECT_TRUE(ReadFor(s.fd, 21, 500).empty());  // the camera heard nothing
    EXPECT_EQ(s.server.faults_in().dropped, ask.size());
    EXPECT_EQ(s.server.faults_out().bytes, 0u);
  }
  {
    PtyOptions po;
    std::string error;
    ASSERT_TRUE(ParseLineFaults("corrupt=1,seed=5", po.faults_out, error));
    Served s(po);
    ASSERT_EQ(write(s.fd, ask.data(), ask.size()), static_cast<ssize_t>(ask.size()));
    const Bytes got = ReadFor(s.fd, 21, 3000);
    ASSERT_EQ(got.size(), 21u);  // it heard, answered, and every byte of the answer was changed
    const Bytes clean = Cat(Text("ORX PC  DSC "), {0, 0, 0, 4, 3, 'D', 'S', 'C', '2'});
    ASSERT_EQ(clean.size(), 21u);
    for (size_t i = 0; i < got.size(); ++i) EXPECT_NE(got[i], clean[i]) << i;
    EXPECT_EQ(s.server.faults_out().corrupted, 21u);
    EXPECT_EQ(s.server.faults_in().bytes, 0u);
  }
}

}  // namespace
}  // namespace fq::camsim::test
