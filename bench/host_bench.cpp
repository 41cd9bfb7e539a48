// The host's own cost, which the gauges' is small beside:
//   CockpitFrame      one frame of a three-gauge cockpit (radio, gear, light switch), with the
//                     allocations it makes (counter allocs_per_frame; 0 in the steady state)
//   RadioInstallLookups / PlainStats
//                     the radio panel's 60 announcement-file lookups through the platform's path
//                     lookup, against 60 plain stat calls of the same files: the ratio of the two
//                     times is the lookup's overhead
//   Render            one render of the radio panel (bitmaps decoded once, then kept)
//
//   host_bench --frames N      N cockpit frames only, for callgrind:
//     valgrind --tool=callgrind --collect-atstart=no --toggle-collect='*one_frame*' host_bench --frames 1000
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include "host/host.h"
#include "platform/files.h"

namespace {

std::atomic<long> allocations{0};

}  // namespace

// Counting replacements of the global allocation functions; GCC cannot see that they pair up.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t n) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

std::string gauge(const char* deliverable) { return std::string(GAUGES_DIR) + "/" + deliverable + ".gau"; }

struct Cockpit {
  host::Host h;
  std::vector<host::Gauge*> gauges;
  Cockpit() {
    for (const char* d : {"Tarvex.Navs-Q90", "j4gear", "Lumet.LightSwitch"})
      if (host::Gauge* g = h.load(gauge(d))) gauges.push_back(g);
    h.set(130, 1.0);
    for (host::Gauge* g : gauges) h.start(*g);
  }
};

__attribute__((noinline)) void one_frame(Cockpit& c) {
  for (host::Gauge* g : c.gauges) c.h.frame(*g);
  c.h.clear_events();  // as panelhost does after every frame
}

void CockpitFrame(benchmark::State& state) {
  Cockpit c;
  if (c.gauges.size() != 3) {
    state.SkipWithError("gauges not built");
    return;
  }
  for (int i = 0; i < 100; ++i) one_frame(c);  // the steady state
  const long before = allocations.load();
  for (auto _ : state) one_frame(c);
  state.counters["allocs_per_frame"] =
      benchmark::Counter(double(allocations.load() - before) / double(state.iterations()));
}
BENCHMARK(CockpitFrame);

void Render(benchmark::State& state) {
  Cockpit c;
  if (c.gauges.empty()) {
    state.SkipWithError("gauges not built");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(c.h.render(*c.gauges[0], true));
}
BENCHMARK(Render);

// A cockpit folder with the radio's announcement files: one of each prefix present, in a folder
// whose case differs from the name the module asks for.
struct SoundFolder {
  std::filesystem::path dir, old;
  std::vector<std::string> windows, linux;
  SoundFolder() {
    static const char* const prefixes[] = {"CD_CapClimb_",     "CD_Rotate_", "CD_AfterLanding_",
                                           "CD_BoardingDone_", "PB_ByeBye_", "CD_Music_"};
    dir = std::filesystem::temp_directory_path() / ("host_bench." + std::to_string(::getpid()));
    std::filesystem::create_directories(dir / "sound");
    for (const char* p : prefixes) {
      std::ofstream(dir / "sound" / (std::string(p) + "3.wav")) << 'x';
      for (int n = 0; n < 10; ++n) {
        windows.push_back(std::string("Sound\\") + p + std::to_string(n) + ".wav");
        linux.push_back(std::string("sound/") + p + std::to_string(n) + ".wav");
      }
    }
    old = std::filesystem::current_path();
    std::filesystem::current_path(dir);
  }
  ~SoundFolder() {
    std::filesystem::current_path(old);
    std::filesystem::remove_all(dir);
  }
};

void RadioInstallLookups(benchmark::State& state) {
  SoundFolder f;
  for (auto _ : state)
    for (const auto& p : f.windows) benchmark::DoNotOptimize(platform::file_exists(p.c_str()));
}
BENCHMARK(RadioInstallLookups);

void PlainStats(benchmark::State& state) {
  SoundFolder f;
  struct stat st;
  for (auto _ : state)
    for (const auto& p : f.linux) benchmark::DoNotOptimize(stat(p.c_str(), &st));
}
BENCHMARK(PlainStats);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--frames") == 0) {
    Cockpit c;
    for (long i = std::atol(argv[2]); i > 0; --i) one_frame(c);
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
