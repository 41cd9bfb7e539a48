// Writes the seed corpus of wave_fuzz into the folder given: good files of the common formats
// and the malformed ones the reader must survive, each behind a fuzz input header.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "wave/wav_builder.h"

using namespace wavtest;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  std::filesystem::create_directories(dir);

  const Bytes fmt16 = pcm_fmt(2, 22050, 16);
  const Bytes block = format_block(1, 2, 22050, 16);
  const Bytes data = chunk("data", samples(3000));
  const Bytes list = chunk("LIST", cat({id_bytes("INFO"), chunk("INAM", id_bytes("gear"))}));
  struct Seed {
    const char* name;
    Bytes file;
  };
  const std::vector<Seed> seeds = {
      {"pcm8_mono", wave({pcm_fmt(1, 11025, 8), chunk("data", samples(1500))})},
      {"pcm16_mono", wave({pcm_fmt(1, 22050, 16), data})},
      {"pcm16_stereo", wave({fmt16, data})},
      {"pcm16_stereo_long", wave({fmt16, chunk("data", samples(20000))})},
      {"fmt18", wave({chunk("fmt ", format_with_extra(1, 2, 44100, 16, 0, {})), data})},
      {"adpcm_extra2", wave({chunk("fmt ", format_with_extra(2, 1, 22050, 4, 2, {0xF4, 0x01})), data})},
      {"extensible_extra22",
       wave({chunk("fmt ", format_with_extra(0xFFFE, 2, 48000, 24, 22, samples(22))), data})},
      {"list_odd_chunks",
       wave({chunk("JUNK", samples(3)), list, fmt16, list, chunk("fact", samples(4)), data})},
      {"data_cut", wave({fmt16, chunk_declaring("data", 3000, samples(1000), false)})},
      {"data_4gib", wave({fmt16, chunk_declaring("data", 0xFFFFFFFF, samples(9000), false)})},
      {"no_data", wave({fmt16, list})},
      {"fmt14", wave({chunk("fmt ", Bytes(block.begin(), block.begin() + 14)), data})},
      {"extra_65535_missing",
       riff_declaring(200, "WAVE", chunk("fmt ", format_with_extra(2, 1, 22050, 4, 65535, samples(6))))},
      {"riff_short", riff_declaring(28, "WAVE", cat({fmt16, data}))},
      {"riff_huge", riff_declaring(0xFFFFFFFF, "WAVE", cat({fmt16, data}))},
      {"junk_past_end", wave({chunk_declaring("JUNK", 0x10000, samples(8)), fmt16, data})},
      {"empty", {}},
      {"riff_cut", Bytes{'R', 'I', 'F', 'F', 0x40, 0, 0, 0, 'W', 'A'}},
      {"other_form", riff("AVI ", cat({fmt16, data}))},
  };
  unsigned n = 0;
  auto put = [&](const std::string& name, const Bytes& input) {
    std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(input.data()), static_cast<std::streamsize>(input.size()));
    ++n;
  };
  for (const Seed& s : seeds) put(s.name, fuzzinput::join(fuzzinput::kNoFault, 0x2205u + n, s.file));
  // A few with failing platform calls, so the corpus starts on those paths too.
  const Bytes good =
      wave({chunk("fmt ", format_with_extra(2, 1, 22050, 4, 2, {1, 2})), chunk("data", samples(20000))});
  for (uint8_t fault = 0; fault < fuzzinput::kFaults; fault += 3) {
    put("fault_" + std::to_string(fault), fuzzinput::join(fault, 0x1234567u * (fault + 1u), good));
  }
  std::printf("%u seeds in %s\n", n, dir.string().c_str());
  return 0;
}
