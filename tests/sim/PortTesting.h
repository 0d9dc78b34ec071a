// A MemoryPort on a virtual clock, wired to a seeded Unit, with helpers that read what arrives.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SimTesting.h"
#include "sim/MemoryPort.h"

namespace simtest {

constexpr std::int64_t kMs = 1000;

struct Received {
  std::string bytes;
  std::vector<std::int64_t> atUs;  // the clock as each byte was read
  int end = 0;                     // the result of the read that got no byte
  std::int64_t endUs = 0;          // the clock after it
};

struct Rig {
  Rig() {
    EXPECT_TRUE(
        unit.seedManifest("[internal]\ncapacity 100000\nVID00001.MPG 352800\n[removable]\nVID00012.MPG 1764000\n"));
    EXPECT_TRUE(port.openDevice(0));
  }

  void send(const std::string& line) {
    for (char c : line + "\r") EXPECT_TRUE(port.writeByte(static_cast<std::uint8_t>(c)));
  }

  // Reads byte after byte with the limit until a read gets none.
  Received collect(int limitMs) {
    Received received;
    for (;;) {
      const int value = port.readByte(limitMs);
      if (value < 0) {
        received.end = value;
        break;
      }
      received.bytes.push_back(static_cast<char>(value));
      received.atUs.push_back(clock.nowUs());
    }
    received.endUs = clock.nowUs();
    return received;
  }

  sim::Unit unit;
  sim::VirtualClock clock;
  sim::MemoryPort port{unit, clock};
};

}  // namespace simtest
