// The wave reader against files written byte for byte: on Linux through our substitute, under
// Wine through the real mmio calls, with one table of expected results for both.
#include "sound/wave.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "temp_folder.h"
#include "tests/support/platform_hooks.h"
#include "wav_builder.h"

namespace {

using platform::RiffChunk;
using platform::RiffFile;
using namespace sound;
using namespace wavtest;

constexpr WaveResult kChunkNotFound = static_cast<WaveResult>(platform::kMmioerrChunkNotFound);

// Stand-ins the reader must overwrite; never dereferenced.
RiffFile* const kNotAFile = reinterpret_cast<RiffFile*>(std::uintptr_t{0x10});
WaveFormat* const kNotAFormat = reinterpret_cast<WaveFormat*>(std::uintptr_t{0x20});

using hooks::Call;
using hooks::Resource;

// Open files and format records held by the substitute since base (where it counts them).
#define EXPECT_HELD(base, n_files, n_blocks)              \
  do {                                                    \
    EXPECT_ADDED(base, Resource::RiffFile, n_files);      \
    EXPECT_ADDED(base, Resource::GlobalMemory, n_blocks); \
  } while (0)

struct ReadStep {
  WaveResult result;
  uint32_t got;
  Bytes bytes;
};

// One wave file through the reader's calls, closed at the end of its scope.
class Wave {
 public:
  explicit Wave(const std::string& path) { opened = wave_open(path.c_str(), &file, &format, &outer); }
  ~Wave() {
    if (opened == WAVE_OK) wave_close(file, format);
  }
  Wave(const Wave&) = delete;
  Wave& operator=(const Wave&) = delete;

  WaveResult seek() { return wave_seek_data(file, &data, &outer); }

  ReadStep read(uint32_t count) {
    ReadStep step{};
    step.bytes.assign(count, 0xEE);
    step.got = 0xDEADBEEF;
    step.result = wave_read(file, count, step.bytes.data(), &data, &step.got);
    step.bytes.resize(std::min<uint32_t>(step.got, count));
    return step;
  }

  WaveResult opened;
  RiffFile* file = kNotAFile;
  WaveFormat* format = kNotAFormat;
  // Left over from an earlier file: a header cut short must not pass for one of form "WAVE".
  RiffChunk outer{platform::riff_fourcc('R', 'I', 'F', 'F'), 100, platform::riff_fourcc('W', 'A', 'V', 'E'),
                  8, 0};
  RiffChunk data{};
};

class WaveTest : public ::testing::Test {
 protected:
  void SetUp() override { base_ = hooks::LiveCounts::now(); }
  void TearDown() override {
    hooks::clear_failures();
    EXPECT_HELD(base_, 0, 0);
  }

  TempFolder files_;
  hooks::LiveCounts base_;
};

Bytes cut(Bytes b, std::size_t n) {
  b.resize(n);
  return b;
}

Bytes with_id(Bytes b, const char* id) {
  std::memcpy(b.data(), id, 4);
  return b;
}

Bytes le32(uint32_t v) {
  Bytes b;
  put32(b, v);
  return b;
}

const Bytes kFmt = pcm_fmt(2, 22050, 16);
const Bytes kBlock = format_block(1, 2, 22050, 16);
Bytes data_chunk(std::size_t n, uint32_t seed = 7) { return chunk("data", samples(n, seed)); }
Bytes info_list(const char* text) {
  return chunk("LIST", cat({id_bytes("INFO"), chunk("INAM", id_bytes(text))}));
}

// --- Opening -----------------------------------------------------------------------------------

struct GoodFile {
  const char* name;
  Bytes file;
  WaveFormat format;
  Bytes extra;
  Bytes samples;  // what the data chunk holds
};

std::vector<GoodFile> good_files() {
  const Bytes s = samples(1000, 3);
  const Bytes data = chunk("data", s);
  const Bytes adpcm = format_with_extra(2, 1, 22050, 4, 2, {0xAB, 0xCD});
  const Bytes ext22 = format_with_extra(0xFFFE, 2, 48000, 24, 22, samples(22, 9));
  return {
      {"PCM 16-bit stereo, 16-byte fmt", wave({kFmt, data}), {1, 2, 22050, 88200, 4, 16, 0}, {}, s},
      {"PCM 8-bit mono, 18-byte fmt",
       wave({chunk("fmt ", format_with_extra(1, 1, 11025, 8, 0, {})), data}),
       {1, 1, 11025, 11025, 1, 8, 0},
       {},
       s},
      {"PCM ignores the extra size of an 18-byte fmt",
       wave({chunk("fmt ", format_with_extra(1, 1, 11025, 8, 7, {})), data}),
       {1, 1, 11025, 11025, 1, 8, 0},
       {},
       s},
      {"non-PCM with 2 extra bytes",
       wave({chunk("fmt ", adpcm), data}),
       {2, 1, 22050, 22050, 1, 4, 2},
       {0xAB, 0xCD},
       s},
      {"non-PCM with extra size 0",
       wave({chunk("fmt ", format_with_extra(3, 2, 44100, 32, 0, {})), data}),
       {3, 2, 44100, 352800, 8, 32, 0},
       {},
       s},
      {"non-PCM with 22 extra bytes",
       wave({chunk("fmt ", ext22), data}),
       {0xFFFE, 2, 48000, 288000, 6, 24, 22},
       samples(22, 9),
       s},
      {"odd-sized chunk and its pad byte before fmt",
       wave({chunk("JUNK", samples(3)), kFmt, data}),
       {1, 2, 22050, 88200, 4, 16, 0},
       {},
       s},
      {"odd-sized fmt and its pad byte",
       wave({chunk("fmt ", cat({kBlock, {0x55}})), data}),
       {1, 2, 22050, 88200, 4, 16, 0},
       {},
       s},
      {"LIST chunks before and between fmt and data",
       wave({info_list("abc"), kFmt, info_list("de"), chunk("fact", le32(250)), data}),
       {1, 2, 22050, 88200, 4, 16, 0},
       {},
       s},
      {"data before fmt", wave({data, kFmt}), {1, 2, 22050, 88200, 4, 16, 0}, {}, s},
      {"RIFF size far past the end of the file",
       riff_declaring(0x7FFFFFFF, "WAVE", cat({kFmt, data})),
       {1, 2, 22050, 88200, 4, 16, 0},
       {},
       s},
      {"RIFF size just short of 4 GiB",
       riff_declaring(0xFFFFFFF0, "WAVE", cat({kFmt, data})),
       {1, 2, 22050, 88200, 4, 16, 0},
       {},
       s},
      // The next offset is a DWORD: 0xFFFFFFFF rounds up to 4 GiB, which comes round to 0, so
      // the search goes on right after the chunk's header, where fmt is.
      {"chunk declaring 4 GiB - 1 before fmt",
       wave({chunk_declaring("JUNK", 0xFFFFFFFF, {}), kFmt, data}),
       {1, 2, 22050, 88200, 4, 16, 0},
       {},
       s},
  };
}

TEST_F(WaveTest, OpensFormatAndReadsData) {
  for (const GoodFile& c : good_files()) {
    SCOPED_TRACE(c.name);
    Wave w(files_.write("good.wav", c.file));
    ASSERT_EQ(w.opened, WAVE_OK);
    ASSERT_NE(w.file, nullptr);
    ASSERT_NE(w.format, nullptr);
    EXPECT_HELD(base_, 1, 1);
    EXPECT_EQ(w.outer.ckid, platform::riff_fourcc('R', 'I', 'F', 'F'));
    EXPECT_EQ(w.outer.fccType, platform::riff_fourcc('W', 'A', 'V', 'E'));
    EXPECT_EQ(w.outer.dwDataOffset, 8u);
    uint32_t declared;
    std::memcpy(&declared, c.file.data() + 4, 4);
    EXPECT_EQ(w.outer.cksize, declared);

    const WaveFormat& f = *w.format;
    EXPECT_EQ(f.format_tag, c.format.format_tag);
    EXPECT_EQ(f.channels, c.format.channels);
    EXPECT_EQ(f.samples_per_second, c.format.samples_per_second);
    EXPECT_EQ(f.average_bytes_per_second, c.format.average_bytes_per_second);
    EXPECT_EQ(f.block_align, c.format.block_align);
    EXPECT_EQ(f.bits_per_sample, c.format.bits_per_sample);
    ASSERT_EQ(f.extra_size, c.format.extra_size);
    EXPECT_EQ(Bytes(wave_extra_bytes(w.format), wave_extra_bytes(w.format) + f.extra_size), c.extra);

    ASSERT_EQ(w.seek(), WAVE_OK);
    EXPECT_EQ(w.data.cksize, c.samples.size());
    Bytes all;
    for (;;) {
      ReadStep r = w.read(4096);
      ASSERT_EQ(r.result, WAVE_OK);
      if (r.got == 0) break;
      all.insert(all.end(), r.bytes.begin(), r.bytes.end());
    }
    EXPECT_EQ(all, c.samples);
  }
}

struct BadFile {
  std::string name;
  Bytes file;
  WaveResult expected;
};

std::vector<BadFile> bad_files() {
  const Bytes data = data_chunk(100);
  std::vector<BadFile> rows = {
      {"empty file", {}, kChunkNotFound},
      {"RIFF id only", id_bytes("RIFF"), kChunkNotFound},
      {"cut inside the RIFF size", cut(wave({kFmt, data}), 6), kChunkNotFound},
      {"cut before the form type", cut(wave({kFmt, data}), 8), WAVE_ERR_NOT_WAVE},
      {"cut inside the form type", cut(wave({kFmt, data}), 10), WAVE_ERR_NOT_WAVE},
      {"cut after the form type", riff_declaring(200, "WAVE", {}), kChunkNotFound},
      {"cut inside the fmt header", riff_declaring(200, "WAVE", cut(kFmt, 6)), kChunkNotFound},
      {"cut inside the format block", riff_declaring(200, "WAVE", cut(kFmt, 18)), WAVE_ERR_CANNOT_READ},
      {"not RIFF", with_id(wave({kFmt, data}), "RIFX"), WAVE_ERR_NOT_WAVE},
      {"LIST where RIFF belongs", chunk("LIST", cat({id_bytes("WAVE"), kFmt, data})), WAVE_ERR_NOT_WAVE},
      {"other form type", riff("AVI ", cat({kFmt, data})), WAVE_ERR_NOT_WAVE},
      {"no fmt chunk", wave({data}), kChunkNotFound},
      {"non-PCM without its extra-size word",
       riff_declaring(200, "WAVE", chunk("fmt ", format_block(2, 1, 22050, 4))), WAVE_ERR_CANNOT_READ},
      {"non-PCM with half an extra-size word",
       riff_declaring(200, "WAVE", cat({chunk("fmt ", format_block(2, 1, 22050, 4)), {0x02}})),
       WAVE_ERR_CANNOT_READ},
      {"extra size 65535 with the bytes missing",
       riff_declaring(200, "WAVE", chunk("fmt ", format_with_extra(2, 1, 22050, 4, 65535, samples(10)))),
       WAVE_ERR_NOT_WAVE},
      {"extra bytes cut short",
       riff_declaring(200, "WAVE",
                      chunk_declaring("fmt ", 28, format_with_extra(2, 1, 22050, 4, 10, samples(4)))),
       WAVE_ERR_NOT_WAVE},
      {"chunk before fmt running past the end of the file",
       wave({chunk_declaring("JUNK", 0x10000, samples(8)), kFmt, data}), kChunkNotFound},
      {"odd-sized chunk without its pad byte before fmt",
       wave({chunk_declaring("JUNK", 3, samples(3), false), kFmt, data}), kChunkNotFound},
      {"RIFF size 0", riff_declaring(0, "WAVE", cat({kFmt, data})), kChunkNotFound},
      {"RIFF size holding the form type only", riff_declaring(4, "WAVE", cat({kFmt, data})), kChunkNotFound},
      // The end of the RIFF chunk is a 32-bit offset in mmio: 8 + 0xFFFFFFFF comes round to 7.
      {"RIFF size 0xFFFFFFFF", riff_declaring(0xFFFFFFFF, "WAVE", cat({kFmt, data})), kChunkNotFound},
      // XXXX's size brings the next offset back to JUNK, whose next is XXXX again. Wine's own
      // find-chunk search goes round these two for ever; the reader's search ends.
      {"chunk size leading the search back",
       wave({chunk("JUNK", {}), chunk_declaring("XXXX", 0xFFFFFFF0, {}), kFmt, data}), kChunkNotFound},
  };
  for (std::size_t n : {0, 1, 14, 15}) {
    rows.push_back({"fmt of " + std::to_string(n) + " bytes", wave({chunk("fmt ", cut(kBlock, n)), data}),
                    WAVE_ERR_NOT_WAVE});
  }
  return rows;
}

TEST_F(WaveTest, RejectsMalformedFilesAndKeepsNothing) {
  for (const BadFile& c : bad_files()) {
    SCOPED_TRACE(c.name);
    Wave w(files_.write("bad.wav", c.file));
    EXPECT_EQ(w.opened, c.expected);
    EXPECT_EQ(w.file, nullptr);
    EXPECT_EQ(w.format, nullptr);
    EXPECT_HELD(base_, 0, 0);
  }
}

TEST_F(WaveTest, FileThatCannotBeOpened) {
  std::filesystem::create_directories(files_.dir() / "folder.wav");
  for (const std::string& path : {files_.path("missing.wav"), files_.path("folder.wav")}) {
    SCOPED_TRACE(path);
    Wave w(path);
    EXPECT_EQ(w.opened, WAVE_ERR_CANNOT_OPEN);
    EXPECT_EQ(w.file, nullptr);
    EXPECT_EQ(w.format, nullptr);
  }
}

// A module names its sounds the Windows way, relative to the simulator's folder.
TEST_F(WaveTest, OpensWindowsStyleRelativePath) {
  files_.write("Sound/Gear_Up.WAV", wave({kFmt, data_chunk(10)}));
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(files_.dir());
  {
    Wave w("sound\\GEAR_UP.wav");
    EXPECT_EQ(w.opened, WAVE_OK);
  }
  std::filesystem::current_path(before);
}

// --- Finding the data -------------------------------------------------------------------------

struct SeekCase {
  const char* name;
  Bytes file;
  WaveResult expected;
};

TEST_F(WaveTest, SeekDataFailsWithoutReachableDataChunk) {
  const std::vector<SeekCase> cases = {
      {"no data chunk", wave({kFmt}), kChunkNotFound},
      {"no data chunk, LIST after fmt", wave({kFmt, info_list("x")}), kChunkNotFound},
      {"fmt size past the end of the file", wave({chunk_declaring("fmt ", 0x10000, kBlock), data_chunk(100)}),
       kChunkNotFound},
      // Ascending wraps to just after the fmt header; the search then reads the format block as
      // a header and leaves the file.
      {"fmt size 0xFFFFFFFF", wave({chunk_declaring("fmt ", 0xFFFFFFFF, kBlock), data_chunk(100)}),
       kChunkNotFound},
  };
  for (const SeekCase& c : cases) {
    SCOPED_TRACE(c.name);
    Wave w(files_.write("seek.wav", c.file));
    ASSERT_EQ(w.opened, WAVE_OK);
    EXPECT_EQ(w.seek(), c.expected);
  }
}

// The search stays inside the RIFF chunk, on both platforms (Wine's own find-chunk search would
// walk on to the end of the file).
TEST_F(WaveTest, DataChunkBeyondTheRiffSize) {
  Wave w(files_.write("short_riff.wav", riff_declaring(static_cast<uint32_t>(4 + kFmt.size()), "WAVE",
                                                       cat({kFmt, data_chunk(100)}))));
  ASSERT_EQ(w.opened, WAVE_OK);
  EXPECT_EQ(w.seek(), kChunkNotFound);
}

// --- Reading ----------------------------------------------------------------------------------

struct ReadCase {
  const char* name;
  std::size_t data_size;
  uint32_t request;
  Bytes before;  // chunks between fmt and data
  Bytes after;   // chunks after data
};

TEST_F(WaveTest, ReadsInRequestsUpToTheDataSize) {
  const std::vector<ReadCase> cases = {
      {"1000 in 300s", 1000, 300, {}, {}},
      {"across buffer refills", 20000, 3000, chunk("JUNK", samples(5000)), {}},
      {"byte by byte", 9000, 1, {}, {}},
      {"whole buffers", 2 * 8192 + 5, 8192, {}, {}},
      {"more than the file in one request", 20000, 100000, {}, {}},
      {"odd size, chunk after", 999, 500, {}, info_list("after")},
      {"empty data", 0, 100, {}, {}},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes s = samples(c.data_size, 11);
    Wave w(files_.write("read.wav", wave({kFmt, c.before, chunk("data", s), c.after})));
    ASSERT_EQ(w.opened, WAVE_OK);
    ASSERT_EQ(w.seek(), WAVE_OK);
    std::size_t at = 0;
    std::vector<uint32_t> counts;
    for (;;) {
      ReadStep r = w.read(c.request);
      ASSERT_EQ(r.result, WAVE_OK);
      counts.push_back(r.got);
      ASSERT_EQ(r.got, std::min<std::size_t>(c.request, s.size() - at));
      ASSERT_TRUE(std::equal(r.bytes.begin(), r.bytes.end(), s.begin() + static_cast<std::ptrdiff_t>(at)));
      at += r.got;
      EXPECT_EQ(w.data.cksize, s.size() - at);
      if (r.got == 0) break;
    }
    if (c.data_size == 1000) {
      EXPECT_EQ(counts, (std::vector<uint32_t>{300, 300, 300, 100, 0}));
    }
    ReadStep again = w.read(c.request);
    EXPECT_EQ(again.result, WAVE_OK);
    EXPECT_EQ(again.got, 0u);
  }
}

struct CutCase {
  const char* name;
  uint32_t declared;
  std::size_t present;
  uint32_t request;
};

TEST_F(WaveTest, ReadMeetingTheEndOfTheFileIsTruncated) {
  // The data starts at offset 44, so 8148 bytes end the file on the first buffer's last byte.
  const std::vector<CutCase> cases = {
      {"cut inside a request", 1000, 500, 300},
      {"cut on a request boundary", 1000, 600, 300},
      {"cut on the buffer's end", 20000, 8148, 1000},
      {"data chunk declaring 4 GiB", 0xFFFFFFFF, 20000, 4096},
  };
  for (const CutCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes s = samples(c.present, 5);
    Wave w(files_.write("cut.wav", wave({kFmt, chunk_declaring("data", c.declared, s, false)})));
    ASSERT_EQ(w.opened, WAVE_OK);
    ASSERT_EQ(w.seek(), WAVE_OK);
    ASSERT_EQ(w.data.dwDataOffset, 44u);
    std::size_t at = 0;
    while (at + c.request <= s.size()) {
      ReadStep r = w.read(c.request);
      ASSERT_EQ(r.result, WAVE_OK);
      ASSERT_EQ(r.got, c.request);
      ASSERT_TRUE(std::equal(r.bytes.begin(), r.bytes.end(), s.begin() + static_cast<std::ptrdiff_t>(at)));
      at += r.got;
    }
    ReadStep r = w.read(c.request);
    EXPECT_EQ(r.result, WAVE_ERR_TRUNCATED);
    EXPECT_EQ(r.got, 0u);
    // The early end leaves the file as the refill left it: it stays at its end, seeking back
    // finds the first sample again, and it closes.
    EXPECT_EQ(w.read(c.request).result, WAVE_ERR_TRUNCATED);
    ASSERT_EQ(w.seek(), WAVE_OK);
    EXPECT_EQ(w.data.cksize, c.declared);
    ReadStep first = w.read(100);
    ASSERT_EQ(first.result, WAVE_OK);
    EXPECT_TRUE(std::equal(first.bytes.begin(), first.bytes.end(), s.begin()));
  }
}

TEST_F(WaveTest, SeekDataAgainStartsOverAtTheFirstSample) {
  struct Case {
    std::size_t data_size;
    std::size_t read_first;
  };
  for (const Case c : {Case{1000, 300}, Case{1000, 1000}, Case{30000, 17000}}) {
    SCOPED_TRACE(c.read_first);
    const Bytes s = samples(c.data_size, 13);
    Wave w(files_.write("again.wav", wave({kFmt, chunk("data", s), info_list("tail")})));
    ASSERT_EQ(w.opened, WAVE_OK);
    ASSERT_EQ(w.seek(), WAVE_OK);
    const RiffChunk first = w.data;
    ASSERT_EQ(w.read(static_cast<uint32_t>(c.read_first)).got, c.read_first);
    ASSERT_EQ(w.seek(), WAVE_OK);
    EXPECT_EQ(w.data.cksize, first.cksize);
    EXPECT_EQ(w.data.dwDataOffset, first.dwDataOffset);
    ReadStep r = w.read(200);
    ASSERT_EQ(r.result, WAVE_OK);
    EXPECT_EQ(r.bytes, Bytes(s.begin(), s.begin() + 200));
  }
}

TEST_F(WaveTest, CloseOfNothing) {
  RiffFile* file = nullptr;
  WaveFormat* format = nullptr;
  EXPECT_EQ(wave_close(file, format), WAVE_OK);
  EXPECT_EQ(file, nullptr);
  EXPECT_EQ(format, nullptr);
}

TEST_F(WaveTest, CloseGivesBackFileAndFormat) {
  RiffFile* file = nullptr;
  WaveFormat* format = nullptr;
  RiffChunk outer{};
  ASSERT_EQ(wave_open(files_.write("c.wav", wave({kFmt, data_chunk(10)})).c_str(), &file, &format, &outer),
            WAVE_OK);
  EXPECT_EQ(wave_close(file, format), WAVE_OK);
  EXPECT_EQ(file, nullptr);
  EXPECT_EQ(format, nullptr);
}

// --- Failures of the platform calls (substitute only) ------------------------------------------

enum class Stage { open, seek, read };

struct Fault {
  Call call;
  int nth;
  Stage stage;
  WaveResult expected;
};

TEST_F(WaveTest, PlatformFailuresGiveTheirCodesAndKeepNothing) {
  if (!hooks::kHooks) GTEST_SKIP() << "needs the substitute's fault injection";
  using hooks::fail;
  // Non-PCM with extra bytes, so that open makes three reads: block, extra size, extra bytes.
  constexpr uint32_t kData = 30000;
  const std::string path = files_.write(
      "faults.wav", wave({chunk("fmt ", format_with_extra(2, 1, 22050, 4, 2, {1, 2})), data_chunk(kData)}));
  const std::vector<Fault> faults = {
      {Call::mmioOpenA, 1, Stage::open, WAVE_ERR_CANNOT_OPEN},
      {Call::mmioDescend, 1, Stage::open, kChunkNotFound},
      {Call::mmioDescend, 2, Stage::open, kChunkNotFound},
      {Call::mmioRead, 1, Stage::open, WAVE_ERR_CANNOT_READ},
      {Call::mmioRead, 2, Stage::open, WAVE_ERR_CANNOT_READ},
      {Call::mmioRead, 3, Stage::open, WAVE_ERR_NOT_WAVE},
      {Call::GlobalAlloc, 1, Stage::open, WAVE_ERR_NO_MEMORY},
      {Call::mmioAscend, 1, Stage::open, static_cast<WaveResult>(platform::kMmioerrCannotSeek)},
      {Call::mmioSeek, 1, Stage::seek, WAVE_SEEK_FAILED},
      {Call::mmioDescend, 1, Stage::seek, kChunkNotFound},
      {Call::mmioGetInfo, 1, Stage::read, WAVE_NO_BUFFER},
      {Call::mmioAdvance, 1, Stage::read, static_cast<WaveResult>(platform::kMmioerrCannotRead)},
      {Call::mmioAdvance, 2, Stage::read, static_cast<WaveResult>(platform::kMmioerrCannotRead)},
      {Call::mmioSetInfo, 1, Stage::read, static_cast<WaveResult>(platform::kMmsyserrInvalParam)},
  };
  for (const Fault& f : faults) {
    SCOPED_TRACE(std::string(platform::name(f.call)) + " #" + std::to_string(f.nth));
    hooks::clear_failures();
    if (f.stage == Stage::open) fail(f.call, f.nth);
    {
      Wave w(path);
      if (f.stage == Stage::open) {
        EXPECT_EQ(w.opened, f.expected);
        EXPECT_EQ(w.file, nullptr);
        EXPECT_EQ(w.format, nullptr);
      } else {
        ASSERT_EQ(w.opened, WAVE_OK);
        EXPECT_HELD(base_, 1, 1);
        if (f.stage == Stage::seek) {
          fail(f.call, f.nth);
          EXPECT_EQ(w.seek(), f.expected);
        } else {
          ASSERT_EQ(w.seek(), WAVE_OK);
          fail(f.call, f.nth);
          // 20000 bytes take at least two refills of the 8 KiB buffer.
          ReadStep r = w.read(20000);
          EXPECT_EQ(r.result, f.expected);
          EXPECT_EQ(r.got, 0u);
          if (f.expected == WAVE_NO_BUFFER) {
            EXPECT_EQ(w.data.cksize, kData) << "nothing taken";
          }
        }
        // The file is still good for starting over.
        hooks::clear_failures();
        ASSERT_EQ(w.seek(), WAVE_OK);
        EXPECT_EQ(w.read(100).got, 100u);
      }
    }
    EXPECT_HELD(base_, 0, 0);
  }
}

}  // namespace
