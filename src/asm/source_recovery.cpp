#include "asm/source_recovery.h"

#include <set>

#include "asm/opcode_choice.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

enum class Role : uint8_t { Unknown, Instruction, Operand, Data };

constexpr size_t kBytesPerDataLine = 8;
// A run of instructions in a gap counts as code from this many on.
constexpr size_t kShortestRun = 4;

// Built by appending: g++ 12 warns falsely about "x" + std::string.
std::string Dollar(uint32_t value, int digits) {
  std::string text(1, '$');
  return text += Hex(value, digits);
}
std::string LabelName(uint32_t address) {
  std::string text(1, 'l');
  return text += Hex(address, 4);
}

// Control never falls through to the next byte after these.
bool EndsFlow(Mnemonic m) { return m == Mnemonic::Rts || m == Mnemonic::Rti || m == Mnemonic::Jmp; }

bool JumpsAbsolute(const OpcodeEntry& e) {
  return e.mode == AddressingMode::Absolute && (e.mnemonic == Mnemonic::Jmp || e.mnemonic == Mnemonic::Jsr);
}

class Recovery {
 public:
  Recovery(const OpcodeTable& opcodes, const std::vector<uint8_t>& bytes, uint16_t start)
      : opcodes_(opcodes), bytes_(bytes), start_(start), roles_(bytes.size(), Role::Unknown) {}

  std::string Source() {
    FindCode();
    FindLabels();
    return Write();
  }

 private:
  const OpcodeEntry& EntryAt(size_t i) const { return opcodes_[bytes_[i]]; }
  uint32_t AddressOf(size_t i) const { return start_ + static_cast<uint32_t>(i); }
  bool Inside(uint32_t address) const { return address >= start_ && address - start_ < bytes_.size(); }

  // The length of an instruction at `i` that assembles back to the same
  // bytes over bytes no other line holds yet; 0 when there is none.
  uint32_t InstructionAt(size_t i) const {
    const OpcodeEntry& e = EntryAt(i);
    // Zero bytes are nearly always data (fill, ends of tables), not brk.
    if (bytes_[i] == 0x00 || !Reassembles(opcodes_, e)) return 0;
    const uint32_t length = InstructionLength(e.mode);
    if (i + length > bytes_.size()) return 0;
    // A branch to the byte after its own opcode has no source form.
    if (e.mode == AddressingMode::Relative && bytes_[i + 1] == 0xFF) return 0;
    for (size_t k = i; k < i + length; ++k)
      if (roles_[k] != Role::Unknown) return 0;
    return length;
  }

  // Where a branch or an absolute jump at `i` goes.
  uint32_t Target(size_t i) const {
    const OpcodeEntry& e = EntryAt(i);
    if (e.mode == AddressingMode::Relative)
      return static_cast<uint16_t>(AddressOf(i) + 2 + static_cast<int8_t>(bytes_[i + 1]));
    return static_cast<uint32_t>(bytes_[i + 1] | (bytes_[i + 2] << 8));
  }
  bool HasTarget(size_t i) const { return EntryAt(i).mode == AddressingMode::Relative || JumpsAbsolute(EntryAt(i)); }

  // Follows the program from `entry` through every branch and jump.
  void Trace(size_t entry) {
    std::vector<size_t> pending = {entry};
    while (!pending.empty()) {
      size_t i = pending.back();
      pending.pop_back();
      while (i < bytes_.size()) {
        const uint32_t length = InstructionAt(i);
        if (length == 0) break;
        roles_[i] = Role::Instruction;
        for (size_t k = i + 1; k < i + length; ++k) roles_[k] = Role::Operand;
        if (HasTarget(i) && Inside(Target(i))) pending.push_back(Target(i) - start_);
        if (EndsFlow(EntryAt(i).mnemonic)) break;
        i += length;
      }
    }
  }

  // The documented instructions from `i` on, up to one that ends the flow
  // or runs into code already found; 0 when the run breaks first. In a
  // gap an undocumented opcode is far more likely data than code; code
  // reached from a run may use them.
  size_t RunLength(size_t i) const {
    size_t count = 0;
    while (i < bytes_.size()) {
      if (roles_[i] == Role::Instruction) return count;
      const uint32_t length = InstructionAt(i);
      if (length == 0 || EntryAt(i).IsIllegal()) return 0;
      // Branches are short: one that leaves the program is data read as code.
      if (EntryAt(i).mode == AddressingMode::Relative && !Inside(Target(i))) return 0;
      // Bitmaps are full of $6c: a "jmp (...)" ends a run but does not count.
      if (EntryAt(i).mode != AddressingMode::Indirect) ++count;
      if (EndsFlow(EntryAt(i).mnemonic)) return count;
      i += length;
    }
    return 0;
  }

  void FindCode() {
    for (size_t i = 0; i < bytes_.size(); ++i) {
      if (roles_[i] != Role::Unknown) continue;
      // The first byte is the likeliest entry: any run from it will do.
      if (RunLength(i) >= (i == 0 ? 1 : kShortestRun)) Trace(i);
      if (roles_[i] == Role::Unknown) roles_[i] = Role::Data;
    }
  }

  void FindLabels() {
    for (size_t i = 0; i < bytes_.size(); ++i) {
      if (roles_[i] != Role::Instruction || !HasTarget(i)) continue;
      const uint32_t target = Target(i);
      if (Inside(target) && roles_[target - start_] == Role::Instruction) labels_.insert(target);
    }
  }

  std::string Operand(size_t i) const {
    const OpcodeEntry& e = EntryAt(i);
    const uint32_t length = InstructionLength(e.mode);
    if (HasTarget(i) && labels_.count(Target(i))) return LabelName(Target(i));
    if (e.mode == AddressingMode::Relative) return Dollar(Target(i), 4);
    // Two digits make a byte-wide operand, four keep a small address absolute.
    if (length == 2) return Dollar(bytes_[i + 1], 2);
    return Dollar(static_cast<uint32_t>(bytes_[i + 1] | (bytes_[i + 2] << 8)), 4);
  }

  std::string Write() const {
    std::string out = "\torig " + Dollar(start_, 4) + "\n";
    for (size_t i = 0; i < bytes_.size();) {
      if (roles_[i] != Role::Instruction) {
        out += "\tbyte ";
        const size_t first = i;
        do {
          if (i > first) out += ", ";
          out += Dollar(bytes_[i++], 2);
        } while (i < bytes_.size() && roles_[i] == Role::Data && i - first < kBytesPerDataLine);
        out += '\n';
        continue;
      }
      const OpcodeEntry& e = EntryAt(i);
      if (labels_.count(AddressOf(i))) (out += LabelName(AddressOf(i))) += ":\n";
      (out += '\t') += MnemonicName(e.mnemonic);
      if (e.mode != AddressingMode::Register) (out += ' ') += FormatOperand(e.mode, Operand(i));
      out += '\n';
      i += InstructionLength(e.mode);
    }
    return out;
  }

  const OpcodeTable& opcodes_;
  const std::vector<uint8_t>& bytes_;
  uint32_t start_;
  std::vector<Role> roles_;
  std::set<uint32_t> labels_;
};

}  // namespace

std::string RecoveredSource(const OpcodeTable& opcodes, const std::vector<uint8_t>& bytes, uint16_t start) {
  return Recovery(opcodes, bytes, start).Source();
}

}  // namespace vantrel
