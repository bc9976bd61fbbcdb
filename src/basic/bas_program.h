// basic/bas_program.h: the BASIC program the runs tokenize into and
// detokenize from, and the text outputs written from it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/address_range.h"
#include "image/memory_image.h"
#include "image/program_file.h"
#include "source/source_loader.h"
#include "text/file_locator.h"

namespace vantrel {

class BasProgram {
 public:
  BasProgram(FileLocator& locator, SourceLoader& loader, MemoryImage& memory);

  void SetDebug(bool on) { debug_ = on; }
  void SetNotBasic(bool on) { not_basic_ = on; }
  bool NotBasic() const { return not_basic_; }
  void SetTokenizeOptions(bool rem_removal, bool autospace, bool crunch);
  void SetDetokenizeOptions(bool autospace, bool crunch, bool translate_codes, bool rem_removal,
                            bool supervariables, int32_t key_case, int32_t variable_case);

  // Tokenizes the loader's BASIC lines into the program.
  bool Tokenize();
  // True when a tokenized line holds a statement (prefaces may not).
  bool HasStatements() const;
  void ResetStartAddress();
  bool Detokenize(const ProgramFile& file);
  // Writes the lines into memory and extracts them into Program().
  bool PlaceIntoMemory();
  const ProgramFile& Program() const { return program_; }

  bool WriteTxt(const std::string& path, bool overwrite);
  bool WriteLbl(const std::string& path, bool overwrite);
  bool WriteListing(const std::string& path, bool overwrite, const AddressRange& range);
  std::vector<std::string> LabelAssignments() const;
  void PrintSupervariables() const;

 private:
  FileLocator& locator_;
  SourceLoader& loader_;
  MemoryImage& memory_;
  ProgramFile program_;
  bool debug_ = false;
  bool not_basic_ = false;
};

}  // namespace vantrel
