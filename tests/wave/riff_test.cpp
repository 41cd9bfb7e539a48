// The RIFF calls themselves: under Wine these are winmm's, natively our substitute, and both are
// held to the same expectations.
#include "platform/riff.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "temp_folder.h"
#include "tests/support/platform_hooks.h"
#include "wav_builder.h"

namespace {

using namespace platform;
using namespace wavtest;

class RiffTest : public ::testing::Test {
 protected:
  RiffFile* open(const Bytes& bytes) {
    file_ = riff_open(files_.write("f.riff", bytes).c_str(), kMmioAllocBuf);
    return file_;
  }
  void TearDown() override {
    if (file_) {
      EXPECT_EQ(riff_close(file_, 0), kMmsyserrNoError);
    }
    EXPECT_LIVE(hooks::Resource::RiffFile, 0);
  }
  int32_t tell() { return riff_seek(file_, 0, 1); }

  TempFolder files_;
  RiffFile* file_ = nullptr;
};

// RIFF(12) | JUNK, 3 bytes and a pad (12) | LIST INFO (22) | fmt (24) | data (108)
Bytes layout() {
  return wave({chunk("JUNK", samples(3)),
               chunk("LIST", cat({id_bytes("INFO"), chunk("INAM", id_bytes("ab"))})), pcm_fmt(1, 8000, 8),
               chunk("data", samples(100))});
}

struct Descent {
  const char* name;
  int32_t start;
  RiffChunk wanted;  // ckid / fccType searched for
  uint32_t flags;
  uint32_t result;
  RiffChunk found;
  int32_t after_descend;
  int32_t after_ascend;
};

TEST_F(RiffTest, DescendAndAscend) {
  const uint32_t kRiffId = riff_fourcc('R', 'I', 'F', 'F');
  const uint32_t kList = riff_fourcc('L', 'I', 'S', 'T');
  const uint32_t kJunk = riff_fourcc('J', 'U', 'N', 'K');
  const uint32_t kFmt = riff_fourcc('f', 'm', 't', ' ');
  const uint32_t kData = riff_fourcc('d', 'a', 't', 'a');
  const uint32_t kInfo = riff_fourcc('I', 'N', 'F', 'O');
  const std::vector<Descent> cases = {
      {"the RIFF chunk", 0, {}, 0, 0, {kRiffId, 170, riff_fourcc('W', 'A', 'V', 'E'), 8, 0}, 12, 178},
      {"odd chunk: ascending passes its pad byte", 12, {}, 0, 0, {kJunk, 3, 0, 20, 0}, 20, 24},
      {"find a chunk past odd and list chunks",
       12,
       {kFmt, 0, 0, 0, 0},
       kMmioFindChunk,
       0,
       {kFmt, 16, 0, 54, 0},
       54,
       70},
      {"find the last chunk", 12, {kData, 0, 0, 0, 0}, kMmioFindChunk, 0, {kData, 100, 0, 78, 0}, 78, 178},
      {"find a list by its type",
       12,
       {0, 0, kInfo, 0, 0},
       kMmioFindList,
       0,
       {kList, 14, kInfo, 32, 0},
       36,
       46},
  };
  ASSERT_NE(open(layout()), nullptr);
  RiffChunk riff{};
  ASSERT_EQ(riff_descend(file_, &riff, nullptr, 0), kMmsyserrNoError);
  for (const Descent& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(riff_seek(file_, c.start, 0), c.start);
    RiffChunk ck = c.wanted;
    ck.dwFlags = 0xFFFFFFFF;
    EXPECT_EQ(riff_descend(file_, &ck, c.start == 0 ? nullptr : &riff, c.flags), c.result);
    EXPECT_EQ(ck.ckid, c.found.ckid);
    EXPECT_EQ(ck.cksize, c.found.cksize);
    EXPECT_EQ(ck.fccType, c.found.fccType);
    EXPECT_EQ(ck.dwDataOffset, c.found.dwDataOffset);
    EXPECT_EQ(ck.dwFlags, 0u);
    EXPECT_EQ(tell(), c.after_descend);
    EXPECT_EQ(riff_ascend(file_, &ck, 0), kMmsyserrNoError);
    EXPECT_EQ(tell(), c.after_ascend);
  }
}

TEST_F(RiffTest, SearchEndingWithTheFileFindsNothing) {
  ASSERT_NE(open(layout()), nullptr);
  RiffChunk riff{};
  ASSERT_EQ(riff_descend(file_, &riff, nullptr, 0), kMmsyserrNoError);
  RiffChunk ck{};
  ck.ckid = riff_fourcc('c', 'u', 'e', ' ');
  EXPECT_EQ(riff_descend(file_, &ck, &riff, kMmioFindChunk), kMmioerrChunkNotFound);
  // A search must start inside its parent.
  ASSERT_EQ(riff_seek(file_, 178, 0), 178);
  ck.ckid = riff_fourcc('d', 'a', 't', 'a');
  EXPECT_EQ(riff_descend(file_, &ck, &riff, kMmioFindChunk), kMmioerrChunkNotFound);
}

TEST_F(RiffTest, ReadAndSeek) {
  const Bytes s = samples(20000);
  ASSERT_NE(open(s), nullptr);
  std::vector<char> got(20000);
  EXPECT_EQ(riff_read(file_, got.data(), 10), 10);
  EXPECT_EQ(std::memcmp(got.data(), s.data(), 10), 0);
  // Across the 8 KiB buffer and up to the end of the file.
  EXPECT_EQ(riff_read(file_, got.data(), 20000), 19990);
  EXPECT_EQ(std::memcmp(got.data(), s.data() + 10, 19990), 0);
  EXPECT_EQ(riff_read(file_, got.data(), 1), 0);

  EXPECT_EQ(riff_seek(file_, 9000, 0), 9000);
  EXPECT_EQ(riff_read(file_, got.data(), 4), 4);
  EXPECT_EQ(std::memcmp(got.data(), s.data() + 9000, 4), 0);
  EXPECT_EQ(riff_seek(file_, -4, 1), 9000);
  EXPECT_EQ(riff_seek(file_, 100, 0), 100);
  EXPECT_EQ(riff_read(file_, got.data(), 4), 4);
  EXPECT_EQ(std::memcmp(got.data(), s.data() + 100, 4), 0);
  // Past the end is a position like any other; reading there gives nothing.
  EXPECT_EQ(riff_seek(file_, 50000, 0), 50000);
  EXPECT_EQ(riff_read(file_, got.data(), 4), 0);
  EXPECT_EQ(riff_seek(file_, -1, 0), -1);
}

TEST_F(RiffTest, DirectBufferAccess) {
  const Bytes s = samples(20000);
  ASSERT_NE(open(s), nullptr);
  RiffBufferInfo info{};
  ASSERT_EQ(riff_get_info(file_, &info, 0), kMmsyserrNoError);
  EXPECT_EQ(info.cchBuffer, static_cast<int32_t>(kMmioDefaultBuffer));
  EXPECT_EQ(info.pchNext, info.pchEndRead) << "nothing loaded before the first read";

  // Each refill loads the next buffer's worth; at the end of the file it loads nothing, and that
  // is no error.
  const int32_t loads[] = {8192, 8192, 3616, 0};
  int32_t at = 0;
  for (int32_t n : loads) {
    SCOPED_TRACE(at);
    ASSERT_EQ(riff_advance(file_, &info, kMmioRead), kMmsyserrNoError);
    EXPECT_EQ(info.pchNext, info.pchBuffer);
    ASSERT_EQ(info.pchEndRead - info.pchBuffer, n);
    EXPECT_EQ(info.lBufOffset, at);
    EXPECT_EQ(std::memcmp(info.pchNext, s.data() + at, static_cast<std::size_t>(n)), 0);
    info.pchNext = info.pchEndRead;
    at += n;
  }
  EXPECT_EQ(riff_set_info(file_, &info, 0), kMmsyserrNoError);
}

TEST_F(RiffTest, BufferStateHandedBackMovesTheFilePosition) {
  const Bytes s = samples(3000);
  ASSERT_NE(open(s), nullptr);
  char got[16];
  ASSERT_EQ(riff_read(file_, got, 10), 10);
  RiffBufferInfo info{};
  ASSERT_EQ(riff_get_info(file_, &info, 0), kMmsyserrNoError);
  ASSERT_GE(info.pchEndRead - info.pchNext, 100);
  EXPECT_EQ(std::memcmp(info.pchNext, s.data() + 10, 100), 0);
  info.pchNext += 100;
  ASSERT_EQ(riff_set_info(file_, &info, 0), kMmsyserrNoError);
  EXPECT_EQ(tell(), 110);
  ASSERT_EQ(riff_read(file_, got, 5), 5);
  EXPECT_EQ(std::memcmp(got, s.data() + 110, 5), 0);

  RiffBufferInfo wild = info;
  wild.pchNext = info.pchBuffer + info.cchBuffer + 1;
  EXPECT_EQ(riff_set_info(file_, &wild, 0), kMmsyserrInvalParam);
  EXPECT_EQ(tell(), 115) << "a refused state changes nothing";
}

TEST_F(RiffTest, OpenFailsForMissingFile) {
  EXPECT_EQ(riff_open(files_.path("none.wav").c_str(), kMmioAllocBuf), nullptr);
}

TEST(GlobalMemory, FixedBlockIsItsAddress) {
  const auto before = hooks::LiveCounts::now();
  auto* block = static_cast<unsigned char*>(global_alloc(kGmemFixed, 18));
  ASSERT_NE(block, nullptr);
  std::memset(block, 0x5A, 18);
  auto* zeroed = static_cast<unsigned char*>(global_alloc(kGmemZeroInit, 64));
  ASSERT_NE(zeroed, nullptr);
  EXPECT_EQ(std::count(zeroed, zeroed + 64, 0), 64);
  EXPECT_ADDED(before, hooks::Resource::GlobalMemory, 2);
  EXPECT_EQ(global_free(block), nullptr);
  EXPECT_EQ(global_free(zeroed), nullptr);
  EXPECT_ADDED(before, hooks::Resource::GlobalMemory, 0);
}

}  // namespace
