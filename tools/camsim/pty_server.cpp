#include "camsim/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <thread>

namespace fq::camsim {
namespace {

uint64_t NowMicros() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

uint32_t FromSpeedT(speed_t s) {
  switch (s) {
    case B1200: return 1200;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    case B230400: return 230400;
  }
  return 0;
}

}  // namespace

PtyServer::~PtyServer() {
  if (master_ >= 0) close(master_);
}

bool PtyServer::Open(std::string& error) {
  master_ = posix_openpt(O_RDWR | O_NOCTTY);
  if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
    error = std::string("cannot open a pseudo-terminal: ") + std::strerror(errno);
    return false;
  }
  const char* name = ptsname(master_);
  if (!name) {
    error = "no name for the pseudo-terminal";
    return false;
  }
  slave_ = name;
  // The line settings live with the slave; setting them through the master
  // sets them for whoever opens the slave.
  termios t{};
  if (tcgetattr(master_, &t) == 0) {
    cfmakeraw(&t);
    cfsetispeed(&t, B9600);
    cfsetospeed(&t, B9600);
    tcsetattr(master_, TCSANOW, &t);
  }
  fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
  return true;
}

uint32_t PtyServer::SlaveSpeed() const {
  termios t{};
  if (tcgetattr(master_, &t) != 0) return 0;
  return FromSpeedT(cfgetospeed(&t));
}

void PtyServer::Write(const std::vector<uint8_t>& bytes, uint32_t speed, bool pace) {
  if (!out_line_) {
    WriteOnSchedule(bytes, speed, pace);
    return;
  }
  // A faulty line: what is left of the bytes, with the line quiet for a
  // while before a delayed one.
  for (const LinePiece& piece : out_line_->Pass(bytes.data(), bytes.size())) {
    if (piece.pause_ms > 0) {
      const uint64_t until = NowMicros() + uint64_t{piece.pause_ms} * 1000;
      while (NowMicros() < until) {
        if (stop_ && *stop_) return;
        std::this_thread::sleep_for(std::chrono::microseconds(std::min<uint64_t>(until - NowMicros(), 20'000)));
      }
    }
    WriteOnSchedule(piece.bytes, speed, pace);
  }
}

void PtyServer::WriteOnSchedule(const std::vector<uint8_t>& bytes, uint32_t speed, bool pace) {
  size_t done = 0;
  // At the nominal rate a byte takes 10 bit times; write in small slices.
  const size_t slice = pace ? 16 : bytes.size();
  // Each slice is due at its place on one schedule from the first byte, so
  // that a sleep that oversleeps is made up by the next slices instead of
  // adding up over a long reply.
  const uint64_t start = NowMicros();
  while (done < bytes.size()) {
    size_t n = std::min(slice, bytes.size() - done);
    size_t sent = 0;
    while (sent < n) {
      ssize_t w = write(master_, bytes.data() + done + sent, n - sent);
      if (w > 0) {
        sent += static_cast<size_t>(w);
      } else if (w < 0 && (errno == EAGAIN || errno == EINTR)) {
        if (stop_ && *stop_) return;  // stopped while the terminal's buffer is full
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      } else {
        return;  // the program has gone
      }
    }
    done += n;
    if (pace && speed > 0) {
      uint64_t due = start + done * 10'000'000ull / speed;
      uint64_t now = NowMicros();
      if (due > now) std::this_thread::sleep_for(std::chrono::microseconds(due - now));
    }
  }
}

void PtyServer::Arrive(const uint8_t* data, size_t n, uint64_t now_us, uint32_t speed, bool pace) {
  const uint64_t byte_ns = pace && speed > 0 ? 10'000'000'000ull / speed : 0;
  std::vector<LinePiece> pieces;
  if (in_line_) {
    pieces = in_line_->Pass(data, n);
  } else {
    pieces.resize(1);
    pieces[0].bytes.assign(data, data + n);
  }
  // A byte is whole once its ten bit times after the line was free (or
  // after it arrived here, when the line was idle) have passed.
  uint64_t t = std::max(line_free_ns_, now_us * 1000);
  for (const LinePiece& piece : pieces) {
    t += uint64_t{piece.pause_ms} * 1'000'000;
    for (uint8_t b : piece.bytes) {
      t += byte_ns;
      inbox_.emplace_back(t, b);
    }
  }
  line_free_ns_ = t;
}

void PtyServer::Deliver(CameraSimulator& sim, uint64_t now_us) {
  std::vector<uint8_t> due;
  while (!inbox_.empty() && inbox_.front().first <= now_us * 1000) {
    due.push_back(inbox_.front().second);
    inbox_.pop_front();
  }
  if (!due.empty()) sim.Receive(due.data(), due.size(), now_us);
}

void PtyServer::Serve(CameraSimulator& sim, const PtyOptions& options, const std::atomic<bool>& stop) {
  bool open = false;
  bool talked = false;
  int ended = sim.stats().sessions_ended;
  uint64_t closing_at = 0;
  uint32_t speed = 9600;
  std::deque<Outgoing> pending;
  std::vector<uint8_t> buf(4096);
  stop_ = &stop;
  if (options.faults_out.Any()) out_line_ = std::make_unique<FaultyLine>(options.faults_out, 1);
  if (options.faults_in.Any()) in_line_ = std::make_unique<FaultyLine>(options.faults_in, 2);
  // Bytes from the program go through the inbox when the line has a rate
  // or faults; otherwise straight to the camera as they are read.
  const bool through_inbox = options.pace || in_line_;
  while (!stop) {
    int wait_ms = 20;
    uint64_t now = NowMicros();
    auto wait_for = [&](uint64_t due) {
      int ms = due > now ? static_cast<int>(std::min<uint64_t>((due - now) / 1000 + 1, 20)) : 0;
      wait_ms = std::min(wait_ms, ms);
    };
    if (!pending.empty()) wait_for(pending.front().not_before_us);
    if (!inbox_.empty()) wait_for(inbox_.front().first / 1000);
    pollfd p{master_, POLLIN, 0};
    int r = poll(&p, 1, wait_ms);
    now = NowMicros();
    if (r > 0 && (p.revents & POLLHUP) && !(p.revents & POLLIN)) {
      // Nobody has the port open.
      if (open) {
        open = false;
        pending.clear();
        inbox_.clear();
        sim.LineSpeed(0);
        if (options.once && talked) return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      continue;
    }
    if (!open) {
      open = true;
      speed = SlaveSpeed();
      sim.LineSpeed(speed);
    }
    uint32_t s = SlaveSpeed();
    if (s != 0 && s != speed) {
      speed = s;
      sim.LineSpeed(speed);
    }
    if (r > 0 && (p.revents & POLLIN)) {
      ssize_t n = read(master_, buf.data(), buf.size());
      if (n > 0) {
        talked = true;
        if (through_inbox) Arrive(buf.data(), static_cast<size_t>(n), now, speed, options.pace);
        else sim.Receive(buf.data(), static_cast<size_t>(n), now);
      }
    }
    if (through_inbox) Deliver(sim, NowMicros());
    sim.Poll(NowMicros());
    for (Outgoing& o : sim.TakeOutput()) pending.push_back(std::move(o));
    while (!pending.empty() && pending.front().not_before_us <= NowMicros()) {
      Write(pending.front().bytes, speed, options.pace);
      pending.pop_front();
    }
    // After the end command, give the program a moment to read the answer
    // and close the port: closing the terminal first would discard it.
    if (options.once && !closing_at && sim.stats().sessions_ended > ended && pending.empty())
      closing_at = NowMicros() + 2'000'000;
    if (closing_at && NowMicros() >= closing_at) return;
  }
}

}  // namespace fq::camsim
