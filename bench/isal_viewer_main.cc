// The viewer as it would be linked with ISA-L, which Debian ships as a shared
// library only: the program is then dynamically linked. Used by bench/inflate
// to weigh that start-up cost against the static program's.
#include <isa-l/igzip_lib.h>

#include "gateway/gateway_main.h"
#include "viewer/viewer_page.h"

// Keeps the library among those loaded at start, as a real use would.
int (*volatile keep_isal_inflate)(inflate_state*) = isal_inflate;

int main() { return kvo::GatewayMain(kvo::ShowViewerPage); }
