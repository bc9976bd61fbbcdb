#include "app/usage.h"

#include "text/text_ops.h"

namespace vantrel {

namespace {

constexpr const char* kTagLine = "Commodore 64 BASIC and 6510 assembly converter";

constexpr const char* kUsageLines[] = {
    " Loads Commodore 64 BASIC programs and converts them between various formats.",
    " Automatically determines the format to load by the file extension.",
    " Loads these file types and switches to the appropriate mode:",
    "   txt|lbl|bas|d64|prg|p00\tEnters BASIC tokenizer/detokenizer mode",
    "   asm\t\t\tEnters KESP assembler mode",
    "-------------------------------------------------------------------------------",
    "Syntax:",
    "\tvantrel <filename.ext> [-<options>]",
    "\tvantrel - -loadext:<ext> [-<options>]\tread standard input",
    " Control parameters include:",
    "\t-ovr\t\t\toverwrite existing files",
    "\t-quiet, -q\t\tprint only warnings and errors",
    "\t-h, --help, --version\tthis text; the version",
    "\t-verbose[:list]\t\toutput additional information during conversion",
    "\t-def:<var[=val]>\tdefine one or more parser variables",
    "\t-msgfmt:gnu\t\tmessages as path:line: error: text, for editors",
    "\t-loadext:<ext>\t\tinput filename extension override",
    "",
    "---- Tokenizer mode ----",
    "\t-crunch\t\t\tremove unneeded spaces",
    "\t-rem\t\t\tremove all REM statements",
    "\t-labels\t\t\tdump a list of defined labels to screen",
    "",
    "---- Detokenizer mode ----",
    "\t-autospace\t\tadd spacing for readability",
    "\t-crsr\t\t\tpreserve binary cursor codes",
    "\t-keycase\t\toutput keywords in lowercase",
    "\t-varcase\t\toutput variables in lowercase",
    "\t-pref:name\t\tload a preface file (not for text input: {include} it)",
    "\t-alpha:<mode>\t\tascii|lazy|alt|upper|lower|poke|petcat",
    "\t-dialect:<name>\t\tBASIC version: basic2 (default), basic7 (c128), basic35,",
    "\t\t\t\tbasic4, simons, fc3, basic10, basic65, ... (see README)",
    "\t-supervariables\t\tcreate and use Supervariables",
    "\t-keepcode[:asm]\t\tkeep code behind BASIC as an {asm} block (asm: disassembled)",
    "\t-asm[:name]\t\tsave the machine code (-notbasic: the whole program) as\n"
    "\t\t\tassembler source that assembles back to the same bytes (.asm)",
    "",
    "---- Assembler mode ----",
    "\t-symlvl !|-|@|auto\tfilter .sym output important|general|local",
    "\t-sym3\t\t\toutput symbol table for vanTrel3.x consumption",
    "\t-vice[:name]\t\tsave labels and breaks for the VICE monitor (.vs)",
    "",
    "---- Output formats ----",
    "\t-txt[:name]\t\tsave untokenized BASIC in a text format",
    "\t-lbl[:name]\t\tsave untokenized BASIC in a labelized text format",
    "\t-prg[:name]\t\tsave in .prg format",
    "\t-p00[:name]\t\tsave in PC64 .p00 format (C64 name: the file's name)",
    "\t-hex[:name]\t\tsave prg in an ASCII hex dump format",
    "\t-bin[:name]\t\tsave binary file with no load address",
    "\t-lst[:name]\t\tsave a listing: the source with addresses and bytes (assembler),\n"
    "\t\t\tthe disassembled memory (BASIC)",
    "\t-dis[:name]\t\tsave the disassembled memory (.dis), in either mode",
    "\t-sym[:name]\t\toutput a symbol table file",
    "\toutput to console\tname CON for text outputs; - for any output",
    "",
    "---- Miscellaneous ----",
    "\t-range:<start>[-<end>]\toutput address range for .hex/.lbl files",
    "\t-notbasic\t\tloaded .prg file does not contain BASIC",
    "",
    "\t(load from .d64):\td64file[.d64]::\"C64 FILE NAME\" (also .d71, .d81, .t64)",
    "\t(save to .d64):\t\t-d64:d64file[.d64]::\"C64 FILE NAME\" (also .d71, .d81)",
    "",
    "---- Disk images: vantrel image.d64|d71|d81|t64 [-<options>] ----",
    "\t-dir[:name]\t\tlist the directory (what an image alone does)",
    "\t-extract[:folder]\tevery file into a folder (default: the image's name)",
    "\t-new[:\"NAME,ID\"]\tformat a new disk (an existing image only with -ovr)",
    "\t-add:[NAME=]file\tadd a file; -add a.prg b.seq ... adds several",
    "\t-scratch:NAME\t\tdelete files (wildcards as on the C64)",
    "\t-rename:NEW=OLD\t\trename a file",
    "\tC64 names: a-z are the letters a C64 shows after power-up, A-Z shifted;",
    "\t{$xx} is any byte; #N is the Nth file of the listing",
    "",
    "Report problems at the Vantrel project's issue tracker.",
};

}  // namespace

std::string BannerText() {
  const std::string rule = Repeat('-', kConsoleWidth);
  std::string text = rule + "\n";
  text += Centre(std::string("Vantrel ") + kVersion, kConsoleWidth) + "\n";
  text += Centre(kTagLine, kConsoleWidth) + "\n";
  return text + rule + "\n";
}

std::string UsageText() {
  std::string text;
  for (const char* line : kUsageLines) {
    text += line;
    text += '\n';
  }
  return text;
}

}  // namespace vantrel
