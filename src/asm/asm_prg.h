// asm/asm_prg.h: the assembler. It owns the line objects and the symbol
// table of one assembly and runs the passes that turn the loader's
// assembler lines into bytes in the memory image; the listing, symbol and
// relocation writers read its state afterwards.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "asm/asm_fmt.h"
#include "asm/asm_instr.h"
#include "asm/macro_expansion.h"
#include "asm/opcodes.h"
#include "asm/symbol_level.h"
#include "asm/symbols.h"
#include "image/address_range.h"
#include "image/memory_image.h"
#include "image/output_set.h"
#include "petscii/petscii_codes.h"
#include "source/source_loader.h"
#include "text/file_locator.h"

namespace vantrel {

enum class AsmPass : uint32_t {
  None = 0,
  Disassemble = 1,
  Build = 2,
  Assemble = 3,
  Link = 4,
  Resolve = 5,
  Relocate = 6,
  Encode = 7,
  Imprint = 8,
  Done = 9,
};
std::string_view ToText(AsmPass pass);

struct RelocEntry {
  C6510Address value;     // the operand's target, from the program's start
  C6510Address location;  // the operand bytes, from the program's start
  RelocKind kind = RelocKind::None;
};
// "[0]", "[w]", "[l]", "[h]", "[x]", "[!]"; empty for any other kind.
std::string_view RelocKindText(RelocKind kind);

// A name for an address the program's symbols do not hold (a BASIC line start).
struct AddressName {
  uint16_t address = 0;
  std::string name;
};

class AsmPrg {
 public:
  AsmPrg(FileLocator& locator, SourceLoader& loader, const OpcodeTable& opcodes, MemoryImage& memory,
         PetsciiCodes& codes);
  ~AsmPrg();

  // The driver: Build, Assemble, Link, Resolve, Encode and Imprint.
  bool AssembleProgram();
  void SetDebug(bool on) { dump_ = on; }
  // Where assembly starts; the BASIC run puts its blocks behind the program.
  void SetOrigin(uint16_t origin) { origin_ = C6510Address::Known(origin); }
  void SetEmbedded(bool on) { embedded_ = on; }
  bool Embedded() const { return embedded_; }

  bool SaveSymbols(OutputSet& out, const std::string& path, SymbolLevel level, bool sym3);
  bool SaveRelocationTable(OutputSet& out, const std::string& path);
  // Labels and address equates as a VICE monitor label file ("al C:c000
  // .start"), `extra` names first and a "break C:c000" line for each break.
  bool SaveViceLabels(OutputSet& out, const std::string& path, const std::vector<AddressName>& extra = {});
  // A disassembly of `range` (the used range when empty): -dis, and -lst in a BASIC run.
  bool ExportDisassembly(OutputSet& out, const std::string& path, const AddressRange& range);
  // The source listing of an assembler run's -lst.
  bool SaveSourceListing(OutputSet& out, const std::string& path);

  // What the lines and operands reach through the program.
  SourceLoader& Loader() { return loader_; }
  const SourceLoader& Loader() const { return loader_; }
  FileLocator& Locator() { return locator_; }
  const OpcodeTable& Opcodes() const { return opcodes_; }
  MemoryImage& Memory() { return memory_; }
  const MemoryImage& Memory() const { return memory_; }
  PetsciiCodes& Codes() { return codes_; }
  SymbolTable& Symbols() { return symbols_; }
  ExprPool& Expressions() { return expressions_; }
  // Text made while assembling (operands with their mode cut off), kept
  // for the assembly's life.
  TextStore& Texts() { return texts_; }
  const ExprPool& Expressions() const { return expressions_; }
  const SymbolTable& Symbols() const { return symbols_; }
  AsmPass CurrentPass() const { return pass_; }
  const std::vector<std::unique_ptr<AsmInstr>>& Lines() const { return lines_; }
  MacroExpander& Macros() { return macros_; }
  const MacroExpander& Macros() const { return macros_; }
  void AppendLine(std::unique_ptr<AsmInstr> line);
  AsmFmt& ListingFormat() { return listing_; }
  bool DebugStall() const { return debug_stall_; }
  void SetDebugStall(bool on) { debug_stall_ = on; }
  // Writes "stall" while a debugstall pseudo-op asks for it.
  void Stall() const;

  void StartPass(AsmPass pass);
  void DumpProgram() const;

  // While the driver runs, messages about lines are held and reported when
  // it ends, in line order whichever pass found them. `order` is the index
  // of the first line object the source line made.
  void Report(const SourceLine* source, size_t order, MessageLevel level, std::string text);
  // An error about the source line the Build pass is working on.
  bool BuildError(const std::string& message);
  // Where the Build pass is: its source line and the index of its first object.
  void SetBuildLine(const SourceLine* source, size_t order) { build_source_ = source, build_order_ = order; }
  // Every source line the Build pass took, expanded ones included, in order.
  void AddBuiltLine(const SourceLine* source);
  std::vector<const SourceLine*> BuiltLines() const;
  // Called before a macro call's lines are built.
  void NoteExpansion();
  size_t BuildOrder() const { return build_order_; }

 private:
  bool BuildPass();
  bool AssemblePass();
  bool LinkPass();
  void ResolvePass();
  bool EncodePass();
  bool ImprintPass();
  void ResolveEquates();
  void ReleaseMessages();

  struct HeldMessage {
    const SourceLine* source;
    size_t order;
    AsmPass pass;
    MsgLogMsg msg;
  };

  FileLocator& locator_;
  SourceLoader& loader_;
  const OpcodeTable& opcodes_;
  MemoryImage& memory_;
  PetsciiCodes& codes_;
  SymbolTable symbols_;
  ExprPool expressions_;
  TextStore texts_;
  std::vector<std::unique_ptr<AsmInstr>> lines_;
  C6510Address origin_ = C6510Address::Known(0x0100);
  AsmFmt listing_;
  AsmPass pass_ = AsmPass::None;
  bool embedded_ = false;
  bool dump_ = false;
  bool debug_stall_ = false;
  MacroExpander macros_;
  bool holding_ = false;
  size_t held_errors_ = 0;
  std::vector<HeldMessage> held_;
  // Until a macro is expanded the lines built are the loader's, in order:
  // they are only counted, and listed from the loader's list.
  std::vector<const SourceLine*> built_;
  size_t plain_built_ = 0;
  bool expanded_ = false;
  const SourceLine* build_source_ = nullptr;
  size_t build_order_ = 0;
};

}  // namespace vantrel
