#pragma once
// The program from start to end: splash, windows, logon, message loop, and
// the Ending phase that writes the settings on every way out.
namespace morvane {
int runMorvane(int argc, char** argv);
}
