// Seeding from real FAT12/16 images made with dosfstools and mtools, and a pass of broken
// images that must only ever give an error.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <regex>
#include <sstream>

#include "SimTesting.h"

namespace {

namespace fs = std::filesystem;

bool haveTool(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs a shell command and gives what it printed, through a file so that no pipe API is needed.
std::string run(const std::string& command, const fs::path& folder) {
  const fs::path output = folder / "command-output.txt";
  [[maybe_unused]] const int status = std::system((command + " > '" + output.string() + "' 2>&1").c_str());
  std::ifstream file(output);
  return {std::istreambuf_iterator<char>(file), {}};
}

// Name field -> size, as mdir lists the short names.
std::map<std::string, std::uint32_t> mdirListing(const std::string& image, const fs::path& folder) {
  std::map<std::string, std::uint32_t> files;
  const std::regex row(R"(^(.{8}) (.{3}) +(\d+) \d{4}-\d\d-\d\d.*)");
  std::istringstream lines(run("mdir -i '" + image + "' ::", folder));
  for (std::string line; std::getline(lines, line);) {
    std::smatch match;
    if (std::regex_match(line, match, row)) files[match[1].str() + match[2].str()] = std::stoul(match[3]);
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
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

class FatImage : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!haveTool("mcopy") || !haveTool("mdir") || !haveTool("mformat")) GTEST_SKIP() << "mtools missing";
    std::random_device entropy;
    fs::path unique;
    do {
      unique = fs::temp_directory_path() / ("dorvik-fat-" + std::to_string(entropy()));
    } while (!fs::create_directory(unique));
    folder = unique.string();
  }
  void TearDown() override {
    if (!folder.empty()) fs::remove_all(folder);
  }

  // A formatted image with a clip, a long name, a name without extension, a short extension
  // and a deleted file. fat16: a 20 MB volume instead of a 1.44 MB floppy.
  std::string makeImage(bool fat16) {
    const std::string image = folder + (fat16 ? "/fat16.img" : "/floppy.img");
    const std::string mkfs = haveTool("mkfs.fat") ? "mkfs.fat" : fs::exists("/usr/sbin/mkfs.fat") ? "/usr/sbin/mkfs.fat" : "";
    if (fat16 && !mkfs.empty()) {
      run(mkfs + " -F 16 -n DEMOVOL -C '" + image + "' 20480", folder);
    } else if (!mkfs.empty()) {
      run(mkfs + " -n DEMOVOL -C '" + image + "' 1440", folder);
    } else {
      run("mformat -C -f 1440 -v DEMOVOL -i '" + image + "' ::", folder);
    }
    const std::string clip = folder + "/clip", small = folder + "/small";
    std::ofstream(clip).close();
    fs::resize_file(clip, 352800);
    std::ofstream(small) << "hello\n";
    for (const char* target : {"::VID00007.MPG", "::DEL.MPG"}) {
      run("mcopy -i '" + image + "' '" + clip + "' " + target, folder);
    }
    for (const char* target : {"'::A long file name.txt'", "::README", "::X.Y"}) {
      run("mcopy -i '" + image + "' '" + small + "' " + target, folder);
    }
    run("mdel -i '" + image + "' ::DEL.MPG", folder);
    return image;
  }

  std::string folder;
};

TEST_F(FatImage, RootDirectoryMatchesWhatMdirLists) {
  for (bool fat16 : {false, true}) {
    if (fat16 && !haveTool("mkfs.fat") && !fs::exists("/usr/sbin/mkfs.fat")) continue;
    const std::string image = makeImage(fat16);
    sim::Unit unit;
    std::string error;
    ASSERT_TRUE(unit.seedFatImage(image, Removable, &error)) << error;
    const auto& drive = unit.drive(Removable);
    const auto listed = mdirListing(image, folder);
    ASSERT_EQ(listed.size(), 4u) << run("mdir -i '" + image + "' ::", folder);
    EXPECT_EQ(fileRecords(drive), listed);
    EXPECT_EQ(listed.at("VID00007MPG"), 352800u);
    EXPECT_EQ(drive.sectors, fat16 ? 40960u : 2880u);

    int longNames = 0, deleted = 0, volumes = 0;
    for (std::size_t at = 0; at < sim::kDirectoryBytes; at += sim::kRecordBytes) {
      const std::uint8_t attribute = drive.directory[at + 11];
      if (drive.directory[at] == 0) continue;
      if (drive.directory[at] == sim::kDeletedMarker) ++deleted;
      else if ((attribute & sim::kAttrLongName) == sim::kAttrLongName) ++longNames;
      else if (attribute & sim::kAttrVolume) ++volumes;
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
  } fields[] = {{"no signature", 510, {0, 0}}, {"bytes per sector 0", 11, {0, 0}},
                {"bytes per sector 3", 11, {3, 0}}, {"bytes per sector 8192", 11, {0, 0x20}},
                {"cluster size 3", 13, {3}}, {"no reserved sectors", 14, {0, 0}},
                {"reserved sectors beyond the file", 14, {0xFF, 0xFF}}, {"no FAT", 16, {0}},
                {"no root entries", 17, {0, 0}}, {"root beyond the file", 17, {0xFF, 0xFF}},
                {"no sectors per FAT", 22, {0, 0}}, {"too few sectors", 19, {10, 0}}};
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
