// fqcamsim: a simulated serial camera on a pseudo-terminal. Prints the path
// of the terminal to open as the first line of its output, then serves.
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "camsim/camera_simulator.h"
#include "camsim/pty_server.h"

namespace {

std::atomic<bool> g_stop{false};

void OnSignal(int) { g_stop = true; }

void Usage() {
  std::fprintf(stderr,
               "usage: fqcamsim [--type 1|2|3|4] [--folder DIR] [--faults LIST] [--rate]\n"
               "                [--delay-ms N] [--capacity BYTES] [--clock 'YYYY-MM-DD HH:MM']\n"
               "                [--link PATH] [--once] [--verbose] [--holdings PATH] [--lenient]\n"
               "                [--silent | --garbage] [--line-faults SPEC] [--content LIST]\n"
               "Faults: busy, retry, checksum, silence, noise, emptyblock, shortblock, each with\n"
               "optional :cmd=C :at=N :count=N :every=N (noise, shortblock also :bytes=N), comma-separated.\n"
               "Content: many=N, hidden, gaps, bigsize, parts=N, rate=R, comma-separated.\n"
               "Line faults: drop=P,corrupt=P,dup=P,delay=P,delay-ms=MS,seed=N,dir=out|in|both\n"
               "(P a probability per byte; default direction: the bytes the camera writes;\n"
               "give --line-faults twice for other faults in each direction).\n");
}

bool Number(const char* s, long long& v) {
  char* end = nullptr;
  v = std::strtoll(s, &end, 10);
  return end && *end == 0 && end != s;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace fq::camsim;
  SimOptions sim_options;
  sim_options.check_uploads = true;  // a camera refuses what it cannot hold
  PtyOptions pty_options;
  std::string folder, link, faults, holdings, content_spec;
  bool content_given = false;
  bool verbose = false;
  bool clock_given = false;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](const char* what) -> const char* {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "fqcamsim: %s needs a value\n", what);
        std::exit(2);
      }
      return argv[++i];
    };
    long long n = 0;
    if (a == "--type") {
      if (!Number(value("--type"), n) || n < 1 || n > 4) {
        std::fprintf(stderr, "fqcamsim: the type is 1, 2, 3 or 4\n");
        return 2;
      }
      sim_options.type = static_cast<int>(n);
    } else if (a == "--folder") {
      folder = value("--folder");
    } else if (a == "--content") {
      content_spec = value("--content");
      content_given = true;
    } else if (a == "--faults") {
      faults = value("--faults");
    } else if (a == "--line-faults") {
      std::string error;
      LineFaultOptions f;
      if (!ParseLineFaults(value("--line-faults"), f, error)) {
        std::fprintf(stderr, "fqcamsim: %s\n", error.c_str());
        return 2;
      }
      if (f.Out()) pty_options.faults_out = f;
      if (f.In()) pty_options.faults_in = f;
    } else if (a == "--rate") {
      pty_options.pace = true;
    } else if (a == "--delay-ms") {
      if (!Number(value("--delay-ms"), n) || n < 0 || n > 60000) return Usage(), 2;
      sim_options.reply_delay_us = static_cast<uint64_t>(n) * 1000;
    } else if (a == "--capacity") {
      if (!Number(value("--capacity"), n) || n < 0) return Usage(), 2;
      sim_options.capacity_bytes = static_cast<size_t>(n);
    } else if (a == "--clock") {
      int y, mo, d, h, mi;
      if (std::sscanf(value("--clock"), "%d-%d-%d %d:%d", &y, &mo, &d, &h, &mi) != 5) return Usage(), 2;
      sim_options.clock_start = CivilSeconds(y, mo, d, h, mi, 0);
      clock_given = true;
    } else if (a == "--link") {
      link = value("--link");
    } else if (a == "--holdings") {
      holdings = value("--holdings");
    } else if (a == "--lenient") {
      sim_options.check_uploads = false;
    } else if (a == "--silent") {
      sim_options.device = SimOptions::Device::kSilent;
    } else if (a == "--garbage") {
      sim_options.device = SimOptions::Device::kGarbage;
    } else if (a == "--once") {
      pty_options.once = true;
    } else if (a == "--verbose" || a == "-v") {
      verbose = true;
    } else {
      Usage();
      return 2;
    }
  }
  std::string error;
  if (!ParseFaults(faults, sim_options.faults, error)) {
    std::fprintf(stderr, "fqcamsim: %s\n", error.c_str());
    return 2;
  }
  if (!clock_given) {
    std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    sim_options.clock_start = CivilSeconds(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                                           local.tm_min, local.tm_sec);
  }

  std::vector<std::string> notes;
  CameraContent content;
  if (!folder.empty()) {
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
      std::fprintf(stderr, "fqcamsim: %s is not a folder\n", folder.c_str());
      return 2;
    }
    content = LoadFolder(folder, sim_options.type, &notes);
  }
  if (content.Count() == 0) content = DemoContent(sim_options.type);
  if (content_given && !ApplyContent(content_spec, sim_options.type, content, error)) {
    std::fprintf(stderr, "fqcamsim: --content: %s\n", error.c_str());
    return 2;
  }
  for (const std::string& s : notes) std::fprintf(stderr, "fqcamsim: %s\n", s.c_str());

  CameraSimulator sim(sim_options, std::move(content));
  if (verbose) sim.log = [](const std::string& s) { std::fprintf(stderr, "fqcamsim: %s\n", s.c_str()); };
  if (!folder.empty()) {
    sim.on_upload = [folder](const StoredEntry& e, const StoredFolder& f, int medium) {
      auto path = WriteUpload(folder, medium, f, e);
      if (path) std::fprintf(stderr, "fqcamsim: uploaded picture written to %s\n", path->c_str());
      else std::fprintf(stderr, "fqcamsim: could not write an uploaded picture into %s\n", folder.c_str());
    };
  }

  PtyServer server;
  if (!server.Open(error)) {
    std::fprintf(stderr, "fqcamsim: %s\n", error.c_str());
    return 1;
  }
  if (!link.empty()) {
    std::error_code ec;
    std::filesystem::remove(link, ec);
    std::filesystem::create_symlink(server.slave_path(), link, ec);
    if (ec) std::fprintf(stderr, "fqcamsim: cannot link %s: %s\n", link.c_str(), ec.message().c_str());
  }
  std::printf("%s\n", server.slave_path().c_str());
  std::fflush(stdout);
  std::fprintf(stderr, "fqcamsim: camera type %d with %zu pictures on %s\n", sim_options.type,
               sim.content().Count(), server.slave_path().c_str());

  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  std::signal(SIGPIPE, SIG_IGN);
  server.Serve(sim, pty_options, g_stop);
  if (pty_options.faults_out.Any())
    std::fprintf(stderr, "fqcamsim: line faults toward the program: %s\n",
                 DescribeCounts(server.faults_out()).c_str());
  if (pty_options.faults_in.Any())
    std::fprintf(stderr, "fqcamsim: line faults from the program: %s\n",
                 DescribeCounts(server.faults_in()).c_str());
  if (!holdings.empty()) {
    if (FILE* f = std::fopen(holdings.c_str(), "w")) {
      const std::string text = sim.Holdings();
      std::fwrite(text.data(), 1, text.size(), f);
      std::fclose(f);
    } else {
      std::fprintf(stderr, "fqcamsim: cannot write %s\n", holdings.c_str());
    }
  }
  if (!link.empty()) {
    std::error_code ec;
    std::filesystem::remove(link, ec);
  }
  return 0;
}
