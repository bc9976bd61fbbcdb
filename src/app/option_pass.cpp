// The one pass that fills the Converter from the parameter list. Its order
// matters: the input is the first record no earlier lookup consumed, and a
// repeated option leaves its second record unconsumed, hence unknown.
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
  program_path_ = params.ProgramPath();
  const std::string ext_override = params.ValueOf("loadext", "");
  if (!ResolveInput(params.NextUnusedParam().Raw(), ext_override)) return;

  ConverterOptions& o = options_;
  if (IsStandardInput(input_path_.Text())) CheckStandardInputOutputs(params);
  o.pref = params.OutputPathOf(input_path_, "pref", "txt");
  ParseVerbose(params);
  ParseMessageFormat(params);
  o.prg = params.OutputPathOf(input_path_, "prg", "prg");
  o.bin = params.OutputPathOf(input_path_, "bin", "bin");
  o.lst = params.OutputPathOf(input_path_, "lst", "lst");
  o.hex = params.OutputPathOf(input_path_, "hex", "hex");
  o.sym = params.OutputPathOf(input_path_, "sym", "sym");
  o.rft = params.OutputPathOf(input_path_, "rft", "rft");
  o.txt = params.OutputPathOf(input_path_, "txt", "txt");
  o.lbl = params.OutputPathOf(input_path_, "lbl", "lbl");
  o.d64 = params.ValueOf("d64", "");
  o.vice = params.OutputPathOf(input_path_, "vice", "vs");

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
  // Lazy when not given; a petcat listing's header may then choose Petcat.
  const bool alpha_given = found("alpha");
  codes_->SetAlpha(ReadAlphaMode(params.ValueOr("alpha", "Lazy", "Lazy")), alpha_given);
  for (std::string def = params.NextValueOf("def", "def"); !def.empty(); def = params.NextValueOf("def", "def"))
    loader_->DefineVariable(def);
  ReportUnknownParams(params);
}

void Converter::ParseVerbose(CmdLineParams& params) {
  if (!CmdLineParams::Found(params.FindParam("verbose"))) return;
  const std::string word = LowerCopy(params.ValueOf("verbose", "on"));
  if (word == "off") {
    log_->SetConsoleThreshold(8);
    log_->SetKeepThreshold(7);
  } else if (word == "on") {
    log_->SetConsoleThreshold(7);
    log_->SetKeepThreshold(7);
  } else if (word == "list") {
    log_->SetConsoleThreshold(0);
    log_->SetKeepThreshold(0);
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
    loader_->Error("Error in -range parameter");
  }
  if (options_.lst.Empty() && options_.hex.Empty())
    loader_->Warning("-range parameter has no effect without -lst or -hex");
}

void Converter::ParseMessageFormat(CmdLineParams& params) {
  if (!CmdLineParams::Found(params.FindParam("msgfmt"))) return;
  const std::string word = LowerCopy(params.ValueOf("msgfmt", ""));
  if (word == "gnu") log_->SetFormat(MessageFormat::Gnu);
  else if (word != "std") loader_->Error("Error in -msgfmt parameter");
}

void Converter::ParseKeepCode(CmdLineParams& params) {
  if (!CmdLineParams::Found(params.FindParam("keepcode"))) return;
  const std::string word = LowerCopy(params.ValueOf("keepcode", ""));
  if (word.empty()) options_.keepcode = KeepCode::Data;
  else if (word == "asm") options_.keepcode = KeepCode::Asm;
  else loader_->Error("Error in -keepcode parameter");
}

// An output named after the input has no name to take from standard input.
void Converter::CheckStandardInputOutputs(CmdLineParams& params) {
  for (const char* word : {"prg", "bin", "lst", "hex", "sym", "rft", "txt", "lbl", "vice"}) {
    const CmdLineParam& p = params.FindParam(word, false);
    if (CmdLineParams::Found(p) && p.value.empty())
      log_->ReportError(std::string("-") + word + " needs a name when the input is standard input (-" + word +
                        ":- for standard output)");
  }
}

void Converter::ReportUnknownParams(CmdLineParams& params) {
  for (CmdLineParam* p = &params.NextUnusedParam(); !p->Raw().empty(); p = &params.NextUnusedParam())
    log_->ReportError("Unknown command line parameter " + p->Raw());
}

}  // namespace vantrel
