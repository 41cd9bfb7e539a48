#pragma once
// The cockpit link as people read it: the record in the named section the airliner modules
// share, decoded.
#include <cstdint>
#include <optional>
#include <string>

namespace host {

// Opens the section by name without creating it, describes the record line by line (power, the
// seven start flags, the three unit flags, the three requests, the six announcement slots and
// the files they name) and closes it again. "no cockpit link" if no holder has the section.
std::string describe_cockpit_link();

// The link's power word, if a holder has the section.
std::optional<uint32_t> cockpit_power();

// One line on whether the panels that follow the link are powered, and that the power overlay
// shows only in the night view.
std::string describe_power(bool night);

}  // namespace host
