#include "image/output_set.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <set>

#include "text/text_ops.h"

namespace vantrel {

namespace {

WriteFault g_fault = WriteFault::None;

WriteFault TakeFault() {
  WriteFault f = g_fault;
  g_fault = WriteFault::None;
  return f;
}

std::string Reason(int error) { return std::strerror(error); }

// --- Temporary files a signal must not leave behind -----------------------
//
// A run stopped by Ctrl-C or `kill` while it writes removes its temporary
// files on the way out; one killed outright leaves them to the next run
// (RemoveStaleTemporaries). The handler may only use async-signal-safe calls,
// hence fixed buffers.

constexpr size_t kMaxTracked = 64;
std::array<std::array<char, 4096>, kMaxTracked> g_temp_paths{};
volatile std::sig_atomic_t g_temp_used[kMaxTracked] = {};

void RemoveTracked(int signal_number) {
  for (size_t i = 0; i < kMaxTracked; ++i)
    if (g_temp_used[i]) unlink(g_temp_paths[i].data());
  std::signal(signal_number, SIG_DFL);
  std::raise(signal_number);
}

void InstallHandlersOnce() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  for (int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) std::signal(s, RemoveTracked);
}

int Track(const std::string& path) {
  InstallHandlersOnce();
  if (path.size() >= g_temp_paths[0].size()) return -1;
  for (size_t i = 0; i < kMaxTracked; ++i) {
    if (g_temp_used[i]) continue;
    std::memcpy(g_temp_paths[i].data(), path.c_str(), path.size() + 1);
    g_temp_used[i] = 1;
    return static_cast<int>(i);
  }
  return -1;
}

void Untrack(int slot) {
  if (slot >= 0) g_temp_used[slot] = 0;
}

// --- Paths -----------------------------------------------------------------

// A symlinked output is written through to the file it names, so the link
// stays a link.
std::string ResolveTarget(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_symlink(path, ec)) return path;
  std::filesystem::path target = std::filesystem::canonical(path, ec);
  return ec ? path : target.string();
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return {};
  return path.substr(0, slash + 1);
}

std::string NameOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Read once: umask() can only be read by setting it, twice a call.
mode_t ModeForNewFile() {
  static const mode_t mode = [] {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
  }();
  return mode;
}

std::string RandomPart() {
  static std::mt19937_64 engine{std::random_device{}() ^ static_cast<uint64_t>(getpid())};
  static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string out;
  for (int i = 0; i < 8; ++i) out += kChars[engine() % (sizeof kChars - 1)];
  return out;
}

// A fresh name beside `target` in the temporary-file pattern; the file is
// created empty with O_EXCL, so no two runs get the same name.
int CreateTemporary(const std::string& target, std::string& temp) {
  const std::string prefix = FolderOf(target) + TemporaryPrefix(NameOf(target)) + std::to_string(getpid()) + "-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = prefix + RandomPart();
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// A temporary file whose process is gone was left by a run that was killed;
// any run writing the same output removes it. One scan a folder, however
// many outputs it takes (an extraction writes hundreds).
void RemoveStaleTemporaries(const std::vector<std::string>& targets) {
  std::map<std::string, std::set<std::string>> prefixes;  // by folder
  for (const std::string& target : targets) prefixes[FolderOf(target)].insert(TemporaryPrefix(NameOf(target)));
  static const std::string_view kMark = ".vantrel-";
  for (const auto& [folder, wanted] : prefixes) {
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) continue;
    while (const dirent* entry = readdir(dir)) {
      const std::string_view name = entry->d_name;
      const size_t mark = name.rfind(kMark);
      if (mark == std::string_view::npos) continue;
      const std::string prefix(name.substr(0, mark + kMark.size()));
      if (!wanted.contains(prefix)) continue;
      const long pid = std::strtol(std::string(name.substr(prefix.size())).c_str(), nullptr, 10);
      if (pid <= 0 || pid == getpid()) continue;
      if (kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
      std::error_code ec;
      std::filesystem::remove_all(folder + std::string(name), ec);  // a folder being built, too
    }
    closedir(dir);
  }
}

bool WriteAll(int fd, std::string_view bytes, WriteFault fault) {
  if (fault == WriteFault::ShortWrite) {
    // Pretend the disk filled up halfway.
    if (!bytes.empty() && write(fd, bytes.data(), bytes.size() / 2) < 0) return false;
    errno = ENOSPC;
    return false;
  }
  while (!bytes.empty()) {
    ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

bool WriteToStdout(std::string_view text) {
  // An earlier failed write must not be taken for this text's failure.
  std::clearerr(stdout);
  const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
  return std::fflush(stdout) == 0 && written && !std::ferror(stdout);
}

bool WriteToStream(const std::string& path, std::string_view bytes) {
  int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = WriteAll(fd, bytes, WriteFault::None);
  const int saved = errno;
  if (close(fd) != 0 && ok) return false;
  errno = saved;
  return ok;
}

// One output's temporary file, written whole.
struct Staged {
  std::string temp;
  int slot = -1;
};

bool WriteTemporary(const std::string& target, std::string_view bytes, Staged& staged, WriteFault fault) {
  struct stat st {};
  const bool exists = stat(target.c_str(), &st) == 0;
  int fd = CreateTemporary(target, staged.temp);
  if (fd < 0) return false;
  staged.slot = Track(staged.temp);
  bool ok = fchmod(fd, exists ? (st.st_mode & 07777) : ModeForNewFile()) == 0 && WriteAll(fd, bytes, fault);
  int saved = errno;
  if (close(fd) != 0 || fault == WriteFault::FailedClose) {
    if (ok) saved = fault == WriteFault::FailedClose ? EIO : errno;
    ok = false;
  }
  errno = saved;
  return ok;
}

// A new folder of outputs is built under a temporary name beside it and put
// in place whole, with one rename: its files need no temporaries of their own.
bool MakeTemporaryFolder(const std::string& folder, std::string& temp) {
  const std::string prefix = FolderOf(folder) + TemporaryPrefix(NameOf(folder)) + std::to_string(getpid()) + "-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = prefix + RandomPart();
    if (mkdir(temp.c_str(), 0777) == 0) return true;
    if (errno != EEXIST) return false;
  }
  errno = EEXIST;
  return false;
}

bool WriteIntoNewFolder(const std::string& path, std::string_view bytes, WriteFault fault) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, bytes, fault);
  int saved = errno;
  if (close(fd) != 0 || fault == WriteFault::FailedClose) {
    if (ok) saved = fault == WriteFault::FailedClose ? EIO : errno;
    ok = false;
  }
  errno = saved;
  return ok;
}

// Where a placed output came from, so that a later failure can undo it.
struct Placed {
  std::string target;
  std::string backup;  // the old file under a temporary name; empty for a new file
  bool created = false;
};

// Puts a new file in place only when no file of that name exists, also
// against another run doing the same: link() fails when the name is taken.
bool PlaceNew(const std::string& temp, const std::string& target) {
  // One step where the system has it: a rename that refuses to replace.
  if (renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return false;
  if (link(temp.c_str(), target.c_str()) == 0) {
    unlink(temp.c_str());
    return true;
  }
  if (errno != EPERM && errno != ENOTSUP && errno != ENOSYS) return false;
  // No hard links on this file system: claim the name, then move onto it.
  int fd = open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  close(fd);
  if (rename(temp.c_str(), target.c_str()) == 0) return true;
  const int saved = errno;
  unlink(target.c_str());
  errno = saved;
  return false;
}

// A second name for the old file keeps it until every output is in place.
std::string BackUp(const std::string& target) {
  const std::string prefix = FolderOf(target) + TemporaryPrefix(NameOf(target)) + std::to_string(getpid()) + "-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string backup = prefix + RandomPart();
    if (link(target.c_str(), backup.c_str()) == 0) return backup;
    if (errno != EEXIST) return {};
  }
  return {};
}

void Undo(const std::vector<Placed>& placed) {
  for (auto it = placed.rbegin(); it != placed.rend(); ++it) {
    if (it->created) unlink(it->target.c_str());
    else if (!it->backup.empty()) rename(it->backup.c_str(), it->target.c_str());
  }
}

}  // namespace

std::string TemporaryPrefix(const std::string& target_name) {
  // Room for the process id and the random part within a 255-byte name.
  std::string prefix(1, '.');
  prefix.append(target_name, 0, 200);
  return prefix += ".vantrel-";
}

OutputPlace PlaceOf(const std::string& path) {
  if (path == "-" || IsConsoleName(path)) return OutputPlace::Console;
  struct stat st {};
  if (stat(path.c_str(), &st) == 0 && (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode))) return OutputPlace::Stream;
  return OutputPlace::File;
}

OutputNote NoteFor(const std::string& path, const std::string& write_failure) {
  return {"Can't open file " + path + " for writing", write_failure};
}

bool IsStreamName(const std::string& path) { return PlaceOf(path) != OutputPlace::File; }

void InjectWriteFaultForTesting(WriteFault fault) { g_fault = fault; }

OutputSet::~OutputSet() { Discard(); }

bool OutputSet::Check(MsgLog& log, const std::string& path, const OutputNote& note, bool replace) const {
  if (path.empty()) return log.ReportError("No save filename specified");
  if (PlaceOf(path) != OutputPlace::File) return true;
  const std::string target = ResolveTarget(path);
  struct stat st {};
  if (lstat(target.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return log.ReportError(note.open_failure + ": " + Reason(EISDIR));
    // A block device, a socket or a dangling link would be replaced by a file.
    if (!S_ISREG(st.st_mode)) return log.ReportError(note.open_failure + ": Not a regular file");
    if (!replace) return log.ReportError("File already exists: " + path);
    return true;
  }
  const std::string folder = FolderOf(target);
  if (StagedFolder(folder)) return true;
  struct stat dir {};
  if (stat(folder.empty() ? "." : folder.c_str(), &dir) != 0)
    return log.ReportError(note.open_failure + ": " + Reason(errno));
  if (!S_ISDIR(dir.st_mode)) return log.ReportError(note.open_failure + ": " + Reason(ENOTDIR));
  return true;
}

bool OutputSet::Add(MsgLog& log, const std::string& path, std::string bytes, const OutputNote& note, bool replace) {
  // A file in a folder this run makes cannot exist yet: there is nothing on
  // disk to look at (an extraction adds hundreds).
  const bool in_new_folder = FolderIndex(path) >= 0;
  if (!in_new_folder && !Check(log, path, note, replace)) return false;
  Output out{path, std::move(bytes), note.write_failure, in_new_folder ? OutputPlace::File : PlaceOf(path), replace};
  if (out.place == OutputPlace::File) {
    if (!in_new_folder) out.path = ResolveTarget(path);
    for (const Output& other : outputs_)
      if (other.place == OutputPlace::File && other.path == out.path)
        return log.ReportError("Two outputs of this run name the same file: " + path);
  }
  outputs_.push_back(std::move(out));
  return true;
}

bool OutputSet::AddFolder(MsgLog& log, const std::string& path, const std::string& failure) {
  struct stat st {};
  if (stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return true;
    return log.ReportError(failure + ": " + Reason(ENOTDIR));
  }
  const std::string trimmed = path.size() > 1 && path.back() == '/' ? path.substr(0, path.size() - 1) : path;
  const std::string parent = FolderOf(trimmed);
  if (!StagedFolder(parent) && stat(parent.empty() ? "." : parent.c_str(), &st) != 0)
    return log.ReportError(failure + ": " + Reason(errno));
  folders_.push_back(trimmed);
  return true;
}

bool OutputSet::StagedFolder(const std::string& folder) const {
  const std::string trimmed = folder.size() > 1 && folder.back() == '/' ? folder.substr(0, folder.size() - 1) : folder;
  return std::find(folders_.begin(), folders_.end(), trimmed) != folders_.end();
}

void OutputSet::AddConsole(std::string text, std::string write_failure) {
  outputs_.push_back(Output{"-", std::move(text), std::move(write_failure), OutputPlace::Console, false});
}

bool OutputSet::Commit(MsgLog& log) {
  const bool ok = CommitStreams(log) && CommitFiles(log);
  Discard();
  return ok;
}

int OutputSet::FolderIndex(const std::string& path) const {
  const std::string folder = FolderOf(path);
  const std::string trimmed = folder.size() > 1 && folder.back() == '/' ? folder.substr(0, folder.size() - 1) : folder;
  const auto it = std::find(folders_.begin(), folders_.end(), trimmed);
  return it == folders_.end() ? -1 : static_cast<int>(it - folders_.begin());
}

void OutputSet::Discard() {
  outputs_.clear();
  folders_.clear();
  held_.clear();
}

bool OutputSet::CommitStreams(MsgLog& log) {
  for (const Output& out : outputs_) {
    if (out.place == OutputPlace::File) continue;
    const bool written = out.place == OutputPlace::Console ? WriteToStdout(out.bytes) : WriteToStream(out.path, out.bytes);
    if (!written) return log.ReportError(out.write_failure + ": " + Reason(errno ? errno : EIO));
  }
  return true;
}

bool OutputSet::CommitFiles(MsgLog& log) {
  std::vector<const Output*> files;
  for (const Output& out : outputs_)
    if (out.place == OutputPlace::File) files.push_back(&out);
  if (files.empty() && folders_.empty()) return true;
  std::vector<std::string> targets = folders_;
  for (const Output* out : files) targets.push_back(out->path);
  RemoveStaleTemporaries(targets);

  const WriteFault fault = TakeFault();
  std::vector<std::string> folder_temps;
  auto drop_folders = [&folder_temps] {
    std::error_code ec;
    for (const std::string& temp : folder_temps) std::filesystem::remove_all(temp, ec);
  };
  for (const std::string& folder : folders_) {
    std::string temp;
    if (!MakeTemporaryFolder(folder, temp)) {
      const int error = errno;
      drop_folders();
      return log.ReportError("Can't make folder " + folder + ": " + Reason(error));
    }
    folder_temps.push_back(temp);
  }

  std::vector<Staged> staged(files.size());
  auto drop_temporaries = [&staged] {
    for (Staged& s : staged) {
      if (!s.temp.empty()) unlink(s.temp.c_str());
      Untrack(s.slot);
    }
  };
  std::vector<bool> in_new_folder(files.size(), false);
  for (size_t i = 0; i < files.size(); ++i) {
    const int folder = FolderIndex(files[i]->path);
    in_new_folder[i] = folder >= 0;
    const bool written = folder >= 0 ? WriteIntoNewFolder(folder_temps[folder] + "/" + NameOf(files[i]->path),
                                                          files[i]->bytes, fault)
                                     : WriteTemporary(files[i]->path, files[i]->bytes, staged[i], fault);
    if (!written) {
      const int error = errno;
      drop_temporaries();
      drop_folders();
      return log.ReportError(files[i]->write_failure + ": " + Reason(error));
    }
  }

  size_t last_file = 0;
  for (size_t i = 0; i < files.size(); ++i)
    if (!in_new_folder[i]) last_file = i;
  std::vector<Placed> placed;
  auto fail = [&](const std::string& path, const std::string& write_failure, int error) {
    Undo(placed);
    for (const Placed& q : placed)
      if (!q.backup.empty()) unlink(q.backup.c_str());
    drop_temporaries();
    drop_folders();
    if (error == EEXIST || error == ENOTEMPTY) return log.ReportError("File already exists: " + path);
    return log.ReportError(write_failure + ": " + Reason(error));
  };
  for (size_t i = 0; i < files.size(); ++i) {
    if (in_new_folder[i]) continue;
    const Output& out = *files[i];
    Placed p{out.path, {}, false};
    bool ok;
    int error = 0;
    if (fault == WriteFault::FailedRename) {
      ok = false;
      error = EXDEV;
    } else if (!out.replace) {
      ok = PlaceNew(staged[i].temp, out.path);
      error = errno;
      p.created = ok;
    } else {
      struct stat st {};
      const bool existed = lstat(out.path.c_str(), &st) == 0;
      // The old file is kept until nothing can fail any more: after the last
      // placement there is nothing left to undo.
      const bool last = i == last_file && folders_.empty();
      if (existed && !last) p.backup = BackUp(out.path);
      ok = rename(staged[i].temp.c_str(), out.path.c_str()) == 0;
      error = errno;
      p.created = ok && !existed;
    }
    if (!ok) {
      if (!p.backup.empty()) unlink(p.backup.c_str());
      return fail(out.path, out.write_failure, error);
    }
    staged[i].temp.clear();  // moved into place
    placed.push_back(std::move(p));
  }
  // The new folders last: a folder that appeared meanwhile is not replaced.
  for (size_t i = 0; i < folders_.size(); ++i) {
    if (renameat2(AT_FDCWD, folder_temps[i].c_str(), AT_FDCWD, folders_[i].c_str(), RENAME_NOREPLACE) != 0) {
      const int error = errno;
      std::error_code ec;
      for (size_t j = 0; j < i; ++j) std::filesystem::remove_all(folders_[j], ec);
      return fail(folders_[i], "Can't make folder " + folders_[i], error);
    }
    folder_temps[i].clear();
  }
  for (const Placed& p : placed)
    if (!p.backup.empty()) unlink(p.backup.c_str());
  drop_temporaries();
  return true;
}

}  // namespace vantrel
