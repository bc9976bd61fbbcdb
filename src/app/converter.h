// app/converter.h: the application object. It owns one of each subsystem
// for the whole run, reads the options, picks the run from the input's
// extension and calls loading, conversion and the writers in their order.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/cmd_line_params.h"
#include "asm/asm_prg.h"
#include "asm/code_text.h"
#include "asm/opcodes.h"
#include "asm/symbol_level.h"
#include "basic/bas_program.h"
#include "d64/disk_job.h"
#include "image/address_range.h"
#include "image/memory_image.h"
#include "image/output_set.h"
#include "petscii/alpha_mode.h"
#include "petscii/petscii_codes.h"
#include "source/source_loader.h"
#include "source/source_loader_msg_log.h"
#include "text/file_locator.h"
#include "text/hi_path.h"

namespace vantrel {

// Running out of memory ends the run with this Fatal message.
inline constexpr const char* kOutOfMemory = "Out of memory";

enum class RunMode : int32_t { None = 0, Assembler = 1, BasicText = 2, BasicBinary = 3, DiskImage = 4 };

// What the options asked for; filled by the option pass.
struct ConverterOptions {
  HiPath pref, prg, p00, bin, lst, dis, hex, sym, rft, txt, lbl, vice, asm_source;
  std::string d64;
  std::string dialect;  // empty: BASIC 2.0
  bool overwrite = false, quiet = false, labels = false, sym3 = false;
  bool autospace = false, crunch = false, translate_codes = true, rem = false;
  bool supervariables = false, dbg = false, notbasic = false;
  CharacterCase key_case = CharacterCase::Auto;
  CharacterCase variable_case = CharacterCase::Auto;
  SymbolLevel symbol_level = SymbolLevel::Auto;
  AddressRange output_range = AddressRange::Reset();
  KeepCode keepcode = KeepCode::Off;
  DiskJob disk;  // -new, -scratch, -rename, -add, -dir, -extract
};

class Converter {
 public:
  Converter();
  ~Converter();
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // True when no error was reported during the whole run.
  bool Run(CmdLineParams& params);
  bool ResolveInput(const std::string& input, std::string ext_override);

  RunMode Mode() const { return mode_; }
  const ConverterOptions& Options() const { return options_; }
  SourceLoaderMsgLog& Log() { return *log_; }

 private:
  void ParseOptions(CmdLineParams& params);
  void ParseVerbose(CmdLineParams& params);
  void ParseRange(CmdLineParams& params);
  void ParseKeepCode(CmdLineParams& params);
  void ParseMessageFormat(CmdLineParams& params);
  void ReportUnknownParams(CmdLineParams& params);
  void CheckStandardInputOutputs(CmdLineParams& params);
  void ParseDiskOptions(CmdLineParams& params);
  // The file the input names: the image of an image::"NAME" input.
  const HiPath& InputFile() const { return image_path_.Empty() ? input_path_ : image_path_; }

  void ReportStart(const char* what);
  void WarnNoOutput();
  // The run of the mode the options chose.
  void RunForMode();
  void RunBasic();
  void RunAssembler();
  bool CheckOutputsAgainstInput(bool include_text_outputs);
  void CheckAssemblerOptions();
  bool LoadPrefaces();
  bool LoadPreface(const HiPath& path);
  void LoadBasicText();
  void LoadBasicBinary();
  bool PlaceBasicIntoMemory();
  bool AssembleInlineBlocks();
  std::string KeptCodeText() const;
  void WriteBasicOutputs();
  std::vector<AddressName> BasicLineNames() const;
  // -asm: the machine code loaded, as source that assembles back to it.
  void WriteRecoveredSource();
  void WriteAssemblerOutputs();
  void SaveAssembledToContainers();
  // The disassembly of memory, to `path`.
  void WriteListing(const HiPath& path);
  void PrintLabelAssignments();
  void RunDiskImage();
  void CheckDiskImageOptions();
  void WriteDataFile(const ProgramFile& file);

  bool Failed() const { return log_->ErrorFlag() || log_->FatalFlag(); }

  // Members in construction order, so destruction releases them in reverse.
  std::unique_ptr<SourceLoaderMsgLog> log_;
  std::unique_ptr<PetsciiCodes> codes_;
  const OpcodeTable* opcodes_;
  std::unique_ptr<MemoryImage> memory_;
  FileLocator locator_;
  std::unique_ptr<SourceLoader> loader_;
  std::unique_ptr<AsmPrg> assembler_;
  std::unique_ptr<BasProgram> basic_;
  OutputSet outputs_;

  RunMode mode_ = RunMode::None;
  HiPath input_path_;
  HiPath image_path_;             // the disk image an input names
  bool may_create_image_ = false;  // -new or -add: the image input may be missing
  bool data_file_ = false;         // the input is a file without a load address
  ConverterOptions options_;
  std::string program_name_ = "Vantrel";
};

}  // namespace vantrel
