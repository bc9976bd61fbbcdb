#include "asm/opcodes.h"

#include <cstdio>
#include <cstdlib>

#include "text/text_ops.h"

namespace vantrel {

namespace {

constexpr std::string_view kMnemonicNames[kMnemonicCount + 1] = {
    "ERROR!", "adc", "and", "asl", "bcc", "bcs", "beq", "bit", "bmi", "bne", "bpl", "brk", "bvc", "bvs", "clc",
    "cld",    "cli", "clv", "cmp", "cpx", "cpy", "dec", "dex", "dey", "eor", "inc", "inx", "iny", "jmp", "jsr",
    "lda",    "ldx", "ldy", "lsr", "nop", "ora", "pha", "php", "pla", "plp", "rol", "ror", "rti", "rts", "sbc",
    "sec",    "sed", "sei", "sta", "stx", "sty", "tax", "tay", "tsx", "txa", "txs", "tya", "ahx", "axs", "alr",
    "arr",    "anc", "dcp", "kil", "las", "lax", "isc", "rla", "rra", "sax", "shx", "shy", "slo", "sre", "tas",
    "xaa",
};

struct ModeRow {
  std::string_view word;
  std::string_view name;
  uint32_t length;
};

constexpr ModeRow kModes[kModeCount] = {
    {"", "None", 1},       {"reg", "Register", 1},          {"imm", "Immediate", 2},
    {"zrp", "ZeroPage", 2}, {"zpx", "ZeroPageX", 2},         {"zpy", "ZeroPageY", 2},
    {"izx", "ZeroPageXIndirect", 2}, {"izy", "ZeroPageYIndirect", 2}, {"abs", "Absolute", 3},
    {"abx", "AbsoluteX", 3}, {"aby", "AbsoluteY", 3},        {"ind", "Indirect", 3},
    {"rel", "Relative", 2},
};

// opcode, mnemonic, mode, class, cycles, page-crossing mark. Rows are in
// opcode order; the table is checked against that when the program starts.
constexpr std::string_view kOpcodeRows[256] = {
    "0,brk,reg,b,7,", "1,ora,izx,l,6,", "2,kil,,i,,", "3,slo,izx,i,8,",
    "4,nop,zrp,i,3,", "5,ora,zrp,l,3,", "6,asl,zrp,l,5,", "7,slo,zrp,i,5,",
    "8,php,reg,m,3,", "9,ora,imm,l,2,", "10,asl,reg,l,2,", "11,anc,imm,i,2,",
    "12,nop,abs,i,4,", "13,ora,abs,l,4,", "14,asl,abs,l,6,", "15,slo,abs,i,6,",
    "16,bpl,rel,b,2,", "17,ora,izy,l,5,*", "18,kil,,i,,", "19,slo,izy,i,8,",
    "20,nop,zpx,i,4,", "21,ora,zpx,l,4,", "22,asl,zpx,l,6,", "23,slo,zpx,i,6,",
    "24,clc,reg,f,2,", "25,ora,aby,l,4,*", "26,nop,,i,2,", "27,slo,aby,i,7,",
    "28,nop,abx,i,4,*", "29,ora,abx,l,4,*", "30,asl,abx,l,7,", "31,slo,abx,i,7,",
    "32,jsr,abs,b,6,", "33,and,izx,l,6,", "34,kil,,i,,", "35,rla,izx,i,8,",
    "36,bit,zrp,l,3,", "37,and,zrp,l,3,", "38,rol,zrp,l,5,", "39,rla,zrp,i,5,",
    "40,plp,reg,m,4,", "41,and,imm,l,2,", "42,rol,reg,l,2,", "43,anc,imm,i,2,",
    "44,bit,abs,l,4,", "45,and,abs,l,4,", "46,rol,abs,l,6,", "47,rla,abs,i,6,",
    "48,bmi,rel,b,2,", "49,and,izy,l,5,*", "50,kil,,i,,", "51,rla,izy,i,8,",
    "52,nop,zpx,i,4,", "53,and,zpx,l,4,", "54,rol,zpx,l,6,", "55,rla,zpx,i,6,",
    "56,sec,reg,f,2,", "57,and,aby,l,4,*", "58,nop,,i,2,", "59,rla,aby,i,7,",
    "60,nop,abx,i,4,*", "61,and,abx,l,4,*", "62,rol,abx,l,7,", "63,rla,abx,i,7,",
    "64,rti,reg,b,6,", "65,eor,izx,l,6,", "66,kil,,i,,", "67,sre,izx,i,8,",
    "68,nop,zrp,i,3,", "69,eor,zrp,l,3,", "70,lsr,zrp,l,5,", "71,sre,zrp,i,5,",
    "72,pha,reg,m,3,", "73,eor,imm,l,2,", "74,lsr,reg,l,2,", "75,alr,imm,i,2,",
    "76,jmp,abs,b,3,", "77,eor,abs,l,4,", "78,lsr,abs,l,6,", "79,sre,abs,i,6,",
    "80,bvc,rel,b,2,", "81,eor,izy,l,5,*", "82,kil,,i,,", "83,sre,izy,i,8,",
    "84,nop,zpx,i,4,", "85,eor,zpx,l,4,", "86,lsr,zpx,l,6,", "87,sre,zpx,i,6,",
    "88,cli,reg,f,2,", "89,eor,aby,l,4,*", "90,nop,,i,2,", "91,sre,aby,i,7,",
    "92,nop,abx,i,4,*", "93,eor,abx,l,4,*", "94,lsr,abx,l,7,", "95,sre,abx,i,7,",
    "96,rts,reg,b,6,", "97,adc,izx,a,6,", "98,kil,,i,,", "99,rra,izx,i,8,",
    "100,nop,zrp,i,3,", "101,adc,zrp,a,3,", "102,ror,zrp,l,5,", "103,rra,zrp,i,5,",
    "104,pla,reg,m,4,", "105,adc,imm,a,2,", "106,ror,reg,l,2,", "107,arr,imm,i,2,",
    "108,jmp,ind,b,5,", "109,adc,abs,a,4,", "110,ror,abs,l,6,", "111,rra,abs,i,6,",
    "112,bvs,rel,b,2,", "113,adc,izy,a,5,*", "114,kil,,i,,", "115,rra,izy,i,8,",
    "116,nop,zpx,i,4,", "117,adc,zpx,a,4,", "118,ror,zpx,l,6,", "119,rra,zpx,i,6,",
    "120,sei,reg,f,2,", "121,adc,aby,a,4,*", "122,nop,,i,2,", "123,rra,aby,i,7,",
    "124,nop,abx,i,4,*", "125,adc,abx,a,4,*", "126,ror,abx,l,7,", "127,rra,abx,i,7,",
    "128,nop,imm,i,2,", "129,sta,izx,m,6,", "130,nop,imm,i,2,", "131,sax,izx,i,6,",
    "132,sty,zrp,m,3,", "133,sta,zrp,m,3,", "134,stx,zrp,m,3,", "135,sax,zrp,i,3,",
    "136,dey,reg,a,2,", "137,nop,imm,i,2,", "138,txa,reg,m,2,", "139,xaa,imm,u,2,",
    "140,sty,abs,m,4,", "141,sta,abs,m,4,", "142,stx,abs,m,4,", "143,sax,abs,i,4,",
    "144,bcc,rel,b,2,", "145,sta,izy,m,6,", "146,kil,,i,,", "147,ahx,izy,u,6,",
    "148,sty,zpx,m,4,", "149,sta,zpx,m,4,", "150,stx,zpy,m,4,", "151,sax,zpy,i,4,",
    "152,tya,reg,m,2,", "153,sta,aby,m,5,", "154,txs,reg,m,2,", "155,tas,aby,u,5,",
    "156,shy,abx,u,5,", "157,sta,abx,m,5,", "158,shx,aby,u,5,", "159,ahx,aby,u,5,",
    "160,ldy,imm,m,2,", "161,lda,izx,m,6,", "162,ldx,imm,m,2,", "163,lax,izx,i,6,",
    "164,ldy,zrp,m,3,", "165,lda,zrp,m,3,", "166,ldx,zrp,m,3,", "167,lax,zrp,i,3,",
    "168,tay,reg,m,2,", "169,lda,imm,m,2,", "170,tax,reg,m,2,", "171,lax,imm,u,2,",
    "172,ldy,abs,m,4,", "173,lda,abs,m,4,", "174,ldx,abs,m,4,", "175,lax,abs,i,4,",
    "176,bcs,rel,b,2,", "177,lda,izy,m,5,*", "178,kil,,i,,", "179,lax,izy,i,5,*",
    "180,ldy,zpx,m,4,", "181,lda,zpx,m,4,", "182,ldx,zpy,m,4,", "183,lax,zpy,i,4,",
    "184,clv,reg,f,2,", "185,lda,aby,m,4,*", "186,tsx,reg,m,2,", "187,las,aby,i,4,*",
    "188,ldy,abx,m,4,*", "189,lda,abx,m,4,*", "190,ldx,aby,m,4,*", "191,lax,aby,i,4,*",
    "192,cpy,imm,a,2,", "193,cmp,izx,a,6,", "194,nop,imm,i,2,", "195,dcp,izx,i,8,",
    "196,cpy,zrp,a,3,", "197,cmp,zrp,a,3,", "198,dec,zrp,a,5,", "199,dcp,zrp,i,5,",
    "200,iny,reg,a,2,", "201,cmp,imm,a,2,", "202,dex,reg,a,2,", "203,axs,imm,i,2,",
    "204,cpy,abs,a,4,", "205,cmp,abs,a,4,", "206,dec,abs,a,6,", "207,dcp,abs,i,6,",
    "208,bne,rel,b,2,", "209,cmp,izy,a,5,*", "210,kil,,i,,", "211,dcp,izy,i,8,",
    "212,nop,zpx,i,4,", "213,cmp,zpx,a,4,", "214,dec,zpx,a,6,", "215,dcp,zpx,i,6,",
    "216,cld,reg,f,2,", "217,cmp,aby,a,4,*", "218,nop,,i,2,", "219,dcp,aby,i,7,",
    "220,nop,abx,i,4,*", "221,cmp,abx,a,4,*", "222,dec,abx,a,7,", "223,dcp,abx,i,7,",
    "224,cpx,imm,a,2,", "225,sbc,izx,a,6,", "226,nop,imm,i,2,", "227,isc,izx,i,8,",
    "228,cpx,zrp,a,3,", "229,sbc,zrp,a,3,", "230,inc,zrp,a,5,", "231,isc,zrp,i,5,",
    "232,inx,reg,a,2,", "233,sbc,imm,a,2,", "234,nop,reg,b,2,", "235,sbc,imm,i,2,",
    "236,cpx,abs,a,4,", "237,sbc,abs,a,4,", "238,inc,abs,a,6,", "239,isc,abs,i,6,",
    "240,beq,rel,b,2,", "241,sbc,izy,a,5,*", "242,kil,,i,,", "243,isc,izy,i,8,",
    "244,nop,zpx,i,4,", "245,sbc,zpx,a,4,", "246,inc,zpx,a,6,", "247,isc,zpx,i,6,",
    "248,sed,reg,f,2,", "249,sbc,aby,a,4,*", "250,nop,,i,2,", "251,isc,aby,i,7,",
    "252,nop,abx,i,4,*", "253,sbc,abx,a,4,*", "254,inc,abx,a,7,", "255,isc,abx,i,7,",
};

// The first field of every row is its own index.
constexpr bool RowsInOpcodeOrder() {
  for (size_t i = 0; i < 256; ++i) {
    uint32_t value = 0;
    for (char c : kOpcodeRows[i]) {
      if (c == ',') break;
      value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    if (value != i) return false;
  }
  return true;
}
static_assert(RowsInOpcodeOrder());

bool IsDecimalField(std::string_view field) { return field.find_first_not_of("+0123456789") == kNotFound; }

uint32_t DecimalValue(std::string_view field) {
  uint32_t value = 0;
  for (char c : field)
    if (c >= '0' && c <= '9') value = value * 10 + static_cast<uint32_t>(c - '0');
  return value;
}

// Outside quotes: blanks dropped and letters lowered; inside, kept as written.
std::string CompactOperand(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  char quote = 0;
  for (char c : text) {
    if (quote != 0) {
      if (c == quote) quote = 0;
      out += c;
      continue;
    }
    if (c == '"' || c == '\'') quote = c;
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') continue;
    out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  }
  return out;
}

// The first occurrence of `pattern` outside quotes.
size_t FindUnquoted(std::string_view text, std::string_view pattern) {
  char quote = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
      continue;
    }
    if (c == '"' || c == '\'') {
      quote = c;
      continue;
    }
    if (c == pattern[0] && text.substr(i, pattern.size()) == pattern) return i;
  }
  return kNotFound;
}

// Cuts `pattern` out and then the first character, which must be the
// opening parenthesis for the mode to stand.
AddressingMode CutIndirect(std::string& operand, size_t at, size_t length, AddressingMode mode) {
  operand.erase(at, length);
  const bool opened = !operand.empty() && operand[0] == '(';
  if (!operand.empty()) operand.erase(0, 1);
  return opened ? mode : AddressingMode::Unknown;
}

}  // namespace

std::string_view MnemonicName(uint32_t id) { return id <= kMnemonicCount ? kMnemonicNames[id] : kMnemonicNames[0]; }
std::string_view MnemonicName(Mnemonic m) { return MnemonicName(static_cast<uint32_t>(m)); }

Mnemonic FindMnemonic(std::string_view text) {
  if (text.size() != 3) return Mnemonic::None;
  char lower[3];
  for (size_t i = 0; i < 3; ++i) lower[i] = (text[i] >= 'A' && text[i] <= 'Z') ? static_cast<char>(text[i] + 32) : text[i];
  const std::string_view word(lower, 3);
  for (uint32_t id = 1; id <= kMnemonicCount; ++id)
    if (kMnemonicNames[id] == word) return static_cast<Mnemonic>(id);
  return Mnemonic::None;
}

bool IsBranch(Mnemonic m) {
  switch (m) {
    case Mnemonic::Bcc:
    case Mnemonic::Bcs:
    case Mnemonic::Beq:
    case Mnemonic::Bmi:
    case Mnemonic::Bne:
    case Mnemonic::Bpl:
    case Mnemonic::Bvc:
    case Mnemonic::Bvs: return true;
    default: return false;
  }
}

std::string_view ModeWord(AddressingMode mode) {
  const auto id = static_cast<uint32_t>(mode);
  return id < kModeCount ? kModes[id].word : "???";
}

std::string_view ModeName(AddressingMode mode) {
  const auto id = static_cast<uint32_t>(mode);
  return id < kModeCount ? kModes[id].name : "Unknown";
}

uint32_t InstructionLength(AddressingMode mode) {
  const auto id = static_cast<uint32_t>(mode);
  return id < kModeCount ? kModes[id].length : 0;
}

std::string FormatOperand(AddressingMode mode, std::string_view value) {
  std::string v(value);
  switch (mode) {
    case AddressingMode::None:
    case AddressingMode::Register: return "";
    case AddressingMode::Immediate: return "#" + v;
    case AddressingMode::ZeroPage:
    case AddressingMode::Absolute:
    case AddressingMode::Relative: return v;
    case AddressingMode::ZeroPageX:
    case AddressingMode::AbsoluteX: return v + ",x";
    case AddressingMode::ZeroPageY:
    case AddressingMode::AbsoluteY: return v + ",y";
    case AddressingMode::ZeroPageXIndirect: return "(" + v + ",x)";
    case AddressingMode::ZeroPageYIndirect: return "(" + v + "),y";
    case AddressingMode::Indirect: return "(" + v + ")";
    default: return "!! Addressing mode error !! (%s)";
  }
}

AddressingMode ParseOperandMode(std::string& operand, bool indirect_allowed) {
  operand = CompactOperand(operand);
  if (operand.empty()) return AddressingMode::Register;
  if (operand[0] == '#') {
    operand.erase(0, 1);
    return FindUnquoted(operand, ",") == kNotFound ? AddressingMode::Immediate : AddressingMode::Unknown;
  }
  if (size_t at = FindUnquoted(operand, "),y"); at != kNotFound)
    return CutIndirect(operand, at, 3, AddressingMode::ZeroPageYIndirect);
  if (size_t at = FindUnquoted(operand, ",x)"); at != kNotFound)
    return CutIndirect(operand, at, 3, AddressingMode::ZeroPageXIndirect);
  if (indirect_allowed) {
    if (size_t at = operand.find(')'); at != kNotFound) return CutIndirect(operand, at, 1, AddressingMode::Indirect);
  }
  if (size_t at = FindUnquoted(operand, ",y"); at != kNotFound) {
    operand.erase(at, 2);
    return AddressingMode::AbsoluteY;
  }
  if (size_t at = FindUnquoted(operand, ",x"); at != kNotFound) {
    operand.erase(at, 2);
    return AddressingMode::AbsoluteX;
  }
  return AddressingMode::Absolute;
}

bool ParseOpcodeRow(std::string_view row, OpcodeEntry& entry) {
  // Rows are short: the compacted copy lives on the stack.
  char text[64];
  size_t size = 0;
  for (char c : row) {
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') continue;
    if (size == sizeof text) return false;
    text[size++] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  }
  std::string_view fields[6];
  size_t count = 0;
  size_t start = 0;
  for (size_t i = 0; i <= size; ++i) {
    if (i < size && text[i] != ',') continue;
    if (count == 6) return false;
    fields[count++] = std::string_view(text + start, i - start);
    start = i + 1;
  }
  if (count != 6) return false;
  entry = OpcodeEntry();
  if (IsDecimalField(fields[0])) entry.opcode = static_cast<uint8_t>(DecimalValue(fields[0]));
  entry.mnemonic = FindMnemonic(fields[1]);
  for (uint32_t id = 0; id < kModeCount; ++id)
    if (kModes[id].word == fields[2]) {
      entry.mode = static_cast<AddressingMode>(id);
      break;
    }
  if (fields[3].size() == 1 && std::string_view("lambfiu").find(fields[3][0]) != kNotFound)
    entry.cls = static_cast<InstructionClass>(fields[3][0]);
  if (!IsDecimalField(fields[4])) return false;
  entry.cycles = static_cast<uint8_t>(DecimalValue(fields[4]));
  entry.pageCrossing = fields[5] == "*";
  return true;
}

OpcodeTable::OpcodeTable() {
  for (size_t n = 0; n < 256; ++n) {
    const std::string_view row = kOpcodeRows[n];
    OpcodeEntry entry;
    if (!ParseOpcodeRow(row, entry)) {
      std::printf("Error parsing %.*s", static_cast<int>(row.size()), row.data());
      std::fflush(stdout);
      std::exit(-1);
    }
    if (entry.opcode != n) {
      std::printf("Error: string %.*s != %zu", static_cast<int>(row.size()), row.data(), n);
      std::fflush(stdout);
      std::exit(-1);
    }
    entries_[n] = entry;
    uint16_t& slot = lookup_[static_cast<uint32_t>(entry.mnemonic)][static_cast<uint32_t>(entry.mode)];
    if (slot == 0) slot = static_cast<uint16_t>(n + 1);
  }
}

std::optional<OpcodeEntry> OpcodeTable::FindOpcode(Mnemonic m, AddressingMode mode) const {
  const auto id = static_cast<uint32_t>(m);
  const auto mode_id = static_cast<uint32_t>(mode);
  if (id > kMnemonicCount || mode_id >= kModeCount) return std::nullopt;
  const uint16_t slot = lookup_[id][mode_id];
  if (slot == 0) return std::nullopt;
  return entries_[slot - 1];
}

const OpcodeTable& Opcodes() {
  static const OpcodeTable table;
  return table;
}

}  // namespace vantrel
