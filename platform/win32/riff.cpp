#include <windows.h>
// windows.h first: mmsystem.h needs its types.
#include <mmsystem.h>

#include <cstddef>

#include "platform/riff.h"

namespace platform {
namespace {

// Our records are the Windows ones, so they are handed to winmm as they are.
#define SAME_FIELD(ours, theirs, field)                             \
  static_assert(offsetof(ours, field) == offsetof(theirs, field) && \
                sizeof(ours::field) == sizeof(theirs::field))
static_assert(sizeof(RiffChunk) == sizeof(MMCKINFO));
SAME_FIELD(RiffChunk, MMCKINFO, ckid);
SAME_FIELD(RiffChunk, MMCKINFO, cksize);
SAME_FIELD(RiffChunk, MMCKINFO, fccType);
SAME_FIELD(RiffChunk, MMCKINFO, dwDataOffset);
SAME_FIELD(RiffChunk, MMCKINFO, dwFlags);
static_assert(sizeof(RiffBufferInfo) == sizeof(MMIOINFO));
SAME_FIELD(RiffBufferInfo, MMIOINFO, dwFlags);
SAME_FIELD(RiffBufferInfo, MMIOINFO, fccIOProc);
SAME_FIELD(RiffBufferInfo, MMIOINFO, pIOProc);
SAME_FIELD(RiffBufferInfo, MMIOINFO, wErrorRet);
SAME_FIELD(RiffBufferInfo, MMIOINFO, htask);
SAME_FIELD(RiffBufferInfo, MMIOINFO, cchBuffer);
SAME_FIELD(RiffBufferInfo, MMIOINFO, pchBuffer);
SAME_FIELD(RiffBufferInfo, MMIOINFO, pchNext);
SAME_FIELD(RiffBufferInfo, MMIOINFO, pchEndRead);
SAME_FIELD(RiffBufferInfo, MMIOINFO, pchEndWrite);
SAME_FIELD(RiffBufferInfo, MMIOINFO, lBufOffset);
SAME_FIELD(RiffBufferInfo, MMIOINFO, lDiskOffset);
SAME_FIELD(RiffBufferInfo, MMIOINFO, adwInfo);
SAME_FIELD(RiffBufferInfo, MMIOINFO, dwReserved1);
SAME_FIELD(RiffBufferInfo, MMIOINFO, dwReserved2);
SAME_FIELD(RiffBufferInfo, MMIOINFO, hmmio);
#undef SAME_FIELD

static_assert(kMmioRead == MMIO_READ && kMmioAllocBuf == MMIO_ALLOCBUF);
static_assert(kMmioFindChunk == MMIO_FINDCHUNK && kMmioFindRiff == MMIO_FINDRIFF &&
              kMmioFindList == MMIO_FINDLIST && kMmioDefaultBuffer == MMIO_DEFAULTBUFFER);
static_assert(kGmemFixed == GMEM_FIXED && kGmemZeroInit == GMEM_ZEROINIT);
static_assert(kMmsyserrNoError == MMSYSERR_NOERROR && kMmsyserrError == MMSYSERR_ERROR &&
              kMmsyserrInvalHandle == MMSYSERR_INVALHANDLE && kMmsyserrInvalParam == MMSYSERR_INVALPARAM);
static_assert(kMmioerrCannotOpen == MMIOERR_CANNOTOPEN && kMmioerrCannotClose == MMIOERR_CANNOTCLOSE &&
              kMmioerrCannotRead == MMIOERR_CANNOTREAD && kMmioerrCannotWrite == MMIOERR_CANNOTWRITE &&
              kMmioerrCannotSeek == MMIOERR_CANNOTSEEK && kMmioerrChunkNotFound == MMIOERR_CHUNKNOTFOUND &&
              kMmioerrUnbuffered == MMIOERR_UNBUFFERED);

HMMIO handle(RiffFile* file) { return reinterpret_cast<HMMIO>(file); }
MMCKINFO* chunk_record(RiffChunk* chunk) { return reinterpret_cast<MMCKINFO*>(chunk); }
const MMCKINFO* chunk_record(const RiffChunk* chunk) { return reinterpret_cast<const MMCKINFO*>(chunk); }

}  // namespace

RiffFile* riff_open(const char* path, uint32_t flags) {
  // mmioOpenA writes to the name only with MMIO_PARSE or MMIO_EXIST.
  return reinterpret_cast<RiffFile*>(mmioOpenA(const_cast<char*>(path), nullptr, flags));
}

uint32_t riff_descend(RiffFile* file, RiffChunk* chunk, const RiffChunk* parent, uint32_t flags) {
  return mmioDescend(handle(file), chunk_record(chunk), chunk_record(parent), flags);
}

uint32_t riff_ascend(RiffFile* file, RiffChunk* chunk, uint32_t flags) {
  return mmioAscend(handle(file), chunk_record(chunk), flags);
}

int32_t riff_read(RiffFile* file, void* destination, int32_t count) {
  return mmioRead(handle(file), static_cast<HPSTR>(destination), count);
}

int32_t riff_seek(RiffFile* file, int32_t offset, int origin) {
  return mmioSeek(handle(file), offset, origin);
}

uint32_t riff_get_info(RiffFile* file, RiffBufferInfo* info, uint32_t flags) {
  return mmioGetInfo(handle(file), reinterpret_cast<MMIOINFO*>(info), flags);
}

uint32_t riff_advance(RiffFile* file, RiffBufferInfo* info, uint32_t flags) {
  return mmioAdvance(handle(file), reinterpret_cast<MMIOINFO*>(info), flags);
}

uint32_t riff_set_info(RiffFile* file, const RiffBufferInfo* info, uint32_t flags) {
  return mmioSetInfo(handle(file), reinterpret_cast<const MMIOINFO*>(info), flags);
}

uint32_t riff_close(RiffFile* file, uint32_t flags) { return mmioClose(handle(file), flags); }

// With GMEM_FIXED the handle GlobalAlloc returns is the block's address.
void* global_alloc(uint32_t flags, std::size_t bytes) { return GlobalAlloc(flags, bytes); }

void* global_free(void* block) { return GlobalFree(block); }

}  // namespace platform
