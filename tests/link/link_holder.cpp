// A holder of the cockpit link in a process of its own: opens the link, reports on standard
// output whether it sees the test's mark (AR request 5), leaves its own (FD request 9), and closes
// the link when a byte arrives on standard input.
#include <unistd.h>

#include "frame/cockpit_link.h"

int main() {
  frame::CockpitLinkState s;
  frame::open_cockpit_link(s);
  const char seen = s.link_view && s.link_view->ar_request == 5 ? 'y' : 'n';
  if (s.link_view) s.link_view->fd_request = 9;
  if (write(1, &seen, 1) != 1) return 2;
  char go;
  if (read(0, &go, 1) != 1) return 2;
  frame::close_cockpit_link(s);
  return 0;
}
