// Long runs keep memory flat: a simulated hour is 64,800 frames, and neither the host library nor
// panelhost may keep something per frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "host/host.h"
#include "tests/link/link_support.h"
#include "tests/support/gauges.h"
#include "tests/support/run_program.h"

#if defined(_WIN32)
#define PSAPI_VERSION 2
#include <psapi.h>
#include <windows.h>
#else
#include <sys/resource.h>
#if defined(__SANITIZE_ADDRESS__)
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();  // ASan's own count
#else
#include <malloc.h>
#endif
#endif

namespace {

// Bytes the process has allocated and not freed (its private memory on Windows).
std::size_t memory_in_use() {
#if defined(_WIN32)
  PROCESS_MEMORY_COUNTERS_EX pmc{};
  K32GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc);
  return pmc.PrivateUsage;
#elif defined(__SANITIZE_ADDRESS__)
  return __sanitizer_get_current_allocated_bytes();
#else
  const struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd;
#endif
}

// The most memory in use while three gauges run the given number of frames in one host, without
// anyone clearing its logs.
std::size_t peak_over(int frames) {
  host::Host h;
  std::vector<host::Gauge*> gauges;
  for (const char* d : {"Tarvex.Navs-Q90", "j4gear", "Lumet.LightSwitch"}) {
    host::Gauge* g = h.load(testsupport::gauge_path(d));
    EXPECT_NE(g, nullptr) << h.error();
    if (!g) return 0;
    gauges.push_back(g);
  }
  h.set(130, 1.0);
  for (host::Gauge* g : gauges) h.start(*g);
  std::size_t peak = memory_in_use();
  for (int i = 0; i < frames; ++i) {
    for (host::Gauge* g : gauges) h.frame(*g);
    if (i % 500 == 0) peak = std::max(peak, memory_in_use());
  }
  peak = std::max(peak, memory_in_use());
  EXPECT_TRUE(h.violations().empty());
  return peak;
}

TEST(LongRun, AHundredTimesMoreFramesTakeNoMoreMemory) {
  linktest::LinkTurn turn;
  const std::size_t base = memory_in_use();
  const std::size_t short_run = peak_over(1000) - base;
  const std::size_t long_run = peak_over(100000) - base;
  // What the log of a hundred thousand frames would take is far beyond this (about 130 MiB).
  EXPECT_LE(long_run, short_run + (2u << 20)) << "short " << short_run << " bytes, long " << long_run;
}

#if !defined(_WIN32)
// The program itself: its peak resident memory over a long cockpit run against a short one.
TEST(LongRun, PanelhostPeakMemoryStaysFlat) {
  linktest::LinkTurn turn;
  testsupport::TempFolder out("longrun");
  auto run = [&](const char* frames) {
    const auto r = testsupport::run_program({PANELHOST, "cockpit", testsupport::gauge_path("Tarvex.Navs-Q90"),
                                             testsupport::gauge_path("j4gear"),
                                             testsupport::gauge_path("Lumet.LightSwitch"), "--set", "130=1",
                                             "--frames", frames, "--out-dir", out.dir().string()});
    EXPECT_EQ(r.code, 0) << r.err;
    struct rusage ru {};
    getrusage(RUSAGE_CHILDREN, &ru);
    return static_cast<long>(ru.ru_maxrss);  // KiB, the largest of any child so far
  };
  const long short_kib = run("1000");  // first, so the figure after it is the long run's own if larger
  const long long_kib = run("100000");
  EXPECT_LE(long_kib, short_kib + 4096) << "short " << short_kib << " KiB, long " << long_kib << " KiB";
}
#endif

}  // namespace
