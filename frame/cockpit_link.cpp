#include "frame/cockpit_link.h"

#include <cstring>

#include "frame/services.h"

namespace frame {

void open_cockpit_link(CockpitLinkState& s) {
  platform::SectionHandle handle = platform::open_section_for_write(kCockpitLinkName);
  if (!handle) {
    handle = platform::create_page_file_section(kCockpitLinkName, platform::allocation_granularity());
    if (!handle) {
      s.link_handle = nullptr;
      s.link_view = nullptr;
      return;
    }
  }
  s.link_handle = handle;
  s.link_view = static_cast<CockpitLink*>(platform::map_whole_view_for_write(handle, sizeof(CockpitLink)));
  if (!s.link_view) {
    platform::close_section(handle);
    s.link_handle = nullptr;
  }
}

void reset_cockpit_link(CockpitLinkState& s) {
  if (s.link_view) std::memset(static_cast<void*>(s.link_view), 0, sizeof(CockpitLink));
}

void follow_power(CockpitLinkState& s, ElementHeader* power_overlay, ElementHeader* top) {
  if (!s.link_view) return;
  const uint32_t power = s.link_view->power;
  if (power == s.powered) return;
  s.powered = power;
  // The overlay is the unlit face of the panel: power hides it.
  if (power)
    power_overlay->image_flags |= kImageHidden;
  else
    power_overlay->image_flags &= ~static_cast<uint32_t>(kImageHidden);
  host_call<Slot::apply_image_flags>(power_overlay);
  host_call<Slot::apply_image_flags>(top);
}

void close_cockpit_link(CockpitLinkState& s) {
  if (!s.link_handle) return;
  platform::unmap_view(s.link_view);
  platform::close_section(s.link_handle);
  s.link_handle = nullptr;
  s.link_view = nullptr;
}

}  // namespace frame
