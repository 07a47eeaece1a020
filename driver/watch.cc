#include "driver/watch.h"

namespace vexlar {
namespace {

using Stamps = std::vector<std::optional<platform::FileStamp>>;

Stamps StampsOf(const std::vector<std::string>& paths) {
  Stamps stamps;
  stamps.reserve(paths.size());
  for (const std::string& path : paths) stamps.push_back(platform::StampOf(path));
  return stamps;
}

// Waits until the files have stayed as `*now` for kSettleMilliseconds, and
// leaves their stamps then in `*now`. False on an interrupt.
bool Settle(const std::vector<std::string>& paths, Stamps* now) {
  unsigned unchanged = 0;
  while (unchanged < kSettleMilliseconds) {
    platform::Pause(kWatchPollMilliseconds);
    if (platform::Interrupted()) return false;
    Stamps again = StampsOf(paths);
    if (again == *now) {
      unchanged += kWatchPollMilliseconds;
    } else {
      *now = std::move(again);
      unchanged = 0;
    }
  }
  return true;
}

}  // namespace

int Watch(const ConvertForWatch& convert, const std::function<void(const std::string&)>& tell) {
  ConversionReport report;
  int status = convert(std::nullopt, std::nullopt, &report);
  std::vector<std::string> inputs = report.inputs;
  if (inputs.empty()) return status;          // no source to watch: the run told why
  const std::string source = inputs.front();  // a copy: `inputs` is replaced later
  const std::string watching = "Watching " + source + " for changes; press Ctrl+C to end.\n";
  std::optional<platform::FileStamp> written = report.written;
  Stamps stamps = StampsOf(inputs);
  tell(watching);
  bool told_gone = false;
  while (!platform::Interrupted()) {
    platform::Pause(kWatchPollMilliseconds);
    Stamps now = StampsOf(inputs);
    if (now == stamps || platform::Interrupted()) continue;
    if (!now.front()) {  // deleted, renamed, or its folder moved
      if (!told_gone) tell("The source " + source + " is gone; waiting for it to come back.\n");
      told_gone = true;
      stamps = std::move(now);
      continue;
    }
    if (!Settle(inputs, &now)) break;
    told_gone = false;
    report = {};
    const int run = convert(now.front(), written, &report);
    if (run == kSourceChanged) continue;  // `stamps` as they were: the change is seen again
    status = run;
    if (report.written) written = report.written;
    inputs = std::move(report.inputs);
    stamps = StampsOf(inputs);
    stamps.front() = now.front();  // a save during the conversion is seen next time
    tell(watching);
  }
  return status;
}

}  // namespace vexlar
