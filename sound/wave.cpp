#include "sound/wave.h"

#include <cstring>

namespace sound {
namespace {

using platform::RiffBufferInfo;
using platform::RiffChunk;
using platform::RiffFile;

constexpr uint32_t kRiffId = platform::riff_fourcc('R', 'I', 'F', 'F');
constexpr uint32_t kWaveType = platform::riff_fourcc('W', 'A', 'V', 'E');
constexpr uint32_t kFmtId = platform::riff_fourcc('f', 'm', 't', ' ');
constexpr uint32_t kDataId = platform::riff_fourcc('d', 'a', 't', 'a');
constexpr int32_t kFormatBlock = 16;  // tag .. bits per sample

// Gives back what a failed open holds, so nothing stays open or allocated.
WaveResult fail_open(WaveResult result, RiffFile* opened, RiffFile** file, WaveFormat** format) {
  if (*format) {
    platform::global_free(*format);
    *format = nullptr;
  }
  if (opened) platform::riff_close(opened, 0);
  *file = nullptr;
  return result;
}

// Finds the chunk of found->ckid inside parent, from the current position, one chunk at a time.
// The platform's own find-chunk search trusts each chunk's size to lead forward; a size that
// wraps the next offset back to an earlier chunk sends it round for ever (seen with Wine's
// mmio). Here each chunk must start after the one before it and inside the parent, so a hostile
// file ends the search with "chunk not found".
uint32_t find_chunk(RiffFile* file, RiffChunk* found, const RiffChunk* parent) {
  const uint32_t end = parent->dwDataOffset + parent->cksize;  // 32-bit, as mmio computes it
  uint32_t previous = 0;
  for (;;) {
    RiffChunk chunk{};
    if (uint32_t r = platform::riff_descend(file, &chunk, nullptr, 0)) return r;
    if (chunk.dwDataOffset <= previous || chunk.dwDataOffset > end) {
      return platform::kMmioerrChunkNotFound;
    }
    previous = chunk.dwDataOffset;
    if (chunk.ckid == found->ckid) {
      *found = chunk;
      return 0;
    }
    if (uint32_t r = platform::riff_ascend(file, &chunk, 0)) return r;
  }
}

}  // namespace

WaveResult wave_open(const char* path, RiffFile** file, WaveFormat** format, RiffChunk* outer) {
  *format = nullptr;
  *file = nullptr;
  RiffFile* opened = platform::riff_open(path, platform::kMmioAllocBuf);
  if (!opened) return WAVE_ERR_CANNOT_OPEN;

  // A header cut short leaves the rest of the record as it was; start it from nothing so that
  // what was in it before cannot pass for "WAVE".
  *outer = RiffChunk{};
  if (uint32_t r = platform::riff_descend(opened, outer, nullptr, 0)) {
    return fail_open(static_cast<WaveResult>(r), opened, file, format);
  }
  if (outer->ckid != kRiffId || outer->fccType != kWaveType) {
    return fail_open(WAVE_ERR_NOT_WAVE, opened, file, format);
  }

  RiffChunk fmt{};
  fmt.ckid = kFmtId;
  if (uint32_t r = find_chunk(opened, &fmt, outer)) {
    return fail_open(static_cast<WaveResult>(r), opened, file, format);
  }
  if (fmt.cksize < static_cast<uint32_t>(kFormatBlock)) {
    return fail_open(WAVE_ERR_NOT_WAVE, opened, file, format);
  }

  unsigned char block[kFormatBlock];
  if (platform::riff_read(opened, block, kFormatBlock) < kFormatBlock) {
    return fail_open(WAVE_ERR_CANNOT_READ, opened, file, format);
  }
  uint16_t tag;
  std::memcpy(&tag, block, sizeof tag);
  uint16_t extra = 0;
  if (tag != kWaveFormatPcm) {
    if (platform::riff_read(opened, &extra, sizeof extra) < static_cast<int32_t>(sizeof extra)) {
      return fail_open(WAVE_ERR_CANNOT_READ, opened, file, format);
    }
  }

  *format =
      static_cast<WaveFormat*>(platform::global_alloc(platform::kGmemFixed, sizeof(WaveFormat) + extra));
  if (!*format) return fail_open(WAVE_ERR_NO_MEMORY, opened, file, format);
  unsigned char* record = reinterpret_cast<unsigned char*>(*format);
  std::memcpy(record, block, kFormatBlock);
  std::memcpy(record + kFormatBlock, &extra, sizeof extra);
  if (extra != 0 && platform::riff_read(opened, record + sizeof(WaveFormat), extra) < extra) {
    return fail_open(WAVE_ERR_NOT_WAVE, opened, file, format);
  }

  if (uint32_t r = platform::riff_ascend(opened, &fmt, 0)) {
    return fail_open(static_cast<WaveResult>(r), opened, file, format);
  }
  *file = opened;
  return WAVE_OK;
}

WaveResult wave_seek_data(RiffFile* file, RiffChunk* data, const RiffChunk* outer) {
  // Just past the form type, where the first chunk inside "RIFF" begins.
  const uint32_t first = outer->dwDataOffset + 4;
  if (platform::riff_seek(file, static_cast<int32_t>(first), 0) == -1) return WAVE_SEEK_FAILED;
  data->ckid = kDataId;
  return static_cast<WaveResult>(find_chunk(file, data, outer));
}

WaveResult wave_read(RiffFile* file, uint32_t count, void* destination, RiffChunk* data,
                     uint32_t* count_read) {
  RiffBufferInfo info;
  if (platform::riff_get_info(file, &info, 0) != 0) {
    *count_read = 0;
    return WAVE_NO_BUFFER;
  }
  const uint32_t wanted = count < data->cksize ? count : data->cksize;
  data->cksize -= wanted;

  unsigned char* out = static_cast<unsigned char*>(destination);
  uint32_t copied = 0;
  while (copied < wanted) {
    if (info.pchNext >= info.pchEndRead) {
      // These two ends leave the buffer state as the refill left it, without handing ours back:
      // the file stays fit for a seek, a read and a close.
      if (uint32_t r = platform::riff_advance(file, &info, platform::kMmioRead)) {
        *count_read = 0;
        return static_cast<WaveResult>(r);
      }
      if (info.pchNext >= info.pchEndRead) {
        *count_read = 0;
        return WAVE_ERR_TRUNCATED;
      }
    }
    const auto in_buffer = static_cast<uint32_t>(info.pchEndRead - info.pchNext);
    const uint32_t n = in_buffer < wanted - copied ? in_buffer : wanted - copied;
    std::memcpy(out + copied, info.pchNext, n);
    info.pchNext += n;
    copied += n;
  }

  if (uint32_t r = platform::riff_set_info(file, &info, 0)) {
    *count_read = 0;
    return static_cast<WaveResult>(r);
  }
  *count_read = wanted;
  return WAVE_OK;
}

WaveResult wave_close(RiffFile*& file, WaveFormat*& format) {
  if (format) {
    platform::global_free(format);
    format = nullptr;
  }
  if (file) {
    platform::riff_close(file, 0);
    file = nullptr;
  }
  return WAVE_OK;
}

}  // namespace sound
