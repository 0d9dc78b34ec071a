// dosfstools and mtools, run through the shell, for the tests that check the simulator and the
// listing against real FAT images.
#pragma once

#include <string>
#include <vector>

namespace fat_tools {

// True when mkfs.fat, mcopy, mdel, mmd and mdir can be run.
bool available();
// Runs a shell command with /usr/sbin and /sbin on PATH (mkfs.fat lives there) and mtools'
// geometry check off; true when it ended with status 0. What it printed is dropped.
bool run(const std::string& command);
// What a command run as run() does printed, standard error included.
std::string output(const std::string& command);

// One entry line of mdir's listing of an image's root ("NAME     EXT   size date time"),
// its fields as mdir pads them.
struct MdirEntry {
  std::string name;       // 8 characters
  std::string extension;  // 3 characters
  std::string size;       // digits, or "<DIR>"
};
std::vector<MdirEntry> mdirEntries(const std::string& image);

}  // namespace fat_tools
