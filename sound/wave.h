#pragma once
// Reading a wave file: its format record, then the sample bytes of its "data" chunk.
//
//   RiffFile* file; WaveFormat* format; RiffChunk outer, data;
//   wave_open(path, &file, &format, &outer);      // then check format->format_tag
//   wave_seek_data(file, &data, &outer);          // before the first read, and to start over
//   wave_read(file, n, dst, &data, &got) ...      // data.cksize counts the bytes not yet read
//   wave_close(file, format);
#include <cstdint>

#include "platform/riff.h"

namespace sound {

// 0 for success; else one of the codes below or a multimedia file code passed on unchanged.
using WaveResult = int32_t;

inline constexpr WaveResult WAVE_OK = 0;
inline constexpr WaveResult WAVE_ERR_NO_MEMORY = 0xE000;    // the format record cannot be had
inline constexpr WaveResult WAVE_ERR_CANNOT_OPEN = 0xE100;  // the file cannot be opened
// Not RIFF of form WAVE, a "fmt " chunk under 16 bytes, or its extra bytes cut short.
inline constexpr WaveResult WAVE_ERR_NOT_WAVE = 0xE101;
// The 16-byte format block or the extra-size word cut short.
inline constexpr WaveResult WAVE_ERR_CANNOT_READ = 0xE102;
// The file ends before the data chunk's declared size has been read.
inline constexpr WaveResult WAVE_ERR_TRUNCATED = 0xE103;
inline constexpr WaveResult WAVE_SEEK_FAILED = -1;  // from wave_seek_data
inline constexpr WaveResult WAVE_NO_BUFFER = 1;     // from wave_read: no buffer state to read from

inline constexpr uint16_t kWaveFormatPcm = 1;

// WAVEFORMATEX as it lies in the file: 18 bytes, then extra_size bytes (see wave_extra_bytes).
#pragma pack(push, 1)
struct WaveFormat {
  uint16_t format_tag;
  uint16_t channels;
  uint32_t samples_per_second;
  uint32_t average_bytes_per_second;
  uint16_t block_align;
  uint16_t bits_per_sample;
  uint16_t extra_size;
};
#pragma pack(pop)
static_assert(sizeof(WaveFormat) == 18);

inline const unsigned char* wave_extra_bytes(const WaveFormat* format) {
  return reinterpret_cast<const unsigned char*>(format) + sizeof(WaveFormat);
}

// Opens path, finds its format and leaves the format record (fixed global memory, the caller's
// until wave_close) in *format and the "RIFF" chunk in *outer. On failure *file and *format are
// null and nothing stays open.
WaveResult wave_open(const char* path, platform::RiffFile** file, WaveFormat** format,
                     platform::RiffChunk* outer);

// Moves to the first sample and fills *data with the "data" chunk.
WaveResult wave_seek_data(platform::RiffFile* file, platform::RiffChunk* data,
                          const platform::RiffChunk* outer);

// Copies up to count sample bytes to destination, no more than data->cksize, which it counts
// down. *count_read is the number copied, 0 on any failure.
WaveResult wave_read(platform::RiffFile* file, uint32_t count, void* destination, platform::RiffChunk* data,
                     uint32_t* count_read);

// Frees the format record and closes the file, whichever there are, and nulls both.
WaveResult wave_close(platform::RiffFile*& file, WaveFormat*& format);

}  // namespace sound
