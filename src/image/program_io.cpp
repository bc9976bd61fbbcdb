#include "image/program_io.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "text/input_file.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

struct TypeName {
  std::string_view name;
  FileType type;
};

constexpr TypeName kTypeNames[] = {
    {"DEL", FileType::Del}, {"SEQ", FileType::Seq}, {"PRG", FileType::Prg},
    {"USR", FileType::Usr}, {"REL", FileType::Rel},
};

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
  // Nothing larger can be a program (64 KiB and a header); refuse it before
  // allocating, whatever size the file claims.
  std::string content;
  if (ReadInputFile(path, ProgramFile::kMaxSize + 3, content) != ReadStatus::Ok || content.empty()) return false;
  bytes.assign(content.begin(), content.end());
  return true;
}

uint16_t Word(const std::vector<uint8_t>& bytes, size_t at) {
  return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

void AppendWord(std::string& out, uint16_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8);
}

}  // namespace

FileType FileTypeFromExtension(std::string_view extension) {
  for (const TypeName& row : kTypeNames)
    if (EqualsNoCase(extension, row.name)) return row.type;
  return FileType::Unspecified;
}

bool ReadProgramFile(const std::string& path, FileType type, ProgramFile& out) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes)) return false;
  size_t header = 0;
  if (type == FileType::Prg) {
    if (bytes.size() < 2) return false;
    out.load_address = Word(bytes, 0);
    header = 2;
  } else if (type == FileType::Rel) {
    if (bytes.size() < 3) return false;
    const uint16_t count = Word(bytes, 0);
    const uint8_t length = bytes[2];
    if (bytes.size() - 3 != size_t{count} * length) return false;
    out.record_count = count;
    out.record_length = length;
    header = 3;
  }
  out.load_address_pending = false;
  out.SetData(std::vector<uint8_t>(bytes.begin() + static_cast<long>(header), bytes.end()));
  return true;
}

std::string ProgramFileHostBytes(const ProgramFile& file, FileType type) {
  std::string out;
  if (file.Size() == 0) return out;
  if (type == FileType::Prg && !file.load_address_pending) AppendWord(out, file.load_address);
  if (type == FileType::Rel) {
    AppendWord(out, file.record_count);
    out += static_cast<char>(file.record_length);
  }
  out.append(reinterpret_cast<const char*>(file.Data()), file.Size());
  return out;
}

}  // namespace vantrel
