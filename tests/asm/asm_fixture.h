// asm_fixture.h: assembles a source text in-process and gives the bytes,
// the symbols and the messages (with their line number, not their path).
#pragma once

#include <string>
#include <vector>

#include "asm/asm_prg.h"
#include "image/memory_image.h"
#include "petscii/petscii_codes.h"
#include "test_support.h"

namespace vantrel::test {

struct AsmFixture {
  bool Assemble(const std::string& source) {
    WriteFile(dir.File("t.asm"), source);
    if (!q.loader.LoadSource(dir.File("t.asm"), SourceType::Asm)) return false;
    return prg.AssembleProgram() && !q.log.ErrorFlag();
  }
  // The bytes from `start` to the end of the used range.
  std::string Bytes(uint16_t start) const {
    std::string out;
    const AddressRange& used = memory.Used();
    if (used.IsEmpty()) return out;
    for (uint64_t a = start; a <= used.end; ++a) out += static_cast<char>(memory.Read(static_cast<uint16_t>(a)));
    return out;
  }
  // Warnings and errors as "Error: 3: text" (3 the source line).
  std::vector<std::string> Problems() const {
    std::vector<std::string> out;
    for (const MsgLogMsg& m : q.log.Messages()) {
      if (m.level != MessageLevel::Error && m.level != MessageLevel::Warning) continue;
      const std::string line = m.pos.file != 0 ? std::to_string(m.pos.line) + ": " : "";
      out.push_back(q.log.LevelName(m.level) + line + q.log.TextOf(m));
    }
    return out;
  }
  const AsmSymbol* Symbol(const std::string& name) const { return prg.Symbols().FindSymbol(name); }

  ScratchDir dir;
  QuietLoader q;
  PetsciiCodes codes{q.log};
  MemoryImage memory;
  AsmPrg prg{q.locator, q.loader, Opcodes(), memory, codes};
};

}  // namespace vantrel::test
