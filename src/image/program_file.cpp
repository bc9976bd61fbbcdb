#include "image/program_file.h"

namespace vantrel {

bool ProgramFile::HasAddressToTake() const {
  return type == FileType::Prg && Size() >= 1 && Size() <= kMaxSize;
}

uint16_t ProgramFile::TakeLoadAddress() {
  if (!HasAddressToTake()) {
    load_address = 0;
    load_address_pending = false;
    return 0;
  }
  if (load_address_pending && Size() >= 2) {
    load_address = static_cast<uint16_t>(Data()[0] | (Data()[1] << 8));
    offset_ += 2;
  }
  load_address_pending = false;
  return load_address;
}

uint16_t ProgramFile::PeekLoadAddress() const {
  if (!HasAddressToTake()) return 0;
  if (load_address_pending && Size() >= 2) return static_cast<uint16_t>(Data()[0] | (Data()[1] << 8));
  return load_address;
}

void ProgramFile::AppendWord(uint16_t value) {
  data_.push_back(static_cast<uint8_t>(value & 0xFF));
  data_.push_back(static_cast<uint8_t>(value >> 8));
}

void ProgramFile::SetData(std::vector<uint8_t> bytes) {
  data_ = std::move(bytes);
  offset_ = 0;
}

}  // namespace vantrel
