// A fresh empty folder under the system's temporary folder, made the working folder while it
// lives (for "mav.cfg" and the COMn links); the previous one is restored and the folder
// removed when it goes. Header-only, so the fuzz targets can use it without the test library.
#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

class WorkingFolder {
 public:
  WorkingFolder() : previous_(std::filesystem::current_path()) {
    static std::mt19937_64 names{std::random_device{}()};
    do {
      path_ = std::filesystem::temp_directory_path() / ("dorvik-test-" + std::to_string(names()));
    } while (!std::filesystem::create_directory(path_));
    std::filesystem::current_path(path_);
  }
  ~WorkingFolder() {
    std::error_code error;
    std::filesystem::current_path(previous_, error);
    std::filesystem::remove_all(path_, error);
  }
  WorkingFolder(const WorkingFolder&) = delete;
  WorkingFolder& operator=(const WorkingFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
};
