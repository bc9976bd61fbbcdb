// image/program_file.h: a program detached from memory: its C64 file type,
// load address and bytes, as read from or written to a file or disk image.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel {

// C64 file types, numbered as in a disk directory entry.
enum class FileType : int32_t { Del = 0, Seq = 1, Prg = 2, Usr = 3, Rel = 4, Unspecified = 5 };

class ProgramFile {
 public:
  static constexpr size_t kMaxSize = 65536;

  std::string name;  // the C64 file name (or the host name without extension)
  FileType type = FileType::Unspecified;
  // When set, the first two data bytes are still the little-endian load address.
  bool load_address_pending = false;
  uint16_t load_address = 0;
  uint8_t record_length = 0;   // REL files
  uint16_t record_count = 0;   // REL files

  // Takes the pending load address out of the data; 0 when there is none.
  uint16_t TakeLoadAddress();
  // The same answer without changing the file.
  uint16_t PeekLoadAddress() const;

  size_t Size() const { return data_.size() - offset_; }
  const uint8_t* Data() const { return data_.data() + offset_; }
  std::vector<uint8_t> Bytes() const { return {data_.begin() + static_cast<long>(offset_), data_.end()}; }
  void Append(uint8_t byte) { data_.push_back(byte); }
  void Append(const uint8_t* bytes, size_t n) { data_.insert(data_.end(), bytes, bytes + n); }
  void AppendWord(uint16_t value);
  void SetData(std::vector<uint8_t> bytes);
  void Clear() { *this = ProgramFile(); }

 private:
  bool HasAddressToTake() const;

  std::vector<uint8_t> data_;
  size_t offset_ = 0;  // bytes already read from the front
};

}  // namespace vantrel
