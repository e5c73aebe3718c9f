// Stands in for an exporter that its caller has no right to end, as Windows
// refuses a caller the end of an elevated process. A test installs it
// set-user-ID root and runs the caller as another user: the program becomes
// root for good, so that the caller's kill is refused, and waits for ever.
#include <unistd.h>

int main() {
    if (setresuid(0, 0, 0) != 0) return 2;
    for (;;) pause();
}
