#include "host/cockpit.h"
#include "host/report.h"

#include <cstdio>
#include <cstring>

#include "frame/cockpit_link.h"
#include "platform/shared_section.h"

namespace host {
namespace {

// A slot is three bytes another process may have written anything into: it is read as bytes,
// never as a string that runs on until some zero.
void describe_slot(std::string& out, int slot, const char (&bytes)[3]) {
  const char* prefix = frame::kAnnouncementPrefixes[slot];
  appendf(out, "slot %d %s: ", slot, prefix);
  if (bytes[0] == '\0') {
    out += "empty\n";
    return;
  }
  if (bytes[0] == '_' && bytes[1] >= '0' && bytes[1] <= '9' && bytes[2] == '\0') {
    appendf(out, "_%c -> Sound\\%s%c.wav\n", bytes[1], prefix, bytes[1]);
    return;
  }
  out += "not a file suffix:";
  for (char b : bytes) appendf(out, " %02X", static_cast<unsigned>(static_cast<unsigned char>(b)));
  out += "\n";
}

}  // namespace

std::string describe_cockpit_link() {
  platform::SectionHandle section = platform::open_section_for_write(frame::kCockpitLinkName);
  if (!section) return "no cockpit link\n";
  void* view = platform::map_whole_view_for_write(section, sizeof(frame::CockpitLink));
  if (!view) {
    platform::close_section(section);
    return "no cockpit link (the section cannot be mapped)\n";
  }
  frame::CockpitLink link;
  std::memcpy(&link, view, sizeof link);
  platform::unmap_view(view);
  platform::close_section(section);

  std::string out;
  appendf(out, "cockpit link %s\n", frame::kCockpitLinkName);
  appendf(out, "power: %u\n", link.power);
  out += "start flags:";
  for (uint32_t f : link.start_flags) appendf(out, " %u", f);
  out += "\n";
  appendf(out, "unit flags: 130=%u 165=%u 200=%u\n", link.unit_flags[0], link.unit_flags[1],
          link.unit_flags[2]);
  appendf(out, "requests: VR=%u AR=%u FD=%u\n", link.vr_request, link.ar_request, link.fd_request);
  for (int s = 0; s < frame::kAnnouncementSlots; ++s) describe_slot(out, s, link.announcement_slots[s]);
  return out;
}

std::optional<uint32_t> cockpit_power() {
  platform::SectionHandle section = platform::open_section_for_write(frame::kCockpitLinkName);
  if (!section) return std::nullopt;
  std::optional<uint32_t> power;
  if (void* view = platform::map_whole_view_for_write(section, sizeof(frame::CockpitLink))) {
    frame::CockpitLink link;
    std::memcpy(&link, view, sizeof link);
    power = link.power;
    platform::unmap_view(view);
  }
  platform::close_section(section);
  return power;
}

std::string describe_power(bool night) {
  std::string out;
  if (const auto power = cockpit_power())
    appendf(out, "panel power: %s (cockpit link power word %u)", *power ? "on" : "off", *power);
  else
    out += "panel power: no cockpit link (a panel that follows it stays unpowered)";
  out += night ? "\n" : "; the power overlay shows only in the night view (--night)\n";
  return out;
}

}  // namespace host
