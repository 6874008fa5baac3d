// pylar: runs the analysis engine on project files without the desktop program.
//
//   pylar run FILE.pq8d      one project; exits with the run's status
//   pylar run --json FILE    the same, with the results as JSON on stdout
//   pylar run --methods 2018 FILE
//                            the same with the 2018 (or 1999) method set
//                            instead of the project's own
//   pylar batch [--csv SUMMARY.csv] [--methods SET] FILE...
//                            several projects; one line per project in
//                            command-line order, then a summary line; exits
//                            with 0 when all completed, otherwise with the
//                            status of the first (in command-line order) that
//                            did not
//   pylar --help, --version
//
// A wrong command line exits with 64.
#include <algorithm>
#include <cctype>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "pylar/engine.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

constexpr int kExitUsage = 64;

constexpr const char* kUsage =
    "Usage: pylar run [--json] [--methods 1999|2018] FILE.pq8d\n"
    "       pylar batch [--csv SUMMARY.csv] [--methods 1999|2018] FILE.pq8d...\n"
    "       pylar --help | --version\n";

// The help text, with the extensions of the files a run leaves.
std::string helpText() {
  using pylar::engine::RunFileKind;
  auto ext = [](RunFileKind kind) { return std::string(pylar::engine::runFileExtension(kind)); };
  return "\n"
         "Runs the pier analysis on project files without the desktop program.\n"
         "\n"
         "  run FILE.pq8d    analyses one project: writes the report (" + ext(RunFileKind::Report) + "), plot data\n"
         "                   (" + ext(RunFileKind::PlotData) + "), run notes (" + ext(RunFileKind::RunNotes) +
         "), detail listing (" + ext(RunFileKind::Detail) + ") and run\n"
         "                   record (" + ext(RunFileKind::RunRecord) + ") beside it, prints one line and exits with the\n"
         "                   run's status; a second run of the folder waits for the first\n"
         "  run --json FILE  the same, but prints the results as JSON on stdout (the one\n"
         "                   line goes to stderr)\n"
         "  batch FILE...    analyses several projects, those in different folders at the\n"
         "                   same time; prints one line per project in command-line order\n"
         "                   and a summary line; exits with 0 when every run completed,\n"
         "                   otherwise with the status of the first project that did not\n"
         "  batch --csv SUMMARY.csv FILE...\n"
         "                   the same, and writes one row per pier of every project to\n"
         "                   SUMMARY.csv (replaced only when written completely)\n"
         "  --methods 1999|2018\n"
         "                   (run and batch) analyse with the 1999 methods (FHWA-IF-99-025)\n"
         "                   or the 2018 ones (FHWA GEC-10 2018, AASHTO LRFD) instead of\n"
         "                   the project's own set; the project file is not changed\n"
         "  --help           shows this text\n"
         "  --version        shows the version\n"
         "\n"
         "Exit status: 0 run completed; 2 or 4 a load-transfer curve could not be built;\n"
         "7 no pier length within the soil profile reaches the design load; 10 bad project\n"
         "file; 11 run refused, no file touched (a result would be written over the\n"
         "project, two projects would write the same files, or the folder stayed busy);\n"
         "12 a result file could not be written;\n"
         "99 internal fault; 64 wrong command line.\n";
}

// Why the engine refused a run, in the command line's words: it names every
// file after the project, so the refusal says which files clashed.
std::string explainRefusal(const pylar::engine::ProjectRun& run) {
  using pylar::engine::runFile;
  using Reason = pylar::engine::RunRefusal::Reason;
  const pylar::engine::RunRefusal& refusal = run.summary.refusal;
  const std::string file(runFile(refusal.file).role);
  const std::string other(runFile(refusal.other).role);
  switch (refusal.reason) {
    case Reason::SharedFiles:
      return "not run: " + run.sharedWith.string() + " would write the same result files; rename one of the two";
    case Reason::BlankName:
      return "not run: the " + file + " has no name";
    case Reason::SameFile:
      if (refusal.other == pylar::engine::RunFileKind::Lock)
        return "not run: the " + file + " is the " + other + ", which every run of its folder writes";
      if (!runFile(refusal.other).fixedName.empty())
        return "not run: the " + file + " is the " + other + ", which every run rewrites";
      return "not run: the " + file + " would be written over the " + other;
    case Reason::ProjectLink:
      return "not run: " + refusal.path.string() + " is a link to the project file (another name of it)";
    case Reason::FolderBusy:
      return "not run: " + refusal.path.string() + ": another run is using this folder (it was waited for 60 s)";
    case Reason::NotALockFile:
      return "not run: " + refusal.path.string() + " is not a lock file of this program; remove it";
    case Reason::None:
      break;
  }
  return run.summary.message;
}

std::string runMessage(const pylar::engine::ProjectRun& run) {
  return run.summary.status == pylar::engine::kStatusBadRunNames ? explainRefusal(run) : run.summary.message;
}

// The run's warnings in a few words: their number and the first.
std::string warningsText(const std::vector<pylar::engine::RunWarning>& warnings) {
  if (warnings.empty()) return {};
  const auto& first = warnings.front();
  std::string text = "; " + std::to_string(warnings.size()) + (warnings.size() == 1 ? " warning: " : " warnings, the first: ");
  if (first.layer > 0) text += "layer " + std::to_string(first.layer) + ": ";
  return text + first.text;
}

void printResult(const pylar::engine::ProjectRun& run, FILE* to = stdout) {
  std::string line =
      run.project.string() + ": status " + std::to_string(run.summary.status) + ", " + runMessage(run);
  line += warningsText(run.summary.warnings);
  if (!run.report.empty()) line += "; report: " + run.report.string();
  std::fprintf(to, "%s\n", line.c_str());
  std::fflush(to);
}

// `pylar run --json`: the run's outcome and, when the analysis ran, its
// results (the engine's values, as the report prints them).
void printJson(const pylar::engine::ProjectRun& run) {
  using pylar::engine::jsonString;
  std::string out = "{\"project\":" + jsonString(run.project.string()) +
                    ",\"status\":" + std::to_string(run.summary.status) +
                    ",\"message\":" + jsonString(runMessage(run)) +
                    ",\"report\":" + (run.report.empty() ? std::string("null") : jsonString(run.report.string())) +
                    ",\"results\":" + (run.summary.results.available ? run.summary.results.json : "null") + "}\n";
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fflush(stdout);
}

// A new file of that name, opened for writing; nullptr when the name is
// taken or the file cannot be created.
std::FILE* createFreshFile(const std::filesystem::path& file) {
#if defined(_WIN32)
  int fd = -1;
  if (_wsopen_s(&fd, file.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY | _O_NOINHERIT, _SH_DENYNO,
                _S_IREAD | _S_IWRITE) != 0)
    return nullptr;
  std::FILE* out = _fdopen(fd, "wb");
  if (!out) _close(fd);
#else
  const int fd = ::open(file.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd < 0) return nullptr;
  std::FILE* out = ::fdopen(fd, "wb");
  if (!out) ::close(fd);
#endif
  return out;
}

// One CSV field (RFC 4180): quoted when it holds a comma, quote or line end.
std::string csvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + '"';
}

// The batch summary: one row per pier of every project in command-line order
// (a project that gave no piers has one row with its status), written to a
// temporary file beside `file` and renamed over it only when complete.
bool writeCsv(const std::filesystem::path& file, const std::vector<pylar::engine::ProjectRun>& runs,
              std::string& error) {
  std::string text =
      "project,status,units,design,methods,case,stem,base,length,QS,QB/WT,QU,allowable/LRFD,QU/volume,"
      "most efficient,warnings\r\n";
  // A value the engine could not give a number (null in the JSON) is an
  // empty field.
  auto value = [](const std::string& field) { return field == "null" ? std::string() : field; };
  for (const auto& run : runs) {
    const auto& r = run.summary.results;
    const std::string head = csvField(run.project.string()) + "," + std::to_string(run.summary.status) + "," +
                             (r.available ? (r.si ? "SI" : "English") : "") + "," +
                             (r.available ? (r.lrfd ? "LRFD" : "ASD") : "") + "," +
                             (r.available ? std::string(pylar::methods::methodSetName(r.methods)) : "") + ",";
    // The project's number of warnings (the run notes and the JSON list them).
    const std::string warnings = std::to_string(run.summary.warnings.size());
    if (r.piers.empty()) text += head + ",,,,,,,,,," + warnings + "\r\n";  // case to most efficient
    for (const auto& p : r.piers)
      text += head + std::to_string(p.caseNumber) + "," + value(p.stem) + "," + value(p.base) + "," +
              value(p.length) + "," + value(p.qs) + "," + value(p.qbOrWeight) + "," + value(p.qu) + "," +
              value(p.allowable) + "," + value(p.quPerVolume) + "," + (p.mostEfficient ? "yes" : "") + "," +
              warnings + "\r\n";
  }
  std::filesystem::path temporary = file;
  temporary += ".tmp";
  {
    // A fresh file: whatever has the temporary's name (a file left by a
    // batch that was killed, or a link) is replaced, never written through.
    std::error_code ec;
    const auto status = std::filesystem::symlink_status(temporary, ec);
    if (std::filesystem::is_symlink(status) || std::filesystem::is_regular_file(status))
      std::filesystem::remove(temporary, ec);
    std::FILE* out = createFreshFile(temporary);
    bool written = out && std::fwrite(text.data(), 1, text.size(), out) == text.size();
    written = out && std::fclose(out) == 0 && written;
    if (!written) {
      if (out) std::filesystem::remove(temporary, ec);
      error = "cannot write " + temporary.string();
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temporary, file, ec);
  if (ec) {
    std::filesystem::remove(temporary, ec);
    error = "cannot replace " + file.string();
    return false;
  }
  return true;
}

// Runs finish in any order; their lines are printed in command-line order,
// each as soon as it and every line before it are known.
class OrderedPrinter {
 public:
  explicit OrderedPrinter(const std::vector<std::filesystem::path>& projects)
      : projects_(projects), done_(projects.size()) {}

  // Called once per finished run, never from two threads at once. A project
  // named twice fills its first open place: runs of one folder finish in
  // command-line order.
  void finished(const pylar::engine::ProjectRun& run) {
    for (std::size_t k = next_; k < projects_.size(); ++k) {
      if (!done_[k] && projects_[k] == run.project) {
        done_[k] = run;
        break;
      }
    }
    for (; next_ < projects_.size() && done_[next_]; ++next_) printResult(*done_[next_]);
  }

  // After the batch: whatever is still unprinted, from the batch's results.
  void finish(const std::vector<pylar::engine::ProjectRun>& results) {
    for (; next_ < results.size(); ++next_) printResult(results[next_]);
  }

 private:
  const std::vector<std::filesystem::path>& projects_;
  std::vector<std::optional<pylar::engine::ProjectRun>> done_;
  std::size_t next_ = 0;
};

int runBatch(const std::vector<std::filesystem::path>& projects, const std::optional<std::filesystem::path>& csv,
             std::optional<pylar::methods::MethodSet> methods) {
  OrderedPrinter printer(projects);
  const unsigned parallel = std::max(1U, std::thread::hardware_concurrency());
  const auto results = pylar::engine::runProjects(
      projects, parallel, [&printer](const pylar::engine::ProjectRun& run) { printer.finished(run); },
      pylar::engine::localRunTime, csv.has_value(), methods);
  printer.finish(results);
  std::string error;
  if (csv && !writeCsv(*csv, results, error)) {
    std::fprintf(stderr, "pylar: %s\n", error.c_str());
    std::printf("%zu projects run; the summary was not written\n", results.size());
    return pylar::engine::kStatusFileError;
  }
  const auto completed = static_cast<std::size_t>(std::count_if(results.begin(), results.end(), [](const auto& r) {
    return r.summary.status == pylar::engine::kStatusCompleted;
  }));
  std::printf("%zu completed, %zu failed\n", completed, results.size() - completed);
  for (const auto& r : results)
    if (r.summary.status != pylar::engine::kStatusCompleted) return r.summary.status;
  return 0;
}

// Names one file: the same path once links and "." are resolved, or the
// same file under two names (a hard link).
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  auto resolved = [](const std::filesystem::path& p) {
    std::error_code e;
    auto r = std::filesystem::weakly_canonical(p, e);
    std::string text = (e ? p.lexically_normal() : r).string();
#if defined(_WIN32)
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
#endif
    return text;
  };
  if (resolved(a) == resolved(b)) return true;
  return std::filesystem::exists(a, ec) && std::filesystem::exists(b, ec) && std::filesystem::equivalent(a, b, ec) &&
         !ec;
}

// Why the summary file may not be written, or nothing: a project file (any
// name the program opens as one), or a file a run of the command line
// writes.
std::string summaryProblem(const std::filesystem::path& summary, const std::vector<std::filesystem::path>& projects) {
  std::string extension = summary.extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension == pylar::engine::kProjectExtension || extension == pylar::engine::kEarlierProjectExtension)
    return "would be written over a project file";
  for (const auto& project : projects) {
    if (sameFile(summary, project)) return "would be written over the project " + project.string();
    for (const auto& file : pylar::engine::filesOfRun(pylar::engine::namesBeside(project)))
      if (sameFile(summary, file)) return "is " + file.string() + ", which the run of " + project.string() + " writes";
  }
  return {};
}

int usage() {
  std::fputs(kUsage, stderr);
  return kExitUsage;
}

// The options of `run` (--json, --methods) or `batch` (--csv, --methods),
// each at most once and before the first file, and the files: one for run,
// at least one for batch. Nothing when the command line is wrong.
struct CommandOptions {
  bool json = false;
  std::optional<std::filesystem::path> csv;
  std::optional<pylar::methods::MethodSet> methods;
  std::vector<std::filesystem::path> files;
};

std::optional<CommandOptions> commandOptions(const std::vector<std::string>& args, bool batch) {
  CommandOptions o;
  std::size_t k = 1;
  for (; k < args.size(); ++k) {
    const std::string& a = args[k];
    if (a == "--json" && !batch && !o.json) {
      o.json = true;
    } else if (a == "--csv" && batch && !o.csv && k + 1 < args.size()) {
      o.csv = args[++k];
    } else if (a == "--methods" && !o.methods && k + 1 < args.size()) {
      o.methods = pylar::methods::methodSetFromName(args[++k]);
      if (!o.methods) {
        std::fprintf(stderr, "pylar: --methods takes 1999 or 2018, not \"%s\"\n", args[k].c_str());
        return std::nullopt;
      }
    } else if (a.rfind("--", 0) == 0) {
      return std::nullopt;  // an option this command does not take, twice, or without its value
    } else {
      break;
    }
  }
  o.files.assign(args.begin() + static_cast<std::ptrdiff_t>(k), args.end());
  if (o.files.empty() || (!batch && o.files.size() != 1)) return std::nullopt;
  return o;
}

}  // namespace

int main(int argc, char** argv) {
#if defined(SIGXFSZ)
  // Past a file-size limit a write fails (and the run says so) instead of
  // the signal killing the runner with its temporary files left behind.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::printf("%s%s", kUsage, helpText().c_str());
    return 0;
  }
  if (args.size() == 1 && args[0] == "--version") {
    std::printf("pylar %s\n", std::string(pylar::engine::engineVersion()).c_str());
    return 0;
  }
  if (args.empty() || (args[0] != "run" && args[0] != "batch")) return usage();
  const bool batch = args[0] == "batch";
  const auto options = commandOptions(args, batch);
  if (!options) return usage();
  if (!batch) {
    pylar::engine::RunOptions run;
    run.collectResults = options->json;
    run.methods = options->methods;
    auto result = pylar::engine::runProject(options->files.front(), pylar::engine::localRunTime, run);
    printResult(result, options->json ? stderr : stdout);
    if (options->json) printJson(result);
    return result.summary.status;
  }
  if (options->csv) {
    // A slip of the command line must not write a table over a project file
    // or over a file a run of the command line writes.
    if (const std::string problem = summaryProblem(*options->csv, options->files); !problem.empty()) {
      std::fprintf(stderr, "pylar: not run: the summary %s %s\n", options->csv->string().c_str(), problem.c_str());
      return kExitUsage;
    }
  }
  return runBatch(options->files, options->csv, options->methods);
}
