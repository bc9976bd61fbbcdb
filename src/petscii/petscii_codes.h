// petscii/petscii_codes.h: the quoter, which converts the text of a quoted
// string ("{clear}HELLO{down:2}") to the PETSCII bytes a C64 holds, and those
// bytes back to text, under the current alpha mode.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "petscii/alpha_mode.h"
#include "petscii/petscii_names.h"
#include "petscii/token_table.h"

namespace vantrel {

class MsgLog;

class PetsciiCodes {
 public:
  // `log` receives the warnings about strings that cannot be written as
  // text that converts back.
  explicit PetsciiCodes(MsgLog& log);

  TokenTable& Quoter() { return quoter_; }
  const TokenTable& Quoter() const { return quoter_; }

  AlphaMode Alpha() const { return alpha_; }
  // The -alpha option: sets the mode quietly; the Error value changes nothing.
  // `chosen` is false for the default, which a petcat header may replace.
  void SetAlpha(AlphaMode mode, bool chosen = true);
  // The {alpha:...} directive, with its messages at the directive's line.
  bool SetAlphaMode(std::string_view name, MsgLog& log, SourcePos at);
  // The mode was named by -alpha or {alpha:...}.
  bool AlphaChosen() const { return alpha_chosen_; }

  void SetTranslateCodes(bool on) { translate_codes_ = on; }
  void SetCountRepeats(bool on) { count_repeats_ = on; }

  uint8_t AlphaIn(uint8_t c) const { return vantrel::AlphaIn(alpha_, c); }
  uint8_t AlphaOut(uint8_t b) const { return vantrel::AlphaOut(alpha_, b); }
  // The byte typed for a character or code with a modifier key held; in the
  // Poke modes its screen code.
  uint8_t KeyCode(uint8_t code, KeyModifier modifier) const;

  // The code of a petcat listing's brace name, in any case, unless the
  // quoter table has the name: Vantrel's names, and those {quoter:...}
  // gave, keep their meaning.
  std::optional<uint8_t> PetcatAlias(std::string_view name) const;

  // The bytes of a string's text, brace codes included. False for a bad
  // brace code; `bytes` is then empty.
  bool TextToPetscii(std::string_view text, std::string& bytes) const;
  // The text of a string's bytes, written so that TextToPetscii gives the
  // same bytes back wherever the alpha mode allows it; where it does not, a
  // warning names `line` (once per line).
  std::string PetsciiToText(std::string_view bytes, std::string_view line = {});

 private:
  struct ByteText {
    std::string text;
    std::string brace_name;  // set when the text is a brace code, for counts
  };

  bool AppendBrace(std::string_view inside, KeyModifier& modifier, std::string& bytes) const;
  std::optional<int32_t> BraceCode(std::string_view name) const;
  uint8_t CodeByte(uint8_t code, KeyModifier modifier) const;
  ByteText WrittenForm(uint8_t b) const;
  bool ReadsBackAs(const ByteText& form, uint8_t b) const;
  ByteText TextOf(uint8_t b, std::string_view line);
  void ReportLoss(uint8_t b, std::string_view line);

  MsgLog& log_;
  TokenTable quoter_;
  AlphaMode alpha_ = AlphaMode::None;
  bool alpha_chosen_ = false;
  bool translate_codes_ = true;
  bool count_repeats_ = true;
  bool loss_reported_ = false;
  std::string loss_line_;  // the line of the last loss reported
};

}  // namespace vantrel
