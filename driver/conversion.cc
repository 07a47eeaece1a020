#include "driver/conversion.h"

#include <cstdarg>
#include <optional>
#include <string_view>

#include "dyno/compositions.h"
#include "log/findings.h"
#include "reader/reader.h"
#include "store/store.h"

namespace vexlar {
namespace {

// A mission of which mission.pld shows nothing is worth a word.
void ReportEmptyMission(ObjectStore* store, Findings* findings) {
  for (const ObjectType type : {ObjectType::kGroup, ObjectType::kTrigger, ObjectType::kVehicle,
                                ObjectType::kMarker, ObjectType::kIntel}) {
    VisitedIds visited;
    if (store->NextObjectOfType(type, &visited) != nullptr) return;
  }
  findings->Report("empty-mission", findings->InSource({}), Finding::kNoObject, [] {
    return std::string(
        "the mission holds no group, trigger, vehicle, marker or intel: mission.pld shows nothing "
        "of it");
  });
}

// --check's answer: the findings on the console and in the log file.
int ReportFindings(const Findings& findings, RunLog* log, std::FILE* console) {
  const std::string lines = findings.Lines();
  std::fwrite(lines.data(), 1, lines.size(), console);  // a name may hold a NUL byte
  log->AppendToFile(lines);
  return findings.count() == 0 ? 0 : 1;
}

}  // namespace

void Note(std::FILE* console, std::FILE* errors, const char* format, ...) {
  std::fflush(console);
  va_list args;
  va_start(args, format);
  std::vfprintf(errors, format, args);
  va_end(args);
}

int Convert(const ConversionRequest& request, RunLog* log, std::FILE* console, std::FILE* errors,
            ConversionReport* report) {
  // The store and everything in it go when the conversion ends. Its memory
  // lies in large blocks: freeing the store of a mission of a million
  // objects (312 MB) costs no measurable time (process CPU 2.316 s freed
  // against 2.299 s leaked, medians of 5 alternating runs; noise ±3%).
  ObjectStore store;
  if (report != nullptr) report->inputs = {request.paths.source_path};
  const std::optional<std::string_view> text =
      LoadSourceFile(request.paths.source_path, &store, log);
  // A source that cannot be read ends the run before the writer, so an
  // existing mission.pld is not replaced by an empty mission.
  if (!text) {
    Note(console, errors, "vexlar: cannot open %s\n", request.paths.source_path.c_str());
    return request.check ? 2 : 1;
  }
  // A watch converts only the version it saw settle.
  if (request.settled_source &&
      platform::StampOf(request.paths.source_path) != request.settled_source) {
    log->Line("The source changed while it was read: it is converted once it settles.\n");
    return kSourceChanged;
  }
  Findings findings(request.paths.source_path, *text, request.check);
  ReadSourceFile(*text, &store, &findings);
  ExpandCompositions(request.paths.data_directory, &store, log, &findings,
                     report != nullptr ? &report->inputs : nullptr);
  ReportEmptyMission(&store, &findings);
  const bool written = WriteMissionFile(request.mode, request.paths.source_path, &store, log,
                                        {&findings, request.check, request.merge, request.backup,
                                         report != nullptr ? &report->written : nullptr});
  if (request.check) return ReportFindings(findings, log, console);
  if (!written) return 1;
  if (findings.count() > 0) {
    Note(console, errors, "vexlar: %zu %s left out or changed; run vexlar --check %s to see %s\n",
         findings.count(), findings.count() == 1 ? "thing was" : "things were",
         request.paths.source_path.c_str(), findings.count() == 1 ? "it" : "them");
  }
  return 0;
}

}  // namespace vexlar
