// Seeding from real FAT12/16 images made with dosfstools and mtools, and a pass of broken
// images that must only ever give an error.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>

#include "SimTesting.h"
#include "support/FatTools.h"
#include "support/WorkingFolder.h"

namespace {

namespace fs = std::filesystem;

// Name field -> size, for each file mdir lists.
std::map<std::string, std::uint32_t> mdirListing(const std::string& image) {
  std::map<std::string, std::uint32_t> files;
  for (const auto& entry : fat_tools::mdirEntries(image)) {
    if (entry.size != "<DIR>") files[entry.name + entry.extension] = static_cast<std::uint32_t>(std::stoul(entry.size));
  }
  return files;
}

std::map<std::string, std::uint32_t> fileRecords(const sim::Drive& drive) {
  std::map<std::string, std::uint32_t> files;
  for (int i = 0; i < static_cast<int>(sim::kRecords); ++i) {
    const auto name = simtest::recordName(drive, i);
    if (drive.find(name) == i) files[name] = drive.fileSize(i);
  }
  return files;
}

std::vector<std::uint8_t> readFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class FatImage : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fat_tools::available()) GTEST_SKIP() << "dosfstools or mtools missing";
  }

  // A formatted image with a clip, a long name, a name without extension, a short extension
  // and a deleted file. fat16: a 20 MB volume instead of a 1.44 MB floppy.
  std::string makeImage(bool fat16) {
    const std::string image = folder + (fat16 ? "/fat16.img" : "/floppy.img");
    fat_tools::run(std::string("mkfs.fat ") + (fat16 ? "-F 16 " : "") + "-n DEMOVOL -C '" + image + "' " +
                   (fat16 ? "20480" : "1440"));
    const std::string clip = folder + "/clip", small = folder + "/small";
    std::ofstream(clip).close();
    fs::resize_file(clip, 352800);
    std::ofstream(small) << "hello\n";
    for (const char* target : {"::VID00007.MPG", "::DEL.MPG"}) {
      fat_tools::run("mcopy -i '" + image + "' '" + clip + "' " + target);
    }
    for (const char* target : {"'::A long file name.txt'", "::README", "::X.Y"}) {
      fat_tools::run("mcopy -i '" + image + "' '" + small + "' " + target);
    }
    fat_tools::run("mdel -i '" + image + "' ::DEL.MPG");
    return image;
  }

  WorkingFolder working;
  const std::string folder = working.path().string();
};

TEST_F(FatImage, RootDirectoryMatchesWhatMdirLists) {
  for (bool fat16 : {false, true}) {
    const std::string image = makeImage(fat16);
    sim::Unit unit;
    std::string error;
    ASSERT_TRUE(unit.seedFatImage(image, Removable, &error)) << error;
    const auto& drive = unit.drive(Removable);
    const auto listed = mdirListing(image);
    ASSERT_EQ(listed.size(), 4u) << fat_tools::output("mdir -i '" + image + "' ::");
    EXPECT_EQ(fileRecords(drive), listed);
    EXPECT_EQ(listed.at("VID00007MPG"), 352800u);
    EXPECT_EQ(drive.sectors, fat16 ? 40960u : 2880u);

    int longNames = 0, deleted = 0, volumes = 0;
    for (std::size_t at = 0; at < sim::kDirectoryBytes; at += sim::kRecordBytes) {
      const std::uint8_t attribute = drive.directory[at + 11];
      if (drive.directory[at] == 0) continue;
      if (drive.directory[at] == sim::kDeletedMarker)
        ++deleted;
      else if ((attribute & sim::kAttrLongName) == sim::kAttrLongName)
        ++longNames;
      else if (attribute & sim::kAttrVolume)
        ++volumes;
    }
    EXPECT_GE(longNames, 1);
    EXPECT_GE(deleted, 1);
    EXPECT_EQ(volumes, 1);
    // Served as it stands: select the drive and the ?D reply is the table.
    simtest::exchange(unit, "1SL");
    EXPECT_EQ(simtest::exchange(unit, "?D"), std::string(drive.directory.begin(), drive.directory.end()));
    EXPECT_EQ(simtest::exchange(unit, "VID00007MPGDL"), "R\rR\r");
  }
}

TEST_F(FatImage, BrokenImagesGiveAnErrorAndChangeNothing) {
  const std::string good = makeImage(false);
  const auto bytes = readFile(good);
  ASSERT_GT(bytes.size(), 20000u);
  std::vector<std::pair<std::string, std::vector<std::uint8_t>>> broken;
  std::mt19937 random(1003);
  for (std::size_t size : {0, 1, 511, 512, 513, 4096, 100000}) {
    std::vector<std::uint8_t> noise(size);
    for (auto& byte : noise) byte = static_cast<std::uint8_t>(random());
    broken.emplace_back("random " + std::to_string(size), noise);
  }
  // The floppy's root directory ends at (1 + 2 * 9) * 512 + 224 * 32 = 16896.
  for (std::size_t size : {0, 100, 510, 512, 9728, 16895}) {
    broken.emplace_back("truncated to " + std::to_string(size),
                        std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size)));
  }
  const struct {
    const char* what;
    std::size_t offset;
    std::vector<std::uint8_t> value;
  } fields[] = {{"no signature", 510, {0, 0}},
                {"bytes per sector 0", 11, {0, 0}},
                {"bytes per sector 3", 11, {3, 0}},
                {"bytes per sector 8192", 11, {0, 0x20}},
                {"cluster size 3", 13, {3}},
                {"no reserved sectors", 14, {0, 0}},
                {"reserved sectors beyond the file", 14, {0xFF, 0xFF}},
                {"no FAT", 16, {0}},
                {"no root entries", 17, {0, 0}},
                {"root beyond the file", 17, {0xFF, 0xFF}},
                {"no sectors per FAT", 22, {0, 0}},
                {"too few sectors", 19, {10, 0}}};
  for (const auto& field : fields) {
    auto mutated = bytes;
    std::copy(field.value.begin(), field.value.end(), mutated.begin() + static_cast<std::ptrdiff_t>(field.offset));
    broken.emplace_back(field.what, mutated);
  }
  for (const auto& [what, content] : broken) {
    const std::string path = folder + "/broken.img";
    writeFile(path, content);
    sim::Unit unit;
    ASSERT_TRUE(unit.seedManifest("[internal]\nKEEP.ME 1\n"));
    std::string error;
    EXPECT_FALSE(unit.seedFatImage(path, Internal, &error)) << what;
    EXPECT_NE(error.find(path), std::string::npos) << what << ": " << error;
    EXPECT_EQ(unit.drive(Internal).find("KEEP    ME "), 0) << what;
  }
  sim::Unit unit;
  std::string error;
  EXPECT_FALSE(unit.seedFatImage(folder + "/missing.img", Internal, &error));
  EXPECT_FALSE(unit.seedFatImage(folder, Internal, &error)) << "a folder is no image";
  writeFile(folder + "/exact.img", std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 16896));
  EXPECT_TRUE(unit.seedFatImage(folder + "/exact.img", Internal, &error))
      << "an image cut right after its root directory still has all its records: " << error;
}

}  // namespace
