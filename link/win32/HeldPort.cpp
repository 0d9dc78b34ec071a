// Windows closes every handle of a process that ends, however it ends: nothing to release.
#include "link/SerialPort.h"

void releaseOpenPort() {}
void releasePortOnExitSignals() {}
void keepStandardStreamsOpen() {}
