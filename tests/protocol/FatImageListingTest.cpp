// A real FAT directory, made by dosfstools and mtools, listed through the simulated unit: the
// rows must show what mdir shows (names and sizes), long-name and deleted records left out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "ProtocolFixture.h"
#include "support/WorkingFolder.h"

namespace {

namespace fs = std::filesystem;

const char kToolPath[] = "PATH=\"$PATH:/usr/sbin:/sbin\" MTOOLS_SKIP_CHECK=1 ";

bool run(const std::string& command) { return std::system((kToolPath + command + " >/dev/null 2>&1").c_str()) == 0; }

std::string output(const std::string& command) {
  std::string text;
  if (FILE* pipe = popen((kToolPath + command).c_str(), "r")) {
    char chunk[4096];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) text.append(chunk, got);
    pclose(pipe);
  }
  return text;
}

void writeFile(const fs::path& path, std::size_t bytes) {
  std::ofstream out(path, std::ios::binary);
  out << std::string(bytes, 'x');
}

// "NAME.EXT|<size>" for each entry line of mdir's listing ("NAME     EXT   size date time").
std::vector<std::string> mdirEntries(const std::string& listing) {
  static const std::regex kEntry(R"(^(\S.{7}) (.{3}) +(\d+|<DIR>) )");
  std::vector<std::string> entries;
  std::istringstream lines(listing);
  for (std::string line; std::getline(lines, line);) {
    std::smatch match;
    if (!std::regex_search(line, match, kEntry)) continue;
    auto trim = [](std::string text) { return text.erase(text.find_last_not_of(' ') + 1); };
    const std::string name = trim(match[1]), extension = trim(match[2]);
    const std::string size = match[3] == "<DIR>" ? "0" : std::string(match[3]);
    entries.push_back((extension.empty() ? name : name + "." + extension) + "|" + size);
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

class FatImageListingTest : public ProtocolFixture {
 protected:
  WorkingFolder working;
  const fs::path& folder = working.path();
};

TEST_F(FatImageListingTest, RowsMatchWhatMdirShows) {
  const std::string image = (folder / "drive.img").string();
  if (!run("mkfs.fat -C " + image + " 4096") || !run("mdir -V")) GTEST_SKIP() << "dosfstools or mtools missing";

  writeFile(folder / "clip", 352800);
  writeFile(folder / "small", 1234);
  writeFile(folder / "empty", 0);
  for (const char* name : {"VID00007.MPG", "SND00012.WAV", "PLY00003.LST", "COMMAND1.BAT", "GONE.TXT"}) {
    ASSERT_TRUE(run("mcopy -i " + image + " " + (folder / "clip").string() + " ::" + name));
  }
  ASSERT_TRUE(run("mcopy -i " + image + " " + (folder / "small").string() + " ::NOTES"));
  ASSERT_TRUE(run("mcopy -i " + image + " " + (folder / "empty").string() + " ::EMPTY.DAT"));
  ASSERT_TRUE(run("mcopy -i " + image + " " + (folder / "small").string() + " '::A Long File Name.mpg'"));
  ASSERT_TRUE(run("mmd -i " + image + " ::SUB"));
  ASSERT_TRUE(run("mdel -i " + image + " ::GONE.TXT"));

  const auto expected = mdirEntries(output("mdir -i " + image + " ::"));
  ASSERT_EQ(expected.size(), 8u) << output("mdir -i " + image + " ::");

  std::string error;
  ASSERT_TRUE(unit.seedFatImage(image, Internal, &error)) << error;
  ASSERT_TRUE(dialog->listDrive(Internal));

  std::vector<std::string> got;
  for (const auto& row : list(Internal).rows()) got.push_back(row.cells[0] + "|" + row.cells[2]);
  std::sort(got.begin(), got.end());
  std::vector<std::string> expectedRows;
  for (const auto& entry : expected) {
    const auto bar = entry.find('|');
    expectedRows.push_back(entry.substr(0, bar + 1) + directory::sizeTextOf(std::stoul(entry.substr(bar + 1))));
  }
  std::sort(expectedRows.begin(), expectedRows.end());
  EXPECT_EQ(got, expectedRows);
  EXPECT_EQ(dialog->internalCapacityBytes, fs::file_size(image));
}

}  // namespace
