// Ports for tests that talk over loopback: a port found free by binding port 0 and asking
// which one was given. Another process may take it before the test binds it; the tests
// bind at once afterwards.
#pragma once

namespace torva::test {

// A UDP port that was free on 0.0.0.0 (so on loopback too) a moment ago.
int FreeUdpPort();
// A TCP port on 127.0.0.1 that nobody listens on (a connection to it is refused).
int ClosedLoopbackPort();

}  // namespace torva::test
