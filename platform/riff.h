#pragma once
// RIFF file access: the Windows multimedia file calls a wave reader needs (mmioOpenA, mmioDescend,
// mmioAscend, mmioRead, mmioSeek, mmioGetInfo, mmioAdvance, mmioSetInfo, mmioClose), with their
// records, flags and result codes, plus fixed global memory (GlobalAlloc/GlobalFree). On Windows
// every function is the call of the same name; on Linux the substitute follows Wine's mmio, which
// is what the win32 tests run against, except that a chunk search stays inside its parent as
// Windows documents it (Wine only checks that the search starts there).
#include <bit>
#include <cstddef>
#include <cstdint>

namespace platform {

// An open file (HMMIO on Windows).
struct RiffFile;

// MMCKINFO, field for field.
struct RiffChunk {
  uint32_t ckid;
  uint32_t cksize;
  uint32_t fccType;       // form or list type of a RIFF or LIST chunk, else 0
  uint32_t dwDataOffset;  // file offset of the chunk's data (of the form type for RIFF/LIST)
  uint32_t dwFlags;
};

// MMIOINFO, field for field: the state of a file's I/O buffer. Direct buffer access reads the
// bytes from pchNext up to pchEndRead and refills through riff_advance.
struct RiffBufferInfo {
  uint32_t dwFlags;
  uint32_t fccIOProc;
  void* pIOProc;
  uint32_t wErrorRet;
  void* htask;
  int32_t cchBuffer;
  char* pchBuffer;
  char* pchNext;     // next byte to read or write
  char* pchEndRead;  // one past the last valid byte in the buffer
  char* pchEndWrite;
  int32_t lBufOffset;   // file offset of pchBuffer[0]
  int32_t lDiskOffset;  // file offset the next refill reads from
  uint32_t adwInfo[3];
  uint32_t dwReserved1;
  uint32_t dwReserved2;
  RiffFile* hmmio;
};

static_assert(std::endian::native == std::endian::little, "RIFF fields are read in place");

constexpr uint32_t riff_fourcc(char a, char b, char c, char d) {
  return static_cast<uint32_t>(static_cast<unsigned char>(a)) |
         static_cast<uint32_t>(static_cast<unsigned char>(b)) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(c)) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(d)) << 24;
}

// Flags, with their Windows values.
inline constexpr uint32_t kMmioRead = 0x00000000;      // open, and riff_advance for reading
inline constexpr uint32_t kMmioAllocBuf = 0x00010000;  // open with a buffer the system allocates
inline constexpr uint32_t kMmioFindChunk = 0x0010;     // descend: search for ckid
inline constexpr uint32_t kMmioFindRiff = 0x0020;      // descend: search for RIFF of fccType
inline constexpr uint32_t kMmioFindList = 0x0040;      // descend: search for LIST of fccType
inline constexpr uint32_t kMmioDefaultBuffer = 8192;
inline constexpr uint32_t kGmemFixed = 0x0000;
inline constexpr uint32_t kGmemZeroInit = 0x0040;

// Result codes (MMRESULT), with their Windows values.
inline constexpr uint32_t kMmsyserrNoError = 0;
inline constexpr uint32_t kMmsyserrError = 1;
inline constexpr uint32_t kMmsyserrInvalHandle = 5;
inline constexpr uint32_t kMmsyserrInvalParam = 11;
inline constexpr uint32_t kMmioerrCannotOpen = 259;
inline constexpr uint32_t kMmioerrCannotClose = 260;
inline constexpr uint32_t kMmioerrCannotRead = 261;
inline constexpr uint32_t kMmioerrCannotWrite = 262;
inline constexpr uint32_t kMmioerrCannotSeek = 263;
inline constexpr uint32_t kMmioerrChunkNotFound = 265;
inline constexpr uint32_t kMmioerrUnbuffered = 266;

// mmioOpenA(path, NULL, flags): null if the file cannot be opened.
RiffFile* riff_open(const char* path, uint32_t flags);

// mmioDescend: reads the chunk header at the current position into chunk, or with a find flag
// skips chunks (each with its pad byte) until one matches, searching only inside parent if given.
// Leaves the position at the chunk's data (after the form type of RIFF and LIST).
uint32_t riff_descend(RiffFile* file, RiffChunk* chunk, const RiffChunk* parent, uint32_t flags);

// mmioAscend: moves to the end of chunk, past the pad byte of an odd size.
uint32_t riff_ascend(RiffFile* file, RiffChunk* chunk, uint32_t flags);

// mmioRead: bytes read, 0 at the end of the file, -1 on error.
int32_t riff_read(RiffFile* file, void* destination, int32_t count);

// mmioSeek (origin 0 = from the start, 1 = current, 2 = end): the new offset or -1.
int32_t riff_seek(RiffFile* file, int32_t offset, int origin);

// mmioGetInfo / mmioAdvance / mmioSetInfo: direct access to the I/O buffer.
uint32_t riff_get_info(RiffFile* file, RiffBufferInfo* info, uint32_t flags);
uint32_t riff_advance(RiffFile* file, RiffBufferInfo* info, uint32_t flags);
uint32_t riff_set_info(RiffFile* file, const RiffBufferInfo* info, uint32_t flags);

// mmioClose.
uint32_t riff_close(RiffFile* file, uint32_t flags);

// GlobalAlloc(flags, bytes) for fixed memory: the block's address, or null. GlobalFree: null once
// the block is freed, else the block.
void* global_alloc(uint32_t flags, std::size_t bytes);
void* global_free(void* block);

}  // namespace platform
