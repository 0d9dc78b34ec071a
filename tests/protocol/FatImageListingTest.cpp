// A real FAT directory, made by dosfstools and mtools, listed through the simulated unit: the
// rows must show what mdir shows (names and sizes), long-name and deleted records left out.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ProtocolFixture.h"
#include "support/FatTools.h"
#include "support/WorkingFolder.h"

namespace {

namespace fs = std::filesystem;

void writeFile(const fs::path& path, std::size_t bytes) {
  std::ofstream out(path, std::ios::binary);
  out << std::string(bytes, 'x');
}

// "NAME.EXT|<size text>", as a row shows name and size, for each file mdir lists.
std::vector<std::string> expectedRows(const std::string& image) {
  auto trim = [](std::string text) { return text.erase(text.find_last_not_of(' ') + 1); };
  std::vector<std::string> rows;
  for (const auto& entry : fat_tools::mdirEntries(image)) {
    const std::string name = trim(entry.name), extension = trim(entry.extension);
    const std::uint64_t size = entry.size == "<DIR>" ? 0 : std::stoull(entry.size);
    rows.push_back((extension.empty() ? name : name + "." + extension) + "|" + directory::sizeTextOf(size));
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

class FatImageListingTest : public ProtocolFixture {
 protected:
  WorkingFolder working;
  const fs::path& folder = working.path();
};

TEST_F(FatImageListingTest, RowsMatchWhatMdirShows) {
  const std::string image = (folder / "drive.img").string();
  if (!fat_tools::available()) GTEST_SKIP() << "dosfstools or mtools missing";
  ASSERT_TRUE(fat_tools::run("mkfs.fat -C " + image + " 4096"));

  writeFile(folder / "clip", 352800);
  writeFile(folder / "small", 1234);
  writeFile(folder / "empty", 0);
  for (const char* name : {"VID00007.MPG", "SND00012.WAV", "PLY00003.LST", "COMMAND1.BAT", "GONE.TXT"}) {
    ASSERT_TRUE(fat_tools::run("mcopy -i " + image + " " + (folder / "clip").string() + " ::" + name));
  }
  ASSERT_TRUE(fat_tools::run("mcopy -i " + image + " " + (folder / "small").string() + " ::NOTES"));
  ASSERT_TRUE(fat_tools::run("mcopy -i " + image + " " + (folder / "empty").string() + " ::EMPTY.DAT"));
  ASSERT_TRUE(fat_tools::run("mcopy -i " + image + " " + (folder / "small").string() + " '::A Long File Name.mpg'"));
  ASSERT_TRUE(fat_tools::run("mmd -i " + image + " ::SUB"));
  ASSERT_TRUE(fat_tools::run("mdel -i " + image + " ::GONE.TXT"));

  const auto expected = expectedRows(image);
  ASSERT_EQ(expected.size(), 8u) << fat_tools::output("mdir -i " + image + " ::");

  std::string error;
  ASSERT_TRUE(unit.seedFatImage(image, Internal, &error)) << error;
  ASSERT_TRUE(dialog->listDrive(Internal));

  std::vector<std::string> got;
  for (const auto& row : list(Internal).rows()) got.push_back(row.cells[0] + "|" + row.cells[2]);
  std::sort(got.begin(), got.end());
  EXPECT_EQ(got, expected);
  EXPECT_EQ(dialog->internalCapacityBytes, fs::file_size(image));
}

}  // namespace
