// image/output_set.h: every output of a run, held back until the run has
// succeeded and then put in place all together, or not at all. Files are
// written to temporary files beside their targets first; only when each of
// them is complete are they moved into place, and a failure on the way puts
// back whatever was already moved.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "log/msg_log.h"

namespace vantrel {

// Where an output path leads.
enum class OutputPlace {
  File,     // a regular file, new or replaced
  Console,  // "con" or "-": standard output
  Stream,   // an existing character device or FIFO (/dev/null, a named pipe), written as it is
};

OutputPlace PlaceOf(const std::string& path);
// "-", "con" and existing character devices and FIFOs take an output as
// they are: no extension is added to such a name.
bool IsStreamName(const std::string& path);

// The messages of one output: `open_failure` when its path can take no
// file ("Can't open file x for writing"), `write_failure` when writing it
// fails later ("Error saving file x.prg"); the system's reason follows both.
struct OutputNote {
  std::string open_failure;
  std::string write_failure;
};
// The usual note: "Can't open file <path> for writing", then `write_failure`.
OutputNote NoteFor(const std::string& path, const std::string& write_failure);

// Something the run holds until its outputs are in place (a lock on a disk
// image it changes).
class HeldResource {
 public:
  virtual ~HeldResource() = default;
};

class OutputSet {
 public:
  explicit OutputSet(bool overwrite = false) : overwrite_(overwrite) {}
  ~OutputSet();
  OutputSet(const OutputSet&) = delete;
  OutputSet& operator=(const OutputSet&) = delete;

  bool Overwrite() const { return overwrite_; }
  void SetOverwrite(bool overwrite) { overwrite_ = overwrite; }

  // Checks that `path` can take an output (the overwrite rule, the folder,
  // what the path is) and stages `bytes` for it; false after reporting why
  // not. `replace` allows replacing an existing file (the run's -ovr).
  bool Add(MsgLog& log, const std::string& path, std::string bytes, const OutputNote& note, bool replace);
  bool Add(MsgLog& log, const std::string& path, std::string bytes, const OutputNote& note) {
    return Add(log, path, std::move(bytes), note, overwrite_);
  }
  // A new folder for outputs: built beside its place under a temporary
  // name and moved there whole when the outputs are put in place; nothing is
  // staged when it exists already.
  bool AddFolder(MsgLog& log, const std::string& path, const std::string& failure);
  // True when `path` could take an output now; reports as Add does.
  bool Check(MsgLog& log, const std::string& path, const OutputNote& note, bool replace) const;
  // Text for standard output, in order with the other console outputs.
  void AddConsole(std::string text, std::string write_failure = "Error writing con");
  void Hold(std::unique_ptr<HeldResource> resource) { held_.push_back(std::move(resource)); }

  bool Empty() const { return outputs_.empty(); }
  // Writes every staged output: streams first, then the files, each to a
  // temporary file and then into place. On any failure every path is left
  // as it was before, the failure is reported and the result is false.
  bool Commit(MsgLog& log);
  // Drops every staged output and releases what is held.
  void Discard();

 private:
  struct Output {
    std::string path;  // a linked output is staged under the file it names
    std::string bytes;
    std::string write_failure;
    OutputPlace place = OutputPlace::File;
    bool replace = false;
  };

  bool CommitStreams(MsgLog& log);
  bool CommitFiles(MsgLog& log);

  bool StagedFolder(const std::string& folder) const;
  // The staged folder `path` lies in, or -1.
  int FolderIndex(const std::string& path) const;

  bool overwrite_;
  std::vector<Output> outputs_;
  std::vector<std::string> folders_;
  std::vector<std::unique_ptr<HeldResource>> held_;
};

// A seam for tests: makes the next file write of a commit fail at the
// given step.
enum class WriteFault { None, ShortWrite, FailedClose, FailedRename };
void InjectWriteFaultForTesting(WriteFault fault);

// The prefix every temporary file of an output starts with: a dot, the
// target's name and ".vantrel-"; the process id and a random part follow.
std::string TemporaryPrefix(const std::string& target_name);

}  // namespace vantrel
