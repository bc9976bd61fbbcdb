// The one pass that fills the Converter from the parameter list. Its order
// matters: the input is the first record no earlier lookup consumed, and a
// repeated option leaves its second record unconsumed, hence unknown.
#include <algorithm>
#include <string>

#include "app/converter.h"
#include "text/input_file.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

// "start[-end]"; each a 16-bit address. An empty text leaves both unset.
bool ReadRange(const std::string& text, int64_t& start, int64_t& end) {
  start = end = -1;
  if (text.empty()) return true;
  size_t dash = text.find('-');
  auto read16 = [](const std::string& part, int64_t& out) {
    return ReadNumber(part, out) && out >= 0 && out <= 0xFFFF;
  };
  if (!read16(text.substr(0, dash), start)) return false;
  if (dash == std::string::npos) return true;
  return read16(text.substr(dash + 1), end);
}

}  // namespace

void Converter::ParseOptions(CmdLineParams& params) {
  const std::string ext_override = params.ValueOf("loadext", "");
  may_create_image_ = CmdLineParams::Found(params.FindParam("new", false)) ||
                      CmdLineParams::Found(params.FindParam("add", false));
  if (!ResolveInput(params.NextUnusedParam().Raw(), ext_override)) return;

  ConverterOptions& o = options_;
  if (IsStandardInput(input_path_.Text())) CheckStandardInputOutputs(params);
  o.pref = params.OutputPathOf(InputFile(), "pref", "txt");
  ParseVerbose(params);
  ParseMessageFormat(params);
  o.prg = params.OutputPathOf(InputFile(), "prg", "prg");
  o.p00 = params.OutputPathOf(InputFile(), "p00", "p00");
  o.bin = params.OutputPathOf(InputFile(), "bin", "bin");
  o.lst = params.OutputPathOf(InputFile(), "lst", "lst");
  o.dis = params.OutputPathOf(InputFile(), "dis", "dis");
  o.hex = params.OutputPathOf(InputFile(), "hex", "hex");
  o.sym = params.OutputPathOf(InputFile(), "sym", "sym");
  o.rft = params.OutputPathOf(InputFile(), "rft", "rft");
  o.txt = params.OutputPathOf(InputFile(), "txt", "txt");
  o.lbl = params.OutputPathOf(InputFile(), "lbl", "lbl");
  o.d64 = params.ValueOf("d64", "");
  o.vice = params.OutputPathOf(InputFile(), "vice", "vs");
  o.asm_source = params.OutputPathOf(InputFile(), "asm", "asm");

  auto found = [&params](const char* name) { return CmdLineParams::Found(params.FindParam(name)); };
  o.overwrite = found("f") || found("ovr");
  o.quiet = found("quiet") || found("q");
  log_->SetQuiet(o.quiet);
  o.labels = found("labels");
  o.supervariables = found("supervariables");
  o.sym3 = found("sym3");
  o.symbol_level = SymbolLevelFromText(params.ValueOr("symlvl", "auto", "all"));
  o.autospace = found("autospace");
  o.crunch = found("crunch");
  o.translate_codes = !found("crsr");
  o.rem = found("rem");
  o.dbg = found("dbg");
  o.notbasic = found("notbasic");
  o.key_case = ReadCharacterCase(params.ValueOr("keycase", "auto", "lower"));
  o.variable_case = ReadCharacterCase(params.ValueOr("varcase", "auto", "lower"));
  ParseRange(params);
  ParseKeepCode(params);
  o.dialect = params.ValueOr("dialect", "", "");
  // Lazy when not given; a petcat listing's header may then choose Petcat.
  const bool alpha_given = found("alpha");
  codes_->SetAlpha(ReadAlphaMode(params.ValueOr("alpha", "Lazy", "Lazy")), alpha_given);
  for (std::string def = params.NextValueOf("def", "def"); !def.empty(); def = params.NextValueOf("def", "def"))
    loader_->DefineVariable(def);
  ParseDiskOptions(params);
  ReportUnknownParams(params);
}

void Converter::ParseVerbose(CmdLineParams& params) {
  if (!CmdLineParams::Found(params.FindParam("verbose"))) return;
  const std::string word = LowerCopy(params.ValueOf("verbose", "on"));
  if (word == "off") {
    log_->SetConsoleThreshold(MessageLevel::Warning);
    log_->SetKeepThreshold(MessageLevel::Info);
  } else if (word == "on") {
    log_->SetConsoleThreshold(MessageLevel::Info);
    log_->SetKeepThreshold(MessageLevel::Info);
  } else if (word == "list") {
    log_->SetConsoleThreshold(MessageLevel::Plain);
    log_->SetKeepThreshold(MessageLevel::Plain);
  }
}

void Converter::ParseRange(CmdLineParams& params) {
  if (!CmdLineParams::Found(params.FindParam("range"))) return;
  int64_t start = -1;
  int64_t end = -1;
  if (ReadRange(params.ValueOf("range", ""), start, end)) {
    // -1 stays "not given": all ones in 64 bits.
    options_.output_range = AddressRange(static_cast<uint64_t>(start), static_cast<uint64_t>(end));
  } else {
    log_->ReportError("Error in -range parameter");
  }
  if (options_.lst.Empty() && options_.dis.Empty() && options_.hex.Empty())
    log_->ReportWarning("-range parameter has no effect without -lst or -hex");
}

void Converter::ParseMessageFormat(CmdLineParams& params) {
  if (!CmdLineParams::Found(params.FindParam("msgfmt"))) return;
  const std::string word = LowerCopy(params.ValueOf("msgfmt", ""));
  if (word == "gnu") log_->SetFormat(MessageFormat::Gnu);
  else if (word != "std") log_->ReportError("Error in -msgfmt parameter");
}

void Converter::ParseKeepCode(CmdLineParams& params) {
  if (!CmdLineParams::Found(params.FindParam("keepcode"))) return;
  const std::string word = LowerCopy(params.ValueOf("keepcode", ""));
  if (word.empty()) options_.keepcode = KeepCode::Data;
  else if (word == "asm") options_.keepcode = KeepCode::Asm;
  else log_->ReportError("Error in -keepcode parameter");
}

// An output named after the input has no name to take from standard input.
void Converter::CheckStandardInputOutputs(CmdLineParams& params) {
  for (const char* word : {"prg", "p00", "bin", "lst", "dis", "hex", "sym", "rft", "txt", "lbl", "vice", "asm"}) {
    const CmdLineParam& p = params.FindParam(word, false);
    if (CmdLineParams::Found(p) && p.value.empty())
      log_->ReportError(std::string("-") + word + " needs a name when the input is standard input (-" + word +
                        ":- for standard output)");
  }
}

// The operations on a whole disk image: only with an image as the input.
void Converter::ParseDiskOptions(CmdLineParams& params) {
  DiskJob& job = options_.disk;
  auto found = [&params](const char* name) { return CmdLineParams::Found(params.FindParam(name, false)); };
  if (found("new")) job.format = params.ValueOf("new", "");
  for (const std::string& value : params.TakeValues("scratch")) {
    if (value.empty()) log_->ReportError("-scratch needs a file name");
    else job.scratch.push_back(value);
  }
  for (const std::string& value : params.TakeValues("rename")) {
    if (value.empty()) log_->ReportError("-rename needs the new name, \"=\" and the old name");
    else job.rename.push_back(value);
  }
  const std::vector<std::string> adds = params.TakeValues("add");
  for (const std::string& value : adds)
    if (!value.empty()) job.add.push_back(value);
  // A bare -add takes the file names that follow as they are.
  if (std::find(adds.begin(), adds.end(), "") != adds.end()) {
    const std::vector<std::string> files = params.TakeBareWords();
    if (files.empty()) log_->ReportError("-add needs a file: -add:file or -add file...");
    job.add.insert(job.add.end(), files.begin(), files.end());
  }
  if (found("dir")) {
    const bool named = !params.FindParam("dir", false).value.empty();
    const HiPath listing = params.OutputPathOf(InputFile(), "dir", "txt");
    job.listing = named ? listing.Text() : std::string("-");
  }
  if (found("extract")) {
    const std::string value = params.ValueOf("extract", "");
    HiPath folder = InputFile();
    folder.SetExtension("");
    // A folder named without a path lies beside the image, as output files do.
    if (!value.empty()) folder = value.find('/') == std::string::npos ? HiPath(InputFile().Directory() + value) : HiPath(value);
    job.extract = folder.Text();
  }
  if (mode_ != RunMode::DiskImage && (job.ChangesImage() || job.listing || job.extract))
    log_->ReportError("-new, -scratch, -rename, -add, -dir and -extract need a disk image as the input");
}

void Converter::ReportUnknownParams(CmdLineParams& params) {
  for (CmdLineParam* p = &params.NextUnusedParam(); !p->Raw().empty(); p = &params.NextUnusedParam())
    log_->ReportError("Unknown command line parameter " + p->Raw());
}

}  // namespace vantrel
