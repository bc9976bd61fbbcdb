#include "d64/pc64_file.h"

#include <algorithm>
#include <cctype>

#include "d64/c64_names.h"
#include "d64/d64_files.h"
#include "text/hi_path.h"
#include "text/input_file.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

// PC64 header: "C64File" and a zero byte, the 16-byte C64 name and one
// zero byte, then a REL file's record length. Writers pad the name with
// zero bytes or, as cbmconvert and disk directories do, with $A0.
constexpr std::string_view kSignature{"C64File\0", 8};
constexpr size_t kName = 8;
constexpr size_t kNameField = 17;
constexpr size_t kRecordLength = 25;
constexpr size_t kHeaderSize = 26;
constexpr uint8_t kPad = 0xA0;

struct KindLetter {
  char letter;
  FileType kind;
};

constexpr KindLetter kKindLetters[] = {
    {'p', FileType::Prg}, {'s', FileType::Seq}, {'u', FileType::Usr}, {'r', FileType::Rel}, {'d', FileType::Del},
};

}  // namespace

std::optional<FileType> Pc64Kind(std::string_view extension) {
  if (extension.size() != 3 || !std::isdigit(static_cast<unsigned char>(extension[1])) ||
      !std::isdigit(static_cast<unsigned char>(extension[2])))
    return std::nullopt;
  const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(extension[0])));
  for (const KindLetter& row : kKindLetters)
    if (row.letter == letter) return row.kind;
  return std::nullopt;
}

bool ReadPc64File(MsgLog& log, const std::string& path, FileType kind, ProgramFile& out) {
  const std::string what = "Error loading file " + path + ": ";
  std::string content;
  if (ReadInputFile(path, ProgramFile::kMaxSize + kHeaderSize + 2, content) != ReadStatus::Ok)
    return log.ReportError("Error loading file " + path);
  if (content.size() < kHeaderSize || content.compare(0, kSignature.size(), kSignature) != 0)
    return log.ReportError(what + "no PC64 header (\"C64File\")");
  if (kind == FileType::Prg && content.size() < kHeaderSize + 2)
    return log.ReportError(what + "the program has no load address");
  std::string name = content.substr(kName, kNameField);
  name = name.substr(0, name.find('\0'));
  name = name.substr(0, name.find(static_cast<char>(kPad)));
  out.name = TypedFromPetscii(name);
  out.type = kind;
  out.load_address_pending = kind == FileType::Prg;
  if (kind == FileType::Rel) {
    out.record_length = static_cast<uint8_t>(content[kRecordLength]);
    if (out.record_length != 0)
      out.record_count = static_cast<uint16_t>((content.size() - kHeaderSize) / out.record_length);
  }
  out.SetData(std::vector<uint8_t>(content.begin() + kHeaderSize, content.end()));
  return log.ReportInfo("Loaded " + path + ": C64 name " + QuotedName(name));
}

std::string P00NameFor(const std::string& path) {
  return PetsciiFromTyped(LowerCopy(HiPath(path).FileName()).substr(0, kMaxC64NameLength));
}

bool SaveP00(MsgLog& log, OutputSet& out, const std::string& path, const ProgramFile& file,
             std::string_view petscii_name) {
  const std::string failure = "Error saving .p00 file " + path;
  if (IsConsoleName(path)) return log.ReportError("Can't output .p00 files to con");
  if (file.Size() == 0) return log.ReportError(failure + ": the program is empty");
  log.ReportInfo("==> Saving in .p00 format: " + path + ", C64 name " + QuotedName(petscii_name));
  std::string bytes(kHeaderSize, '\0');
  std::copy(kSignature.begin(), kSignature.end(), bytes.begin());
  std::fill_n(bytes.begin() + kName, kMaxC64NameLength, static_cast<char>(kPad));
  std::copy_n(petscii_name.begin(), std::min(petscii_name.size(), kMaxC64NameLength), bytes.begin() + kName);
  const std::vector<uint8_t> program = ImageFileBytes(file, FileType::Prg);
  bytes.append(program.begin(), program.end());
  return out.Add(log, path, std::move(bytes), {"Can't open file " + path + " for writing", failure});
}

}  // namespace vantrel
