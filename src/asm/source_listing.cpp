#include "asm/source_listing.h"

#include "asm/asm_prg.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

// A row is "c000  a9 01 8d 20  source"; longer data goes on in rows of its
// own, up to kShownBytes, so that a filled area does not fill the listing.
constexpr uint32_t kBytesPerRow = 4;
constexpr uint32_t kShownBytes = 32;
constexpr size_t kBytesColumn = kBytesPerRow * 3 - 1;

struct ListedLine {
  C6510Address address;  // of the first byte, or of the label
  uint32_t size = 0;
  std::string value;  // an equate's value
};

void AddRow(std::string& out, const C6510Address& address, std::string bytes, std::string_view source) {
  std::string row = address.known ? Hex(address.value, 4) : std::string(4, ' ');
  row += "  ";
  bytes.resize(std::max(bytes.size(), kBytesColumn), ' ');
  row += bytes;
  if (!source.empty()) (row += "  ") += source;
  while (!row.empty() && row.back() == ' ') row.pop_back();
  (out += row) += '\n';
}

void AddLine(std::string& out, const MemoryImage& memory, const ListedLine& listed, std::string_view source) {
  if (!listed.value.empty()) return AddRow(out, {}, "= " + listed.value, source);
  const uint32_t shown = std::min(listed.size, kShownBytes);
  uint32_t offset = 0;
  do {
    std::string bytes;
    for (uint32_t i = offset; i < shown && i < offset + kBytesPerRow; ++i) {
      if (!bytes.empty()) bytes += ' ';
      bytes += Hex(memory.Read(static_cast<uint16_t>(listed.address.value + i)), 2);
    }
    const auto at = C6510Address::Known(static_cast<uint16_t>(listed.address.value + offset));
    AddRow(out, listed.address.known ? at : listed.address, bytes, offset == 0 ? source : "");
    offset += kBytesPerRow;
  } while (offset < shown);
  if (listed.size > shown)
    AddRow(out, C6510Address::Known(static_cast<uint16_t>(listed.address.value + shown)), "...", "");
}

// What the line objects made from one source line add up to.
ListedLine Collect(const std::vector<std::unique_ptr<AsmInstr>>& lines, size_t& next, const SourceLine* source) {
  ListedLine listed;
  for (; next < lines.size() && lines[next]->Source() == source; ++next) {
    const AsmInstr& line = *lines[next];
    if (line.IsEquates()) {
      C6510Address value;
      line.GetValue(value);
      listed.value = value.Format(true);
    } else if (line.Size() > 0 && line.address.known) {
      if (listed.size == 0) listed.address = line.address;
      listed.size += line.Size();
    } else if (!listed.address.known) {
      listed.address = line.address;
    }
  }
  return listed;
}

// ";>>> lib.asm" where an included file starts, ";<<< lib.asm" where it ends.
void MarkFileChange(std::string& out, const SourceFileTracker& files, int32_t from, int32_t to) {
  if (from == to) return;
  const SourceFileRecord* entered = files.Record(to);
  const SourceFileRecord* left = files.Record(from);
  if (entered != nullptr && entered->parent_key == from && from != 0) (out += ";>>> ") += entered->path.Text() + "\n";
  else if (left != nullptr) (out += ";<<< ") += left->path.Text() + "\n";
}

}  // namespace

std::string SourceListing(const AsmPrg& program) {
  std::string out;
  const auto& lines = program.Lines();
  size_t next = 0;
  int32_t file = 0;
  for (const SourceLine* source : program.BuiltLines()) {
    const int depth = program.Macros().Depth(source);
    if (depth == 0) {
      if (file != 0) MarkFileChange(out, program.Loader().Files(), file, source->pos.file);
      file = source->pos.file;
    }
    const ListedLine listed = Collect(lines, next, source);
    // What is left of a line that held only a directive ({include}, {macro}).
    if (TrimView(*source).empty() && listed.size == 0) continue;
    // An expanded line shows one "+" for each call it is inside.
    const std::string text = std::string(static_cast<size_t>(depth), '+') + std::string(*source);
    AddLine(out, program.Memory(), listed, text);
  }
  return out;
}

}  // namespace vantrel
