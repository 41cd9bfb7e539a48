// The streaming player's costs on the substitute device, with the clock and timer stepped (so no
// thread start and no waiting is measured), recording off:
//
//   PlayVsRead   sound_play of a 44.1 kHz 16-bit stereo file (open, prepare the 1.2 s buffer of
//                211680 bytes, start), with the stop that unloads it, against the floor of reading
//                the same 211680 bytes from the file (open, read, close); play_to_floor is the ratio.
//   Tick         one sound_tick moving 50 ms of that sound (8820 bytes): read the position, lock,
//                read from the file into the buffer, unlock. allocations_per_tick counts every
//                malloc, calloc and realloc (operator new's too) in the ticks.
//   Copy8820     8820 bytes from a file's cached pages by one pread, for comparison.
//   Memcpy8820   the copy alone: 8820 bytes from memory to memory. A tick copies its bytes twice
//                (read-ahead to the mmio buffer, mmio buffer to the sound buffer) plus one pread of
//                64 KiB per 7.4 ticks.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sound/player.h"
#include "sound/player_internal.h"
#include "support/platform_hooks.h"
#include "wave/wav_builder.h"

// Every allocation of the process, counted while `counting` is set.
namespace {
std::atomic<bool> counting{false};
std::atomic<int64_t> allocations{0};
}  // namespace

// Every malloc, calloc and realloc, operator new's included (glibc's own entry points do the work).
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* malloc(std::size_t n) {
  if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_malloc(n);
}
void* calloc(std::size_t n, std::size_t size) {
  if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_calloc(n, size);
}
void* realloc(void* p, std::size_t n) {
  if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_realloc(p, n);
}
}

namespace {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kBytesPerSecond = kRate * 4;
constexpr uint32_t kBufferBytes = kBytesPerSecond * 120 / 100;  // 211680
constexpr uint32_t kTickBytes = kBytesPerSecond / 20;           // 8820
constexpr uint32_t kFileSeconds = 30;
constexpr long kDataOffset = 44;

struct Fixture {
  Fixture() {
    dir = std::filesystem::temp_directory_path() / ("sound_bench." + std::to_string(::getpid()));
    std::filesystem::create_directories(dir / "sound");
    const wavtest::Bytes file =
        wavtest::wave({wavtest::pcm_fmt(2, kRate, 16),
                       wavtest::chunk("data", wavtest::samples(kBytesPerSecond * kFileSeconds))});
    path = (dir / "sound" / "long.wav").string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    old = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    if (!hooks::use_manual_clock()) std::abort();
    hooks::set_sound_recording(false);
    if (sound::sound_open() != 1) std::abort();
  }
  ~Fixture() {
    sound::sound_close();
    hooks::use_real_clock();
    std::filesystem::current_path(old);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  std::filesystem::path dir, old;
  std::string path;
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

std::vector<char> g_floor(kBufferBytes);

// The floor: the buffer's bytes straight from the file.
[[gnu::noinline]] void read_floor() {
  const int fd = ::open(fixture().path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) std::abort();
  std::size_t got = 0;
  while (got < kBufferBytes) {
    const ssize_t n =
        ::pread(fd, g_floor.data() + got, kBufferBytes - got, kDataOffset + static_cast<off_t>(got));
    if (n <= 0) std::abort();
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  benchmark::DoNotOptimize(g_floor.data());
}

[[gnu::noinline]] void play_and_unload() {
  if (sound::sound_play("long.wav") != 1) std::abort();
  sound::sound_stop(1);
}

// CPU time of this thread, kernel time included: the machine's other load does not count.
int64_t thread_ns() {
  timespec ts;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return int64_t{ts.tv_sec} * 1000000000 + ts.tv_nsec;
}

// Both in turn, pass by pass, so drifts of the machine fall on both alike.
void PlayVsRead(benchmark::State& state) {
  fixture();
  int64_t play = 0, floor = 0;
  for (auto _ : state) {
    const int64_t t0 = thread_ns();
    play_and_unload();
    const int64_t t1 = thread_ns();
    read_floor();
    const int64_t t2 = thread_ns();
    play += t1 - t0;
    floor += t2 - t1;
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["play_us"] = static_cast<double>(play) / n / 1000.0;
  state.counters["floor_us"] = static_cast<double>(floor) / n / 1000.0;
  state.counters["play_to_floor"] = static_cast<double>(play) / static_cast<double>(floor ? floor : 1);
}
BENCHMARK(PlayVsRead)->Unit(benchmark::kMicrosecond);

void Tick(benchmark::State& state) {
  fixture();
  if (sound::sound_play("long.wav") != 1) std::abort();
  int64_t allocated = 0;
  int64_t ticks = 0;
  for (auto _ : state) {
    hooks::advance_clock_ms(50);
    counting.store(true);
    sound::internal::sound_tick(nullptr);
    counting.store(false);
    allocated += allocations.exchange(0);
    ++ticks;
    if (sound::internal::view().end_reached) {  // 30 s played: start the file again
      state.PauseTiming();
      if (sound::sound_play("long.wav") != 1) std::abort();
      state.ResumeTiming();
    }
  }
  if (sound::internal::view().last_position % kTickBytes != 0)
    state.SkipWithError("a tick moved other than 8820 bytes");
  sound::sound_stop(1);
  state.counters["allocations_per_tick"] = static_cast<double>(allocated) / static_cast<double>(ticks);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kTickBytes);
}
BENCHMARK(Tick);

void Copy8820(benchmark::State& state) {
  const int fd = ::open(fixture().path.c_str(), O_RDONLY | O_CLOEXEC);
  std::vector<char> out(kTickBytes);
  off_t at = kDataOffset;
  const off_t end = kDataOffset + static_cast<off_t>(kBytesPerSecond) * kFileSeconds - kTickBytes;
  for (auto _ : state) {
    if (::pread(fd, out.data(), kTickBytes, at) != static_cast<ssize_t>(kTickBytes)) std::abort();
    benchmark::DoNotOptimize(out.data());
    at += kTickBytes;
    if (at > end) at = kDataOffset;
  }
  ::close(fd);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kTickBytes);
}
BENCHMARK(Copy8820);

// The copy alone: 8820 bytes from a 30 s source into a buffer of 1.2 s, walking both as a tick does.
void Memcpy8820(benchmark::State& state) {
  std::vector<char> source(static_cast<std::size_t>(kBytesPerSecond) * kFileSeconds, 1);
  std::vector<char> ring(kBufferBytes);
  std::size_t from = 0, to = 0;
  for (auto _ : state) {
    std::memcpy(ring.data() + to, source.data() + from, kTickBytes);
    benchmark::DoNotOptimize(ring.data());
    from = from + 2 * kTickBytes > source.size() ? 0 : from + kTickBytes;
    to = to + kTickBytes == kBufferBytes ? 0 : to + kTickBytes;
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kTickBytes);
}
BENCHMARK(Memcpy8820);

}  // namespace

BENCHMARK_MAIN();
