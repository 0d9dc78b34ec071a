// dorvik-bench: measures the program against the unit simulator on a pseudo-terminal, through
// the real POSIX port, the global serialLink and the explorer window's logic on the in-memory
// desktop. It prints, in one run:
//   (a) one drive's listing at 9600 baud against the line-rate limit for the bytes moved plus
//       the 100 ms drains the listing must make;
//   (b) one transaction with a unit that answers at once against its three drains;
//   (c) the CPU time the program's thread used during the paced listing, as a share of its
//       wall time (the simulator's thread is shown apart), beside the share a bare loop of
//       poll and read takes on the same kind of line: what the host charges for the wake-up
//       each byte needs, whatever the program does around it.
// Each figure has a target; the exit status is 1 when one is missed. Not a test: it takes
// about 27 seconds of real time.
#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "link/SerialLink.h"
#include "platform/memory/MemoryDesktop.h"
#include "sim/PtyUnit.h"
#include "sim/Unit.h"
#include "ui/ExplorerDialog.h"
#include "ui/ProgressDialog.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr double kLineRateBytesPerSecond = 9600.0 / 10;  // 8 data bits, start and stop bit
constexpr double kDrainSeconds = SerialLink::kDrainQuietMs / 1000.0;
constexpr int kTransactions = 20;
constexpr double kListingTarget = 1.03;
constexpr double kTransactionTarget = 1.02;
constexpr double kCpuShareTarget = 0.01;

// The system's port with a count of what went through it: every byte read, and every drain
// (a drain ends with the one read that waits out its quiet time).
class CountingPort : public SerialPort {
 public:
  explicit CountingPort(std::unique_ptr<SerialPort> port) : port_(std::move(port)) {}

  bool openDevice(int index) override { return port_->openDevice(index); }
  bool getState(LineSettings& settings) override { return port_->getState(settings); }
  bool setState(const LineSettings& settings) override { return port_->setState(settings); }
  bool writeByte(std::uint8_t value) override { return port_->writeByte(value); }
  int readByte(int timeoutMs) override {
    const int value = port_->readByte(timeoutMs);
    if (value >= 0) ++bytesRead;
    if (value == kReadTimedOut && timeoutMs == SerialLink::kDrainQuietMs) ++drains;
    return value;
  }
  bool closeDevice() override { return port_->closeDevice(); }
  std::uint32_t lastError() const override { return port_->lastError(); }
  std::string lastErrorText() const override { return port_->lastErrorText(); }

  long bytesRead = 0;
  long drains = 0;

 private:
  std::unique_ptr<SerialPort> port_;
};

// CPU seconds of the calling thread, and of the whole process.
double threadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double processCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// A pseudo-terminal fed one byte every 9600-baud byte time by another thread, read by a loop
// that only polls and reads, as the port does: the CPU share of that loop.
double bareLoopCpuShare() {
  constexpr int kBytes = 2000;
  int master = -1;
  int slave = -1;
  termios raw{};
  cfmakeraw(&raw);
  if (openpty(&master, &slave, nullptr, &raw, nullptr) != 0) return 0;
  std::thread feeder([master] {
    auto next = Clock::now();
    const std::uint8_t byte = 0x55;
    for (int i = 0; i < kBytes; ++i) {
      next += std::chrono::microseconds(sim::kBytePeriod9600Us);
      std::this_thread::sleep_until(next);
      if (::write(master, &byte, 1) != 1) break;
    }
  });
  const double cpuBefore = threadCpuSeconds();
  const auto start = Clock::now();
  for (int i = 0; i < kBytes; ++i) {
    pollfd ready{slave, POLLIN, 0};
    std::uint8_t byte = 0;
    if (::poll(&ready, 1, 2000) != 1 || ::read(slave, &byte, 1) != 1) break;
  }
  const double share = (threadCpuSeconds() - cpuBefore) / secondsSince(start);
  feeder.join();
  ::close(master);
  ::close(slave);
  return share;
}

const char* verdict(bool met) { return met ? "met" : "MISSED"; }

// The Internal Drive full: 511 records, every one listed.
std::string fullDriveManifest() {
  std::string manifest = "[internal]\ncapacity 16000000\n";
  char line[32];
  for (int clip = 1; clip <= 511; ++clip) {
    std::snprintf(line, sizeof line, "VID%05d.MPG %d\n", clip, 176400 * (clip % 60 + 1));
    manifest += line;
  }
  return manifest;
}

struct ListingFigures {
  int rows = 0;
  long bytes = 0;
  long drains = 0;
  double seconds = 0;
  double threadCpu = 0;     // the program's thread
  double simulatorCpu = 0;  // the rest of the process
};

struct TransactionFigures {
  double drains = 0;  // per transaction
  double averageSeconds = 0;
  double longestSeconds = 0;
};

class Bench {
 public:
  // A fresh folder as the working folder, the simulator linked there as COM1, the link open.
  bool start();
  ~Bench();

  bool listPaced(ListingFigures& figures);
  bool transactInstantly(TransactionFigures& figures);

 private:
  fs::path previous_;
  fs::path folder_;
  sim::Unit unit_;
  std::unique_ptr<sim::PtyUnit> pty_;
  CountingPort* port_ = nullptr;
  platform::memory::MemoryDesktop desktop_;
  std::unique_ptr<ExplorerDialog> dialog_;
  platform::memory::MemoryExplorerWindow* window_ = nullptr;
};

bool Bench::start() {
  previous_ = fs::current_path();
  char pattern[] = "/tmp/dorvik-bench-XXXXXX";
  if (!mkdtemp(pattern)) return false;
  folder_ = pattern;
  fs::current_path(folder_);
  std::string error;
  if (!unit_.seedManifest(fullDriveManifest(), &error)) {
    std::fprintf(stderr, "dorvik-bench: %s\n", error.c_str());
    return false;
  }
  pty_ = std::make_unique<sim::PtyUnit>(unit_);
  if (!pty_->createLink(folder_.string(), 1)) return false;
  auto port = std::make_unique<CountingPort>(makeSystemPort());
  port_ = port.get();
  serialLink.setPort(std::move(port));
  const std::string message = serialLink.open(0, 9600, 0);
  if (!message.empty()) {
    std::fprintf(stderr, "dorvik-bench: %s\n", message.c_str());
    return false;
  }
  progressDialog.attach(&desktop_);
  dialog_ = std::make_unique<ExplorerDialog>(desktop_);
  window_ = &desktop_.open(*dialog_);
  return true;
}

Bench::~Bench() {
  dialog_.reset();
  progressDialog.attach(nullptr);
  serialLink.close();
  pty_.reset();
  std::error_code ignored;
  if (!previous_.empty()) fs::current_path(previous_, ignored);
  if (!folder_.empty()) fs::remove_all(folder_, ignored);
}

bool Bench::listPaced(ListingFigures& figures) {
  unit_.setBytePeriodUs(sim::kBytePeriod9600Us);
  const long bytesBefore = port_->bytesRead;
  const long drainsBefore = port_->drains;
  const double threadBefore = threadCpuSeconds();
  const double processBefore = processCpuSeconds();
  const auto start = Clock::now();
  if (!dialog_->listDrive(Internal)) return false;
  figures.seconds = secondsSince(start);
  figures.threadCpu = threadCpuSeconds() - threadBefore;
  figures.simulatorCpu = processCpuSeconds() - processBefore - figures.threadCpu;
  figures.bytes = port_->bytesRead - bytesBefore;
  figures.drains = port_->drains - drainsBefore;
  figures.rows = window_->internalList.rowCount();
  return true;
}

bool Bench::transactInstantly(TransactionFigures& figures) {
  unit_.setBytePeriodUs(0);
  double total = 0;
  const long drainsBefore = port_->drains;
  for (int i = 0; i < kTransactions; ++i) {
    const auto start = Clock::now();
    if (!dialog_->sendCommand("0SL")) return false;
    const double took = secondsSince(start);
    total += took;
    figures.longestSeconds = std::max(figures.longestSeconds, took);
  }
  figures.drains = static_cast<double>(port_->drains - drainsBefore) / kTransactions;
  figures.averageSeconds = total / kTransactions;
  return true;
}

// Prints the three figures with their targets; true when all are met.
bool report(const ListingFigures& listing, const TransactionFigures& transaction, double bareLoopShare) {
  const double lineSeconds = static_cast<double>(listing.bytes) / kLineRateBytesPerSecond;
  const double listingLimit = lineSeconds + static_cast<double>(listing.drains) * kDrainSeconds;
  const double listingRatio = listing.seconds / listingLimit;
  std::printf(
      "(a) one drive's listing at 9600 baud (%d rows): %ld bytes = %.4f s on the line + %ld drains = "
      "%.4f s; took %.4f s = %.4f x   [target %.2f x: %s]\n",
      listing.rows, listing.bytes, lineSeconds, listing.drains, listingLimit, listing.seconds, listingRatio,
      kListingTarget, verdict(listingRatio <= kListingTarget));

  const double transactionLimit = transaction.drains * kDrainSeconds;
  const double transactionRatio = transaction.averageSeconds / transactionLimit;
  std::printf(
      "(b) one transaction, unit answering at once: %.0f drains = %.0f ms; took %.1f ms on average "
      "(longest %.1f ms) = %.4f x   [target %.2f x: %s]\n",
      transaction.drains, transactionLimit * 1000, transaction.averageSeconds * 1000, transaction.longestSeconds * 1000,
      transactionRatio, kTransactionTarget, verdict(transactionRatio <= kTransactionTarget));

  const double share = listing.threadCpu / listing.seconds;
  std::printf(
      "(c) CPU during the listing: the program's thread %.3f s of %.3f s = %.2f %% of a core   "
      "[target < %.0f %%: %s]; the simulator's thread %.2f %%; a bare poll-and-read loop %.2f %%\n",
      listing.threadCpu, listing.seconds, share * 100, kCpuShareTarget * 100, verdict(share < kCpuShareTarget),
      listing.simulatorCpu / listing.seconds * 100, bareLoopShare * 100);
  return listingRatio <= kListingTarget && transactionRatio <= kTransactionTarget && share < kCpuShareTarget;
}

}  // namespace

int main() {
  Bench bench;
  if (!bench.start()) {
    std::fprintf(stderr, "dorvik-bench: could not set up the simulator on a pseudo-terminal\n");
    return 2;
  }
  ListingFigures listing;
  TransactionFigures transaction;
  if (!bench.listPaced(listing) || !bench.transactInstantly(transaction)) {
    std::fprintf(stderr, "dorvik-bench: the simulator did not answer\n");
    return 2;
  }
  const double bareLoopShare = bareLoopCpuShare();
  std::printf("Dorvik Explorer measurements: simulator on a pseudo-terminal, the real POSIX port\n");
  return report(listing, transaction, bareLoopShare) ? 0 : 1;
}
