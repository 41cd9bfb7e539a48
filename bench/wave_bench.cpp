// The wave reader's throughput against plain buffered reads of the same bytes: a 10-second
// 44.1 kHz 16-bit stereo file read in 2205-byte requests (1/40 s each, as the sound player asks
// for them), by wave_read and by fread with the default stdio buffer.
//
//   wave_bench                         Google Benchmark; WaveVsFread reports fread_time/wave_time
//   wave_bench --pass=wave|fread N     N passes of one kind only, for callgrind:
//     valgrind --tool=callgrind --collect-atstart=no --toggle-collect='*one_pass*' wave_bench
//     --pass=wave 10
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "sound/wave.h"
#include "wave/wav_builder.h"

namespace {

constexpr uint32_t kRequest = 2205;
constexpr uint32_t kDataBytes = 44100 * 2 * 2 * 10;
constexpr long kDataOffset = 44;

struct Fixture {
  Fixture() {
    dir = std::filesystem::temp_directory_path() / ("wave_bench." + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    path = (dir / "ten_seconds.wav").string();
    const wavtest::Bytes file =
        wavtest::wave({wavtest::pcm_fmt(2, 44100, 16), wavtest::chunk("data", wavtest::samples(kDataBytes))});
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  }
  ~Fixture() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  std::filesystem::path dir;
  std::string path;
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

struct WaveFile {
  WaveFile() {
    if (sound::wave_open(fixture().path.c_str(), &file, &format, &outer) != sound::WAVE_OK) std::abort();
  }
  ~WaveFile() { sound::wave_close(file, format); }
  platform::RiffFile* file = nullptr;
  sound::WaveFormat* format = nullptr;
  platform::RiffChunk outer{};
  platform::RiffChunk data{};
};

char g_buffer[kRequest];

// One pass over the data, the way each reader is used.
[[gnu::noinline]] uint64_t one_pass_wave(WaveFile& w) {
  if (sound::wave_seek_data(w.file, &w.data, &w.outer) != sound::WAVE_OK) std::abort();
  uint64_t total = 0;
  for (;;) {
    uint32_t got = 0;
    if (sound::wave_read(w.file, kRequest, g_buffer, &w.data, &got) != sound::WAVE_OK) std::abort();
    if (got == 0) break;
    benchmark::DoNotOptimize(g_buffer);
    total += got;
  }
  return total;
}

[[gnu::noinline]] uint64_t one_pass_fread(FILE* f) {
  if (std::fseek(f, kDataOffset, SEEK_SET) != 0) std::abort();
  uint64_t total = 0;
  while (total < kDataBytes) {
    const std::size_t got = std::fread(g_buffer, 1, kRequest, f);
    if (got == 0) std::abort();
    benchmark::DoNotOptimize(g_buffer);
    total += got;
  }
  return total;
}

FILE* open_plain() {
  FILE* f = std::fopen(fixture().path.c_str(), "rb");
  if (!f) std::abort();
  return f;
}

void WaveRead(benchmark::State& state) {
  WaveFile w;
  for (auto _ : state) benchmark::DoNotOptimize(one_pass_wave(w));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kDataBytes);
}
BENCHMARK(WaveRead)->Unit(benchmark::kMicrosecond);

void Fread(benchmark::State& state) {
  FILE* f = open_plain();
  for (auto _ : state) benchmark::DoNotOptimize(one_pass_fread(f));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kDataBytes);
  std::fclose(f);
}
BENCHMARK(Fread)->Unit(benchmark::kMicrosecond);

// Both readers pass by pass in turn, so drifts of the machine fall on both alike.
void WaveVsFread(benchmark::State& state) {
  WaveFile w;
  FILE* f = open_plain();
  using clock = std::chrono::steady_clock;
  clock::duration wave{}, plain{};
  for (auto _ : state) {
    const auto t0 = clock::now();
    benchmark::DoNotOptimize(one_pass_wave(w));
    const auto t1 = clock::now();
    benchmark::DoNotOptimize(one_pass_fread(f));
    const auto t2 = clock::now();
    wave += t1 - t0;
    plain += t2 - t1;
  }
  std::fclose(f);
  // Above 1 the reader is the faster.
  state.counters["throughput_ratio"] =
      static_cast<double>(plain.count()) / static_cast<double>(wave.count() ? wave.count() : 1);
  state.counters["wave_MiB_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kDataBytes / (1 << 20) /
                         std::chrono::duration<double>(wave).count());
}
BENCHMARK(WaveVsFread)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strncmp(argv[1], "--pass=", 7) == 0) {
    const int passes = argc >= 3 ? std::atoi(argv[2]) : 1;
    uint64_t total = 0;
    if (std::strcmp(argv[1] + 7, "wave") == 0) {
      WaveFile w;
      for (int i = 0; i < passes; ++i) total += one_pass_wave(w);
    } else {
      FILE* f = open_plain();
      for (int i = 0; i < passes; ++i) total += one_pass_fread(f);
      std::fclose(f);
    }
    std::printf("%llu bytes\n", static_cast<unsigned long long>(total));
    return total == static_cast<uint64_t>(passes) * kDataBytes ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
