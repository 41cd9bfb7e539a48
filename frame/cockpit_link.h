#pragma once
// The cockpit link: a named shared section through which the airliner modules (the radio panel
// and the autopilot) share power, start-up state, requests and the cabin-announcement choice.
// Every module holds its own handle and view; the section lives while any holder has a handle.
#include <cstddef>
#include <cstdint>

#include "frame/records.h"
#include "platform/shared_section.h"

namespace frame {

inline constexpr char kCockpitLinkName[] = "TarvexQ90_COM_IPC";

inline constexpr int kAnnouncementSlots = 6;
// The announcement categories, in slot order; each slot names its file by a suffix of "_" and
// one digit after this prefix.
inline constexpr const char* kAnnouncementPrefixes[kAnnouncementSlots] = {
    "CD_CapClimb_", "CD_Rotate_", "CD_AfterLanding_", "CD_BoardingDone_", "PB_ByeBye_", "CD_Music_"};

// The record at the start of the section: little-endian words, packed so that it ends right
// after the six 3-byte text slots.
#pragma pack(push, 1)
struct CockpitLink {
  uint32_t power;
  uint32_t unused_04[3];
  uint32_t start_flags[7];
  uint32_t unit_flags[3];  // for start-up tokens 130, 165, 200
  uint32_t unused_38[3];
  uint32_t vr_request;
  uint32_t ar_request;
  uint32_t fd_request;
  uint32_t unused_50[21];
  char announcement_slots[kAnnouncementSlots][3];  // "_" + digit + zero, or a zero first byte
};
#pragma pack(pop)

static_assert(sizeof(CockpitLink) == 182);
static_assert(offsetof(CockpitLink, start_flags) == 16 && offsetof(CockpitLink, unit_flags) == 44);
static_assert(offsetof(CockpitLink, unused_38) == 56 && offsetof(CockpitLink, vr_request) == 68);
static_assert(offsetof(CockpitLink, ar_request) == 72 && offsetof(CockpitLink, fd_request) == 76);
static_assert(offsetof(CockpitLink, unused_50) == 80);
static_assert(offsetof(CockpitLink, announcement_slots) == 164);

// One module's hold on the link. Module-level in each module; powered outlives kill and
// re-install, so a module whose link comes back sees a change only if power really changed.
struct CockpitLinkState {
  platform::SectionHandle link_handle = nullptr;
  CockpitLink* link_view = nullptr;
  uint32_t powered = 0;
};

// Opens the section, creating it if no holder has it yet; without it the module runs unlinked.
void open_cockpit_link(CockpitLinkState& s);
// Clears the record (not the rest of the section).
void reset_cockpit_link(CockpitLinkState& s);
// Follows the link's power word: on a change, powered takes it and the overlay shows it.
void follow_power(CockpitLinkState& s, ElementHeader* power_overlay, ElementHeader* top);
void close_cockpit_link(CockpitLinkState& s);

}  // namespace frame
