// asm/macro_expansion.h: macro calls in assembler lines. The body of a
// call is copied with each parameter replaced by the call's argument text
// and its "@" labels made its own, and the copies are built as if they
// had been written in place of the call.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "log/msg_log.h"
#include "source/macro_table.h"
#include "source/source_line.h"
#include "source/text_store.h"

namespace vantrel {

class AsmPrg;
struct AsmLineFields;

class MacroExpander {
 public:
  // Bodies calling bodies this deep are taken for a macro calling itself.
  static constexpr int kMaxDepth = 16;

  // Builds the lines of the call in `fields`; false when the call or one
  // of its lines failed.
  bool Expand(AsmPrg& program, const AsmLineFields& fields, const MacroDefinition& macro);
  // For a line an expansion made: the call around it ("in macro m called
  // at" and its position), then the calls around that; none for a line as
  // written.
  std::vector<MsgSite> CallSites(const SourceLine* line) const;
  // How many calls a line is inside: 0 for a line as written.
  int Depth(const SourceLine* line) const;

 private:
  struct Origin {
    const SourceLine* call;
    std::string macro;
    int depth;
  };

  LineBlock lines_;  // the expanded lines; a deque, so the line objects' pointers hold
  TextStore texts_;  // their texts
  std::unordered_map<const SourceLine*, Origin> origins_;
  int depth_ = 0;
  uint32_t expansions_ = 0;
};

// The body line with parameters replaced (whole words outside quotes and
// comments, any case) and the labels in `locals` given `suffix`.
std::string ExpandBodyLine(std::string_view line, const MacroDefinition& macro,
                           const std::vector<std::string>& arguments, const std::vector<std::string>& locals,
                           const std::string& suffix);

}  // namespace vantrel
