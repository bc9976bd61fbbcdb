#include "app/converter.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <new>
#include <system_error>

#include "d64/d64_file_spec.h"
#include "d64/d64_files.h"
#include "d64/disk_format.h"
#include "d64/pc64_file.h"
#include "d64/program_load.h"
#include "image/binary_writers.h"
#include "image/program_io.h"
#include "text/input_file.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

// A loaded program wanted only as text: its lines need preparing, not
// writing back into memory. Spacing can make it outgrow memory, which only
// writing finds out.
bool OnlyTextWanted(const ConverterOptions& o) {
  return o.prg.Empty() && o.p00.Empty() && o.bin.Empty() && o.d64.empty() && o.hex.Empty() && o.lst.Empty() &&
         o.dis.Empty() && o.sym.Empty() && o.vice.Empty() && o.asm_source.Empty() && !o.notbasic && !o.autospace;
}

}  // namespace

Converter::Converter()
    : log_(std::make_unique<SourceLoaderMsgLog>()),
      codes_(std::make_unique<PetsciiCodes>(*log_)),
      opcodes_(&Opcodes()),
      memory_(std::make_unique<MemoryImage>()) {
  loader_ = std::make_unique<SourceLoader>(*log_, locator_);
  assembler_ = std::make_unique<AsmPrg>(locator_, *loader_, *opcodes_, *memory_, *codes_);
  basic_ = std::make_unique<BasProgram>(*loader_, *memory_, *codes_);
  locator_.AddCurrentDirectory();
}

Converter::~Converter() {
  basic_.reset();
  assembler_.reset();
  loader_.reset();
  memory_.reset();
  codes_.reset();
  log_.reset();
}

bool Converter::Run(CmdLineParams& params) {
  ParseOptions(params);
  outputs_.SetOverwrite(options_.overwrite);
  // A disk image run reads no source that could use the build variables.
  if (mode_ != RunMode::DiskImage) loader_->DefinePredefined();
  try {
    RunForMode();
    loader_->UpdateBuildRevision(outputs_);
  } catch (const std::bad_alloc&) {
    // The models hold nearly all of the memory; with them gone the report
    // and the summary have room.
    basic_.reset();
    assembler_.reset();
    log_->ReportFatal(kOutOfMemory);
  }
  // Every output waits for the whole run: a run that fails writes nothing.
  if (Failed()) outputs_.Discard();
  else outputs_.Commit(*log_);
  loader_->Summary(program_name_);
  return !Failed();
}

void Converter::RunForMode() {
  if (mode_ == RunMode::Assembler) RunAssembler();
  else if (mode_ == RunMode::BasicText || mode_ == RunMode::BasicBinary) RunBasic();
  else if (mode_ == RunMode::DiskImage) RunDiskImage();
}

void Converter::ReportStart(const char* what) { log_->ReportPlain(what + input_path_.Text()); }

void Converter::WarnNoOutput() { log_->ReportWarning("No output specified"); }

bool Converter::ResolveInput(const std::string& input, std::string ext_override) {
  mode_ = RunMode::None;
  input_path_ = HiPath(input);
  if (input.empty()) return log_->ReportError("Must specify an input file name");
  std::string work = LowerCopy(input);
  if (ext_override.empty()) ext_override = HiPath(work).Extension();
  // File names are case-sensitive here: the existence test uses the name as typed.
  std::string file = input;
  bool in_image = false;
  if (IsStandardInput(input)) {
    if (ext_override.empty())
      return log_->ReportError("Standard input needs -loadext to say what it holds (txt, prg or asm)");
  } else if (IsImageSpec(work)) {
    D64FileSpec spec;
    if (!ParseImageSpec(*log_, input, spec)) return false;
    file = ImagePathCandidates(spec).front().Text();
    for (const HiPath& candidate : ImagePathCandidates(spec))
      if (RegularFileExists(candidate.Text())) file = candidate.Text();
    ext_override = LowerCopy(HiPath(file).Extension());
    image_path_ = HiPath(file);
    // "$" asks for the directory, as LOAD"$",8 does: the image is the input.
    in_image = spec.command != DiskCommand::Directory;
  }
  const bool disk_image = IsDiskImageExtension(ext_override) || ext_override == "t64";
  const bool pc64_file = Pc64Kind(ext_override).has_value();
  const bool whole_image = disk_image && !in_image;
  if (whole_image) image_path_ = HiPath(file);
  // -new and -add make the image when it is missing.
  if (!InputExists(file) && !(whole_image && may_create_image_))
    return log_->ReportError("Input file " + input + " not found");
  if (ext_override == "txt" || ext_override == "bas" || ext_override == "lbl") mode_ = RunMode::BasicText;
  else if (ext_override == "prg" || disk_image || pc64_file) mode_ = whole_image ? RunMode::DiskImage : RunMode::BasicBinary;
  else if (ext_override == "asm" || ext_override == "mac") mode_ = RunMode::Assembler;
  else return log_->ReportError("Unknown file type: " + ext_override);
  return true;
}

// Compares the input with each output path; one message at the first clash.
bool Converter::CheckOutputsAgainstInput(bool include_text_outputs) {
  std::vector<const HiPath*> outputs = {&options_.prg, &options_.p00, &options_.bin, &options_.lst, &options_.dis, &options_.hex,
                                        &options_.sym, &options_.rft, &options_.vice, &options_.asm_source};
  if (include_text_outputs) {
    outputs.push_back(&options_.txt);
    outputs.push_back(&options_.lbl);
  }
  for (const HiPath* out : outputs) {
    if (out->Empty() || IsStreamName(out->Text())) continue;
    std::error_code ec;
    // The same file by another name (./game.txt, an absolute path, a link) counts too.
    bool same = *out == InputFile() || std::filesystem::equivalent(out->Text(), InputFile().Text(), ec);
    if (same) return log_->ReportError("Output file would overwrite input file");
  }
  return true;
}

void Converter::RunBasic() {
  ReportStart("Starting Vantrel on ");
  loader_->DefineVariable("__Vantrel");
  CheckOutputsAgainstInput(true);
  const ConverterOptions& o = options_;
  if (o.prg.Empty() && o.p00.Empty() && o.bin.Empty() && o.lst.Empty() && o.dis.Empty() && o.hex.Empty() &&
      o.txt.Empty() && o.lbl.Empty() && o.d64.empty() && o.vice.Empty() && o.asm_source.Empty())
    WarnNoOutput();
  if (!o.rft.Empty()) log_->ReportError("-rft is only valid for pure assembler");
  if (Failed()) return;

  basic_->SetDebug(o.dbg);
  basic_->SetNotBasic(o.notbasic);
  if (!o.dialect.empty() && !basic_->SetDialect(o.dialect)) return;
  if (!LoadPrefaces()) return;
  if (mode_ == RunMode::BasicText) LoadBasicText();
  else LoadBasicBinary();
  if (Failed() || data_file_) return;
  if (mode_ == RunMode::BasicBinary && OnlyTextWanted(o)) basic_->PrepareText();
  else PlaceBasicIntoMemory();
  if (Failed()) return;

  WriteBasicOutputs();
  if (o.labels) PrintLabelAssignments();
  if (o.supervariables) outputs_.AddConsole(basic_->SupervariableTable());
}

void Converter::LoadBasicText() {
  const ConverterOptions& o = options_;
  basic_->SetTokenizeOptions(o.rem, o.autospace, o.crunch);
  if (o.key_case != CharacterCase::Auto) log_->ReportError("-keycase is not valid for text load");
  if (o.variable_case != CharacterCase::Auto) log_->ReportError("-varcase is not valid for text load");
  if (o.supervariables) log_->ReportError("-extractvariables is not valid for this operation");
  if (o.keepcode != KeepCode::Off) log_->ReportError("-keepcode is not valid for text load");
  if (!o.pref.Empty()) log_->ReportError("-pref is not valid for this operation");
  if (loader_->LoadSource(input_path_.Text(), SourceType::Basic)) basic_->Tokenize();
}

void Converter::LoadBasicBinary() {
  const ConverterOptions& o = options_;
  basic_->SetDetokenizeOptions(o.autospace, o.crunch, o.translate_codes, o.rem, o.supervariables, o.key_case,
                               o.variable_case);
  basic_->Options().keepCode = o.keepcode;
  ProgramFile file;
  if (!LoadProgramFile(*log_, locator_, input_path_.Text(), FileType::Prg, file)) return;
  if (file.type != FileType::Prg) return WriteDataFile(file);
  basic_->Detokenize(std::move(file));
}

// BASIC 4.0 and 7.0 keywords come the same way, as a -pref file of
// {tokenizer:...} lines; no option loads one by itself.
bool Converter::LoadPrefaces() {
  const ConverterOptions& o = options_;
  // A text run refuses -pref (LoadBasicText says so); nothing is loaded for it.
  if (!o.pref.Empty() && mode_ != RunMode::BasicText) return LoadPreface(o.pref);
  return true;
}

bool Converter::LoadPreface(const HiPath& path) {
  if (!RegularFileExists(path.Text())) return log_->ReportError("Preface file not found: " + path.Text());
  if (!loader_->LoadSource(path.Text(), SourceType::Basic))
    return log_->ReportError("Error loading preface file: " + path.Text());
  auto failed = [&] { return log_->ReportError("Error processing preface file: " + path.Text()); };
  if (!basic_->Tokenize()) return failed();
  if (basic_->HasStatements()) {
    log_->ReportError("Preface file can't contain any actual code");
    return failed();
  }
  basic_->ResetStartAddress();
  return true;
}

void Converter::WriteBasicOutputs() {
  const ConverterOptions& o = options_;
  if (!o.d64.empty()) SaveToImage(*log_, outputs_, o.d64, basic_->Program(), "64");
  if (!o.prg.Empty()) SavePrg(*log_, outputs_, o.prg.Text(), basic_->Program());
  if (!o.p00.Empty()) SaveP00(*log_, outputs_, o.p00.Text(), basic_->Program(), P00NameFor(o.p00.Text()));
  if (!o.bin.Empty()) SaveBin(*log_, outputs_, o.bin.Text(), basic_->Program());
  if (!o.txt.Empty()) basic_->WriteTxt(outputs_, o.txt.Text(), KeptCodeText());
  if (!o.lbl.Empty()) basic_->WriteLbl(outputs_, o.lbl.Text(), KeptCodeText());
  if (!o.hex.Empty()) SaveHex(*log_, outputs_, o.hex.Text(), o.output_range, *memory_);
  if (!o.lst.Empty()) WriteListing(o.lst);
  if (!o.dis.Empty()) WriteListing(o.dis);
  if (!o.sym.Empty()) assembler_->SaveSymbols(outputs_, o.sym.Text(), o.symbol_level, o.sym3);
  if (!o.vice.Empty()) assembler_->SaveViceLabels(outputs_, o.vice.Text(), BasicLineNames());
  if (!o.asm_source.Empty()) WriteRecoveredSource();
}

// ".line_100" at the start of line 100, so the monitor shows where BASIC
// is. A number used again gets "_2", "_3"...: VICE keeps one address a name.
std::vector<AddressName> Converter::BasicLineNames() const {
  std::vector<AddressName> names;
  if (basic_->NotBasic()) return names;
  std::map<uint16_t, int> seen;
  for (const BasicLineStart& line : memory_->BasicLines()) {
    std::string name = "line_";
    name += std::to_string(line.number);
    if (const int n = ++seen[line.number]; n > 1) (name += '_') += std::to_string(n);
    names.push_back({line.address, std::move(name)});
  }
  return names;
}

void Converter::WriteListing(const HiPath& path) {
  AddressRange range = options_.output_range;
  if (range.IsEmpty()) range = basic_->NotBasic() ? memory_->Used() : memory_->RangeBehindBasic();
  assembler_->ExportDisassembly(outputs_, path.Text(), range);
}

void Converter::PrintLabelAssignments() {
  std::string out = "----------line label assignments-----------------\n";
  size_t count = 0;
  for (const std::string& text : basic_->LabelAssignments()) {
    if (text.empty()) continue;
    out += text + "\n";
    ++count;
  }
  out += "-------------------------------------------------\n";
  out += std::to_string(count) + " label assignments\n\n";
  outputs_.AddConsole(std::move(out));
}

void Converter::RunAssembler() {
  ReportStart("Starting assembler on ");
  loader_->DefineVariable("__Kesp");
  CheckAssemblerOptions();
  CheckOutputsAgainstInput(false);
  const ConverterOptions& o = options_;
  if (o.prg.Empty() && o.p00.Empty() && o.bin.Empty() && o.lst.Empty() && o.dis.Empty() && o.hex.Empty() &&
      o.d64.empty() && o.vice.Empty())
    WarnNoOutput();
  if (o.key_case != CharacterCase::Auto) log_->ReportError("-keycase is not valid for assembler");
  if (o.variable_case != CharacterCase::Auto) log_->ReportError("-varcase is not valid for assembler");
  if (Failed()) return;
  if (!loader_->LoadSource(input_path_.Text(), SourceType::Asm)) return;
  assembler_->SetDebug(o.dbg);
  // The Resolve pass reports its problems but lets the passes go on; a
  // program with errors must still write nothing.
  if (!assembler_->AssembleProgram() || Failed()) return;
  WriteAssemblerOutputs();
}

void Converter::CheckAssemblerOptions() {
  struct Check {
    bool given;
    const char* message;
  };
  const ConverterOptions& o = options_;
  const Check checks[] = {
      {!o.pref.Empty(), "-pref is not valid for assembler"},
      {!o.txt.Empty(), "-txt is not valid for assembler"},
      {!o.lbl.Empty(), "-lbl is not valid for assembler"},
      {o.labels, "-labels is not valid for assembler"},
      {o.supervariables, "-extractvariables is not valid for assembler"},
      {o.autospace, "-autospace is not valid for assembler"},
      {o.crunch, "-crunch is not valid for assembler"},
      {!o.translate_codes, "-crsr is not valid for assembler"},
      {o.rem, "-rem is not valid for assembler"},
      {o.notbasic, "-notbasic is not valid for assembler"},
      {o.keepcode != KeepCode::Off, "-keepcode is not valid for assembler"},
      {!o.dialect.empty(), "-dialect is not valid for assembler"},
      {!o.asm_source.Empty(), "-asm is not valid for assembler"},
  };
  for (const Check& c : checks)
    if (c.given) log_->ReportError(c.message);
}

void Converter::WriteAssemblerOutputs() {
  const ConverterOptions& o = options_;
  if (!o.d64.empty() || !o.p00.Empty()) SaveAssembledToContainers();
  if (!o.prg.Empty()) SavePrg(*log_, outputs_, o.prg.Text(), *memory_);
  if (!o.bin.Empty()) SaveBin(*log_, outputs_, o.bin.Text(), *memory_);
  if (!o.hex.Empty()) SaveHex(*log_, outputs_, o.hex.Text(), o.output_range, *memory_);
  // The source as assembled; the disassembly of memory is -dis.
  if (!o.lst.Empty()) assembler_->SaveSourceListing(outputs_, o.lst.Text());
  if (!o.dis.Empty()) WriteListing(o.dis);
  if (!o.sym.Empty()) assembler_->SaveSymbols(outputs_, o.sym.Text(), o.symbol_level, o.sym3);
  if (!o.rft.Empty()) assembler_->SaveRelocationTable(outputs_, o.rft.Text());
  if (!o.vice.Empty()) assembler_->SaveViceLabels(outputs_, o.vice.Text());
}

// The assembled program is the used range of memory, checked as the .prg
// writer checks it.
void Converter::SaveAssembledToContainers() {
  ProgramFile file;
  if (!ExtractUsed(*log_, *memory_, file)) return;
  const ConverterOptions& o = options_;
  if (!o.d64.empty()) SaveToImage(*log_, outputs_, o.d64, file, "64");
  if (!o.p00.Empty()) SaveP00(*log_, outputs_, o.p00.Text(), file, P00NameFor(o.p00.Text()));
}

}  // namespace vantrel
