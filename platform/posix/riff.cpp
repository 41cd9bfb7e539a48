// The multimedia file calls on Linux, following Wine's winmm (what the win32 tests run against):
// one 8 KiB buffer per file, refilled from lDiskOffset; seeks inside the loaded bytes only move
// pchNext, any other seek empties the buffer and the next read or refill loads from there.
// Read-only: the gauges never write RIFF files.
//
// Below the 8 KiB buffer, which callers see, each file reads ahead 64 KiB at a time, so a
// streaming reader makes one system call per eight refills rather than one per refill.
#include "platform/riff.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/posix/paths.h"
#include "platform/posix/testing.h"

struct platform::RiffFile {
  int fd;
  int64_t file_size;
  RiffBufferInfo info;
  int64_t ahead_offset;  // file offset of ahead[0]
  std::size_t ahead_length;
  char buffer[kMmioDefaultBuffer];
  char ahead[64 * 1024];
};

namespace platform {
namespace {

constexpr uint32_t kRiff = riff_fourcc('R', 'I', 'F', 'F');
constexpr uint32_t kList = riff_fourcc('L', 'I', 'S', 'T');
constexpr uint32_t kDosIoProc = riff_fourcc('D', 'O', 'S', ' ');
constexpr uint32_t kRwMode = 0x3;
constexpr uint32_t kShareMode = 0x70;

int64_t position(const RiffFile* f) {
  return static_cast<int64_t>(f->info.lBufOffset) + (f->info.pchNext - f->info.pchBuffer);
}

// Reads ahead from offset: the bytes now ahead, 0 at the end of the file, -1 on error.
int64_t read_ahead(RiffFile* f, int64_t offset) {
  f->ahead_offset = offset;
  f->ahead_length = 0;
  while (f->ahead_length < sizeof f->ahead) {
    const ssize_t n = pread(f->fd, f->ahead + f->ahead_length, sizeof f->ahead - f->ahead_length,
                            static_cast<off_t>(offset) + static_cast<off_t>(f->ahead_length));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      if (f->ahead_length == 0) return -1;
      break;
    }
    if (n == 0) break;
    f->ahead_length += static_cast<std::size_t>(n);
  }
  return static_cast<int64_t>(f->ahead_length);
}

// Loads the buffer from lDiskOffset: the bytes loaded, 0 at the end of the file, -1 on error.
int64_t fill(RiffFile* f) {
  RiffBufferInfo& in = f->info;
  in.lBufOffset = in.lDiskOffset;
  in.pchNext = in.pchEndRead = in.pchBuffer;
  const int64_t from = in.lDiskOffset;
  const int64_t ahead_end = f->ahead_offset + static_cast<int64_t>(f->ahead_length);
  // A whole buffer from what was read ahead, or, near its end, a fresh read from here.
  if (from < f->ahead_offset || from + static_cast<int64_t>(sizeof f->buffer) > ahead_end) {
    if (read_ahead(f, from) < 0) return -1;
  }
  const int64_t available = f->ahead_offset + static_cast<int64_t>(f->ahead_length) - from;
  const std::size_t got = available < static_cast<int64_t>(sizeof f->buffer)
                              ? static_cast<std::size_t>(available)
                              : sizeof f->buffer;
  std::memcpy(f->buffer, f->ahead + (from - f->ahead_offset), got);
  in.pchEndRead = in.pchBuffer + got;
  in.lDiskOffset += static_cast<int32_t>(got);
  return static_cast<int64_t>(got);
}

// Offsets are LONGs: anything outside 0..2^31-1 fails, as SetFilePointer does for a negative one.
// Past the end of the file is allowed; reading there gives nothing.
int64_t seek_to(RiffFile* f, int64_t offset) {
  if (offset < 0 || offset > INT32_MAX) return -1;
  RiffBufferInfo& in = f->info;
  if (offset >= in.lBufOffset && offset - in.lBufOffset <= in.pchEndRead - in.pchBuffer) {
    in.pchNext = in.pchBuffer + (offset - in.lBufOffset);
  } else {
    in.lBufOffset = in.lDiskOffset = static_cast<int32_t>(offset);
    in.pchNext = in.pchEndRead = in.pchBuffer;
  }
  return offset;
}

int32_t read_bytes(RiffFile* f, void* destination, int32_t count) {
  if (count < 0) return -1;
  RiffBufferInfo& in = f->info;
  char* out = static_cast<char*>(destination);
  int32_t done = 0;
  while (done < count) {
    if (in.pchNext >= in.pchEndRead && fill(f) <= 0) break;
    const int64_t have = in.pchEndRead - in.pchNext;
    const int32_t n = have < count - done ? static_cast<int32_t>(have) : count - done;
    std::memcpy(out + done, in.pchNext, static_cast<std::size_t>(n));
    in.pchNext += n;
    done += n;
  }
  return done;
}

}  // namespace

RiffFile* riff_open(const char* path, uint32_t flags) {
  if (testing::should_fail(Call::mmioOpenA)) return nullptr;
  if (!path || (flags & kRwMode) != kMmioRead || !(flags & kMmioAllocBuf) ||
      (flags & ~(kMmioAllocBuf | kShareMode)) != 0) {
    return nullptr;
  }
  // The name as spelt, '\' read as '/', is the entry the case-blind search would choose when it
  // exists (an exact match wins there); only otherwise is each folder searched.
  char resolved[4096];
  const std::size_t length = std::strlen(path);
  if (length >= sizeof resolved) return nullptr;
  for (std::size_t i = 0; i <= length; ++i) resolved[i] = path[i] == '\\' ? '/' : path[i];
  int fd = length ? open(resolved, O_RDONLY | O_CLOEXEC) : -1;
  if (fd < 0) {
    if (!posix::resolve_path(path, resolved, sizeof resolved)) return nullptr;
    fd = open(resolved, O_RDONLY | O_CLOEXEC);
  }
  if (fd < 0) return nullptr;
  struct stat st;
  // CreateFile does not open a folder for reading.
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return nullptr;
  }
  // The two buffers need no clearing: nothing is read from them before it is loaded.
  auto* f = static_cast<RiffFile*>(std::malloc(sizeof(RiffFile)));
  if (!f) {
    close(fd);
    return nullptr;
  }
  std::memset(f, 0, offsetof(RiffFile, buffer));
  f->fd = fd;
  f->file_size = st.st_size;
  RiffBufferInfo& in = f->info;
  in.dwFlags = flags;
  in.fccIOProc = kDosIoProc;
  in.cchBuffer = static_cast<int32_t>(sizeof f->buffer);
  in.pchBuffer = in.pchNext = in.pchEndRead = f->buffer;
  in.pchEndWrite = f->buffer + sizeof f->buffer;
  in.hmmio = f;
  testing::acquired(Resource::RiffFile);
  return f;
}

uint32_t riff_descend(RiffFile* f, RiffChunk* chunk, const RiffChunk* parent, uint32_t flags) {
  if (testing::should_fail(Call::mmioDescend)) return kMmioerrChunkNotFound;
  if (!chunk) return kMmsyserrInvalParam;
  if (!f) return kMmioerrChunkNotFound;
  // Offsets and ends are DWORDs, as in winmm: a parent whose size runs past 4 GiB wraps round.
  uint32_t at = static_cast<uint32_t>(position(f));
  uint32_t parent_end = 0;
  if (parent) {
    parent_end = parent->dwDataOffset + parent->cksize;
    if (at < parent->dwDataOffset || at >= parent_end) return kMmioerrChunkNotFound;
  }
  uint32_t want_id = 0;
  uint32_t want_type = 0;
  if (flags & kMmioFindChunk) want_id = chunk->ckid;
  if (flags & kMmioFindList) {
    want_id = kList;
    want_type = chunk->fccType;
  }
  if (flags & kMmioFindRiff) {
    want_id = kRiff;
    want_type = chunk->fccType;
  }
  for (;;) {
    // The header goes straight into the record: a short one leaves the rest as it was.
    unsigned char header[12];
    const int32_t n = read_bytes(f, header, sizeof header);
    if (n < 8) {
      seek_to(f, at);
      return kMmioerrChunkNotFound;
    }
    std::memcpy(chunk, header, static_cast<std::size_t>(n));
    chunk->dwDataOffset = at + 8;
    if ((!want_id || want_id == chunk->ckid) && (!want_type || want_type == chunk->fccType)) break;
    const uint32_t next = chunk->dwDataOffset + ((chunk->cksize + 1) & ~1u);
    // The search stays inside the parent; and a size that wraps the offset back to or before
    // this chunk would go round for ever.
    if (next <= at || (parent && next >= parent_end) || seek_to(f, next) < 0) {
      seek_to(f, at);
      return kMmioerrChunkNotFound;
    }
    at = next;
  }
  chunk->dwFlags = 0;
  if (chunk->ckid == kRiff || chunk->ckid == kList) {
    seek_to(f, static_cast<int64_t>(chunk->dwDataOffset) + 4);
  } else {
    seek_to(f, chunk->dwDataOffset);
    chunk->fccType = 0;
  }
  return kMmsyserrNoError;
}

uint32_t riff_ascend(RiffFile* f, RiffChunk* chunk, uint32_t /*flags*/) {
  if (testing::should_fail(Call::mmioAscend)) return kMmioerrCannotSeek;
  if (!f || !chunk) return kMmsyserrNoError;
  // Like Wine, the end is a DWORD passed on as a LONG, and a seek that fails there is not
  // reported: the position is then undefined, which the next seek or descend settles.
  const uint32_t end = chunk->dwDataOffset + ((chunk->cksize + 1) & ~1u);
  seek_to(f, static_cast<int32_t>(end));
  return kMmsyserrNoError;
}

int32_t riff_read(RiffFile* f, void* destination, int32_t count) {
  if (testing::should_fail(Call::mmioRead)) return -1;
  if (!f) return -1;
  return read_bytes(f, destination, count);
}

int32_t riff_seek(RiffFile* f, int32_t offset, int origin) {
  if (testing::should_fail(Call::mmioSeek)) return -1;
  if (!f) return static_cast<int32_t>(kMmsyserrInvalHandle);
  int64_t to;
  switch (origin) {
    case 0: to = offset; break;
    case 1: to = position(f) + offset; break;
    case 2:
      // Wine counts SEEK_END offsets back from the end.
      to = f->file_size - offset;
      break;
    default: return -1;
  }
  return static_cast<int32_t>(seek_to(f, to));
}

uint32_t riff_get_info(RiffFile* f, RiffBufferInfo* info, uint32_t /*flags*/) {
  if (testing::should_fail(Call::mmioGetInfo)) return kMmsyserrInvalHandle;
  if (!f) return kMmsyserrInvalHandle;
  if (!info) return kMmsyserrInvalParam;
  *info = f->info;
  return kMmsyserrNoError;
}

uint32_t riff_advance(RiffFile* f, RiffBufferInfo* info, uint32_t flags) {
  if (testing::should_fail(Call::mmioAdvance)) return kMmioerrCannotRead;
  if (!f) return kMmsyserrInvalHandle;
  if (flags != kMmioRead) return flags == 1 ? kMmioerrCannotWrite : kMmsyserrInvalParam;
  // Like Wine, the refill reads from where the last one ended (lDiskOffset), not from the
  // caller's pchNext. The end of the file is no error: the buffer is left empty.
  if (fill(f) < 0) return kMmioerrCannotRead;
  if (info) {
    const RiffBufferInfo& in = f->info;
    info->pchNext = info->pchBuffer;
    info->pchEndRead = info->pchBuffer + (in.pchEndRead - in.pchBuffer);
    info->pchEndWrite = info->pchBuffer + (in.pchEndWrite - in.pchBuffer);
    info->lBufOffset = in.lBufOffset;
    info->lDiskOffset = in.lDiskOffset;
  }
  return kMmsyserrNoError;
}

uint32_t riff_set_info(RiffFile* f, const RiffBufferInfo* info, uint32_t /*flags*/) {
  if (testing::should_fail(Call::mmioSetInfo)) return kMmsyserrInvalParam;
  if (!f) return kMmsyserrInvalHandle;
  if (!info) return kMmsyserrInvalParam;
  RiffBufferInfo& in = f->info;
  const char* begin = in.pchBuffer;
  const char* end = in.pchBuffer + in.cchBuffer;
  auto inside = [&](const char* p) { return p >= begin && p <= end; };
  if (!inside(info->pchNext) || !inside(info->pchEndRead) || !inside(info->pchEndWrite)) {
    return kMmsyserrInvalParam;
  }
  in.pchNext = info->pchNext;
  in.pchEndRead = info->pchEndRead;
  return kMmsyserrNoError;
}

uint32_t riff_close(RiffFile* f, uint32_t /*flags*/) {
  if (!f) return kMmsyserrInvalHandle;
  // A failed close still gives everything back, as in Wine.
  const bool failed = testing::should_fail(Call::mmioClose);
  close(f->fd);
  std::free(f);
  testing::released(Resource::RiffFile);
  return failed ? kMmioerrCannotClose : kMmsyserrNoError;
}

void* global_alloc(uint32_t flags, std::size_t bytes) {
  if (testing::should_fail(Call::GlobalAlloc)) return nullptr;
  // Fixed memory only: a moveable block's handle is not its address.
  if ((flags & ~kGmemZeroInit) != kGmemFixed) return nullptr;
  void* block = std::malloc(bytes ? bytes : 1);
  if (!block) return nullptr;
  // GlobalAlloc does not clear fixed memory; a pattern shows a record read before it is filled.
  std::memset(block, (flags & kGmemZeroInit) ? 0 : 0xCD, bytes);
  testing::acquired(Resource::GlobalMemory);
  return block;
}

void* global_free(void* block) {
  if (!block) return nullptr;
  std::free(block);
  testing::released(Resource::GlobalMemory);
  return nullptr;
}

}  // namespace platform
