// libFuzzer target: arbitrary bytes as a wave file through open, seek, reads of varying sizes,
// seek again and close, with failures of the platform calls injected on demand.
//
// Input: [0] fault selector (a value below kFaults fails one platform call), [1..4] seed of the
// request sizes, [5..] the file. Every byte that is read must be the file's byte at the data
// chunk's offset plus the bytes read so far, and a read is cut short exactly when the file ends
// before the request does.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz_input.h"
#include "platform/hooks.h"
#include "platform/posix/testing.h"
#include "sound/wave.h"

namespace {

using platform::RiffChunk;
using platform::RiffFile;
using namespace sound;

#define CHECK(cond)                                                                 \
  do {                                                                              \
    if (!(cond)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
      std::abort();                                                                 \
    }                                                                               \
  } while (0)

using platform::Call;
using platform::Resource;

// The calls the reader makes, in the order the fault selector has always numbered them.
constexpr Call kCalls[] = {Call::mmioOpenA,   Call::mmioDescend, Call::mmioRead,    Call::mmioAscend,
                           Call::GlobalAlloc, Call::mmioSeek,    Call::mmioGetInfo, Call::mmioAdvance,
                           Call::mmioSetInfo, Call::mmioClose};
constexpr unsigned kCallCount = sizeof kCalls / sizeof kCalls[0];

// A folder of our own in memory (/dev/shm) where there is one, else under the current folder:
// rewriting a file on ext4 each run waits for the disk. Plain arrays: they outlive the exit
// handler that removes them.
char g_dir[96];
char g_path[128];

const char* input_path() {
  if (!g_path[0]) {
    const long pid = static_cast<long>(getpid());
    std::snprintf(g_dir, sizeof g_dir, "/dev/shm/wave_fuzz.%ld", pid);
    if (mkdir(g_dir, 0700) != 0) {
      std::snprintf(g_dir, sizeof g_dir, "wave_fuzz.%ld", pid);
      mkdir(g_dir, 0700);
    }
    std::snprintf(g_path, sizeof g_path, "%s/input.wav", g_dir);
    std::atexit([] {
      std::remove(g_path);
      rmdir(g_dir);
    });
  }
  return g_path;
}

void write_file(const uint8_t* data, std::size_t size) {
  FILE* f = std::fopen(input_path(), "wb");
  CHECK(f);
  CHECK(std::fwrite(data, 1, size, f) == size);
  CHECK(std::fclose(f) == 0);
}

int64_t live_files() { return platform::testing::live(Resource::RiffFile); }
int64_t live_blocks() { return platform::testing::live(Resource::GlobalMemory); }

class Sizes {
 public:
  explicit Sizes(uint32_t seed) : x_(seed ? seed : 0x9E3779B9u) {}
  uint32_t next() {
    x_ ^= x_ << 13;
    x_ ^= x_ >> 17;
    x_ ^= x_ << 5;
    const uint32_t r = x_ & 0xFFFFFF;
    switch (x_ >> 28) {
      case 0: return 0;
      case 1:
      case 2:
      case 3:
      case 4: return 1 + r % 64;
      case 5:
      case 6:
      case 7:
      case 8: return 1 + r % 8192;
      case 9:
      case 10:
      case 11: return 8192 + r % 12000;
      case 12:
      case 13: return 2205;
      default: return 1 + r % 70000;
    }
  }

 private:
  uint32_t x_;
};

// Reads through the data chunk, checking every result against the file itself.
struct Reader {
  RiffFile* file;
  RiffChunk* data;
  const uint8_t* bytes;
  std::size_t size;
  bool faults;  // a failure may be injected: results no longer follow from the file alone
  uint64_t consumed = 0;
  bool positioned = true;  // consumed is where the next byte comes from
  bool at_end = false;     // a read met the end of the file

  void read(uint32_t count) {
    const uint32_t left = data->cksize;
    const uint32_t wanted = count < left ? count : left;
    std::vector<uint8_t> out(count);  // exactly count: a byte written beyond it is caught
    uint32_t got = 0xFFFFFFFF;
    const WaveResult r = wave_read(file, count, out.data(), data, &got);
    CHECK(got <= count);
    if (r != WAVE_OK) {
      CHECK(got == 0);
      if (r == WAVE_NO_BUFFER) CHECK(data->cksize == left);
      if (r == WAVE_ERR_TRUNCATED) CHECK(data->cksize == left - wanted);
      if (!faults) {
        CHECK(r == WAVE_ERR_TRUNCATED);
        CHECK(!positioned || data->dwDataOffset + consumed + wanted > size);
        at_end = true;
      }
      positioned = false;
      return;
    }
    CHECK(got == wanted);
    CHECK(data->cksize == left - wanted);
    if (!faults) CHECK(!at_end || wanted == 0);
    if (positioned) {
      const uint64_t from = data->dwDataOffset + consumed;
      CHECK(from + wanted <= size);
      CHECK(wanted == 0 || std::memcmp(out.data(), bytes + from, wanted) == 0);
      consumed += wanted;
    }
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, std::size_t input_size) {
  fuzzinput::Header header;
  if (!fuzzinput::split(input, input_size, header)) return 0;
  const uint8_t* bytes = input + fuzzinput::kHeaderSize;
  const std::size_t size = input_size - fuzzinput::kHeaderSize;
  write_file(bytes, size);

  platform::testing::clear_failures();
  CHECK(live_files() == 0 && live_blocks() == 0);
  const bool faults = header.fault < fuzzinput::kFaults;
  if (faults) {
    platform::testing::fail_call(kCalls[header.fault % kCallCount], 1 + header.fault / kCallCount);
  }
  Sizes sizes(header.seed);

  RiffFile* file = reinterpret_cast<RiffFile*>(std::uintptr_t{1});
  WaveFormat* format = reinterpret_cast<WaveFormat*>(std::uintptr_t{1});
  RiffChunk outer{};
  const WaveResult opened = wave_open(input_path(), &file, &format, &outer);
  if (opened != WAVE_OK) {
    CHECK(file == nullptr && format == nullptr);
    CHECK(live_files() == 0 && live_blocks() == 0);
    platform::testing::clear_failures();
    return 0;
  }
  CHECK(file != nullptr && format != nullptr);
  CHECK(live_files() == 1 && live_blocks() == 1);
  // Every byte of the record, so a record shorter than its extra size says is caught.
  const auto* record = reinterpret_cast<const volatile uint8_t*>(format);
  unsigned sum = 0;
  for (std::size_t i = 0; i < sizeof(WaveFormat) + format->extra_size; ++i) sum += record[i];
  (void)sum;

  RiffChunk data{};
  const WaveResult sought = wave_seek_data(file, &data, &outer);
  if (sought == WAVE_OK) {
    const RiffChunk first = data;
    Reader reader{file, &data, bytes, size, faults};
    const unsigned reads = 1 + header.seed % 9;
    for (unsigned i = 0; i < reads; ++i) reader.read(sizes.next());

    const WaveResult again = wave_seek_data(file, &data, &outer);
    if (!faults) {
      CHECK(again == WAVE_OK);
      CHECK(data.dwDataOffset == first.dwDataOffset && data.cksize == first.cksize);
    }
    if (again == WAVE_OK) {
      Reader restart{file, &data, bytes, size, faults};
      restart.read(sizes.next());
      restart.read(sizes.next());
    }
  }

  CHECK(wave_close(file, format) == WAVE_OK);
  CHECK(file == nullptr && format == nullptr);
  CHECK(live_files() == 0 && live_blocks() == 0);
  platform::testing::clear_failures();
  return 0;
}
